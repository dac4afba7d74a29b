#pragma once

#include "protocol/KeyTransport.h"

#include <QPointer>

#include <functional>

class ComSlip;
class MyQueueTX;
class QObject;
class UsbLink;

// KeyTransport over the USB link. ComSlip exists only while the key's port is open, so
// the transport asks the link that owns it at each command (or holds a guarded pointer to
// one ComSlip that a tool or test builds itself); with no ComSlip nothing is sent.
class UsbKeyTransport : public KeyTransport
{
public:
    UsbKeyTransport() = default;
    explicit UsbKeyTransport(ComSlip *comSlip);

    void followLink(UsbLink *link);
    ComSlip *comSlip() const;

    bool queueCommand(quint8 packetClass, quint8 subCode, const QByteArray &payload,
                      quint8 attempts, int noReply) override;
    void ackReply(const QString &interfaceName) override;

    // Called in context's thread with each command the USB queue gave up unanswered
    // (class byte, payload), whichever ComSlip carries the commands at the time.
    using GivenUpHandler = std::function<void(quint8 packetClass, const QByteArray &payload)>;
    void setGivenUpHandler(QObject *context, GivenUpHandler handler);

private:
    void watchQueue(ComSlip *link);

    QPointer<QObject> m_context;
    GivenUpHandler m_givenUp;
    QPointer<MyQueueTX> m_watched;
    QPointer<UsbLink> m_link;
    QPointer<ComSlip> m_fixed;
};
