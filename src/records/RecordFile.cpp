#include "records/RecordFile.h"

RecordFile::ReadResult RecordFile::read(const QByteArray &bytes)
{
    ReadResult r;
    if (bytes.size() < RecordHeader::Size) {
        r.problem = QStringLiteral("record file of %1 bytes is shorter than its %2-byte header")
                        .arg(bytes.size())
                        .arg(RecordHeader::Size);
        return r;
    }
    const char *d = bytes.constData();
    r.headerComplete = true;
    r.record.header = RecordHeader::fromBytes(d);
    r.headerCrcOk = r.record.header.crcMatches(d);
    r.promisedEntries = r.record.header.countCon;

    const int available = (bytes.size() - RecordHeader::Size) / MeasureEntry::Size;
    const int n = qMin(available, r.promisedEntries);
    r.record.entries.reserve(n);
    for (int i = 0; i < n; ++i) {
        const char *e = d + RecordHeader::Size + i * MeasureEntry::Size;
        r.record.entries.append(MeasureEntry::fromBytes(e));
        if (!MeasureEntry::crcMatches(e))
            ++r.badEntryCrcs;
    }
    if (n < r.promisedEntries) {
        r.truncated = true;
        r.problem = QStringLiteral("record file promises %1 entries but holds %2 (%3 bytes)")
                        .arg(r.promisedEntries)
                        .arg(n)
                        .arg(bytes.size());
    }
    return r;
}

QByteArray RecordFile::toBytes() const
{
    RecordHeader h = header;
    const int n = qMin(entries.size(), 0xFFFF);
    h.countCon = quint16(n);
    QByteArray out = h.toBytes();
    if (n == 0) {
        out += MeasureEntry().toBytes();
        return out;
    }
    out.reserve(RecordHeader::Size + n * MeasureEntry::Size);
    for (int i = 0; i < n; ++i)
        out += entries.at(i).toBytes();
    return out;
}

void RecordFile::clearMeasures()
{
    header.reserved19 = 0;
    header.status = 0;
    header.countCon = 0;
    entries.clear();
}
