#include "base/AtomicFile.h"
#include "records/MeasureAlgorithms.h"
#include "records/ModesVisibility.h"
#include "records/RecordFile.h"
#include "records/RecordName.h"
#include "records/RecordParameters.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

namespace {

// Bit-at-a-time CRC-8 (reflected 0x8C, init 0), written apart from the table routine the
// code uses so a wrong table or a wrong byte range shows up.
quint8 refCrc(const QByteArray &b)
{
    quint8 crc = 0;
    for (char ch : b) {
        crc ^= quint8(ch);
        for (int i = 0; i < 8; ++i)
            crc = (crc & 1) ? quint8((crc >> 1) ^ 0x8C) : quint8(crc >> 1);
    }
    return crc;
}

float f32At(const QByteArray &b, int off)
{
    quint32 bits = quint8(b[off]) | quint32(quint8(b[off + 1])) << 8 | quint32(quint8(b[off + 2])) << 16
                   | quint32(quint8(b[off + 3])) << 24;
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

int u16At(const QByteArray &b, int off) { return quint8(b[off]) | quint8(b[off + 1]) << 8; }

RecordHeader sampleHeader()
{
    RecordHeader h;
    h.setOperationNumber(QStringLiteral("0000000042"));
    h.algorithm = 4;
    h.fioIndex = 1;
    h.wheelIndex = 10;
    h.uzelIndex = 3;
    h.status = 0x0206;
    h.countTotal = 12;
    h.rangeLow = 70;
    h.rangeHigh = 80.5f;
    h.headMm = 24;
    h.angleLow = 10;
    h.angleHigh = 90;
    h.startMom = 10;
    h.pitchStep = 1.25f;
    h.angle = 45;
    return h;
}

MeasureEntry sampleEntry(int i)
{
    MeasureEntry e;
    e.moment = 70.0f + float(i);
    e.correctedDefect = i % 2 ? -1.5f : 0.0f;
    e.angle = 30.0f + float(i);
    e.year = 24;
    e.month = 3;
    e.day = quint8(1 + i);
    e.hour = 13;
    e.minute = 45;
    e.second = quint8(i);
    e.tail = {1, 2, 3, 4, 5, 0, 7, 8, 9};
    return e;
}

} // namespace

class TestRecordFile : public QObject
{
    Q_OBJECT
private slots:
    void namesFollowThePattern();
    void namesThatCannotComeFromARecordAreRefused();
    void headerBytesSitAtTheirOffsets();
    void crcsCoverTheRightBytes();
    void emptyRecordIs88Bytes();
    void entriesRoundTripByteExact();
    void keyBytesSurviveReadAndWrite();
    void goldenFilesReadAndRewriteExactly();
    void countConFollowsTheEntriesWritten();
    void erasingMeasuresClearsBytes19To23();
    void shortFilesYieldWhatTheyHold();
    void operationNumberIsCutAtACharacter();
    void entryDateTime();
    void algorithmNamesAndCodes();
    void captionsFollowTheAlgorithm();
    void momentRangeStaysOrdered();
    void modesVisibilityDefaultsAndLoading();
    void atomicWriteReportsFailure();
};

void TestRecordFile::namesFollowThePattern()
{
    QCOMPARE(RecordName::make(1, 10, "0000000042", 3), QStringLiteral("010A000000004203"));
    QCOMPARE(RecordName::make(0, 0, "ABC0000001", 0), QStringLiteral("0000ABC000000100"));
    QCOMPARE(RecordName::make(9, 49, "ZZZZZZZZZZ", 99), QStringLiteral("0931ZZZZZZZZZZ63"));

    RecordName::Parts p;
    QVERIFY(RecordName::parse("010A000000004203", &p));
    QCOMPARE(p.fio, 1);
    QCOMPARE(p.wheel, 10);
    QCOMPARE(p.operation, QStringLiteral("0000000042"));
    QCOMPARE(p.uzel, 3);
    QVERIFY(RecordName::parse("0000ABC000000100", &p));
    QCOMPARE(p.operation, QStringLiteral("ABC0000001"));
    QCOMPARE(p.uzel, 0);
    QVERIFY(RecordName::parse("FF31ZZ63", &p));
    QCOMPARE(p.fio, 255);
    QCOMPARE(p.operation, QStringLiteral("ZZ"));

    QVERIFY(RecordName::isValidOperationNumber("ABC0000001"));
    QVERIFY(!RecordName::isValidOperationNumber("abc0000001"));
    QVERIFY(!RecordName::isValidOperationNumber("ABC000001"));
    QVERIFY(!RecordName::isValidOperationNumber("ABC00000-1"));
}

void TestRecordFile::namesThatCannotComeFromARecordAreRefused()
{
    RecordName::Parts p;
    p.fio = 77;
    const char *bad[] = {"",          "01020",           "0a0B000000000103", "0G01000000000100",
                         "0001AB/000000100", "0001..\\0000000100", "0001ABC 00000100",
                         "0001ABCDEFGHIJKLM00" /* 13-char operation */};
    for (const char *name : bad) {
        QVERIFY2(!RecordName::parse(QString::fromLatin1(name), &p), name);
        QCOMPARE(p.fio, 77); // untouched on refusal
    }
}

void TestRecordFile::headerBytesSitAtTheirOffsets()
{
    const QByteArray b = sampleHeader().toBytes();
    QCOMPARE(b.size(), 60);
    QCOMPARE(b.left(11), QByteArray("0000000042\0", 11));
    QCOMPARE(b.mid(11, 2), QByteArray(2, '\0'));
    QCOMPARE(int(b[13]), 4);
    QCOMPARE(int(b[14]), 1);
    QCOMPARE(int(b[15]), 10);
    QCOMPARE(int(b[16]), 3);
    QCOMPARE(b.mid(17, 3), QByteArray(3, '\0'));
    QCOMPARE(u16At(b, 20), 0x0206);
    QCOMPARE(u16At(b, 22), 0);
    QCOMPARE(u16At(b, 24), 12);
    QCOMPARE(int(b[27]), 0);
    QCOMPARE(f32At(b, 28), 70.0f);
    QCOMPARE(f32At(b, 32), 80.5f);
    QCOMPARE(f32At(b, 36), 24.0f);
    QCOMPARE(f32At(b, 40), 10.0f);
    QCOMPARE(f32At(b, 44), 90.0f);
    QCOMPARE(f32At(b, 48), 10.0f);
    QCOMPARE(f32At(b, 52), 1.25f);
    QCOMPARE(f32At(b, 56), 45.0f);
}

void TestRecordFile::crcsCoverTheRightBytes()
{
    RecordFile rf;
    rf.header = sampleHeader();
    rf.entries = {sampleEntry(0), sampleEntry(1)};
    const QByteArray b = rf.toBytes();

    QByteArray head = b.left(60);
    const quint8 stored = quint8(head[26]);
    head[26] = 0;
    head[27] = 0;
    QCOMPARE(refCrc(head), stored);
    QCOMPARE(int(b[27]), 0);

    for (int i = 0; i < 2; ++i) {
        QByteArray e = b.mid(60 + 28 * i, 28);
        const quint8 s = quint8(e[24]);
        e[24] = 0;
        QCOMPARE(refCrc(e), s);
    }

    // The reader does not reject a bad CRC but says so.
    QByteArray spoilt = b;
    spoilt[30] = char(spoilt[30] ^ 0x40);
    spoilt[60 + 28 + 3] = char(spoilt[60 + 28 + 3] ^ 1);
    const auto r = RecordFile::read(spoilt);
    QVERIFY(r.ok());
    QVERIFY(!r.headerCrcOk);
    QCOMPARE(r.badEntryCrcs, 1);
    QCOMPARE(r.record.entries.size(), 2);
    QVERIFY(RecordFile::read(b).headerCrcOk);
    QCOMPARE(RecordFile::read(b).badEntryCrcs, 0);

    // Byte 27 is outside the CRC whatever the key left there.
    QByteArray odd27 = b;
    odd27[27] = char(0x5C);
    QVERIFY(RecordFile::read(odd27).headerCrcOk);
    QCOMPARE(RecordHeader::computeCrc(odd27.constData()), stored);
}

void TestRecordFile::emptyRecordIs88Bytes()
{
    RecordFile rf;
    rf.header = sampleHeader();
    const QByteArray b = rf.toBytes();
    QCOMPARE(b.size(), 88);
    QCOMPARE(b.mid(60), QByteArray(28, '\0')); // CRC of 28 zero bytes is 0
    const auto r = RecordFile::read(b);
    QVERIFY(r.ok());
    QCOMPARE(int(r.record.header.countCon), 0);
    QCOMPARE(r.record.entries.size(), 0);
    QCOMPARE(RecordFile{r.record}.toBytes(), b);
}

void TestRecordFile::entriesRoundTripByteExact()
{
    RecordFile rf;
    rf.header = sampleHeader();
    for (int i = 0; i < 5; ++i)
        rf.entries << sampleEntry(i);
    const QByteArray b = rf.toBytes();
    QCOMPARE(b.size(), 60 + 5 * 28);
    QCOMPARE(u16At(b, 22), 5);
    // Entry fields at their offsets.
    const QByteArray e3 = b.mid(60 + 3 * 28, 28);
    QCOMPARE(f32At(e3, 0), 73.0f);
    QCOMPARE(f32At(e3, 4), -1.5f);
    QCOMPARE(f32At(e3, 8), 33.0f);
    QCOMPARE(u16At(e3, 12), 24);
    QCOMPARE(int(e3[14]), 3);
    QCOMPARE(int(e3[15]), 4);
    QCOMPARE(int(e3[16]), 13);
    QCOMPARE(int(e3[17]), 45);
    QCOMPARE(int(e3[18]), 3);

    const auto r = RecordFile::read(b);
    QVERIFY(r.ok());
    QVERIFY(r.problem.isEmpty());
    QCOMPARE(r.record.entries.size(), 5);
    QCOMPARE(r.record.header.operationNumber(), QStringLiteral("0000000042"));
    QCOMPARE(r.record.header.rangeHigh, 80.5f);
    QCOMPARE(r.record.entries[4].moment, 74.0f);
    QCOMPARE(r.record.toBytes(), b);
}

void TestRecordFile::keyBytesSurviveReadAndWrite()
{
    // A header as a key might fill it: reserved bytes and bytes after the operation
    // number's NUL set. Reading and writing back must not touch them.
    QByteArray b = sampleHeader().toBytes();
    b[11] = 'x';
    b[17] = char(0xA5);
    b[18] = 1;
    b[19] = 2;
    b[22] = 1; // one entry
    QByteArray entry = sampleEntry(7).toBytes();
    b += entry;
    QByteArray head = b.left(60);
    head[26] = 0;
    b[26] = char(refCrc(head));

    const auto r = RecordFile::read(b);
    QVERIFY(r.ok());
    QVERIFY(r.headerCrcOk);
    QCOMPARE(r.record.header.operationNumber(), QStringLiteral("0000000042"));
    QCOMPARE(r.record.toBytes(), b);
}

void TestRecordFile::goldenFilesReadAndRewriteExactly()
{
    // Written by a separate generator (the fuzz seed corpus), not by this code.
    const QString dir = qEnvironmentVariable("TD_SOURCE_DIR") + "/fuzz/corpus/records_parsers/";
    for (const char *name : {"record_5", "record_empty"}) {
        QFile f(dir + name);
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
        const QByteArray golden = f.readAll();
        const auto r = RecordFile::read(golden);
        QVERIFY(r.ok());
        QVERIFY(r.headerCrcOk);
        QCOMPARE(r.badEntryCrcs, 0);
        QCOMPARE(r.record.toBytes(), golden);
    }
    QFile f(dir + "record_5");
    QVERIFY(f.open(QIODevice::ReadOnly));
    const auto r = RecordFile::read(f.readAll());
    QCOMPARE(r.record.header.operationNumber(), QStringLiteral("0000000042"));
    QCOMPARE(r.record.entries.size(), 5);
    QCOMPARE(r.record.entries[2].dateTime(), QDateTime(QDate(2024, 3, 3), QTime(13, 45, 2)));
}

void TestRecordFile::countConFollowsTheEntriesWritten()
{
    RecordFile rf;
    rf.header = sampleHeader();
    rf.header.countCon = 7; // a stale count must not promise entries that are not there
    rf.entries = {sampleEntry(0), sampleEntry(1)};
    const QByteArray b = rf.toBytes();
    QCOMPARE(u16At(b, 22), 2);
    QCOMPARE(b.size(), 60 + 56);
}

void TestRecordFile::erasingMeasuresClearsBytes19To23()
{
    RecordFile rf;
    rf.header = sampleHeader();
    rf.header.reserved17 = 9;
    rf.header.reserved18 = 8;
    rf.header.reserved19 = 7;
    for (int i = 0; i < 5; ++i)
        rf.entries << sampleEntry(i);
    const QByteArray before = rf.toBytes();
    rf.clearMeasures();
    const QByteArray after = rf.toBytes();
    QCOMPARE(after.size(), 88);
    QCOMPARE(after.mid(19, 5), QByteArray(5, '\0'));
    QCOMPARE(after.left(19), before.left(19));
    QCOMPARE(after.mid(24, 2), before.mid(24, 2));
    QCOMPARE(after.mid(28, 32), before.mid(28, 32));
}

void TestRecordFile::shortFilesYieldWhatTheyHold()
{
    RecordFile rf;
    rf.header = sampleHeader();
    for (int i = 0; i < 5; ++i)
        rf.entries << sampleEntry(i);
    const QByteArray full = rf.toBytes();

    for (int len = 0; len <= full.size(); ++len) {
        // A detached copy of exactly len bytes, so reading past it is a sanitizer error.
        const QByteArray part(full.constData(), len);
        const auto r = RecordFile::read(part);
        if (len < 60) {
            QVERIFY(!r.headerComplete);
            QVERIFY(!r.ok());
            QVERIFY(r.record.entries.isEmpty());
            QVERIFY(!r.problem.isEmpty());
            continue;
        }
        const int whole = qMin(5, (len - 60) / 28);
        QCOMPARE(r.record.entries.size(), whole);
        QCOMPARE(r.promisedEntries, 5);
        QCOMPARE(r.truncated, whole < 5);
        QCOMPARE(r.problem.isEmpty(), whole == 5);
        if (whole > 0)
            QCOMPARE(r.record.entries.last().moment, 70.0f + float(whole - 1));
    }

    // A count of 65535 over a few bytes must neither hang nor read beyond them.
    QByteArray hostile = full.left(60 + 28);
    hostile[22] = char(0xFF);
    hostile[23] = char(0xFF);
    const auto r = RecordFile::read(hostile);
    QCOMPARE(r.record.entries.size(), 1);
    QVERIFY(r.truncated);
    QVERIFY(r.problem.contains(QLatin1String("65535")));

    // Bytes beyond count_con (the 88-byte empty layout) are not measures.
    QByteArray extra = full;
    extra[22] = 2;
    QCOMPARE(RecordFile::read(extra).record.entries.size(), 2);
    QVERIFY(RecordFile::read(extra).ok());
}

void TestRecordFile::operationNumberIsCutAtACharacter()
{
    RecordHeader h;
    QVERIFY(h.setOperationNumber("ABC0000001"));
    QCOMPARE(h.operationField, QByteArray("ABC0000001\0\0\0", 13));
    QVERIFY(!h.setOperationNumber("0123456789ABCDEF"));
    QCOMPARE(h.operationField, QByteArray("0123456789AB\0", 13));
    // 11 ASCII bytes then a two-byte letter: it cannot fit in 12, so it goes whole.
    QVERIFY(!h.setOperationNumber(QStringLiteral("01234567890") + QChar(0x0416)));
    QCOMPARE(h.operationField, QByteArray("01234567890\0\0", 13));
    QVERIFY(h.setOperationNumber(QString()));
    QCOMPARE(h.operationField, QByteArray(13, '\0'));
    // A field with no NUL at all still reads as its 13 bytes, and is written back as is.
    RecordHeader raw;
    raw.operationField = QByteArray("ABCDEFGHIJKLM", 13);
    QCOMPARE(raw.operationNumber(), QStringLiteral("ABCDEFGHIJKLM"));
    QCOMPARE(raw.toBytes().left(13), QByteArray("ABCDEFGHIJKLM", 13));
}

void TestRecordFile::entryDateTime()
{
    MeasureEntry e = sampleEntry(2);
    QCOMPARE(e.dateTime(), QDateTime(QDate(2024, 3, 3), QTime(13, 45, 2)));
    e.month = 13;
    QVERIFY(!e.dateTime().isValid());
    e = MeasureEntry::fromBytes(QByteArray(5, '\x01')); // short input is zero-padded
    QCOMPARE(e.month, quint8(0));
    QVERIFY(!e.dateTime().isValid());
}

void TestRecordFile::algorithmNamesAndCodes()
{
    const QStringList names = MeasureAlgorithms::names();
    QCOMPARE(names.size(), 10);
    QCOMPARE(names.first(), QStringLiteral("Maximum moment"));
    QCOMPARE(names.last(), QStringLiteral("Dependence on the angle of the moment"));
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(MeasureAlgorithms::codeFromText(names[i]), i);
    QCOMPARE(MeasureAlgorithms::codeFromText("Screwing up to the moment"), 0);
    QCOMPARE(MeasureAlgorithms::codeFromText("no such method"), 0);
    QCOMPARE(MeasureAlgorithms::name(42), names.first());
    QVERIFY(MeasureAlgorithms::measuresAngle(2) && MeasureAlgorithms::measuresAngle(4));
    QVERIFY(!MeasureAlgorithms::measuresAngle(9));
    QVERIFY(!MeasureAlgorithms::measuresCarryDate(9) && MeasureAlgorithms::measuresCarryDate(0));
}

void TestRecordFile::captionsFollowTheAlgorithm()
{
    using P = RecordParameter;
    const P renamed[] = {P::RangeHigh, P::AngleLow, P::AngleHigh, P::Angle};
    for (P p : renamed)
        QVERIFY(RecordParameters::field(p, 9).caption != RecordParameters::field(p, 3).caption);
    const P kept[] = {P::RangeLow, P::StartMom, P::PitchStep, P::HeadMm, P::CountTotal};
    for (P p : kept)
        QCOMPARE(RecordParameters::field(p, 9).caption, RecordParameters::field(p, 3).caption);
    QCOMPARE(RecordParameters::field(P::AngleHigh, 9).toolTip, QStringLiteral("Stop measure angle"));

    auto s = RecordParameters::field(P::AngleLow, 9);
    QCOMPARE(s.caption, QStringLiteral("Start Angle"));
    QCOMPARE(s.min, 0.0);
    QCOMPARE(s.max, 10.0);
    QCOMPARE(s.precision, 1);
    s = RecordParameters::field(P::AngleLow, 9, false); // records page not shown
    QCOMPARE(s.min, 1.0);
    QCOMPARE(s.max, 900.0);
    QCOMPARE(s.precision, 0);
    s = RecordParameters::field(P::AngleLow, 8);
    QCOMPARE(s.caption, QStringLiteral("Low Angle"));
    QCOMPARE(s.max, 900.0);
    QCOMPARE(s.precision, 0);

    s = RecordParameters::field(P::PitchStep, 0);
    QCOMPARE(s.min, 0.5);
    QCOMPARE(s.max, 5.0);
    QCOMPARE(s.precision, 2);
    s = RecordParameters::field(P::CountTotal, 0);
    QCOMPARE(s.min, 1.0);
    QCOMPARE(s.max, 64.0);
}

void TestRecordFile::momentRangeStaysOrdered()
{
    float low = 150, high = 120;
    QVERIFY(RecordParameters::orderMomentRange(RecordParameter::RangeLow, &low, &high));
    QCOMPARE(low, 120.0f);
    QCOMPARE(high, 120.0f);

    low = 120;
    high = 100;
    QVERIFY(RecordParameters::orderMomentRange(RecordParameter::RangeHigh, &low, &high));
    QCOMPARE(low, 120.0f);
    QCOMPARE(high, 120.0f);

    low = 50;
    high = 50;
    QVERIFY(!RecordParameters::orderMomentRange(RecordParameter::RangeLow, &low, &high));
    low = 90;
    high = 10;
    QVERIFY(!RecordParameters::orderMomentRange(RecordParameter::AngleLow, &low, &high));
    QCOMPARE(low, 90.0f);
    QCOMPARE(high, 10.0f);
}

void TestRecordFile::modesVisibilityDefaultsAndLoading()
{
    ModesVisibility mv;
    QVERIFY(!mv.isLoaded());
    for (int m = 0; m < 5; ++m)
        QCOMPARE(mv.availableAlgorithms(m).size(), 10);
    QVERIFY(mv.isVisible(9, RecordParameter::Angle));

    QByteArray file(ModesVisibility::FileSize, '\0');
    file[0 * 10 + 0] = 1;            // mode 0: algorithm 0
    file[0 * 10 + 9] = 1;            //         and 9
    file[3 * 10 + 4] = 1;            // mode 3: algorithm 4
    file[50] = 0x5A;
    file[51 + 2 * 8 + 2] = 1;        // algorithm 2 shows the low angle
    file[51 + 9 * 8 + 6] = 1;        // algorithm 9 shows the angle step
    file[130] = 1;                   // last visibility byte (algorithm 9, unused column)
    QVERIFY(mv.load(file));
    QVERIFY(mv.isLoaded());
    QCOMPARE(mv.availableAlgorithms(0), QVector<int>({0, 9}));
    QCOMPARE(mv.availableAlgorithms(3), QVector<int>({4}));
    QVERIFY(mv.availableAlgorithms(1).isEmpty());
    QCOMPARE(mv.availableAlgorithms(7).size(), 10); // unknown mode: offer everything
    QVERIFY(!mv.isAvailable(0, 10));
    QCOMPARE(int(mv.byte50()), 0x5A);
    QVERIFY(mv.isVisible(2, RecordParameter::AngleLow));
    QVERIFY(!mv.isVisible(2, RecordParameter::AngleHigh));
    QVERIFY(mv.isVisible(9, RecordParameter::Angle));
    QVERIFY(!mv.isVisible(9, RecordParameter::RangeLow));
    QVERIFY(mv.isVisible(9, RecordParameter::HeadMm));

    // Too short to hold both tables: refused, the loaded tables stay.
    QVERIFY(!mv.load(QByteArray(130, '\1')));
    QCOMPARE(mv.availableAlgorithms(0), QVector<int>({0, 9}));
    // Exactly the part that is used is enough.
    QVERIFY(mv.load(QByteArray(131, '\1')));
    QCOMPARE(mv.availableAlgorithms(1).size(), 10);
    mv.reset();
    QVERIFY(!mv.isLoaded());
    QVERIFY(mv.isVisible(0, RecordParameter::RangeLow));
}

void TestRecordFile::atomicWriteReportsFailure()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("0000ABC000000100");
    QString error;
    QVERIFY(AtomicFile::write(path, QByteArray("first"), &error));
    QVERIFY(AtomicFile::write(path, QByteArray("second"), &error));
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("second"));
    f.close();

    const QString missing = dir.filePath("no-such-folder/file");
    QVERIFY(!AtomicFile::write(missing, QByteArray("x"), &error));
    QVERIFY(error.contains(missing));
    QVERIFY(!QFile::exists(missing));

    // A directory in the way of the target: fails, and the directory is left alone.
    QVERIFY(QDir(dir.path()).mkdir("blocked"));
    error.clear();
    QVERIFY(!AtomicFile::write(dir.filePath("blocked"), QByteArray("x"), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(QFileInfo(dir.filePath("blocked")).isDir());
}

QTEST_GUILESS_MAIN(TestRecordFile)
#include "tst_recordfile.moc"
