#include "base/AtomicFile.h"

#include "base/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <filesystem>

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

QString writeRenameOnly(const QString &path, const QByteArray &data)
{
    const QFileInfo info(path);
    QFile temp;
    // A dot name: folder views pass over it, and a whole-folder fetch removes a leftover.
    for (int attempt = 0; attempt < 8 && !temp.isOpen(); ++attempt) {
        temp.setFileName(info.dir().filePath(
            QStringLiteral(".%1.part-%2")
                .arg(info.fileName())
                .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'))));
        temp.open(QIODevice::WriteOnly | QIODevice::NewOnly);
    }
    if (!temp.isOpen())
        return temp.errorString();
    const bool written = temp.write(data) == data.size() && temp.flush();
    QString why = written ? QString() : temp.errorString();
    temp.close();
    if (written) {
        // Replaces an existing file in one step, as POSIX rename and MoveFileEx do.
        std::error_code ec;
        std::filesystem::rename(std::filesystem::u8path(temp.fileName().toStdString()),
                                std::filesystem::u8path(path.toStdString()), ec);
        if (!ec)
            return QString();
        why = QString::fromStdString(ec.message());
    }
    QFile::remove(temp.fileName());
    return why;
}

} // namespace

bool AtomicFile::write(const QString &path, const QByteArray &data, QString *error, Durability durability)
{
    const QString why =
        durability == Durability::Synced ? writeSynced(path, data) : writeRenameOnly(path, data);
    if (why.isEmpty())
        return true;
    td::log(QStringLiteral("AtomicFile: cannot write %1: %2").arg(path, why));
    if (error)
        *error = tr("Cannot write file %1: %2").arg(path, why);
    return false;
}
