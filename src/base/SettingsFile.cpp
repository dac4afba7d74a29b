#include "base/SettingsFile.h"

#include "base/AtomicFile.h"
#include "base/Log.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>

SettingsFile::LoadResult SettingsFile::load(const QString &path, AppSettings &settings)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return LoadResult::Missing;

    QDataStream in(&file);
    AppSettings read;
    in >> read.reserved >> read.pcAddress >> read.reservedText;
    if (in.status() == QDataStream::Ok && !in.atEnd())
        in >> read.firmwareServer;
    // The address must be one the Wi-Fi sockets can bind to; anything else means the file is
    // not ours or was cut short.
    if (in.status() != QDataStream::Ok || QHostAddress(read.pcAddress).isNull()) {
        td::log(QStringLiteral("settings.ini is damaged, using the defaults"));
        settings = AppSettings();
        return LoadResult::Corrupt;
    }
    settings = read;
    return LoadResult::Loaded;
}

bool SettingsFile::save(const QString &path, const AppSettings &settings)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << settings.reserved << settings.pcAddress << settings.reservedText;
    if (!settings.firmwareServer.isEmpty())
        out << settings.firmwareServer;
    if (out.status() != QDataStream::Ok)
        return false;
    return AtomicFile::write(path, bytes);
}
