#pragma once

#include "protocol/KeyModel.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// What the key settings pages show and decide, apart from the widgets: the item texts of the
// device-setting combo boxes (the index is the value the key stores), the key's identity
// line, the clock texts and when a write has to be followed by a reboot of the key.
class DeviceSettingsRules
{
    Q_DECLARE_TR_FUNCTIONS(DeviceSettingsRules)
public:
    // The key keeps both names in 50-character fields.
    static constexpr int NameChars = 50;
    // FE_DeviceSetting_Write carries PasswordWrEnable, which the key never reports back and
    // the PC offers no control for; 0 is the key's own default, so writing the other settings
    // never switches on a password protection nobody asked for.
    static constexpr int PasswordWrEnable = 0;
    // No reboot follows the write.
    static constexpr int NoReboot = -1;

    static QStringList unitItems();
    static QStringList sleepTimeItems();
    static QStringList displayTimeItems();
    static QStringList languageItems();
    static QStringList typeKeyItems();
    static QStringList connectionItems();
    static QStringList dataBaseItems();
    static QStringList dataTimeItems();
    static QStringList algorithmItems();

    // Type name + " (0" + version + ")"; an unknown type has an empty name.
    static QString identity(quint16 typeKey, qint32 versionSW);
    static QString serialLine(const QByteArray &serialNo);

    // "05.03.2025" and "09:07:03".
    static QString dateText(int day, int month, int year);
    static QString timeText(int hour, int minute, int second);

    // The device-settings "Apply": changing the units resets the key's unit-dependent values.
    static int rebootAfterSetup(const DeviceSettings &stored, const DeviceSettings &sent);
    // "Upgrade" always restarts the key; changing the database option rebuilds it.
    static int rebootAfterUpgrade(const DeviceSettings &stored, const DeviceSettings &sent);

    // At most NameChars characters; a character outside the basic plane is never split.
    static QString cutName(const QString &name);

    // Four decimal numbers 0..255 joined by dots.
    static QString ipPattern();
};
