#pragma once

#include <QHostAddress>
#include <QMetaType>
#include <QString>

#include <array>

// One received frame body as a link hands it to the protocol layer. A plain value: copied
// into queued signals, never shared.
struct RxDataBuffer
{
    static constexpr int PACKET_LENGTH_UPPER_LIMIT = 768;

    // The decoded body from offset 0 (CRC byte included on SLIP links, the datagram's bytes
    // on UDP); everything past the body is zero.
    std::array<uchar, PACKET_LENGTH_UPPER_LIMIT> data{};
    // "USB" inside the USB link, empty once a USB frame reaches the protocol layer, the
    // key's MAC text for a Wi-Fi key.
    QString interfaceName;
    QHostAddress hostAddress; // null for USB
    quint16 port = 0;         // 0 for USB
    // How many bytes of data actually arrived. Parsers bound every length and offset they
    // read from the body by this, since the body itself carries no length field.
    int length = 0;

    const uchar *bytes() const { return data.data(); }
    uchar *bytes() { return data.data(); }
};

Q_DECLARE_METATYPE(RxDataBuffer)

namespace td {
// Registers RxDataBuffer (under its plain name, as string-based connects spell it) for
// queued signals. Idempotent and cheap; every emitter calls it before its first emit.
void registerRxDataBufferType();
} // namespace td
