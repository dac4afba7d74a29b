#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QString>

// The Wi-Fi side of the same view lives with the link that implements it.
#include "link/WifiKeyDirectory.h"

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
