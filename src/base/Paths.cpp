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

bool Paths::isSafeName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    if (name.toUtf8().size() > 127)
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') || c.unicode() < 0x20)
            return false;
    }
    return true;
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
