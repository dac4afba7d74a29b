#pragma once

#include <QString>

// The one place that names files of the data root: the folder DataRoot::apply chose (--data-dir,
// the user's data folder of an installed program, or the executable's own folder), or the
// executable's directory when nothing was chosen.
class Paths
{
public:
    static void setDataRoot(const QString &dir);
    static QString dataRoot();

    static QString settingsDir();          // <root>/settings
    static QString settingsIni();          // <root>/settings/settings.ini
    static QString translationFile();      // <root>/language_ru.qm
    static QString pngFile(const QString &name); // <root>/png/<name>
    static QString reportDatabase();       // <root>/sql/report.db3
    static QString downloadRoot();         // <root>/download
    static QString downloadDir(const QString &keyFolder); // <root>/download/<folder>
    static QString dfuDir();               // <root>/dfu

    // True when name is a single path component that cannot leave its folder and means the
    // same file on every system: not empty, not "." or "..", no separators, no drive colon,
    // none of <>"|?* or control characters, no trailing dot or space, no Windows device name
    // (CON, NUL, COM1, LPT1, ... with or without an extension), at most 127 bytes.
    static bool isSafeName(const QString &name);
    // True when a key folder path (one or more safe components joined by '/') stays below
    // the download root.
    static bool isSafeRelativePath(const QString &path);

    // Letter case of local file names: Windows folds it, the others keep it.
    static Qt::CaseSensitivity fileNameCase();
    // The download folder the PC keeps for itself (the calibration archive); the key's
    // mirror must never list, fetch, replace or delete anything in it.
    static QString calibrationArchiveFolder() { return QStringLiteral("Calibrate"); }
    // True when a key folder path ("/" optional) lies in a folder of the PC's own, compared
    // with cs (by default the local file system's letter case).
    static bool isPcOwnedFolder(const QString &keyFolder, Qt::CaseSensitivity cs = fileNameCase());
};
