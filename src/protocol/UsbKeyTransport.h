#pragma once

#include "protocol/KeyTransport.h"

#include <QPointer>

#include <functional>

class ComSlip;
class MyQueueTX;
class QObject;
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

    // Called in context's thread with each command the USB queue gave up unanswered
    // (class byte, payload), whichever ComSlip carries the commands at the time.
    using GivenUpHandler = std::function<void(quint8 packetClass, const QByteArray &payload)>;
    void setGivenUpHandler(QObject *context, GivenUpHandler handler);

private:
    void watchQueue(ComSlip *link);

    QPointer<QObject> m_context;
    GivenUpHandler m_givenUp;
    QPointer<MyQueueTX> m_watched;
    cGlobalData *m_global = nullptr;
    QPointer<ComSlip> m_fixed;
};
