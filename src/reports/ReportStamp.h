#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QString>

// The date and time texts every report carries: the file stamp (year-month-day_hour-minute-
// second, so report files sort by age), the date (year.month.day) and the time.
struct DateTimeStamp
{
    QString file;
    QString date;
    QString time;
};

DateTimeStamp dateTimeStamp(const QDateTime &at = QDateTime::currentDateTime());

class ReportPaths
{
    Q_DECLARE_TR_FUNCTIONS(ReportPaths)
public:
    static QString reportsDir();  // <root>/reports
    static QString qrcodesDir();  // <root>/qrcodes
    // In Russian the _ru twin of each (template_khr_ru.xlsx, qrcodec_ru.lrxml) when present.
    static QString excelTemplate(); // <root>/settings/template_khr.xlsx
    static QString qrTemplate();    // <root>/settings/qrcodec.lrxml

    // The key's name turned into a file name that stays inside the reports folder on every
    // system: letters, digits, space, '-' and '_' are kept, anything else becomes '_'; a name
    // with nothing left (empty or only spaces) gives the translated "report".
    static QString safeReportName(const QString &keyName);

    // path itself when nothing is there yet, else the same name with " (2)", " (3)", ...
    // before the suffix: names carry the time to the second, and a second report within it
    // must not replace the first.
    static QString unusedPath(const QString &path);

    // Where a report is written until it is complete: beside the target, hidden, with the
    // target's suffix so a viewer recognises it.
    static QString temporaryFor(const QString &target);

private:
    static QString localized(const QString &base, const QString &suffix);
};
