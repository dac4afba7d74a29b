#include "protocol/FileCmdHeader.h"

#include <QtEndian>

#include <cstring>

QString FileCmdHeader::fileName() const
{
    const void *nul = std::memchr(nameField.data(), 0, nameField.size());
    const int n = nul ? int(static_cast<const char *>(nul) - nameField.data()) : NameFieldSize;
    return QString::fromUtf8(nameField.data(), n);
}

bool FileCmdHeader::setFileName(const QString &keyPath)
{
    const QByteArray utf8 = keyPath.toUtf8();
    if (utf8.size() > MaxNameBytes || utf8.contains('\0'))
        return false;
    nameField.fill(0);
    std::memcpy(nameField.data(), utf8.constData(), size_t(utf8.size()));
    return true;
}

QByteArray FileCmdHeader::toBytes() const
{
    // Built in a fixed buffer: GCC cannot see that a QByteArray made with a size owns that
    // many bytes and warns about every write into it.
    char p[Size] = {};
    std::memcpy(p, nameField.data(), NameFieldSize);
    p[128] = char(command);
    p[129] = char(status);
    p[130] = char(notify);
    p[131] = char(reserved);
    qToLittleEndian<qint32>(seek, p + 132);
    qToLittleEndian<qint32>(length, p + 136);
    return QByteArray(p, Size);
}

QByteArray FileCmdHeader::toBytes(const QByteArray &data) const
{
    FileCmdHeader h = *this;
    h.length = data.size();
    return h.toBytes() + data;
}

bool FileCmdHeader::parse(const uchar *payload, int available, FileCmdHeader *header,
                          QByteArray *data, QString *why)
{
    auto refuse = [why](const QString &reason) {
        if (why)
            *why = reason;
        return false;
    };
    if (!payload || available < Size)
        return refuse(QStringLiteral("file command shorter than its header (%1 bytes)").arg(available));
    if (!std::memchr(payload, 0, NameFieldSize))
        return refuse(QStringLiteral("file name without its terminating NUL"));

    FileCmdHeader h;
    std::memcpy(h.nameField.data(), payload, NameFieldSize);
    h.command = payload[128];
    h.status = payload[129];
    h.notify = payload[130];
    h.reserved = payload[131];
    h.seek = qFromLittleEndian<qint32>(payload + 132);
    h.length = qFromLittleEndian<qint32>(payload + 136);

    if (h.length < 0 || h.length > MaxData)
        return refuse(QStringLiteral("length %1 outside 0..512").arg(h.length));
    if (h.length > available - Size)
        return refuse(QStringLiteral("length %1 beyond the %2 data bytes received")
                          .arg(h.length)
                          .arg(available - Size));
    if (h.seek < 0)
        return refuse(QStringLiteral("negative seek %1").arg(h.seek));

    *header = h;
    if (data)
        *data = QByteArray(reinterpret_cast<const char *>(payload) + Size, h.length);
    return true;
}
