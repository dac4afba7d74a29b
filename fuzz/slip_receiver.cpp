// The SLIP receiver against arbitrary bytes, fed in chunkings chosen by the input itself.
// Beyond not crashing: every delivered frame holds 1..768 bytes with a matching CRC and
// zeros behind it, and re-encoding a delivered body brings back the same body.
#include "base/Crc8.h"
#include "link/SlipCodec.h"

#include <QtGlobal>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void quiet(QtMsgType, const QMessageLogContext &, const QString &) {}

void checkFrame(const RxDataBuffer &f)
{
    check(f.length >= 1 && f.length <= RxDataBuffer::PACKET_LENGTH_UPPER_LIMIT);
    check(td::crc8(f.bytes(), f.length - 1) == f.data[size_t(f.length - 1)]);
    for (int i = f.length; i < RxDataBuffer::PACKET_LENGTH_UPPER_LIMIT; ++i)
        check(f.data[size_t(i)] == 0);
    check(f.interfaceName == QLatin1String("USB") && f.hostAddress.isNull() && f.port == 0);

    // Bodies of three or more bytes are class, sub-code, payload and CRC: encode them again.
    if (f.length >= 3) {
        const QByteArray wire =
            SlipCodec::encode(f.data[0], f.data[1], f.bytes() + 2, f.length - 3);
        int again = 0;
        SlipReceiver second([&](const RxDataBuffer &g) {
            ++again;
            check(g.length == f.length && g.data == f.data);
        });
        second.feed(wire, QStringLiteral("USB"), QHostAddress(), 0);
        check(again == 1);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    qInstallMessageHandler(quiet);
    if (size == 0)
        return 0;
    // The first byte picks the chunk size (0: byte by byte through the single-byte call).
    const int chunk = data[0];
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), int(size - 1));
    const QString usb = QStringLiteral("USB");
    const QHostAddress none;

    int handled = 0;
    SlipReceiver receiver([&](const RxDataBuffer &f) {
        ++handled;
        checkFrame(f);
    });
    int reported = 0;
    if (chunk == 0) {
        for (char c : bytes)
            reported += receiver.feed(uchar(c), usb, none, 0) ? 1 : 0;
    } else {
        for (int pos = 0; pos < bytes.size(); pos += chunk)
            reported += receiver.feed(bytes.mid(pos, chunk), usb, none, 0);
    }
    check(reported == handled);
    check(receiver.rxCounter() <= quint32(RxDataBuffer::PACKET_LENGTH_UPPER_LIMIT));
    check(receiver.framesDelivered() == quint64(handled));
    return 0;
}
