#include "records/RecordMirror.h"

#include "base/Log.h"
#include "base/Paths.h"
#include "base/AtomicFile.h"

#include <QDir>
#include <QFile>

QString RecordMirror::folder()
{
    return Paths::downloadDir(QStringLiteral("dbsett"));
}

QString RecordMirror::path(const QString &name)
{
    if (!Paths::isSafeName(name))
        return QString();
    return folder() + QLatin1Char('/') + name;
}

RecordMirror::Loaded RecordMirror::load(const QString &name)
{
    Loaded out;
    const QString p = path(name);
    if (p.isEmpty()) {
        td::log(QStringLiteral("RecordMirror: record name refused: ") + name.left(64));
        return out;
    }
    QFile f(p);
    if (!f.open(QIODevice::ReadOnly))
        return out;
    // A record holds at most 65535 entries; anything past that is not the key's.
    const qint64 limit = RecordHeader::Size + qint64(0xFFFF) * MeasureEntry::Size;
    const QByteArray bytes = f.read(limit);
    out.exists = true;
    const RecordFile::ReadResult r = RecordFile::read(bytes);
    out.headerComplete = r.headerComplete;
    out.record = r.record;
    out.promisedEntries = r.promisedEntries;
    if (!r.problem.isEmpty())
        td::log(QStringLiteral("RecordMirror: %1: %2; shown with the %3 entries it holds")
                    .arg(name, r.problem)
                    .arg(r.record.entries.size()));
    return out;
}

bool RecordMirror::write(const QString &name, const RecordFile &record, QString *error)
{
    const QString p = path(name);
    if (p.isEmpty()) {
        td::log(QStringLiteral("RecordMirror: refused to write record name ") + name.left(64));
        if (error)
            *error = tr("Record name %1 can't be used as a file name").arg(name.left(64));
        return false;
    }
    if (!QDir().mkpath(folder())) {
        td::log(QStringLiteral("RecordMirror: can't make folder ") + folder());
        if (error)
            *error = tr("Folder %1 can't be created").arg(folder());
        return false;
    }
    return AtomicFile::write(p, record.toBytes(), error);
}
