#pragma once

// The PC's protocol objects wired as the window wires them, on a transport that only counts
// what it is handed, over a data root in a temporary folder: enough to feed a target's input
// through the real receive path. One per process; the data root is emptied between inputs.

#include "base/Paths.h"
#include "base/cGlobalData.h"
#include "protocol/FileExchange.h"
#include "protocol/KeyModel.h"
#include "protocol/KeyProtocol.h"
#include "protocol/KeySender.h"
#include "protocol/KeyTransport.h"
#include "records/MenuLevels.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>

#include <cstdlib>

namespace fuzz {

inline void check(bool condition)
{
    if (!condition)
        std::abort();
}

inline void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

struct CountingTransport : KeyTransport
{
    int queued = 0;
    int acks = 0;
    bool queueCommand(quint8, quint8, const QByteArray &payload, quint8, int) override
    {
        check(payload.size() <= 1024);
        ++queued;
        return true;
    }
    void ackReply(const QString &) override { ++acks; }
};

struct Stack
{
    QTemporaryDir sandbox;
    QString root;
    cGlobalData global;
    CountingTransport usb;
    KeySender sender{&global};
    KeyModel model;
    MenuLevels levels;
    FileExchange files{&sender, nullptr, 0, 0};
    KeyProtocol protocol{&global, &sender, &files, &model, &levels};

    Stack()
    {
        check(sandbox.isValid());
        root = sandbox.path() + QStringLiteral("/root");
        Paths::setDataRoot(root);
        sender.setModeSource([] { return LinkMode::Usb; });
        sender.setUsbTransport(&usb);
    }

    // Forgets the last input's transfers and files.
    void reset()
    {
        files.clearTransfers();
        QDir(root).removeRecursively();
        QDir().mkpath(root);
    }

    // Nothing may appear beside the data root, and below it only inside the download folder.
    void checkConfined() const
    {
        check(QDir(sandbox.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)
              == QStringList{QStringLiteral("root")});
        QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
        const QString download = Paths::downloadRoot() + QLatin1Char('/');
        while (it.hasNext())
            check(it.next().startsWith(download));
    }
};

inline Stack &stack()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *app = QCoreApplication::instance() ? nullptr : new QCoreApplication(argc, argv);
    (void)app;
    static Stack s;
    return s;
}

} // namespace fuzz
