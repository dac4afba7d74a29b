#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

// Writes a whole file or nothing: the bytes go to a temporary beside the target and replace
// it in one rename, so a failed write leaves the old file as it was and a reader never sees
// part of the new one.
class AtomicFile
{
    Q_DECLARE_TR_FUNCTIONS(AtomicFile)
public:
    enum class Durability {
        // Forced onto the disk before the rename: files a person made (records, templates,
        // settings, reports, calibrations) survive a power cut.
        Synced,
        // Renamed without forcing: the key's mirror arrives as a burst of thousands of files,
        // a forced flush per file (milliseconds on a disk) was most of a read-out's time, and
        // the mirror is fetched from the key again on the next connection anyway.
        RenameOnly,
    };

    enum class Access {
        Shared,    // as any new file of the user (a replaced file keeps its permissions)
        OwnerOnly, // holds a secret: created readable by its owner alone, from the first byte
    };

    // Returns false with a message for the user in *error (which file, and why) when the
    // folder is missing or not writable, the disk is full, or the rename fails.
    static bool write(const QString &path, const QByteArray &data, QString *error = nullptr,
                      Durability durability = Durability::Synced, Access access = Access::Shared);

    // Puts a finished temporary (written by another writer: a workbook, a PDF) in path's place
    // in one rename, so an old file at path stays until the new one has replaced it, and stays
    // as it was when the rename fails. The temporary is removed on failure.
    static bool replace(const QString &temporary, const QString &path, QString *error = nullptr,
                        Durability durability = Durability::Synced);
};
