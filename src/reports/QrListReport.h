#pragma once

#include "reports/ReportIdentity.h"
#include "reports/ReportStamp.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class TemplateLists;
class QrReportEngine;

// The PDF list of every local record with its QR code: the report table refilled from the
// record files of the dbsett mirror, then the template printed with the list's variables.
class QrListReport
{
    Q_DECLARE_TR_FUNCTIONS(QrListReport)
public:
    // The record files of the mirror folder (files only, by name).
    static QStringList recordFiles(const QString &folder);

    // "DELETE FROM records", then one row per record file (values bound, never spliced into
    // the statement). Returns the number of rows written, -1 with *error on a database fault.
    static int fillRecordsTable(const QString &folder, const TemplateLists &lists, QString *error);

    // Why a list of no records is not made: the folder held no readable record.
    static QString noRecordsRead(const QString &folder);

    // <root>/qrcodes/qr_list(<stamp>).pdf
    static QString proposedPath(const DateTimeStamp &stamp);

    // Sets "protocol", "level1".."level4" and "units" and prints; engine must have its
    // template loaded.
    static bool print(QrReportEngine *engine, const ReportIdentity &identity, const DateTimeStamp &stamp,
                      const QString &outPath, QString *error);

    // The whole list as the command line makes it: table, template, variables, PDF.
    static bool make(const QString &outPath, const TemplateLists &lists, const ReportIdentity &identity,
                     QString *error);
};
