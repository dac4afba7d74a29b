#pragma once

#include <QString>

// "settings.ini": despite its name a QDataStream file holding a reserved double, the PC's own
// network address for the Wi-Fi link and a reserved string, in that order, then the firmware
// server's address when one was set (a file without it is the same file older versions wrote).
struct AppSettings
{
    double reserved = 0.0;
    QString pcAddress = QStringLiteral("127.0.0.1");
    QString reservedText;
    QString firmwareServer;
};

class SettingsFile
{
public:
    enum class LoadResult { Loaded, Missing, Corrupt };

    // On Missing or Corrupt the settings are left at their defaults, so a damaged file never
    // fills the program with garbage; the caller then writes the defaults back.
    static LoadResult load(const QString &path, AppSettings &settings);
    // Written atomically: a crash mid-write leaves the previous file in place.
    static bool save(const QString &path, const AppSettings &settings);
};
