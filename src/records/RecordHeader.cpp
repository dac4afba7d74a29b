#include "records/RecordHeader.h"

#include "base/Crc8.h"
#include "base/LeBytes.h"
#include "base/Utf8Field.h"

#include <cstring>

QString RecordHeader::operationNumber() const
{
    const int nul = operationField.indexOf('\0');
    return QString::fromLatin1(operationField.left(nul < 0 ? operationField.size() : nul));
}

bool RecordHeader::setOperationNumber(const QString &text)
{
    bool cut = false;
    const QByteArray bytes = Utf8Field::fit(text, OperationFieldSize, &cut);
    operationField = bytes;
    operationField.append(QByteArray(OperationFieldSize - bytes.size(), '\0'));
    return !cut;
}

RecordHeader RecordHeader::fromBytes(const char *d)
{
    RecordHeader h;
    h.operationField = QByteArray(d, OperationFieldSize);
    h.algorithm = td::le::u8(d + 13);
    h.fioIndex = td::le::u8(d + 14);
    h.wheelIndex = td::le::u8(d + 15);
    h.uzelIndex = td::le::u8(d + 16);
    h.reserved17 = td::le::u8(d + 17);
    h.reserved18 = td::le::u8(d + 18);
    h.reserved19 = td::le::u8(d + 19);
    h.status = td::le::u16(d + 20);
    h.countCon = td::le::u16(d + 22);
    h.countTotal = td::le::u16(d + 24);
    h.crc = td::le::u8(d + 26);
    h.rangeLow = td::le::f32(d + 28);
    h.rangeHigh = td::le::f32(d + 32);
    h.headMm = td::le::f32(d + 36);
    h.angleLow = td::le::f32(d + 40);
    h.angleHigh = td::le::f32(d + 44);
    h.startMom = td::le::f32(d + 48);
    h.pitchStep = td::le::f32(d + 52);
    h.angle = td::le::f32(d + 56);
    return h;
}

QByteArray RecordHeader::toBytes() const
{
    // A fixed buffer first: GCC cannot see that a QByteArray made with a size owns that many
    // bytes, and warns about every write into it.
    char d[Size] = {};
    // A field of the wrong length (set by hand) still lands in exactly 13 bytes.
    QByteArray op = operationField.left(OperationFieldSize);
    op.append(QByteArray(OperationFieldSize - op.size(), '\0'));
    std::memcpy(d, op.constData(), OperationFieldSize);
    td::le::putU8(d + 13, algorithm);
    td::le::putU8(d + 14, fioIndex);
    td::le::putU8(d + 15, wheelIndex);
    td::le::putU8(d + 16, uzelIndex);
    td::le::putU8(d + 17, reserved17);
    td::le::putU8(d + 18, reserved18);
    td::le::putU8(d + 19, reserved19);
    td::le::putU16(d + 20, status);
    td::le::putU16(d + 22, countCon);
    td::le::putU16(d + 24, countTotal);
    td::le::putF32(d + 28, rangeLow);
    td::le::putF32(d + 32, rangeHigh);
    td::le::putF32(d + 36, headMm);
    td::le::putF32(d + 40, angleLow);
    td::le::putF32(d + 44, angleHigh);
    td::le::putF32(d + 48, startMom);
    td::le::putF32(d + 52, pitchStep);
    td::le::putF32(d + 56, angle);
    d[CrcOffset] = char(computeCrc(d));
    return QByteArray(d, Size);
}

quint8 RecordHeader::computeCrc(const char *data)
{
    QByteArray b(data, Size);
    b[CrcOffset] = 0;
    b[CrcOffset + 1] = 0;
    return td::crc8(b);
}
