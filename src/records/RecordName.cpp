#include "records/RecordName.h"

#include "records/RecordHeader.h"

namespace {

QString hex2(int v) { return QStringLiteral("%1").arg(v & 0xFF, 2, 16, QLatin1Char('0')).toUpper(); }

int parseHex2(const QString &s)
{
    int v = 0;
    for (const QChar c : s) {
        const ushort u = c.unicode();
        int d;
        if (u >= '0' && u <= '9')
            d = u - '0';
        else if (u >= 'A' && u <= 'F')
            d = u - 'A' + 10;
        else
            return -1;
        v = v * 16 + d;
    }
    return v;
}

} // namespace

QString RecordName::make(int fio, int wheel, const QString &operation, int uzel)
{
    return hex2(fio) + hex2(wheel) + QString::fromLatin1(operation.toLatin1()) + hex2(uzel);
}

bool RecordName::parse(const QString &name, Parts *parts)
{
    const int opLen = name.size() - 6;
    if (opLen < 0 || opLen > RecordHeader::MaxOperationBytes)
        return false;
    const int fio = parseHex2(name.mid(0, 2));
    const int wheel = parseHex2(name.mid(2, 2));
    const int uzel = parseHex2(name.right(2));
    if (fio < 0 || wheel < 0 || uzel < 0)
        return false;
    const QString op = name.mid(4, opLen);
    for (const QChar c : op) {
        const ushort u = c.unicode();
        if (u < 0x21 || u > 0x7E || u == '/' || u == '\\' || u == ':')
            return false;
    }
    if (parts) {
        parts->fio = fio;
        parts->wheel = wheel;
        parts->operation = op;
        parts->uzel = uzel;
    }
    return true;
}

bool RecordName::isValidOperationNumber(const QString &operation)
{
    if (operation.size() != 10)
        return false;
    for (const QChar c : operation) {
        const ushort u = c.unicode();
        if (!((u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z')))
            return false;
    }
    return true;
}
