#pragma once

#include "publish/MqttSettings.h"

#include <QCoreApplication>
#include <QMetaType>
#include <QString>

// What the user typed on the settings page for the plant's broker.
struct MqttStoredSettings
{
    QString url;
    QString user;
    QString password;

    bool operator==(const MqttStoredSettings &o) const
    {
        return url == o.url && user == o.user && password == o.password;
    }
};

Q_DECLARE_METATYPE(MqttStoredSettings)

// "settings/mqtt.json" in the data root. It holds the broker password, so it is readable by
// its owner only; "settings.ini" keeps its fixed three-value layout untouched.
class MqttSettingsFile
{
    Q_DECLARE_TR_FUNCTIONS(MqttSettingsFile)
public:
    static QString defaultPath();

    // A missing file is no error (nothing configured yet); a damaged one leaves the defaults
    // and returns false with the reason in *error.
    static bool load(const QString &path, MqttStoredSettings *out, QString *error = nullptr);
    static bool save(const QString &path, const MqttStoredSettings &settings, QString *error = nullptr);

    // The publisher's settings for this station: the stored address (or urlOverride when not
    // empty, as --mqtt gives it), the stored credentials, the station's name (StationName) as
    // its topic part and a client identity of its own.
    static bool stationSettings(const MqttStoredSettings &stored, const QString &urlOverride, MqttSettings *out,
                                QString *error);
};
