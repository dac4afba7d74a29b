#include "reports/ReportStamp.h"

#include "base/Paths.h"

#include <QFileInfo>

DateTimeStamp dateTimeStamp(const QDateTime &at)
{
    const QDate d = at.date();
    const QTime t = at.time();
    auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    const QString day = two(d.day()), month = two(d.month());
    const QString year = QStringLiteral("%1").arg(d.year(), 4, 10, QLatin1Char('0'));
    const QString hour = two(t.hour()), minute = two(t.minute()), second = two(t.second());
    DateTimeStamp s;
    s.file = QStringLiteral("%3-%2-%1_%4-%5-%6").arg(day, month, year, hour, minute, second);
    s.date = QStringLiteral("%3.%2.%1").arg(day, month, year);
    s.time = QStringLiteral("%1:%2:%3").arg(hour, minute, second);
    return s;
}

QString ReportPaths::reportsDir() { return Paths::dataRoot() + QStringLiteral("/reports"); }
QString ReportPaths::qrcodesDir() { return Paths::dataRoot() + QStringLiteral("/qrcodes"); }
QString ReportPaths::localized(const QString &base, const QString &suffix)
{
    // The Russian catalogue answers "ru" here: documents follow the program's language. A
    // template of that language that is not there leaves the English one.
    const QString language = tr("en", "language of the report templates");
    const QString dir = Paths::settingsDir() + QLatin1Char('/');
    if (language != QLatin1String("en") && QFileInfo::exists(dir + base + QLatin1Char('_') + language + suffix))
        return dir + base + QLatin1Char('_') + language + suffix;
    return dir + base + suffix;
}

QString ReportPaths::excelTemplate() { return localized(QStringLiteral("template_khr"), QStringLiteral(".xlsx")); }
QString ReportPaths::qrTemplate() { return localized(QStringLiteral("qrcodec"), QStringLiteral(".lrxml")); }

QString ReportPaths::safeReportName(const QString &keyName)
{
    QString out;
    out.reserve(keyName.size());
    for (const QChar c : keyName) {
        const bool keep = c.isLetterOrNumber() || c == QLatin1Char(' ') || c == QLatin1Char('-')
                          || c == QLatin1Char('_');
        // Surrogates (letters outside the basic plane) are not letters one at a time; a
        // replaced half would leave broken text, so they go as well.
        out += keep && !c.isSurrogate() ? c : QLatin1Char('_');
    }
    // Windows drops trailing spaces from a file name, and a name of spaces alone is no name.
    while (out.endsWith(QLatin1Char(' ')))
        out.chop(1);
    if (out.trimmed().isEmpty())
        return tr("report");
    return out;
}

QString ReportPaths::temporaryFor(const QString &target)
{
    const QFileInfo fi(target);
    return fi.absolutePath() + QStringLiteral("/.~") + fi.fileName();
}

QString ReportPaths::unusedPath(const QString &path)
{
    if (!QFileInfo::exists(path))
        return path;
    const QFileInfo fi(path);
    const QString suffix = fi.suffix().isEmpty() ? QString() : QLatin1Char('.') + fi.suffix();
    const QString stem = path.left(path.size() - suffix.size());
    for (int n = 2;; ++n) {
        const QString candidate = stem + QStringLiteral(" (%1)").arg(n) + suffix;
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}
