#pragma once

#include "protocol/KeyTransport.h"

#include <QPointer>

class ComSlip;
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

private:
    QPointer<UsbLink> m_link;
    QPointer<ComSlip> m_fixed;
};
