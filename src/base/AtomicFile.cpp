#include "base/AtomicFile.h"

#include "base/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <filesystem>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

QString writeSynced(const QString &path, const QByteArray &data)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(data) != data.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return why;
    }
    return file.commit() ? QString() : file.errorString();
}

// Replaces an existing file in one step, as POSIX rename and MoveFileEx do. QFile::rename
// refuses an existing target, and removing the target first would lose it when the rename
// then fails.
QString renameOver(const QString &temporary, const QString &path)
{
    std::error_code ec;
    std::filesystem::rename(std::filesystem::u8path(temporary.toStdString()),
                            std::filesystem::u8path(path.toStdString()), ec);
    if (!ec)
        return QString();
    QFile::remove(temporary);
    return QString::fromStdString(ec.message());
}

// Opens a new file that did not exist. On POSIX it is created with its final permissions, so a
// file meant for its owner alone is never readable by anyone else, not even between its
// creation and a chmod.
bool createNew(QFile &file, const QString &name, bool ownerOnly, QString *why)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(name).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                          ownerOnly ? 0600 : 0666);
    if (fd < 0) {
        *why = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    file.setFileName(name);
    return file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle);
#else
    Q_UNUSED(ownerOnly)
    file.setFileName(name);
    const bool opened = file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
    *why = file.errorString();
    return opened;
#endif
}

QString writeBeside(const QString &path, const QByteArray &data, bool sync, bool ownerOnly)
{
    const QFileInfo info(path);
    QFile temp;
    QString name;
    QString why;
    // A dot name: folder views pass over it, and a whole-folder fetch removes a leftover.
    for (int attempt = 0; attempt < 8 && !temp.isOpen(); ++attempt) {
        name = info.dir().filePath(QStringLiteral(".%1.part-%2")
                                       .arg(info.fileName())
                                       .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
        createNew(temp, name, ownerOnly, &why);
    }
    if (!temp.isOpen())
        return why;
    bool written = temp.write(data) == data.size() && temp.flush();
    why = written ? QString() : temp.errorString();
#ifdef Q_OS_UNIX
    if (written && sync && ::fsync(temp.handle()) != 0) {
        written = false;
        why = QString::fromLocal8Bit(std::strerror(errno));
    }
#else
    Q_UNUSED(sync)
#endif
    temp.close();
    if (!written) {
        QFile::remove(name);
        return why;
    }
    return renameOver(name, path);
}

QString syncToDisk(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return file.errorString();
#ifdef Q_OS_UNIX
    if (::fsync(file.handle()) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
#endif
    return QString();
}

bool report(const QString &path, const QString &why, QString *error)
{
    if (why.isEmpty())
        return true;
    td::log(QStringLiteral("AtomicFile: cannot write %1: %2").arg(path, why));
    if (error)
        *error = AtomicFile::tr("Cannot write file %1: %2").arg(path, why);
    return false;
}

} // namespace

bool AtomicFile::write(const QString &path, const QByteArray &data, QString *error, Durability durability,
                       Access access)
{
    const bool sync = durability == Durability::Synced;
    QString why;
    if (access == Access::OwnerOnly)
        why = writeBeside(path, data, sync, true);
    else
        why = sync ? writeSynced(path, data) : writeBeside(path, data, false, false);
    return report(path, why, error);
}

bool AtomicFile::replace(const QString &temporary, const QString &path, QString *error, Durability durability)
{
    QString why = durability == Durability::Synced ? syncToDisk(temporary) : QString();
    if (why.isEmpty())
        why = renameOver(temporary, path);
    else
        QFile::remove(temporary);
    return report(path, why, error);
}
