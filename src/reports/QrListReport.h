#pragma once

#include "records/TemplateLists.h"
#include "reports/ReportIdentity.h"
#include "reports/ReportStamp.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <functional>

class QSqlDatabase;
class QrReportEngine;

// The PDF list of every local record with its QR code: a report table filled from the record
// files of the dbsett mirror, then the template printed with the list's variables.
class QrListReport
{
    Q_DECLARE_TR_FUNCTIONS(QrListReport)
public:
    // Everything the list is made of, copied before it is made (it may be made on another
    // thread than the one that asked).
    struct Request
    {
        QString folder;       // the dbsett mirror
        QString templatePath; // the list's template
        QString outPath;
        TemplateLists lists;
        ReportIdentity identity;
        DateTimeStamp stamp;
    };
    // done of total; returning false stops the list (it then fails with "Cancelled.").
    using Progress = std::function<bool(qint64 done, qint64 total)>;

    // The record files of the mirror folder (files only, by name).
    static QStringList recordFiles(const QString &folder);

    // Why no list is made of folder before anything is read: it holds no file. Empty when
    // it may be tried. Asked before the save dialog opens and again when the list is made.
    static QString refusal(const QString &folder);

    // "DELETE FROM records" on db, then one row per record file as ReportDatabase::recordValues
    // makes it (values bound, never spliced into the statement). Returns the number of rows
    // written, -1 with *error on a database fault or when progress says stop.
    static int fillRecordsTable(QSqlDatabase &db, const QString &folder, const TemplateLists &lists, QString *error,
                                const Progress &progress = {});

    // Why a list of no records is not made: the folder held no readable record.
    static QString noRecordsRead(const QString &folder);

    // <root>/qrcodes/qr_list(<stamp>).pdf
    static QString proposedPath(const DateTimeStamp &stamp);

    // Sets "protocol", "level1".."level4" and "units" and prints; engine must have its
    // template loaded and its connection set.
    static bool print(QrReportEngine *engine, const ReportIdentity &identity, const DateTimeStamp &stamp,
                      const QString &outPath, QString *error);

    // The whole list on the calling thread. The table lives in a private database of this
    // call's own (in memory, on this thread), so the list neither waits on nor empties the
    // table the window's measures are kept in. *rows gets the records listed.
    static bool make(const Request &request, QString *error, int *rows = nullptr, const Progress &progress = {});

    // The same with the data root's folder, template and the current time.
    static bool make(const QString &outPath, const TemplateLists &lists, const ReportIdentity &identity,
                     QString *error);
};
