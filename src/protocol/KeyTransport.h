#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QString>

// The protocol layer's view of one link: queue a frame body for the key, and tell the
// link's transmit queue that a reply arrived. The USB implementation wraps ComSlip and its
// MyQueueTX; tests put a recorder here and never open a port.
class KeyTransport
{
public:
    virtual ~KeyTransport() = default;

    // Queues one body (class byte, sub-code byte, payload). attempts: transmissions the
    // queue allows; noReply 1: the key does not answer, the queue goes on at once.
    virtual bool queueCommand(quint8 packetClass, quint8 subCode, const QByteArray &payload,
                              quint8 attempts, int noReply) = 0;
    // The reply-received operation of the link's queue for a frame from interfaceName.
    virtual void ackReply(const QString &interfaceName) = 0;
};

// What one Wi-Fi key says about itself in its announcement.
struct WifiAnnouncement
{
    QString mac; // the key's identity, used as its interface name everywhere
    QString keyName;
    QString operatorName;
    quint16 localPort = 0;  // the key's own UDP port (the PC sends there)
    quint16 remotePort = 0; // the PC-side UDP port the key sends from its side to
    QHostAddress address;   // sender of the announcement
    quint16 port = 0;       // sender port of the announcement
    qint32 testConnectCounter = 0;
};

// The protocol layer's view of the Wi-Fi key list and its per-key queues.
class WifiKeyDirectory
{
public:
    virtual ~WifiKeyDirectory() = default;

    // Identity of the selected key (the first one holding the focus), empty when none.
    virtual QString selectedKey() const = 0;
    virtual bool hasKey(const QString &id) const = 0;
    // Queues a body for the key with that identity; false when there is no such key.
    virtual bool queueCommandTo(const QString &id, quint8 packetClass, quint8 subCode,
                                const QByteArray &payload, quint8 attempts, int noReply) = 0;
    // The reply-received operation of that key's queue (also refreshes its alive countdown).
    virtual void ackReply(const QString &id) = 0;
    // Adds the key or refreshes it when already listed.
    virtual void registerKey(const WifiAnnouncement &announcement) = 0;
    // The text of that key's entry in the key selection list.
    virtual void renameKey(const QString &id, const QString &name) = 0;
};
