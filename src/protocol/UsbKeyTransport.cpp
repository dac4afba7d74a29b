#include "protocol/UsbKeyTransport.h"

#include "base/Log.h"
#include "base/cGlobalData.h"
#include "link/ComSlip.h"
#include "link/MyQueueTX.h"
#include "link/QueueElement.h"

UsbKeyTransport::UsbKeyTransport(cGlobalData *globalData) : m_global(globalData) {}

UsbKeyTransport::UsbKeyTransport(ComSlip *comSlip) : m_fixed(comSlip) {}

ComSlip *UsbKeyTransport::comSlip() const
{
    if (m_global)
        return m_global->comSlip;
    return m_fixed.data();
}

bool UsbKeyTransport::queueCommand(quint8 packetClass, quint8 subCode, const QByteArray &payload,
                                   quint8 attempts, int noReply)
{
    ComSlip *link = comSlip();
    if (!link)
        return false;
    if (payload.size() > QueueElement::PAYLOAD_CAPACITY) {
        td::log(QStringLiteral("USB command of %1 bytes refused").arg(payload.size()));
        return false;
    }
    return link->QueueCommand(packetClass, subCode,
                              reinterpret_cast<const uchar *>(payload.constData()),
                              quint16(payload.size()), attempts, noReply);
}

void UsbKeyTransport::ackReply(const QString &interfaceName)
{
    ComSlip *link = comSlip();
    if (link && link->queue())
        link->queue()->replyReceived(interfaceName);
}
