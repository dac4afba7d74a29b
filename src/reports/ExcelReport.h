#pragma once

#include "records/RecordFile.h"
#include "reports/ReportIdentity.h"
#include "reports/ReportStamp.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

class TemplateLists;

// The workbook report of one record: the template copied under the reports folder and its
// sheet "report" filled with the record's head and one row per measure from row 25.
class ExcelReport
{
    Q_DECLARE_TR_FUNCTIONS(ExcelReport)
public:
    struct Cell
    {
        int row;
        int column;
        QVariant value; // a number, or text
    };

    // Every cell the report writes, in the order it writes them.
    static QVector<Cell> cells(const RecordFile &record, const TemplateLists &lists,
                               const ReportIdentity &identity, const DateTimeStamp &stamp);

    // <reports>/<safe key name>(<stamp>).xlsx
    static QString outputPath(const QString &keyName, const DateTimeStamp &stamp);

    // Copies the template to a temporary name, writes the cells through Excel automation and
    // renames the finished workbook to outPath. On failure returns false with a sentence
    // naming what failed in *error and leaves no file behind.
    static bool write(const QString &templatePath, const QString &outPath, const QVector<Cell> &cells,
                      QString *error);

    // Why no workbook is made of the records chosen: it holds exactly one. Empty when the
    // choice will do.
    static QString choiceRefusal(const QStringList &chosen);

    // The whole report of one record, as the window and the command line run it. Refuses a
    // record without measures.
    static bool make(const RecordFile &record, const TemplateLists &lists, const ReportIdentity &identity,
                     const QString &templatePath, const QString &outPath, QString *error);
};
