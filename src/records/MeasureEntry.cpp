#include "records/MeasureEntry.h"

#include "base/Crc8.h"
#include "base/LeBytes.h"

MeasureEntry MeasureEntry::fromBytes(const char *d)
{
    MeasureEntry e;
    e.moment = td::le::f32(d + 0);
    e.correctedDefect = td::le::f32(d + 4);
    e.angle = td::le::f32(d + 8);
    e.year = td::le::u16(d + 12);
    e.month = td::le::u8(d + 14);
    e.day = td::le::u8(d + 15);
    e.hour = td::le::u8(d + 16);
    e.minute = td::le::u8(d + 17);
    e.second = td::le::u8(d + 18);
    for (size_t i = 0; i < e.tail.size(); ++i)
        e.tail[i] = td::le::u8(d + 19 + int(i));
    return e;
}

MeasureEntry MeasureEntry::fromBytes(const QByteArray &data)
{
    QByteArray padded = data.left(Size);
    padded.append(QByteArray(Size - padded.size(), '\0'));
    return fromBytes(padded.constData());
}

QByteArray MeasureEntry::toBytes() const
{
    // A fixed buffer first: GCC cannot see that a QByteArray made with a size owns that many
    // bytes, and warns about every write into it.
    char d[Size] = {};
    td::le::putF32(d + 0, moment);
    td::le::putF32(d + 4, correctedDefect);
    td::le::putF32(d + 8, angle);
    td::le::putU16(d + 12, year);
    td::le::putU8(d + 14, month);
    td::le::putU8(d + 15, day);
    td::le::putU8(d + 16, hour);
    td::le::putU8(d + 17, minute);
    td::le::putU8(d + 18, second);
    for (size_t i = 0; i < tail.size(); ++i)
        td::le::putU8(d + 19 + int(i), tail[i]);
    d[CrcOffset] = 0; // the CRC is taken with its own byte zero
    QByteArray b(d, Size);
    b[CrcOffset] = char(td::crc8(b));
    return b;
}

bool MeasureEntry::crcMatches(const char *data)
{
    QByteArray b(data, Size);
    const quint8 stored = quint8(b[CrcOffset]);
    b[CrcOffset] = 0;
    return td::crc8(b) == stored;
}

QDateTime MeasureEntry::dateTime() const
{
    const QDate date(2000 + int(year), month, day);
    const QTime time(hour, minute, second);
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time);
}
