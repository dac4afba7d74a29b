// A folder listing as the key sends it, split over as many parts as the input says: names
// end with "\n" (files) or "\r" (folders), a NUL ends the listing. Every file the exchange
// then asks for must be a safe name inside the listed folder, listed once, and the folder
// must finish once its last part has come.
#include "FuzzProtocol.h"

#include "link/RxDataBuffer.h"
#include "protocol/FileCmdHeader.h"

#include <QSet>

#include <cstdint>
#include <cstring>

using fuzz::check;

namespace {

void deliver(fuzz::Stack &s, const QString &keyDir, quint8 status, qint32 seek, const QByteArray &part)
{
    FileCmdHeader h;
    check(h.setFileName(keyDir));
    h.command = FileCmdHeader::FA_READ_DIR;
    h.status = status;
    h.seek = seek;
    const QByteArray payload = h.toBytes(part);
    RxDataBuffer rx;
    rx.data[0] = KeyProtocol::ClassFile;
    rx.data[1] = 0;
    std::memcpy(rx.data.data() + 2, payload.constData(), size_t(payload.size()));
    rx.length = 2 + payload.size() + 1;
    s.protocol.iReceiveUart_Click(rx);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    qInstallMessageHandler(fuzz::quiet);
    if (size < 1)
        return 0;
    fuzz::Stack &s = fuzz::stack();
    s.reset();

    // First byte: the part size (1..256) and whether the listing ends in an error.
    const int partSize = 1 + (data[0] & 0x7F) * 2;
    const bool endsInError = data[0] & 0x80;
    const QByteArray listing(reinterpret_cast<const char *>(data + 1), int(size - 1));
    const QString keyDir = QStringLiteral("/dbsett");

    check(s.files.GetFromKey(QStringLiteral("dbsett"), QStringLiteral("*")));
    int seek = 0;
    for (int pos = 0; pos < listing.size(); pos += partSize) {
        const QByteArray part = listing.mid(pos, qMin(partSize, FileCmdHeader::MaxData));
        deliver(s, keyDir, FileCmdHeader::StatusMore, ++seek, part);
    }
    deliver(s, keyDir, endsInError ? FileCmdHeader::StatusError : FileCmdHeader::StatusFinished, ++seek, {});

    QSet<QString> seen;
    for (const TransferEntry &e : s.files.pendingList()) {
        check(e.command == FileCmdHeader::FA_READ);
        check(e.keyDir == keyDir && e.group == keyDir);
        check(e.keyPath == keyDir + QLatin1Char('/') + e.fileText);
        check(Paths::isSafeName(e.fileText));
        check(!seen.contains(e.keyPath));
        seen.insert(e.keyPath);
    }
    // The listing is over: only the files' own reads may keep the exchange busy.
    check(s.files.isBusy() == !s.files.pendingList().isEmpty());
    s.checkConfined();
    return 0;
}
