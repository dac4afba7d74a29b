// The automation back-end where no Excel is present: each call acts on an XlsxPackage.
#include "reports/ExcelAutomation.h"
#include "reports/XlsxPackage.h"

#include <QCoreApplication>

namespace {

struct Session
{
    QString error;
    bool quit = false;
};

class XlsxRange : public ExcelRange
{
public:
    XlsxRange(std::shared_ptr<Session> s, std::shared_ptr<XlsxPackage> p, QString part, int row, int col)
        : m_s(std::move(s)), m_p(std::move(p)), m_part(std::move(part)), m_row(row), m_col(col)
    {
    }
    bool setValue(const QVariant &value) override
    {
        if (m_p->setCell(m_part, m_row, m_col, value))
            return true;
        m_s->error = m_p->error();
        return false;
    }

private:
    std::shared_ptr<Session> m_s;
    std::shared_ptr<XlsxPackage> m_p;
    QString m_part;
    int m_row, m_col;
};

class XlsxSheet : public ExcelSheet
{
public:
    XlsxSheet(std::shared_ptr<Session> s, std::shared_ptr<XlsxPackage> p, QString part)
        : m_s(std::move(s)), m_p(std::move(p)), m_part(std::move(part))
    {
    }
    std::unique_ptr<ExcelRange> Cells(int row, int column) override
    {
        if (row < 1 || column < 1) {
            m_s->error = QCoreApplication::translate("ExcelReport", "Cell (%1, %2) lies outside a worksheet.")
                             .arg(row)
                             .arg(column);
            return nullptr;
        }
        return std::make_unique<XlsxRange>(m_s, m_p, m_part, row, column);
    }

private:
    std::shared_ptr<Session> m_s;
    std::shared_ptr<XlsxPackage> m_p;
    QString m_part;
};

class XlsxSheets : public ExcelSheets
{
public:
    XlsxSheets(std::shared_ptr<Session> s, std::shared_ptr<XlsxPackage> p) : m_s(std::move(s)), m_p(std::move(p)) {}
    std::unique_ptr<ExcelSheet> Item(const QVariant &name) override
    {
        const QString part = m_p->sheetPart(name.toString());
        if (part.isEmpty()) {
            m_s->error = QCoreApplication::translate("ExcelReport", "The workbook has no sheet \"%1\".")
                             .arg(name.toString());
            return nullptr;
        }
        return std::make_unique<XlsxSheet>(m_s, m_p, part);
    }

private:
    std::shared_ptr<Session> m_s;
    std::shared_ptr<XlsxPackage> m_p;
};

class XlsxWorkbook : public ExcelWorkbook
{
public:
    XlsxWorkbook(std::shared_ptr<Session> s, std::shared_ptr<XlsxPackage> p) : m_s(std::move(s)), m_p(std::move(p)) {}
    std::unique_ptr<ExcelSheets> Sheets() override { return std::make_unique<XlsxSheets>(m_s, m_p); }
    bool Save() override
    {
        if (m_p->save())
            return true;
        m_s->error = m_p->error();
        return false;
    }
    bool Close() override { return true; }

private:
    std::shared_ptr<Session> m_s;
    std::shared_ptr<XlsxPackage> m_p;
};

class XlsxWorkbooks : public ExcelWorkbooks
{
public:
    explicit XlsxWorkbooks(std::shared_ptr<Session> s) : m_s(std::move(s)) {}
    std::unique_ptr<ExcelWorkbook> Open(const QString &path) override
    {
        auto package = std::make_shared<XlsxPackage>();
        if (!package->open(path)) {
            m_s->error = package->error();
            return nullptr;
        }
        return std::make_unique<XlsxWorkbook>(m_s, package);
    }

private:
    std::shared_ptr<Session> m_s;
};

class XlsxApplication : public ExcelApplication
{
public:
    bool setVisible(bool) override { return true; }
    std::unique_ptr<ExcelWorkbooks> Workbooks() override { return std::make_unique<XlsxWorkbooks>(m_s); }
    bool Quit() override
    {
        m_s->quit = true;
        return true;
    }
    QString lastError() const override { return m_s->error; }

private:
    std::shared_ptr<Session> m_s = std::make_shared<Session>();
};

} // namespace

std::unique_ptr<ExcelApplication> ExcelApplication::create() { return std::make_unique<XlsxApplication>(); }
