#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

namespace keysim {

// The key's folders, kept as a directory tree under one root on the host. Every path comes
// from the far end as "/folder/file" and is checked here before it touches the host file
// system: no "..", no hidden names, no separators or control characters inside a name, no
// way out of the root through a symbolic link.
class KeyFileSystem
{
public:
    static constexpr int ChunkSize = 512;
    // Far larger than anything the key holds (the biggest template file is 16000 bytes); a
    // write that would grow past it is refused rather than filling the host's disk.
    static constexpr qint64 MaxFileSize = 4 * 1024 * 1024;
    static constexpr int MaxDepth = 4;
    // Unfinished uploads kept at once; the oldest is forgotten first.
    static constexpr int MaxWriteSessions = 16;

    static QString recordsFolder() { return QStringLiteral("dbsett"); }
    static QString templatesFolder() { return QStringLiteral("templates"); }

    explicit KeyFileSystem(const QString &root);

    QString root() const { return m_root; }
    // Creates the root with "dbsett" and "templates" when missing.
    bool ensureStandardFolders() const;

    // Splits a key path into its components. Empty components (a doubled or trailing "/")
    // are skipped; the root itself is the empty list. False for anything unsafe.
    static bool parseKeyPath(const QString &keyPath, QStringList *parts);
    QString localPath(const QStringList &parts) const;

    struct ReadResult
    {
        bool ok = false;
        QByteArray data;   // at most ChunkSize bytes from the asked offset
        bool more = false; // bytes remain after this chunk
        qint64 size = 0;
    };
    ReadResult read(const QString &keyPath, qint64 seek) const;

    struct WriteResult
    {
        bool ok = false;
        bool committed = false; // the whole file is now in place
        qint64 nextSeek = 0;    // where the next data must start
    };
    // One chunk of an upload. Chunks collect in memory and the file is replaced atomically
    // when the last one arrives, so the key never holds half a record. A chunk at offset 0
    // starts the upload over; a repeated chunk (the PC resends when a reply was lost)
    // rewrites the same bytes.
    WriteResult write(const QString &keyPath, qint64 seek, const QByteArray &data, bool last);

    struct ListResult
    {
        bool ok = false;
        QByteArray data;   // whole entries only: name + 0x0A (file) or name + 0x0D (folder)
        qint64 offset = 0; // where data starts in the folder's listing
        bool more = false;
    };
    // The part of a folder's listing that starts at offset and fits one chunk. The listing
    // is taken afresh at offset 0 and reused for the following parts, so a folder that
    // changes in between is still walked consistently.
    ListResult list(const QString &keyPath, qint64 offset);

    // Record files of "dbsett", sorted by name.
    QStringList recordNames() const;
    QString recordPath(const QString &name) const; // empty when the name is unsafe
    enum class Removal { Removed, Absent, Refused, Failed };
    Removal removeRecord(const QString &name);
    // Removes every file of "dbsett"; returns how many went, -1 when one could not.
    int removeAllRecords();

private:
    bool insideRoot(const QString &localPath) const;
    static QByteArray buildListing(const QString &dirPath);

    QString m_root;
    QString m_canonicalRoot;
    QHash<QString, QByteArray> m_uploads;
    QStringList m_uploadOrder;
    QHash<QString, QByteArray> m_listings;
};

} // namespace keysim
