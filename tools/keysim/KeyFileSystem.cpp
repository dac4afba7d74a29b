#include "KeyFileSystem.h"

#include "base/Log.h"
#include "base/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace keysim {

KeyFileSystem::KeyFileSystem(const QString &root)
    : m_root(QDir(root).absolutePath())
{
}

bool KeyFileSystem::ensureStandardFolders() const
{
    QDir dir(m_root);
    return dir.mkpath(recordsFolder()) && dir.mkpath(templatesFolder());
}

bool KeyFileSystem::parseKeyPath(const QString &keyPath, QStringList *parts)
{
    if (keyPath.toUtf8().size() > 127)
        return false;
    QStringList out;
    for (const QString &part : keyPath.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        // Dot names are the key's own (its state file) and "." / ".." walk out of folders.
        if (!Paths::isSafeName(part) || part.startsWith(QLatin1Char('.')))
            return false;
        out.append(part);
    }
    if (out.size() > MaxDepth)
        return false;
    if (parts)
        *parts = out;
    return true;
}

QString KeyFileSystem::localPath(const QStringList &parts) const
{
    return parts.isEmpty() ? m_root : m_root + QLatin1Char('/') + parts.join(QLatin1Char('/'));
}

bool KeyFileSystem::insideRoot(const QString &localPath) const
{
    // Resolve the nearest existing ancestor: a symbolic link placed in the tree must not
    // lead a read or write outside it.
    QString probe = localPath;
    QFileInfo info(probe);
    while (!info.exists()) {
        const QString parent = info.absolutePath();
        if (parent == probe)
            return false;
        probe = parent;
        info.setFile(probe);
    }
    const QString canonicalRoot = QFileInfo(m_root).canonicalFilePath();
    const QString canonical = info.canonicalFilePath();
    if (canonicalRoot.isEmpty() || canonical.isEmpty())
        return false;
    return canonical == canonicalRoot || canonical.startsWith(canonicalRoot + QLatin1Char('/'));
}

KeyFileSystem::ReadResult KeyFileSystem::read(const QString &keyPath, qint64 seek) const
{
    ReadResult r;
    QStringList parts;
    if (!parseKeyPath(keyPath, &parts) || parts.isEmpty()) {
        td::log(QStringLiteral("keysim: refused read of path ") + keyPath);
        return r;
    }
    const QString path = localPath(parts);
    QFileInfo info(path);
    if (!info.isFile() || !insideRoot(path)) {
        td::log(QStringLiteral("keysim: no such file ") + keyPath);
        return r;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        td::log(QStringLiteral("keysim: cannot open ") + keyPath);
        return r;
    }
    r.size = f.size();
    if (seek < 0 || seek > r.size) {
        td::log(QStringLiteral("keysim: read of %1 at %2 beyond its %3 bytes")
                    .arg(keyPath)
                    .arg(seek)
                    .arg(r.size));
        return r;
    }
    if (!f.seek(seek))
        return r;
    r.data = f.read(ChunkSize);
    r.more = seek + r.data.size() < r.size;
    r.ok = true;
    return r;
}

KeyFileSystem::WriteResult KeyFileSystem::write(const QString &keyPath, qint64 seek,
                                                const QByteArray &data, bool last)
{
    WriteResult r;
    QStringList parts;
    if (!parseKeyPath(keyPath, &parts) || parts.isEmpty()) {
        td::log(QStringLiteral("keysim: refused write to path ") + keyPath);
        return r;
    }
    const QString key = parts.join(QLatin1Char('/'));
    const QString path = localPath(parts);
    if (!insideRoot(path) || QFileInfo(path).isDir()) {
        td::log(QStringLiteral("keysim: refused write to path ") + keyPath);
        return r;
    }

    if (seek == 0) {
        m_uploads.insert(key, QByteArray());
        m_uploadOrder.removeAll(key);
        m_uploadOrder.append(key);
        while (m_uploadOrder.size() > MaxWriteSessions)
            m_uploads.remove(m_uploadOrder.takeFirst());
    }
    auto it = m_uploads.find(key);
    if (it == m_uploads.end() || seek < 0 || seek > it->size()) {
        // A chunk that does not join what arrived so far would leave a hole in the file.
        td::log(QStringLiteral("keysim: write of %1 at %2 does not follow the upload")
                    .arg(keyPath)
                    .arg(seek));
        return r;
    }
    if (seek + data.size() > MaxFileSize) {
        td::log(QStringLiteral("keysim: write of %1 exceeds %2 bytes").arg(keyPath).arg(MaxFileSize));
        m_uploads.erase(it);
        m_uploadOrder.removeAll(key);
        return r;
    }
    QByteArray &buf = *it;
    buf.replace(int(seek), qMin(data.size(), buf.size() - int(seek)), data);
    r.nextSeek = seek + data.size();
    if (!last) {
        r.ok = true;
        return r;
    }

    // The last chunk ends the file here, even when an earlier, longer attempt left more.
    buf.truncate(int(r.nextSeek));
    if (!QDir(m_root).mkpath(QFileInfo(path).absolutePath())) {
        td::log(QStringLiteral("keysim: cannot make folder for ") + keyPath);
        return r;
    }
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(buf) != buf.size() || !f.commit()) {
        td::log(QStringLiteral("keysim: cannot write ") + keyPath);
        return r;
    }
    // The session stays: a lost final reply makes the PC send the last chunk again, and it
    // must then find the same upload.
    r.ok = true;
    r.committed = true;
    return r;
}

QByteArray KeyFileSystem::buildListing(const QString &dirPath)
{
    QDir dir(dirPath);
    const QFileInfoList entries =
        dir.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::System,
                          QDir::Name | QDir::DirsFirst);
    QByteArray listing;
    for (const QFileInfo &e : entries) {
        const QString name = e.fileName();
        // A name the key could not be asked for again is not offered.
        if (!Paths::isSafeName(name) || name.startsWith(QLatin1Char('.')))
            continue;
        listing.append(name.toUtf8());
        listing.append(e.isDir() ? '\r' : '\n');
    }
    return listing;
}

KeyFileSystem::ListResult KeyFileSystem::list(const QString &keyPath, qint64 offset)
{
    ListResult r;
    QStringList parts;
    if (!parseKeyPath(keyPath, &parts)) {
        td::log(QStringLiteral("keysim: refused listing of path ") + keyPath);
        return r;
    }
    const QString path = localPath(parts);
    if (!QFileInfo(path).isDir() || !insideRoot(path)) {
        td::log(QStringLiteral("keysim: no such folder ") + keyPath);
        return r;
    }
    const QString key = parts.join(QLatin1Char('/'));
    if (offset == 0 || !m_listings.contains(key))
        m_listings.insert(key, buildListing(path));
    const QByteArray &listing = m_listings[key];
    if (offset < 0 || offset > listing.size()) {
        td::log(QStringLiteral("keysim: listing of %1 asked at %2 beyond its end").arg(keyPath).arg(offset));
        return r;
    }
    // An offset inside a name (only a forged request can give one) moves on to the next
    // whole name, so no packet ever starts with the tail of a name.
    int start = int(offset);
    if (start > 0 && listing.at(start - 1) != '\n' && listing.at(start - 1) != '\r') {
        while (start < listing.size() && listing.at(start) != '\n' && listing.at(start) != '\r')
            ++start;
        if (start < listing.size())
            ++start;
    }
    int end = start;
    while (end < listing.size()) {
        int next = end;
        while (next < listing.size() && listing.at(next) != '\n' && listing.at(next) != '\r')
            ++next;
        ++next; // the terminator
        if (next - start > ChunkSize)
            break;
        end = next;
    }
    r.ok = true;
    r.offset = start;
    r.data = listing.mid(start, end - start);
    r.more = end < listing.size();
    return r;
}

QStringList KeyFileSystem::recordNames() const
{
    QStringList names;
    const QDir dir(m_root + QLatin1Char('/') + recordsFolder());
    for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
        if (Paths::isSafeName(name) && !name.startsWith(QLatin1Char('.')))
            names.append(name);
    }
    return names;
}

QString KeyFileSystem::recordPath(const QString &name) const
{
    if (!Paths::isSafeName(name) || name.startsWith(QLatin1Char('.')))
        return QString();
    return m_root + QLatin1Char('/') + recordsFolder() + QLatin1Char('/') + name;
}

KeyFileSystem::Removal KeyFileSystem::removeRecord(const QString &name)
{
    const QString path = recordPath(name);
    if (path.isEmpty())
        return Removal::Refused;
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return Removal::Absent;
    if (!info.isFile() && !info.isSymLink())
        return Removal::Refused;
    return QFile::remove(path) ? Removal::Removed : Removal::Failed;
}

int KeyFileSystem::removeAllRecords()
{
    int removed = 0;
    for (const QString &name : recordNames()) {
        if (removeRecord(name) != Removal::Removed)
            return -1;
        ++removed;
    }
    return removed;
}

} // namespace keysim
