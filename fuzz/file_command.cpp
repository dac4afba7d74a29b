// The file command as the key sends it: the 140-byte header parser on its own, then the
// whole reply through the exchange (the first byte picks the command and status, so reads,
// writes and listings are all reached). Beyond not crashing: an accepted header describes
// only bytes that arrived and survives a round trip, and nothing is written outside the
// download folder.
#include "FuzzProtocol.h"

#include "link/RxDataBuffer.h"
#include "protocol/FileCmdHeader.h"

#include <cstdint>
#include <cstring>

using fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    qInstallMessageHandler(fuzz::quiet);
    fuzz::Stack &s = fuzz::stack();
    s.reset();

    FileCmdHeader h;
    QByteArray body;
    QString why;
    const bool ok = FileCmdHeader::parse(data, int(size), &h, &body, &why);
    check(ok == why.isEmpty());
    if (ok) {
        check(h.length >= 0 && h.length <= FileCmdHeader::MaxData && h.seek >= 0);
        check(body.size() == h.length && h.length <= int(size) - FileCmdHeader::Size);
        const QByteArray again = h.toBytes(body);
        check(again.size() == FileCmdHeader::Size + body.size());
        check(std::memcmp(again.constData(), data, size_t(again.size())) == 0);
    }

    // A pending read of the named file, so a reply finds something to continue.
    if (ok && h.fileName().count(QLatin1Char('/')) == 2)
        s.files.GetFromKey(h.fileName().section(QLatin1Char('/'), 1, 1), h.fileName().section(QLatin1Char('/'), 2));

    RxDataBuffer rx;
    const int n = int(qMin<size_t>(size, RxDataBuffer::PACKET_LENGTH_UPPER_LIMIT - 3));
    rx.data[0] = KeyProtocol::ClassFile;
    rx.data[1] = 0;
    if (n > 0)
        std::memcpy(rx.data.data() + 2, data, size_t(n));
    rx.length = 2 + n + 1; // the link leaves its CRC byte at the end
    s.protocol.iReceiveUart_Click(rx);
    // The same reply again: a repeated part must not break the collected data.
    s.protocol.iReceiveUart_Click(rx);
    s.files.checkStalled();
    s.checkConfined();
    for (const TransferEntry &e : s.files.pendingList()) {
        QString folder, file;
        check(FileExchange::splitKeyPath(e.keyPath, &folder, &file));
    }
    return 0;
}
