#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

// Writes a whole file or nothing: the bytes go to a temporary beside the target and replace
// it only once all of them are on disk, so a failed write leaves the old file as it was.
class AtomicFile
{
    Q_DECLARE_TR_FUNCTIONS(AtomicFile)
public:
    // Returns false with a message for the user in *error (which file, and why) when the
    // folder is missing or not writable, the disk is full, or the rename fails.
    static bool write(const QString &path, const QByteArray &data, QString *error = nullptr);
};
