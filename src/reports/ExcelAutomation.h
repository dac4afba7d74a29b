#pragma once

#include <QString>
#include <QVariant>

#include <memory>

// The part of Excel's automation the workbook report uses, call for call: create the
// application, Visible, Workbooks, Open, Sheets, Item, Cells and Value, Save, Close, Quit.
// Every query hands back a sub-object the caller owns and releases. Unlike the automation
// server, every call says whether it worked; the application's lastError() tells what failed.
class ExcelRange
{
public:
    virtual ~ExcelRange() = default;
    virtual bool setValue(const QVariant &value) = 0; // property "Value"
};

class ExcelSheet
{
public:
    virtual ~ExcelSheet() = default;
    virtual std::unique_ptr<ExcelRange> Cells(int row, int column) = 0;
};

class ExcelSheets
{
public:
    virtual ~ExcelSheets() = default;
    virtual std::unique_ptr<ExcelSheet> Item(const QVariant &nameOrIndex) = 0;
};

class ExcelWorkbook
{
public:
    virtual ~ExcelWorkbook() = default;
    virtual std::unique_ptr<ExcelSheets> Sheets() = 0;
    virtual bool Save() = 0;
    virtual bool Close() = 0;
};

class ExcelWorkbooks
{
public:
    virtual ~ExcelWorkbooks() = default;
    virtual std::unique_ptr<ExcelWorkbook> Open(const QString &path) = 0;
};

class ExcelApplication
{
public:
    virtual ~ExcelApplication() = default;
    virtual bool setVisible(bool visible) = 0; // property "Visible"
    virtual std::unique_ptr<ExcelWorkbooks> Workbooks() = 0;
    virtual bool Quit() = 0;
    virtual QString lastError() const = 0;

    // "Excel.Application": here the back-end that edits the workbook file itself.
    static std::unique_ptr<ExcelApplication> create();
};
