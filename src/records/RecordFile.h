#pragma once

#include "records/MeasureEntry.h"
#include "records/RecordHeader.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// A whole record file: the 60-byte header and the measured entries that follow it.
//
// Writing: count_con is always the number of entries written, whatever the header says, so
// a file can never promise entries it does not carry. A record without entries still carries
// one all-zero entry (with its CRC), which the key expects: 88 bytes.
//
// Reading: bytes from the key or from a PC folder may be cut short. Reading never goes past
// the end; it yields the entries really present and says what was missing.
struct RecordFile
{
    static constexpr int EmptySize = RecordHeader::Size + MeasureEntry::Size; // 88

    RecordHeader header;
    QVector<MeasureEntry> entries;

    struct ReadResult;
    static ReadResult read(const QByteArray &bytes);

    QByteArray toBytes() const;

    // What erasing the measures of a record does on the key's behalf: header bytes 19..23
    // (reserved byte, status, count_con) become zero and the entries go.
    void clearMeasures();
};

struct RecordFile::ReadResult
{
    RecordFile record;
    bool headerComplete = false;  // false: fewer than 60 bytes, record holds defaults
    bool truncated = false;       // count_con promised more entries than the file holds
    int promisedEntries = 0;      // count_con as read
    bool headerCrcOk = false;     // informational; the PC does not reject on a bad CRC
    int badEntryCrcs = 0;         // likewise
    QString problem;              // one line for the debug log, empty when all was there

    bool ok() const { return headerComplete && !truncated; }
};
