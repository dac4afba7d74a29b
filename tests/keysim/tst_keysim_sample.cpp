// The sample key that make-key writes, live tightenings, and the fault knobs' counting.
#include "KeyFaults.h"
#include "KeyFileSystem.h"
#include "KeySample.h"
#include "KeyState.h"

#include "link/SlipCodec.h"
#include "records/ModesVisibility.h"
#include "records/RecordFile.h"
#include "records/RecordName.h"
#include "records/TemplateBinary.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace keysim;

namespace {
QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TestKeysimSample : public QObject
{
    Q_OBJECT
private slots:
    void makeKeyIsReadableByTheRecordCodecs();
    void makeKeyIsRepeatableAndRefusesForeignFolders();
    void liveTighteningGrowsTheCurrentRecord();
    void faultCounting();
    void corruptedCrcIsRejectedByTheReceiver();
};

void TestKeysimSample::makeKeyIsReadableByTheRecordCodecs()
{
    QTemporaryDir dir;
    MakeKeyOptions o;
    o.root = dir.path();
    o.records = 40;
    o.measures = 12;
    o.seed = 7;
    QString error;
    QVERIFY2(makeKey(o, &error), qPrintable(error));

    // Templates: full-size files that apply entry by entry.
    TemplateLists lists;
    for (TemplateKind kind : {TemplateKind::Fio, TemplateKind::Wheel, TemplateKind::Uzel}) {
        const QByteArray bytes = readAll(dir.filePath(QStringLiteral("templates/")) + TemplateBinary::fileName(kind));
        QCOMPARE(bytes.size(), TemplateBinary::fileSize(kind));
        const TemplateBinary::ApplyResult r = TemplateBinary::apply(kind, bytes, &lists);
        QVERIFY2(r.problem.isEmpty(), qPrintable(r.problem));
        QVERIFY(r.skippedIndexes.isEmpty());
    }
    QCOMPARE(lists.fioText(0, 0), QStringLiteral("Ivanov"));
    QVERIFY(!lists.fio[9].enabled);
    QVERIFY(lists.uzelText(0, 0).startsWith(QStringLiteral("Wheel nut")));
    ModesVisibility modes;
    const QByteArray mv = readAll(dir.filePath("templates/ModesVisibility"));
    QCOMPARE(mv.size(), ModesVisibility::FileSize);
    QVERIFY(modes.load(mv));
    QVERIFY(modes.isAvailable(3, 9));
    QVERIFY(!modes.isAvailable(0, 2));
    QVERIFY(!modes.isVisible(0, RecordParameter::AngleLow));
    QVERIFY(modes.isVisible(2, RecordParameter::AngleLow));

    // Records: valid names of enabled templates, both CRCs right, entries as asked.
    const QStringList names = QDir(dir.filePath("dbsett")).entryList(QDir::Files);
    QCOMPARE(names.size(), 40);
    int ng = 0, ok = 0;
    for (const QString &name : names) {
        RecordName::Parts parts;
        QVERIFY2(RecordName::parse(name, &parts), qPrintable(name));
        const QByteArray bytes = readAll(dir.filePath("dbsett/") + name);
        QCOMPARE(bytes.size(), RecordHeader::Size + 12 * MeasureEntry::Size);
        const RecordFile::ReadResult r = RecordFile::read(bytes);
        QVERIFY(r.ok());
        QVERIFY(r.headerCrcOk);
        QCOMPARE(r.badEntryCrcs, 0);
        const RecordHeader &h = r.record.header;
        QCOMPARE(RecordName::make(h.fioIndex, h.wheelIndex, h.operationNumber(), h.uzelIndex), name);
        QVERIFY(lists.fio[h.fioIndex].enabled && lists.wheel[h.wheelIndex].enabled && lists.uzel[h.uzelIndex].enabled);
        QCOMPARE(int(h.countCon), 12);
        QVERIFY(h.countTotal >= 12);
        QVERIFY(h.rangeLow < h.rangeHigh);
        bool hasNg = false;
        for (const MeasureEntry &e : r.record.entries) {
            QVERIFY(e.dateTime().isValid());
            QVERIFY(e.dateTime() < QDateTime::currentDateTime());
            if (isNg(h, e)) {
                ++ng;
                hasNg = true;
            } else {
                ++ok;
            }
        }
        QCOMPARE(bool(h.status & StatusHasNg), hasNg);
        QCOMPARE(bool(h.status & StatusComplete), h.countTotal == 12);
    }
    // Around their limits: mostly good, some not.
    QVERIFY2(ng > 0 && ng < ok / 2, qPrintable(QStringLiteral("%1 NG of %2").arg(ng).arg(ng + ok)));

    KeyState state;
    QVERIFY(state.load(dir.filePath(KeyState::stateFileName())));
    QVERIFY(names.contains(state.currentPage));
    QCOMPARE(state.device.SerialNo, QStringLiteral("2907K000007"));
}

void TestKeysimSample::makeKeyIsRepeatableAndRefusesForeignFolders()
{
    QTemporaryDir a, b;
    MakeKeyOptions o;
    o.records = 5;
    o.measures = 0;
    o.seed = 99;
    QString error;
    o.root = a.path();
    QVERIFY(makeKey(o, &error));
    o.root = b.path();
    QVERIFY(makeKey(o, &error));
    const QStringList names = QDir(a.filePath("dbsett")).entryList(QDir::Files);
    QCOMPARE(QDir(b.filePath("dbsett")).entryList(QDir::Files), names);
    for (const QString &n : names) {
        const QByteArray bytes = readAll(a.filePath("dbsett/") + n);
        QCOMPARE(bytes.size(), RecordFile::EmptySize); // no measures: header plus the blank entry
        QCOMPARE(bytes, readAll(b.filePath("dbsett/") + n));
        QCOMPARE(int(RecordFile::read(bytes).record.header.status), 0);
    }

    // Run again with fewer records: the old ones are replaced, not mixed in.
    o.root = a.path();
    o.records = 2;
    QVERIFY(makeKey(o, &error));
    QCOMPARE(QDir(a.filePath("dbsett")).entryList(QDir::Files).size(), 2);

    QTemporaryDir foreign;
    QFile f(foreign.filePath("thesis.odt"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    o.root = foreign.path();
    QVERIFY(!makeKey(o, &error));
    QVERIFY(error.contains(foreign.path()));
    QVERIFY(!QDir(foreign.filePath("dbsett")).exists());
}

void TestKeysimSample::liveTighteningGrowsTheCurrentRecord()
{
    QTemporaryDir dir;
    MakeKeyOptions o;
    o.root = dir.path();
    o.records = 3;
    o.measures = 0;
    QString error;
    QVERIFY(makeKey(o, &error));
    KeyFileSystem fs(dir.path());
    KeyState state;
    QVERIFY(state.load(dir.filePath(KeyState::stateFileName())));
    const QString current = state.currentPage;
    state.setKeyClock(QDateTime(QDate(2030, 6, 1), QTime(12, 0, 0)));
    QRandomGenerator rng(5);

    QCOMPARE(appendLiveTightening(fs, state, rng), current);
    QCOMPARE(appendLiveTightening(fs, state, rng), current);
    RecordFile::ReadResult r = RecordFile::read(readAll(fs.recordPath(current)));
    QVERIFY(r.ok() && r.headerCrcOk);
    QCOMPARE(r.badEntryCrcs, 0);
    QCOMPARE(r.record.entries.size(), 2);
    QCOMPARE(r.record.entries.at(1).dateTime().date(), QDate(2030, 6, 1)); // the key's clock
    QVERIFY(r.record.header.status & (StatusStarted | StatusComplete));

    // The current record is gone: the first one takes the tightening.
    QVERIFY(QFile::remove(fs.recordPath(current)));
    const QString first = fs.recordNames().first();
    QCOMPARE(appendLiveTightening(fs, state, rng), first);

    // A record file too short to hold a header is left alone.
    state.currentPage = first;
    QFile broken(fs.recordPath(first));
    QVERIFY(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("short");
    broken.close();
    QVERIFY(appendLiveTightening(fs, state, rng).isEmpty());
    QCOMPARE(readAll(fs.recordPath(first)), QByteArray("short"));
}

void TestKeysimSample::faultCounting()
{
    FaultSettings s;
    s.dropEvery = 3;
    s.corruptEvery = 2;
    FaultCounter c(s);
    QList<FaultCounter::Fate> fates;
    for (int i = 0; i < 12; ++i)
        fates.append(c.nextReply());
    using F = FaultCounter::Fate;
    // Replies 3, 6, 9, 12 dropped (dropping wins on 6 and 12); 2, 4, 8, 10 corrupted.
    const QList<F> expected = {F::Send, F::Corrupt, F::Drop, F::Corrupt, F::Send, F::Drop,
                               F::Send, F::Corrupt, F::Drop, F::Corrupt, F::Send, F::Drop};
    QCOMPARE(fates, expected);
    QCOMPARE(c.dropped(), quint64(4));
    QCOMPARE(c.corrupted(), quint64(4));
    QCOMPARE(c.replies(), quint64(12));

    FaultCounter off{FaultSettings{}};
    for (int i = 0; i < 50; ++i)
        QCOMPARE(off.nextReply(), F::Send);
}

void TestKeysimSample::corruptedCrcIsRejectedByTheReceiver()
{
    // Bodies whose CRC is an ordinary byte, or one that needs stuffing (0xC0 / 0xDB).
    QList<QByteArray> payloads;
    for (int i = 0; i < 256; ++i) // every CRC value occurs once, stuffed ones included
        payloads.append(QByteArray(1, char(i)) + QByteArray("{\"k\":1}", 7));
    bool sawStuffedCrc = false;
    for (const QByteArray &p : payloads) {
        const QByteArray good = SlipCodec::encode(0x30, 0x01, p);
        const QByteArray bad = corruptFrameCrc(good);
        if (good.size() >= 4 && uchar(good.at(good.size() - 3)) == SlipCodec::ESC)
            sawStuffedCrc = true;
        QVERIFY(bad != good);

        int delivered = 0;
        SlipReceiver rx([&](const RxDataBuffer &) { ++delivered; });
        rx.feed(bad, QStringLiteral("USB"), QHostAddress(), 0);
        QCOMPARE(delivered, 0);
        QCOMPARE(rx.crcErrors(), quint64(1));
        // The frame was taken whole: the next good frame is delivered.
        rx.feed(good, QStringLiteral("USB"), QHostAddress(), 0);
        QCOMPARE(delivered, 1);
    }
    QVERIFY(sawStuffedCrc);
    QCOMPARE(corruptFrameCrc(QByteArray("\xC0", 1)), QByteArray("\xC0", 1));
}

QTEST_GUILESS_MAIN(TestKeysimSample)
#include "tst_keysim_sample.moc"
