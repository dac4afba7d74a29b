#pragma once

#include <QByteArray>
#include <QString>

// The 60-byte header of a record file (the key calls a record a page). Little-endian,
// floats IEEE-754 single precision. Byte 26 holds the CRC-8 of the 60 bytes taken with
// bytes 26 and 27 zero; byte 27 is always 0.
//
// Reserved bytes the key may fill (the tail of the operation-number field after its NUL,
// bytes 17..19) are kept as read, so a header read and written back changes only what the
// PC set on purpose. A header made from scratch has them all zero.
struct RecordHeader
{
    static constexpr int Size = 60;
    static constexpr int OperationFieldSize = 13;
    static constexpr int MaxOperationBytes = OperationFieldSize - 1;
    static constexpr int CrcOffset = 26;

    QByteArray operationField = QByteArray(OperationFieldSize, '\0'); // raw 13 bytes
    quint8 algorithm = 0;
    quint8 fioIndex = 0;
    quint8 wheelIndex = 0;
    quint8 uzelIndex = 0;
    quint8 reserved17 = 0;
    quint8 reserved18 = 0;
    quint8 reserved19 = 0;
    quint16 status = 0;
    quint16 countCon = 0;
    quint16 countTotal = 1;
    quint8 crc = 0; // as read; toBytes() computes its own
    float rangeLow = 1;
    float rangeHigh = 1;
    float headMm = 0;
    float angleLow = 1;
    float angleHigh = 1;
    float startMom = 1;
    float pitchStep = 1;
    float angle = 1;

    // Text before the NUL of the operation-number field (Latin-1 / ASCII as the key keeps it).
    QString operationNumber() const;
    // Stores text as UTF-8 with its NUL and zero reserved bytes after it. A text of more
    // than 12 bytes is cut at a UTF-8 character boundary; returns false when it was cut.
    bool setOperationNumber(const QString &text);

    // Reads Size bytes (the caller has checked there are that many).
    static RecordHeader fromBytes(const char *data);
    // The 60 bytes with the CRC in byte 26.
    QByteArray toBytes() const;

    // CRC-8 over the 60 bytes of data with bytes 26 and 27 taken as zero.
    static quint8 computeCrc(const char *data);
    bool crcMatches(const char *data) const { return computeCrc(data) == quint8(data[CrcOffset]); }
};
