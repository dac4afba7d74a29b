// The key's JSON objects through the dispatcher, as USB frames and as frames of an unknown
// network peer. Beyond not crashing: a peer that is not the key in use changes nothing, and
// nothing is written outside the download folder (the calibration archive included).
#include "FuzzProtocol.h"

#include "link/RxDataBuffer.h"

#include <cstdint>
#include <cstring>

using fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    qInstallMessageHandler(fuzz::quiet);
    fuzz::Stack &s = fuzz::stack();
    s.reset();
    const QByteArray text(reinterpret_cast<const char *>(data), int(size));

    // An unregistered network peer first: nothing may move, no queue is released.
    const int queuedBefore = s.usb.queued;
    const int acksBefore = s.usb.acks;
    s.protocol.ParseJsonRx(text, QStringLiteral("AA:BB"), QHostAddress(QStringLiteral("10.0.0.9")), 32000);
    s.protocol.ParseJsonRx(text, QString(), QHostAddress(QStringLiteral("10.0.0.9")), 32000);
    check(s.usb.acks == acksBefore);
    check(s.usb.queued == queuedBefore);
    check(s.files.pendingList().isEmpty());

    // The USB key, as a whole frame (cut to what a frame holds) and as parsed text.
    RxDataBuffer rx;
    const int n = int(qMin<size_t>(size, RxDataBuffer::PACKET_LENGTH_UPPER_LIMIT - 3));
    rx.data[0] = KeyProtocol::ClassJson;
    rx.data[1] = KeyProtocol::SubCodeJson;
    if (n > 0)
        std::memcpy(rx.data.data() + 2, data, size_t(n));
    rx.length = 2 + n + 1;
    s.protocol.iReceiveUart_Click(rx);
    s.protocol.ParseJsonRx(text, QString(), QHostAddress(), 0);
    s.checkConfined();
    return 0;
}
