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
    watchQueue(link);
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

void UsbKeyTransport::setGivenUpHandler(QObject *context, GivenUpHandler handler)
{
    m_context = context;
    m_givenUp = std::move(handler);
    m_watched = nullptr;
}

void UsbKeyTransport::watchQueue(ComSlip *link)
{
    // The link makes a new ComSlip (and queue) each time the key's port opens.
    MyQueueTX *queue = link->queue();
    if (!m_givenUp || !m_context || !queue || queue == m_watched)
        return;
    m_watched = queue;
    const GivenUpHandler handler = m_givenUp;
    QObject::connect(queue, &MyQueueTX::commandGivenUp, m_context.data(),
                     [handler](const QueueElement &e) {
                         handler(e.packetClass,
                                 QByteArray(reinterpret_cast<const char *>(e.payloadData()), e.length));
                     });
}
