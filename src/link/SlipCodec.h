#pragma once

#include "link/RxDataBuffer.h"

#include <QByteArray>
#include <QHostAddress>
#include <QString>

#include <array>
#include <functional>

// SLIP framing of one body (class byte, sub-code byte, payload, CRC-8) as it travels on the
// USB port and on the keys' TCP connections.
class SlipCodec
{
public:
    static constexpr uchar END = 0xC0;
    static constexpr uchar ESC = 0xDB;
    static constexpr uchar ESC_END = 0xDC;
    static constexpr uchar ESC_ESC = 0xDD;
    // Longest payload put into one frame; anything beyond is cut silently, the CRC covers
    // the cut body.
    static constexpr int MAX_PAYLOAD = 766;

    // One complete frame: opening END, the stuffed body with its CRC, closing END.
    // A null payload or a negative length counts as an empty payload.
    static QByteArray encode(uchar packetClass, uchar subCode, const uchar *payload, int length);
    static QByteArray encode(uchar packetClass, uchar subCode, const QByteArray &payload);
};

// The receiving state machine; one instance per link (or per shared TCP stream set), fed
// strictly in arrival order from one thread. Bytes are collected whether or not a frame is
// open; whether they are delivered is decided at the next END.
class SlipReceiver
{
public:
    using FrameHandler = std::function<void(const RxDataBuffer &)>;

    explicit SlipReceiver(FrameHandler handler = {});

    void setFrameHandler(FrameHandler handler) { m_handler = std::move(handler); }

    // Feeds one received byte with the context of the link it came from. Returns true when
    // this byte completed a frame whose CRC matched; that frame was handed to the handler
    // and is also kept in lastFrame().
    bool feed(uchar x, const QString &interfaceName, const QHostAddress &address, quint16 port);
    // Feeds a whole chunk; returns how many frames it completed.
    int feed(const QByteArray &bytes, const QString &interfaceName, const QHostAddress &address,
             quint16 port);

    // Back to the state of a fresh receiver (buffer zeroed).
    void reset();

    const RxDataBuffer &lastFrame() const { return m_lastFrame; }

    quint32 rxCounter() const { return RxCounter; }
    bool isEscapePending() const { return escapePending; }
    quint32 frameOpenCount() const { return frameOpen; }

    // Running totals, for diagnostics and tests.
    quint64 framesDelivered() const { return m_delivered; }
    quint64 crcErrors() const { return m_crcErrors; }
    quint64 overflows() const { return m_overflows; }

private:
    void store(uchar x);
    bool completeFrame(const QString &interfaceName, const QHostAddress &address, quint16 port);

    std::array<uchar, RxDataBuffer::PACKET_LENGTH_UPPER_LIMIT> m_buffer{};
    quint32 RxCounter = 0;
    bool escapePending = false;
    // Delimiters seen while nothing was collected; non-zero means a frame is open.
    quint32 frameOpen = 0;

    FrameHandler m_handler;
    RxDataBuffer m_lastFrame;
    quint64 m_delivered = 0;
    quint64 m_crcErrors = 0;
    quint64 m_overflows = 0;
};
