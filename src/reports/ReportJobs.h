#pragma once

#include <QCoreApplication>
#include <QString>

class QAbstractItemModel;
class TemplateLists;

// The three reports made from the local mirror alone, as a program without a window runs
// them: the names and captions of the last read-out, the template lists and record files of
// the download folders. Each returns false with one line for the user in *error.
class ReportJobs
{
    Q_DECLARE_TR_FUNCTIONS(ReportJobs)
public:
    // The template lists of the "templates" mirror (defaults where a file is missing).
    static void loadMirrorTemplates(TemplateLists *lists);

    // The memory table's report (the caller builds the table model of the chosen records).
    static bool csv(const QAbstractItemModel &memoryTable, const QString &outPath, QString *error);
    // The workbook of one record of the dbsett mirror.
    static bool xlsx(const QString &recordName, const QString &outPath, QString *error);
    // The QR list of every record of the dbsett mirror.
    static bool qr(const QString &outPath, QString *error);
};
