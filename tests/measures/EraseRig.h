#pragma once

// A key that answers the file command from memory, wired to a measure memory as the window
// wires the key: erasing goes through the real file exchange to it.

#include "FakeKeyFiles.h"
#include "measures/MeasureMemory.h"
#include "records/RecordMirror.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTimer>

struct EraseRig
{
    ProtocolStack stack;
    FakeKeyFiles files;
    QTimer pump;
    int answered = 0;

    EraseRig(MeasureMemory *memory, const RecordEraser::Keeper &keeper)
    {
        memory->setKeyLink(&stack.files, &stack.protocol);
        memory->setEraseKeeper(keeper);
        // The key answers each command once the event loop runs, as a line would.
        QObject::connect(&pump, &QTimer::timeout, [this] {
            while (answered < stack.usb.sent.size()) {
                const SentCommand c = stack.usb.sent.at(answered++);
                const QByteArray reply = c.packetClass == 0x31 ? files.answer(c) : QByteArray();
                if (!reply.isEmpty())
                    stack.protocol.iReceiveUart_Click(fileFrame(reply));
            }
        });
        pump.start(0);
    }
    void put(const QString &name, const RecordHeader &h, const QVector<MeasureEntry> &entries)
    {
        RecordFile r;
        r.header = h;
        r.entries = entries;
        files.folders["dbsett"][name] = r.toBytes();
    }
    // The key holds what the mirror holds.
    void holdTheMirror()
    {
        const QDir dir(RecordMirror::folder());
        for (const QString &name : dir.entryList(QDir::Files)) {
            QFile f(dir.filePath(name));
            if (f.open(QIODevice::ReadOnly))
                files.folders["dbsett"][name] = f.readAll();
        }
    }
    QByteArray onKey(const QString &name) { return files.folders["dbsett"][name]; }
};
