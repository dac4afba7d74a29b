#pragma once

// Shared fixtures of the protocol tests: a transport and a Wi-Fi key list that record what
// the protocol layer hands them, the PC's protocol objects wired to them, and helpers that
// build frames as the key sends them.

#include "base/cGlobalData.h"
#include "link/RxDataBuffer.h"
#include "protocol/FileCmdHeader.h"
#include "protocol/FileExchange.h"
#include "protocol/KeyConnection.h"
#include "protocol/KeyModel.h"
#include "protocol/KeyProtocol.h"
#include "protocol/KeySender.h"
#include "protocol/KeySession.h"
#include "protocol/KeyTransport.h"
#include "records/MenuLevels.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <limits>

struct SentCommand
{
    QString target; // "" for the USB transport, the key identity for Wi-Fi
    quint8 packetClass = 0;
    quint8 subCode = 0;
    QByteArray payload;
    quint8 attempts = 0;
    int noReply = 0;

    // JSON request text without its NUL.
    QByteArray text() const { return payload.endsWith('\0') ? payload.chopped(1) : payload; }
    QJsonObject json() const { return QJsonDocument::fromJson(text()).object(); }
    QString functionName() const { return json().value(QStringLiteral("function_name")).toString(); }
    FileCmdHeader fileHeader(QByteArray *data = nullptr) const
    {
        FileCmdHeader h;
        QByteArray request = payload;
        // A listing is continued with the key's header echoed unchanged, length included.
        if (request.size() == FileCmdHeader::Size)
            request.replace(136, 4, QByteArray(4, '\0'));
        FileCmdHeader::parse(reinterpret_cast<const uchar *>(request.constData()), request.size(), &h,
                             data, nullptr);
        return h;
    }
};

class RecordingTransport : public KeyTransport
{
public:
    QList<SentCommand> sent;
    QStringList acks;

    bool queueCommand(quint8 packetClass, quint8 subCode, const QByteArray &payload, quint8 attempts,
                      int noReply) override
    {
        sent.append({QString(), packetClass, subCode, payload, attempts, noReply});
        return true;
    }
    void ackReply(const QString &interfaceName) override { acks.append(interfaceName); }
};

class RecordingWifi : public WifiKeyDirectory
{
public:
    struct Key
    {
        QString id;
        QString name;
        bool focus = false;
    };
    QList<Key> keys;
    QList<SentCommand> sent;
    QStringList acks;
    QList<WifiAnnouncement> registered;

    QString selectedKey() const override
    {
        for (const Key &k : keys)
            if (k.focus)
                return k.id;
        return QString();
    }
    bool hasKey(const QString &id) const override
    {
        return std::any_of(keys.begin(), keys.end(), [&](const Key &k) { return k.id == id; });
    }
    bool queueCommandTo(const QString &id, quint8 packetClass, quint8 subCode,
                        const QByteArray &payload, quint8 attempts, int noReply) override
    {
        if (!hasKey(id))
            return false;
        sent.append({id, packetClass, subCode, payload, attempts, noReply});
        return true;
    }
    void ackReply(const QString &id) override { acks.append(id); }
    void registerKey(const WifiAnnouncement &a) override
    {
        registered.append(a);
        if (!hasKey(a.mac))
            keys.append({a.mac, a.keyName, keys.isEmpty()});
    }
    void renameKey(const QString &id, const QString &name) override
    {
        for (Key &k : keys)
            if (k.id == id)
                k.name = name;
    }
};

// The PC side of the protocol as the main window builds it (the key connection), with the
// USB key in use and both links swapped for recorders of what they are handed. File exchange
// ticks default to 0 so nothing waits.
struct ProtocolStack
{
    static KeyConnection::Options options(int listTickMs, int progressTickMs)
    {
        KeyConnection::Options o;
        o.fileListTickMs = listTickMs;
        o.progressTickMs = progressTickMs;
        return o;
    }

    cGlobalData global;
    RecordingTransport usb;
    RecordingWifi wifi;
    KeyConnection connection;
    KeySender &sender;
    KeyModel &model;
    MenuLevels &levels;
    FileExchange &files;
    KeyProtocol &protocol;

    explicit ProtocolStack(int listTickMs = 0, int progressTickMs = 0)
        : connection(&global, options(listTickMs, progressTickMs))
        , sender(*connection.session()->sender())
        , model(*connection.session()->model())
        , levels(*connection.session()->menuLevels())
        , files(*connection.session()->files())
        , protocol(*connection.protocol())
    {
        connection.setModeForTesting(KeyConnection::Mode::Usb);
        sender.setUsbTransport(&usb);
        sender.setWifiDirectory(&wifi);
    }
    // The stand-in links report nothing: the mode their events would have led to.
    void setMode(KeyConnection::Mode mode) { connection.setModeForTesting(mode); }

    ProtocolStack(const ProtocolStack &) = delete;
    ProtocolStack &operator=(const ProtocolStack &) = delete;
};

// A frame body as a link delivers it: class, sub-code, payload, and on USB a CRC byte (its
// value does not matter here; the link has checked it).
inline RxDataBuffer makeFrame(quint8 packetClass, quint8 subCode, const QByteArray &payload,
                              const QString &interfaceName = QString(),
                              const QHostAddress &address = QHostAddress(), quint16 port = 0)
{
    RxDataBuffer rx;
    const bool usb = address.isNull();
    const int n = std::min<int>(payload.size(), RxDataBuffer::PACKET_LENGTH_UPPER_LIMIT - 3);
    rx.data[0] = packetClass;
    rx.data[1] = subCode;
    std::memcpy(rx.data.data() + 2, payload.constData(), size_t(n));
    rx.length = 2 + n + (usb ? 1 : 0);
    if (usb)
        rx.data[size_t(2 + n)] = 0x5A;
    rx.interfaceName = interfaceName;
    rx.hostAddress = address;
    rx.port = port;
    return rx;
}

inline RxDataBuffer jsonFrame(const QByteArray &text, const QString &interfaceName = QString(),
                              const QHostAddress &address = QHostAddress(), quint16 port = 0)
{
    return makeFrame(0x30, 0x01, text + '\0', interfaceName, address, port);
}

inline QByteArray fileReply(const QString &keyPath, quint8 command, quint8 status, qint32 seek,
                            const QByteArray &data, quint8 notify = 0,
                            qint32 lengthOverride = std::numeric_limits<qint32>::min())
{
    FileCmdHeader h;
    h.setFileName(keyPath);
    h.command = command;
    h.status = status;
    h.notify = notify;
    h.seek = seek;
    QByteArray bytes = h.toBytes(data);
    if (lengthOverride != std::numeric_limits<qint32>::min()) {
        uchar length[4];
        qToLittleEndian<qint32>(lengthOverride, length);
        bytes.replace(136, 4, reinterpret_cast<const char *>(length), 4);
    }
    return bytes;
}

inline RxDataBuffer fileFrame(const QByteArray &payload, const QString &interfaceName = QString())
{
    return makeFrame(0x31, 0x00, payload, interfaceName);
}
