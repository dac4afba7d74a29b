#pragma once

// The key's side of the file command, just enough to drive the PC's exchange through whole
// transfers: folders of files in memory, 512-byte parts, listings split between names.

#include "ProtocolTestSupport.h"

#include <QMap>
#include <QSet>

class FakeKeyFiles
{
public:
    QMap<QString, QMap<QString, QByteArray>> folders; // folder -> file -> content
    QMap<QString, QStringList> subfolders;              // folder -> folder names it holds
    QSet<QString> notifyPaths;                          // "/X/F" answered with notify 2
    QSet<QString> unlistable;                           // folders whose listing fails
    QSet<QString> unwritable;                           // "/X/F" whose writes the key refuses
    int listingNamesPerPacket = 1000;

    // One reply payload for a file command the PC sent (empty: no reply).
    QByteArray answer(const SentCommand &c)
    {
        QByteArray data;
        const FileCmdHeader h = c.fileHeader(&data);
        if (h.command == 0)
            return QByteArray();
        const QString path = h.fileName();
        switch (h.command) {
        case FileCmdHeader::FA_READ: {
            const int slash = path.lastIndexOf('/');
            const QString folder = path.mid(1, slash - 1);
            const QString file = path.mid(slash + 1);
            if (!folders.value(folder).contains(file))
                return fileReply(path, h.command, FileCmdHeader::StatusError, h.seek, {});
            const QByteArray content = folders[folder][file];
            const QByteArray part = content.mid(h.seek, FileCmdHeader::MaxData);
            const bool more = part.size() == FileCmdHeader::MaxData;
            return fileReply(path, h.command, more ? FileCmdHeader::StatusMore : FileCmdHeader::StatusFinished,
                             h.seek, part, (!more && notifyPaths.contains(path)) ? 2 : 0);
        }
        case FileCmdHeader::FA_WRITE: {
            if (unwritable.contains(path))
                return fileReply(path, h.command, FileCmdHeader::StatusError, h.seek, {});
            const int slash = path.lastIndexOf('/');
            const QString folder = path.mid(1, slash - 1);
            const QString file = path.mid(slash + 1);
            QByteArray &content = folders[folder][file];
            if (h.seek == 0)
                content.clear();
            content = content.left(h.seek) + data;
            writes.append(qMakePair(h.seek, data.size()));
            writeStatuses.append(h.status);
            if (h.status == FileCmdHeader::StatusMore)
                return fileReply(path, h.command, FileCmdHeader::StatusMore, h.seek + data.size(), {});
            return fileReply(path, h.command, FileCmdHeader::StatusFinished, h.seek, {},
                             notifyPaths.contains(path) ? 2 : 0);
        }
        case FileCmdHeader::FA_READ_DIR: {
            const QString folder = path.mid(1);
            if (unlistable.contains(folder))
                return fileReply(path, h.command, FileCmdHeader::StatusError, 0, {});
            QList<QByteArray> names;
            for (const QString &s : subfolders.value(folder))
                names << s.toUtf8() + '\r';
            for (const QString &f : folders.value(folder).keys())
                names << f.toUtf8() + '\n';
            // The part to send starts at name index h.seek; the reply's seek names the next.
            int index = h.seek;
            QByteArray listing;
            int count = 0;
            while (index < names.size() && count < listingNamesPerPacket
                   && listing.size() + names[index].size() <= FileCmdHeader::MaxData) {
                listing += names[index++];
                ++count;
            }
            const bool more = index < names.size();
            return fileReply(path, h.command, more ? FileCmdHeader::StatusMore : FileCmdHeader::StatusFinished,
                             index, listing);
        }
        }
        return QByteArray();
    }

    QList<QPair<int, int>> writes; // (seek, bytes) of every FA_WRITE received
    QList<quint8> writeStatuses;
};
