#pragma once

#include <QHostAddress>
#include <QMetaType>
#include <QString>

#include <array>

// One queued command for the key: destination, frame body parts and how the queue treats it.
// A plain value: the queue holds its own copies and hands each transmission to the link as
// another copy, so no storage is shared between the queue thread and the GUI thread.
struct QueueElement
{
    static constexpr int PAYLOAD_CAPACITY = 1024;

    QHostAddress hostAddress; // destination key; null for USB
    quint16 port = 0;         // destination port; ignored for USB
    QString interfaceName;    // "USB", or the Wi-Fi key's identifier
    uchar marker = 1;
    uchar packetClass = 0;
    uchar subCode = 0;
    std::array<uchar, PAYLOAD_CAPACITY> payload{};
    quint16 length = 0;   // meaningful bytes of payload; the frame encoder cuts further at 766
    quint16 attempts = 0; // transmissions allowed; only the low byte counts
    int noReply = 0;      // 1: the key does not answer this command

    // Copies the payload, cutting it to the capacity. Returns false when it had to cut
    // (or was given a null pointer with a non-zero length).
    bool setPayload(const uchar *data, int size);

    const uchar *payloadData() const { return payload.data(); }

    // Whether a payload of that size may be queued. A cut command would reach the key as a
    // different command, so both links refuse what does not fit, and say so in one line.
    static bool acceptsPayload(int size);
};

Q_DECLARE_METATYPE(QueueElement)

namespace td {
// Registers QueueElement for queued signals under its plain name. Idempotent.
void registerQueueElementType();
} // namespace td
