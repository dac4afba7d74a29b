#include "KeyFileCommand.h"

#include <QtEndian>

#include <cstring>

namespace keysim {

bool KeyFileCommand::parse(const QByteArray &payload, KeyFileCommand *out, QString *why)
{
    KeyFileCommand c;
    const int have = payload.size();
    const int nameBytes = qMin(have, NameSize);
    const int nul = payload.left(nameBytes).indexOf('\0');
    c.fileName = payload.left(nul >= 0 ? nul : nameBytes);
    const auto byteAt = [&](int i) -> uchar { return i < have ? uchar(payload.at(i)) : 0; };
    c.command = byteAt(128);
    c.status = byteAt(129);
    c.notify = byteAt(130);
    c.reserved = byteAt(131);

    auto fail = [&](const QString &reason) {
        if (why)
            *why = reason;
        if (out)
            *out = c;
        return false;
    };

    if (have < HeaderSize)
        return fail(QStringLiteral("file command of %1 bytes is shorter than its header").arg(have));
    c.seek = qFromLittleEndian<qint32>(payload.constData() + 132);
    c.length = qFromLittleEndian<qint32>(payload.constData() + 136);
    if (nul < 0)
        return fail(QStringLiteral("file name is not terminated"));
    if (c.length < 0 || c.length > MaxData)
        return fail(QStringLiteral("data length %1 out of range").arg(c.length));
    if (c.command != FA_READ_DIR) {
        if (have - HeaderSize < c.length)
            return fail(QStringLiteral("data length %1 but %2 bytes arrived").arg(c.length).arg(have - HeaderSize));
        c.data = payload.mid(HeaderSize, c.length);
    }
    if (out)
        *out = c;
    return true;
}

QByteArray KeyFileCommand::encode() const
{
    // Built in a fixed buffer: the optimiser cannot see a QByteArray's size and warns on
    // every byte written into one.
    uchar header[HeaderSize] = {};
    const int n = qMin(fileName.size(), NameSize - 1);
    std::memcpy(header, fileName.constData(), size_t(n));
    header[128] = uchar(command);
    header[129] = uchar(status);
    header[130] = uchar(notify);
    header[131] = uchar(reserved);
    const int dataLength = qMin(data.size(), MaxData);
    qToLittleEndian<qint32>(seek, header + 132);
    qToLittleEndian<qint32>(dataLength, header + 136);
    QByteArray out(reinterpret_cast<const char *>(header), HeaderSize);
    out.append(data.left(dataLength));
    return out;
}

} // namespace keysim
