#include "link/SlipCodec.h"

#include "base/Log.h"
#include "base/Crc8.h"

#include <algorithm>
#include <limits>

namespace {

inline char *putStuffed(char *out, uchar b)
{
    if (b == SlipCodec::END) {
        *out++ = char(SlipCodec::ESC);
        *out++ = char(SlipCodec::ESC_END);
    } else if (b == SlipCodec::ESC) {
        *out++ = char(SlipCodec::ESC);
        *out++ = char(SlipCodec::ESC_ESC);
    } else {
        *out++ = char(b);
    }
    return out;
}

} // namespace

QByteArray SlipCodec::encode(uchar packetClass, uchar subCode, const uchar *payload, int length)
{
    const int n = payload ? std::clamp(length, 0, MAX_PAYLOAD) : 0;

    // Room for the worst case, every body byte stuffed; cut to size at the end.
    QByteArray out(2 * (n + 3) + 2, Qt::Uninitialized);
    char *const begin = out.data();
    char *p = begin;
    *p++ = char(END);

    quint8 crc = td::crc8Table(packetClass);
    crc = td::crc8Table(static_cast<quint8>(crc ^ subCode));
    p = putStuffed(p, packetClass);
    p = putStuffed(p, subCode);
    for (int i = 0; i < n; ++i) {
        crc = td::crc8Table(static_cast<quint8>(crc ^ payload[i]));
        p = putStuffed(p, payload[i]);
    }
    p = putStuffed(p, crc);
    *p++ = char(END);
    out.truncate(int(p - begin));
    return out;
}

QByteArray SlipCodec::encode(uchar packetClass, uchar subCode, const QByteArray &payload)
{
    return encode(packetClass, subCode, reinterpret_cast<const uchar *>(payload.constData()),
                  payload.size());
}

SlipReceiver::SlipReceiver(FrameHandler handler)
    : m_handler(std::move(handler))
{
    td::registerRxDataBufferType();
}

void SlipReceiver::reset()
{
    m_buffer.fill(0);
    RxCounter = 0;
    escapePending = false;
    frameOpen = 0;
}

bool SlipReceiver::feed(uchar x, const QString &interfaceName, const QHostAddress &address,
                        quint16 port)
{
    if (x == SlipCodec::END) {
        bool delivered = false;
        if (frameOpen != 0 && RxCounter != 0) {
            delivered = completeFrame(interfaceName, address, port);
            RxCounter = 0;
            escapePending = false;
            frameOpen = 0;
        } else if (frameOpen != 0) {
            // Repeated delimiters keep the frame open; saturate so that a flood of them can
            // never wrap the counter back to "closed".
            if (frameOpen < std::numeric_limits<quint32>::max())
                ++frameOpen;
        } else if (RxCounter != 0) {
            // Bytes that arrived outside any frame (a stream joined mid-frame, or the tail
            // of an over-long one).
            RxCounter = 0;
            escapePending = false;
        } else {
            frameOpen = 1;
        }
        return delivered;
    }

    if (escapePending) {
        escapePending = false;
        if (x == SlipCodec::ESC_ESC)
            store(SlipCodec::ESC);
        else if (x == SlipCodec::ESC_END)
            store(SlipCodec::END);
        else
            store(x);
    } else if (x == SlipCodec::ESC) {
        escapePending = true;
    } else {
        store(x);
    }
    return false;
}

int SlipReceiver::feed(const QByteArray &bytes, const QString &interfaceName,
                       const QHostAddress &address, quint16 port)
{
    int frames = 0;
    for (char c : bytes) {
        if (feed(static_cast<uchar>(c), interfaceName, address, port))
            ++frames;
    }
    return frames;
}

void SlipReceiver::store(uchar x)
{
    if (RxCounter >= quint32(RxDataBuffer::PACKET_LENGTH_UPPER_LIMIT)) {
        // This would be byte 769: drop the partial frame; the rest of it up to its closing
        // delimiter is then discarded as bytes outside a frame.
        RxCounter = 0;
        escapePending = false;
        frameOpen = 0;
        ++m_overflows;
        td::log(QStringLiteral("*** ERROR *** RxCounter > PACKET_LENGTH_UPPER_LIMIT"));
        return;
    }
    m_buffer[RxCounter++] = x;
}

bool SlipReceiver::completeFrame(const QString &interfaceName, const QHostAddress &address,
                                 quint16 port)
{
    const int n = static_cast<int>(RxCounter);
    const quint8 crc = td::crc8(m_buffer.data(), n - 1);
    if (crc != m_buffer[static_cast<size_t>(n - 1)]) {
        ++m_crcErrors;
        td::log(QStringLiteral("*** ERROR SLIP CRC8 ***"));
        return false;
    }

    RxDataBuffer frame;
    std::copy_n(m_buffer.begin(), n, frame.data.begin());
    frame.length = n;
    frame.interfaceName = interfaceName;
    if (!address.isNull()) {
        frame.hostAddress = address;
        frame.port = port;
    }
    m_lastFrame = frame;
    ++m_delivered;
    if (m_handler)
        m_handler(m_lastFrame);
    return true;
}
