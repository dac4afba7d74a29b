#include "base/DataRoot.h"

#include "base/AtomicFile.h"

#include "base/Log.h"
#include "base/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStandardPaths>

namespace DataRoot {

QString installedShareDir(const QString &programDir)
{
    if (programDir.isEmpty())
        return QString();
    const QDir dir(programDir);
    // A build tree may well sit beside a share/torquedesk of an earlier install into its
    // parent; it stays runnable in place.
    if (dir.exists(QStringLiteral("CMakeCache.txt")))
        return QString();
    const QString share = QDir::cleanPath(dir.absoluteFilePath(QStringLiteral("../share/torquedesk")));
    return QFileInfo(share).isDir() ? share : QString();
}

QString userDataDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/TorqueDesk");
}

Choice choose(const QString &given, const QString &programDir, const QString &userDir)
{
    Choice c;
    if (!given.isEmpty()) {
        c.rule = Rule::Given;
        c.root = QDir(given).absolutePath();
        return c;
    }
    c.seedFrom = installedShareDir(programDir);
    if (!c.seedFrom.isEmpty() && !userDir.isEmpty()) {
        c.rule = Rule::Installed;
        c.root = QDir::cleanPath(userDir);
    } else {
        c.seedFrom.clear();
        c.rule = Rule::ProgramFolder;
        c.root = QDir::cleanPath(programDir);
    }
    return c;
}

namespace {

// The program's own files, never edited by a person: after an upgrade the user's copy is the
// old program's (a translation missing the new texts, an old flashing script), so it follows
// the package. Templates and databases are the user's and are only ever added.
bool programOwned(const QString &relative)
{
    return relative.endsWith(QLatin1String(".qm")) || relative.startsWith(QLatin1String("png/"))
           || relative.startsWith(QLatin1String("dfu/"));
}

bool sameBytes(const QString &a, const QString &b)
{
    QFile fa(a), fb(b);
    if (fa.size() != fb.size() || !fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly))
        return false;
    return fa.readAll() == fb.readAll();
}

} // namespace

int fill(const QString &from, const QString &root, QString *error)
{
    int copied = 0;
    const QDir source(from);
    QDirIterator it(from, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString relative = source.relativeFilePath(file);
        const QString target = root + QLatin1Char('/') + relative;
        if (QFileInfo::exists(target)) {
            if (!programOwned(relative) || sameBytes(file, target))
                continue;
            QFile old(file);
            QString why;
            if (!old.open(QIODevice::ReadOnly)
                || !AtomicFile::write(target, old.readAll(), &why, AtomicFile::Durability::Synced)
                || !QFile::setPermissions(target, QFile::permissions(file) | QFile::WriteOwner)) {
                if (error)
                    *error = target;
                continue;
            }
            ++copied;
            continue;
        }
        // QFile::copy writes a temporary beside the target and renames it, so an interrupted
        // start leaves no half file that a later start would take for the user's.
        if (!QDir().mkpath(QFileInfo(target).absolutePath()) || !QFile::copy(file, target)) {
            if (error)
                *error = target;
            continue;
        }
        ++copied;
    }
    return copied;
}

Choice peek(const QString &given)
{
    return choose(given, QCoreApplication::applicationDirPath(), userDataDir());
}

Choice apply(const QString &given)
{
    const Choice c = peek(given);
    if (c.rule == Rule::Installed) {
        QString failed;
        const int copied = fill(c.seedFrom, c.root, &failed);
        if (copied > 0)
            td::log(QStringLiteral("Data root: copied %1 files from %2").arg(copied).arg(c.seedFrom));
        if (!failed.isEmpty())
            td::log(QStringLiteral("Data root: could not copy ") + failed);
    }
    Paths::setDataRoot(c.root);
    td::log(describe(c));
    return c;
}

QString describe(const Choice &choice)
{
    switch (choice.rule) {
    case Rule::Given:
        return QCoreApplication::translate("DataRoot", "Data folder: %1 (given with --data-dir)").arg(choice.root);
    case Rule::Installed:
        return QCoreApplication::translate("DataRoot", "Data folder: %1 (installed program: the user's data folder, filled from %2)")
            .arg(choice.root, choice.seedFrom);
    case Rule::ProgramFolder:
        break;
    }
    return QCoreApplication::translate("DataRoot", "Data folder: %1 (the program's own folder: a build tree or a portable copy)")
        .arg(choice.root);
}

QString ruleText()
{
    return QCoreApplication::translate(
        "DataRoot",
        "Without --data-dir, an installed program (share/torquedesk beside its bin folder) keeps its data in\n"
        "the user's data folder and copies what it lacks from share/torquedesk at start, never replacing a\n"
        "file; a program run from its build tree or a portable folder keeps its data in its own folder.");
}

} // namespace DataRoot
