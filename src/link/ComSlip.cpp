#include "link/ComSlip.h"

#include "base/Log.h"
#include "link/KeyPort.h"
#include "link/MyQueueTX.h"

#include <QMetaEnum>

namespace {

QString errorName(QSerialPort::SerialPortError error)
{
    const QMetaEnum e = QMetaEnum::fromType<QSerialPort::SerialPortError>();
    const char *key = e.valueToKey(error);
    return key ? QString::fromLatin1(key) : QString::number(int(error));
}

} // namespace

ComSlip::ComSlip(QObject *parent, int replyTimeoutMs, int aliveTickMs)
    : QObject(parent)
{
    td::registerRxDataBufferType();
    td::registerQueueElementType();
    m_receiver.setFrameHandler([this](const RxDataBuffer &frame) {
        if (!m_detached)
            emit rx_data(frame);
    });
    m_queue = new MyQueueTX(QString(), replyTimeoutMs, aliveTickMs);
    connect(m_queue, &MyQueueTX::resultReady, this, &ComSlip::SendCommandToUART_QueueElement,
            Qt::QueuedConnection);
}

ComSlip::~ComSlip()
{
    detach();
    delete m_queue;
}

void ComSlip::detach()
{
    if (m_detached)
        return;
    m_detached = true;
    if (m_port)
        disconnect(m_port, &KeyPort::readyRead, this, &ComSlip::handleReadyRead);
    disconnect(m_queue, &MyQueueTX::resultReady, this, &ComSlip::SendCommandToUART_QueueElement);
    m_queue->shutdown();
    m_port = nullptr;
}

void ComSlip::attachPort(KeyPort *port)
{
    if (m_detached || !port)
        return;
    m_port = port;
    connect(m_port, &KeyPort::readyRead, this, &ComSlip::handleReadyRead);
    emit interface_changed(1);
}

bool ComSlip::QueueCommand(uchar packetClass, uchar subCode, const uchar *payload,
                           quint16 length, uchar attempts, int noReply)
{
    QueueElement element;
    element.interfaceName = QStringLiteral("USB");
    element.packetClass = packetClass;
    element.subCode = subCode;
    if (!element.setPayload(payload, length))
        td::log(QStringLiteral("ComSlip::QueueCommand - payload of %1 bytes cut to %2")
                    .arg(length)
                    .arg(element.length));
    element.attempts = attempts;
    element.noReply = noReply;
    m_queue->enqueue(element);
    return true;
}

void ComSlip::logPortErrorOnce(const char *where, QSerialPort::SerialPortError error,
                               QSerialPort::SerialPortError &lastLogged)
{
    // A port stuck in an error fires on every notification; one line per distinct error is
    // enough, the link decides what to do about it.
    if (error == lastLogged)
        return;
    lastLogged = error;
    td::log(QString::fromLatin1(where) + errorName(error));
}

void ComSlip::handleReadyRead()
{
    if (m_detached || !m_port)
        return;
    const QSerialPort::SerialPortError error = m_port->error();
    if (error != QSerialPort::NoError) {
        logPortErrorOnce("ComSlip::handleReadyRead - ", error, m_lastReadError);
        return;
    }
    const QByteArray bytes = m_port->readAll();
    static const QString usb = QStringLiteral("USB");
    const QHostAddress none;
    for (char c : bytes) {
        // A frame handler may have dropped the link; the rest of this read goes nowhere.
        if (m_detached)
            return;
        m_receiver.feed(static_cast<uchar>(c), usb, none, 0);
    }
}

void ComSlip::SendCommandToUART_QueueElement(QueueElement aElement)
{
    if (m_detached)
        return;
    const QByteArray frame = SlipCodec::encode(aElement.packetClass, aElement.subCode,
                                               aElement.payloadData(), aElement.length);
    if (frame.size() > OUTPUT_BUFFER_SIZE) {
        // Only a frame of almost nothing but stuffed bytes gets here. Writing a cut frame
        // would only put garbage on the line; leave it to the reply time-out instead.
        td::log(QStringLiteral("ComSlip::SendByteSLIP - frame of %1 bytes exceeds the output "
                               "buffer, not sent")
                    .arg(frame.size()));
        if (aElement.noReply != 1)
            m_queue->startReplyTimer();
        return;
    }
    for (int i = 0; i < frame.size(); ++i)
        SendByteSLIP(static_cast<uchar>(frame[i]), i == frame.size() - 1, aElement.noReply);
}

void ComSlip::SendByteSLIP(uchar byte, bool last, int noReply)
{
    if (!m_port || !m_port->isOpen() || m_port->error() != QSerialPort::NoError) {
        // Nothing reaches the key while the port is in error; the reply timer still runs so
        // the queue resends or moves on instead of waiting for ever.
        if (last) {
            m_outputCount = 0;
            const QSerialPort::SerialPortError error =
                (m_port && m_port->error() != QSerialPort::NoError) ? m_port->error()
                                                                     : QSerialPort::NotOpenError;
            logPortErrorOnce("ComSlip::SendByteSLIP - ", error, m_lastWriteError);
            if (noReply != 1)
                m_queue->startReplyTimer();
        }
        return;
    }
    if (m_outputCount >= OUTPUT_BUFFER_SIZE) {
        m_outputCount = 0;
        return;
    }
    m_outputBuffer[m_outputCount++] = byte;
    if (!last)
        return;

    if (noReply != 1)
        m_queue->startReplyTimer();
    const QByteArray out(reinterpret_cast<const char *>(m_outputBuffer), m_outputCount);
    m_outputCount = 0;
    if (m_port->write(out) != out.size())
        td::log(QStringLiteral("ComSlip::SendByteSLIP - write failed"));
}
