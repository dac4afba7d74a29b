#include "protocol/UsbKeyTransport.h"

#include "base/Log.h"
#include "link/ComSlip.h"
#include "link/MyQueueTX.h"
#include "link/QueueElement.h"
#include "link/UsbLink.h"

UsbKeyTransport::UsbKeyTransport(ComSlip *comSlip) : m_fixed(comSlip) {}

void UsbKeyTransport::followLink(UsbLink *link)
{
    m_link = link;
    m_fixed = nullptr;
}

ComSlip *UsbKeyTransport::comSlip() const
{
    if (m_link)
        return m_link->comSlip();
    return m_fixed.data();
}

bool UsbKeyTransport::queueCommand(quint8 packetClass, quint8 subCode, const QByteArray &payload,
                                   quint8 attempts, int noReply)
{
    ComSlip *link = comSlip();
    if (!link)
        return false;
    if (!QueueElement::acceptsPayload(payload.size()))
        return false;
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
