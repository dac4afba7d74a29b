#include "base/Paths.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString &rootStorage()
{
    static QString root;
    return root;
}
} // namespace

void Paths::setDataRoot(const QString &dir)
{
    rootStorage() = dir.isEmpty() ? QString() : QDir(dir).absolutePath();
}

QString Paths::dataRoot()
{
    if (!rootStorage().isEmpty())
        return rootStorage();
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString Paths::settingsDir() { return dataRoot() + QStringLiteral("/settings"); }
QString Paths::settingsIni() { return settingsDir() + QStringLiteral("/settings.ini"); }
QString Paths::translationFile() { return dataRoot() + QStringLiteral("/language_ru.qm"); }
QString Paths::pngFile(const QString &name) { return dataRoot() + QStringLiteral("/png/") + name; }
QString Paths::reportDatabase() { return dataRoot() + QStringLiteral("/sql/report.db3"); }
QString Paths::downloadRoot() { return dataRoot() + QStringLiteral("/download"); }
QString Paths::downloadDir(const QString &keyFolder)
{
    return downloadRoot() + QLatin1Char('/') + keyFolder;
}
QString Paths::dfuDir() { return dataRoot() + QStringLiteral("/dfu"); }

namespace {

// Windows opens a device for these whatever the extension, so "NUL.txt" is no file there.
bool isWindowsDeviceName(const QString &name)
{
    QString stem = name.section(QLatin1Char('.'), 0, 0);
    while (stem.endsWith(QLatin1Char(' ')))
        stem.chop(1);
    stem = stem.toUpper();
    static const char *const plain[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char *p : plain) {
        if (stem == QLatin1String(p))
            return true;
    }
    if (stem.size() == 4 && (stem.startsWith(QLatin1String("COM")) || stem.startsWith(QLatin1String("LPT")))) {
        const QChar d = stem.at(3);
        // Windows also maps the superscript digits to ports.
        return (d >= QLatin1Char('0') && d <= QLatin1Char('9')) || d == QChar(0x00B9) || d == QChar(0x00B2)
               || d == QChar(0x00B3);
    }
    return false;
}

} // namespace

bool Paths::isSafeName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    if (name.toUtf8().size() > 127)
        return false;
    static const QString forbidden = QStringLiteral("/\\:<>\"|?*");
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || forbidden.contains(c))
            return false;
    }
    // Windows drops a trailing dot or space: "FioTypes." would land on "FioTypes".
    if (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        return false;
    return !isWindowsDeviceName(name);
}

bool Paths::isSafeRelativePath(const QString &path)
{
    if (path.isEmpty() || path.toUtf8().size() > 127)
        return false;
    const QStringList parts = path.split(QLatin1Char('/'));
    for (const QString &part : parts) {
        if (!isSafeName(part))
            return false;
    }
    return true;
}

Qt::CaseSensitivity Paths::fileNameCase()
{
#ifdef Q_OS_WIN
    return Qt::CaseInsensitive;
#else
    return Qt::CaseSensitive;
#endif
}

bool Paths::isPcOwnedFolder(const QString &keyFolder, Qt::CaseSensitivity cs)
{
    QString f = keyFolder;
    while (f.startsWith(QLatin1Char('/')))
        f.remove(0, 1);
    const QString top = f.section(QLatin1Char('/'), 0, 0);
    return top.compare(calibrationArchiveFolder(), cs) == 0;
}
