#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QString>

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
