#pragma once

#include "protocol/KeyTransport.h"

#include <QPointer>

class ComSlip;
class cGlobalData;

// KeyTransport over the USB link. ComSlip exists only while the key's port is open, so
// the transport either follows cGlobalData::comSlip or holds a guarded pointer to one
// ComSlip (a tool or test that builds its own); with no ComSlip nothing is sent.
class UsbKeyTransport : public KeyTransport
{
public:
    explicit UsbKeyTransport(cGlobalData *globalData);
    explicit UsbKeyTransport(ComSlip *comSlip);

    ComSlip *comSlip() const;

    bool queueCommand(quint8 packetClass, quint8 subCode, const QByteArray &payload,
                      quint8 attempts, int noReply) override;
    void ackReply(const QString &interfaceName) override;

private:
    cGlobalData *m_global = nullptr;
    QPointer<ComSlip> m_fixed;
};
