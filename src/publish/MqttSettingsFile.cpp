#include "publish/MqttSettingsFile.h"

#include "base/AtomicFile.h"
#include "base/Paths.h"
#include "history/StationName.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

QString MqttSettingsFile::defaultPath()
{
    return Paths::settingsDir() + QStringLiteral("/mqtt.json");
}

bool MqttSettingsFile::load(const QString &path, MqttStoredSettings *out, QString *error)
{
    *out = MqttStoredSettings();
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = tr("%1 cannot be read: %2").arg(path, file.errorString());
        return false;
    }
    QJsonParseError parse;
    const QJsonDocument doc = QJsonDocument::fromJson(file.read(64 * 1024), &parse);
    if (parse.error != QJsonParseError::NoError || !doc.isObject()) {
        if (error)
            *error = tr("%1 is damaged; the broker settings start empty.").arg(path);
        return false;
    }
    const QJsonObject o = doc.object();
    out->url = o.value(QStringLiteral("url")).toString();
    out->user = o.value(QStringLiteral("user")).toString();
    out->password = o.value(QStringLiteral("password")).toString();
    return true;
}

bool MqttSettingsFile::save(const QString &path, const MqttStoredSettings &settings, QString *error)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QJsonObject o{{QStringLiteral("url"), settings.url.trimmed()},
                        {QStringLiteral("user"), settings.user},
                        {QStringLiteral("password"), settings.password}};
    return AtomicFile::write(path, QJsonDocument(o).toJson(QJsonDocument::Indented), error,
                             AtomicFile::Durability::Synced, AtomicFile::Access::OwnerOnly);
}

bool MqttSettingsFile::stationSettings(const MqttStoredSettings &stored, const QString &urlOverride,
                                       MqttSettings *out, QString *error)
{
    MqttSettings s;
    const QString url = urlOverride.trimmed().isEmpty() ? stored.url : urlOverride;
    if (!MqttSettings::parseUrl(url, &s, error))
        return false;
    s.user = stored.user;
    s.password = stored.password;
    s.station = StationName::current();
    s.clientIdentity = MqttSettings::clientId(s.station, Paths::dataRoot());
    *out = s;
    return true;
}
