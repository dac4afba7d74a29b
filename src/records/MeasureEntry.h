#pragma once

#include <QByteArray>
#include <QDateTime>

#include <array>

// One measured tightening as the key stores it after a record header: 28 bytes, little-endian.
// Bytes 19..27 are the key's own (byte 24 is the entry's CRC-8); they are kept as read so a
// record file written back carries them unchanged, with only the CRC recomputed.
struct MeasureEntry
{
    static constexpr int Size = 28;
    static constexpr int CrcOffset = 24;

    float moment = 0;         // as the key stores it; negative shown as absolute value
    float correctedDefect = 0;
    float angle = 0;          // degrees
    quint16 year = 0;         // years since 2000
    quint8 month = 0;
    quint8 day = 0;
    quint8 hour = 0;
    quint8 minute = 0;
    quint8 second = 0;
    std::array<quint8, 9> tail{}; // bytes 19..27 as read; [5] is the CRC slot

    // Reads exactly Size bytes from data (the caller has checked there are that many).
    static MeasureEntry fromBytes(const char *data);
    static MeasureEntry fromBytes(const QByteArray &data); // first 28 bytes; zeros if short

    // The 28 bytes with byte 24 set to the CRC-8 of all 28 bytes taken with byte 24 zero.
    QByteArray toBytes() const;

    quint8 storedCrc() const { return tail[CrcOffset - 19]; }
    // True when the stored CRC matches the bytes (informational: the PC does not reject).
    static bool crcMatches(const char *data);

    // The time stamp, invalid when the fields do not form a real date and time.
    QDateTime dateTime() const;
};
