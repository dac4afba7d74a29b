#pragma once

#include <QMetaType>
#include <QString>

// How far the current batch of transfers has come. A batch starts when the exchange goes
// from idle to busy and ends when nothing is pending any more.
struct ExchangeProgress
{
    int filesDone = 0;
    int filesTotal = 0;   // done plus pending
    qint64 bytesDone = 0;
    qint64 bytesTotal = 0; // done plus what is known still to move (sizes of pending writes)
    QString currentFile;   // key path of the file moved last, empty when idle
    bool active = false;

    bool operator==(const ExchangeProgress &o) const
    {
        return filesDone == o.filesDone && filesTotal == o.filesTotal && bytesDone == o.bytesDone
            && bytesTotal == o.bytesTotal && currentFile == o.currentFile && active == o.active;
    }
    bool operator!=(const ExchangeProgress &o) const { return !(*this == o); }
};

Q_DECLARE_METATYPE(ExchangeProgress)
