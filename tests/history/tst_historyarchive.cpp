#include "../measures/MeasureFixtures.h"
#include "../measures/EraseRig.h"
#include "history/HistoryArchiver.h"
#include "history/HistoryStore.h"
#include "measures/MeasureJudgement.h"
#include "measures/MeasureMemory.h"
#include "measures/RecordEraser.h"
#include "PgServer.h"
#include "ServiceFixtures.h"
#include "ui/measures/MemoryPage.h"

#include <QProcess>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

// A memory page's store wired to a key in memory, with an archiver as the keeper of its
// erases, as the window wires them.
struct KeyRig
{
    HistoryStore store;
    HistoryArchiver archiver{&store};
    MeasureMemory memory{nullptr};
    QSignalSpy finished{&memory, &MeasureMemory::eraseFinished};
    QSignalSpy refused{&memory, &MeasureMemory::eraseRefused};
    EraseRig key;
    FakeKeyFiles &files;

    explicit KeyRig(const std::function<HistoryArchiver::Context()> &identity)
        : key(&memory, keeperOf(&archiver)), files(key.files)
    {
        QString error;
        QVERIFY2(store.open(QString(), &error), qPrintable(error));
        archiver.setContextSource(identity);
    }
    static RecordEraser::Keeper keeperOf(HistoryArchiver *archiver)
    {
        RecordEraser::Keeper keeper;
        keeper.keep = [archiver](const QString &name, const RecordFile &fromKey, int keyCount, QString *why) {
            return archiver->keepBeforeErase(name, fromKey, keyCount, why);
        };
        keeper.erased = [archiver](const QString &name) {
            QString why;
            QVERIFY2(archiver->noteErased(name, &why), qPrintable(why));
        };
        return keeper;
    }
    void put(const QString &name, const RecordHeader &h, const QVector<MeasureEntry> &entries)
    {
        key.put(name, h, entries);
    }
};

// The archiver reads the dbsett mirror as the memory page does; erasing asks it first.
class HistoryArchiveTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;

    static HistoryArchiver::Context keyContext()
    {
        HistoryArchiver::Context c;
        c.keySerial = QStringLiteral("КЛ-007 \"b'\"");
        c.keyName = QStringLiteral("Ключ");
        c.operatorName = QStringLiteral("Smith");
        c.calibrationNominal = 200;
        c.calibrationFile = QStringLiteral("DWK200_01_x.clb");
        return c;
    }

    static QVector<MeasureEntry> entries(int n, int minuteBase, float moment = 15)
    {
        QVector<MeasureEntry> out;
        for (int i = 0; i < n; ++i) {
            MeasureEntry e = fixtures::entry(moment + 0.1f * i, 0, 40);
            e.minute = quint8((minuteBase + i) % 60);
            e.hour = quint8(9 + (minuteBase + i) / 60);
            out << e;
        }
        return out;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        Paths::setDataRoot(m_root.path());
    }

    void init()
    {
        QDir(RecordMirror::folder()).removeRecursively();
        QDir(m_root.filePath(QStringLiteral("history"))).removeRecursively();
    }

    void archivesOnceAndAnewAfterErase()
    {
        HistoryStore store;
        QString error;
        QVERIFY2(store.open(QString(), &error), qPrintable(error));
        QCOMPARE(store.display(), m_root.filePath(QStringLiteral("history/history.db3")));
        HistoryArchiver archiver(&store);
        archiver.setContextSource(keyContext);
        archiver.setTemplatesSource(fixtures::quotedTemplates);
        archiver.setBarcodeSource([](const QString &record) {
            return record == QLatin1String("A") ? QStringList{QStringLiteral("X1"), QStringLiteral("Y'2")} : QStringList();
        });
        QVector<MeasureEntry> a = entries(6, 0);
        a[2].moment = 25; // above the range: NG
        a[3].moment = -15; // the other direction, inside: OK
        QVERIFY(fixtures::writeRecord(QStringLiteral("A"), fixtures::header(2), a));
        QVERIFY(fixtures::writeRecord(QStringLiteral("B"), fixtures::header(9), entries(4, 30)));
        QVERIFY(fixtures::writeRecord(QStringLiteral("C"), fixtures::header(0), {})); // no measures
        QVERIFY(fixtures::writeRaw(QStringLiteral("junk"), QByteArray("short")));

        HistoryArchiver::MirrorResult r = archiver.archiveMirror();
        QVERIFY(r.ok());
        QCOMPARE(r.files, 3);
        QCOMPARE(r.measures, 10);
        QCOMPARE(r.added, 10);
        // The mirror read again, at start-up or by the command line: nothing new.
        r = archiver.archiveMirror();
        QCOMPARE(r.added, 0);
        QCOMPARE(store.database()->count(HistoryFilter()), qint64(10));

        HistoryFilter f;
        f.recordName = QStringLiteral("A");
        QVector<HistoryMeasure> rows;
        store.database()->forEach(f, [&](const HistoryMeasure &m) {
            rows << m;
            return true;
        });
        QCOMPARE(rows.size(), 6);
        const RecordHeader h = fixtures::header(2);
        for (int i = 0; i < rows.size(); ++i) {
            QCOMPARE(rows[i].connectionIndex, i);
            QCOMPARE(rows[i].ok, MeasureJudgement::isOk(a[i], h));
            QCOMPARE(rows[i].moment, double(a[i].moment));
            QCOMPARE(rows[i].keySerial, keyContext().keySerial);
            QCOMPARE(rows[i].operatorText, QStringLiteral("O'Neill Pat' '); DROP TABLE codes; --"));
            QCOMPARE(rows[i].product, QStringLiteral("Wheel 'A'"));
            QCOMPARE(rows[i].operationNumber, QStringLiteral("O'NEILL001"));
            QCOMPARE(rows[i].node, QStringLiteral("Hub'"));
            QCOMPARE(rows[i].barcode2, QStringLiteral("Y'2"));
            QCOMPARE(rows[i].calibrationFile, QStringLiteral("DWK200_01_x.clb"));
            QCOMPARE(rows[i].unit, QStringLiteral("Nm"));
            QCOMPARE(rows[i].angleHigh, 60.0);
        }
        QVERIFY(!rows[2].ok);
        QVERIFY(rows[3].ok);
        QCOMPARE(rows[0].measuredAt, QStringLiteral("2026-03-07 09:00:04"));
        // Algorithm 9 carries no date.
        f.recordName = QStringLiteral("B");
        store.database()->forEach(f, [](const HistoryMeasure &m) {
            return m.measuredAt.isEmpty();
        });
        QCOMPARE(store.database()->page(f, 0, 1).value(0).measuredAt, QString());

        // Erased on the key and measured anew: the same indexes again, new measures.
        QVERIFY(fixtures::writeRecord(QStringLiteral("A"), fixtures::header(2), entries(3, 45, 16)));
        QCOMPARE(archiver.archiveRecord(QStringLiteral("A")).added, 3);
        QCOMPARE(store.database()->count(HistoryFilter()), qint64(13));
    }

    void identityKeptForRunsWithoutKey()
    {
        QString error;
        const HistoryArchiver::Context c = keyContext();
        QVERIFY(c.save(&error));
        QVERIFY(HistoryArchiver::Context::load() == c);
        // No context source: the last key's identity is used.
        HistoryStore store;
        QVERIFY(store.open(QString(), &error));
        HistoryArchiver archiver(&store);
        QVERIFY(fixtures::writeRecord(QStringLiteral("A"), fixtures::header(0), entries(2, 0)));
        QCOMPARE(archiver.archiveMirror().added, 2);
        QCOMPARE(store.database()->page(HistoryFilter(), 0, 1).value(0).keySerial, c.keySerial);
    }

    // The fitter tightened after the last read-out: erasing reads each record from the key
    // again and keeps what it holds before emptying it; the history's copy is on disk first.
    void eraseKeepsWhatTheKeyHoldsNow()
    {
        KeyRig key(keyContext);
        HistoryStore &store = key.store;
        HistoryArchiver &archiver = key.archiver;
        // The mirror has two of A's measures, the key four since; B is as the mirror says.
        QVERIFY(fixtures::writeRecord(QStringLiteral("A"), fixtures::header(0), entries(2, 0)));
        key.put(QStringLiteral("A"), fixtures::header(0), entries(4, 0));
        QVERIFY(fixtures::writeRecord(QStringLiteral("B"), fixtures::header(9), entries(3, 30)));
        key.put(QStringLiteral("B"), fixtures::header(9), entries(3, 30));
        QCOMPARE(archiver.archiveMirror().added, 5);

        // Reading a record again is no read-out: the pages do not reload the folder for each.
        QSignalSpy folderRead(&key.key.stack.files, &FileExchange::slot_files_got_dir);
        QVERIFY(key.memory.eraseAllMeasures());
        QVERIFY(key.finished.wait(10000));
        QCOMPARE(key.finished.at(0).at(0).toStringList(), (QStringList{"A", "B"}));
        QCOMPARE(folderRead.count(), 0);
        QCOMPARE(key.refused.count(), 0);
        for (const QString &name : {QStringLiteral("A"), QStringLiteral("B")}) {
            const RecordFile::ReadResult onKey = RecordFile::read(key.files.folders["dbsett"][name]);
            QCOMPARE(onKey.promisedEntries, 0);
            QCOMPARE(RecordMirror::load(name).promisedEntries, 0);
        }
        QCOMPARE(store.database()->count(HistoryFilter()), qint64(7));
        // The database file alone, as a power cut would leave it without its write-ahead log,
        // holds them.
        const QString copy = m_root.filePath(QStringLiteral("alone.db3"));
        QFile::remove(copy);
        QVERIFY(QFile::copy(store.display(), copy));
        QProcess sqlite;
        sqlite.start(QStringLiteral("sqlite3"), {copy, QStringLiteral("SELECT count(*) FROM measures")});
        QVERIFY(sqlite.waitForFinished(30000));
        QCOMPARE(sqlite.readAllStandardOutput().trimmed(), QByteArray("7"));

        // B's algorithm stores no date: the same readings after the erase are new tightenings.
        key.put(QStringLiteral("B"), fixtures::header(9), entries(3, 30));
        QVERIFY(fixtures::writeRecord(QStringLiteral("B"), fixtures::header(9), entries(3, 30)));
        QCOMPARE(archiver.archiveRecord(QStringLiteral("B")).added, 3);
    }

    // What cannot be vouched for stays on the key, and the page names it in red.
    void eraseRefusesWhatItCannotVouchFor()
    {
        KeyRig key(keyContext);
        HistoryStore &store = key.store;
        // L's header promises four measures and holds one; W the key will not take back.
        RecordHeader lying = fixtures::header(0);
        lying.countCon = 4;
        const QByteArray lyingBytes = lying.toBytes() + entries(1, 0).first().toBytes();
        QVERIFY(fixtures::writeRaw(QStringLiteral("L"), lyingBytes));
        key.files.folders["dbsett"]["L"] = lyingBytes;
        QVERIFY(fixtures::writeRecord(QStringLiteral("W"), fixtures::header(0), entries(2, 10)));
        key.put(QStringLiteral("W"), fixtures::header(0), entries(2, 10));
        key.files.unwritable.insert(QStringLiteral("/dbsett/W"));
        const QByteArray wOnKey = key.files.folders["dbsett"]["W"];

        MemoryPage page(&key.memory);
        QSignalSpy message(&page, &MemoryPage::messageRequested);
        QSignalSpy status(&page, &MemoryPage::statusMessage);
        QVERIFY(key.memory.eraseAllMeasures());
        QVERIFY(key.finished.wait(10000));
        QCOMPARE(key.finished.at(0).at(0).toStringList(), QStringList());
        QCOMPARE(key.finished.at(0).at(1).toStringList(), (QStringList{"L", "W"}));
        QCOMPARE(key.files.folders["dbsett"]["L"], lyingBytes);
        QCOMPARE(key.files.folders["dbsett"]["W"], wOnKey);
        QCOMPARE(RecordMirror::load(QStringLiteral("W")).record.entries.size(), 2); // as the key has it
        QCOMPARE(message.count(), 1);
        QCOMPARE(message.at(0).at(1).toString(), QStringLiteral("red"));
        const QString text = message.at(0).at(0).toString();
        QVERIFY2(text.contains(QLatin1String("L: ")) && text.contains(QLatin1String("W: ")), qPrintable(text));
        for (const QList<QVariant> &s : status)
            QVERIFY2(!s.at(0).toString().contains(QLatin1String("cleaned")), qPrintable(s.at(0).toString()));

        // No history: refused, the key untouched.
        store.close();
        key.files.unwritable.clear();
        QVERIFY(key.memory.eraseRecordMeasures(QStringLiteral("W")));
        QVERIFY(key.finished.wait(10000));
        QCOMPARE(key.files.folders["dbsett"]["W"], wOnKey);
        QTRY_COMPARE(message.count(), 2);
        QVERIFY(message.at(1).at(0).toString().contains(QLatin1String("W: ")));
    }

    // The window's erase asks the history on its thread and goes on only with its answer.
    void eraseWaitsForTheHistorysAnswer()
    {
        HistoryService service;
        QString error;
        QVERIFY2(openAndWait(service, QString(), &error), qPrintable(error));
        service.setContext(keyContext());
        MeasureMemory memory(nullptr);
        RecordEraser::Keeper keeper;
        keeper.ask = [&](const QString &name, const RecordFile &fromKey, int keyCount,
                         std::function<void(bool, const QString &)> done) {
            service.keepBeforeErase(name, fromKey, keyCount, &memory, std::move(done));
        };
        keeper.erased = [&](const QString &name) { service.noteErased(name); };
        EraseRig rig(&memory, keeper);
        QSignalSpy finished(&memory, &MeasureMemory::eraseFinished);
        QVERIFY(fixtures::writeRecord(QStringLiteral("A"), fixtures::header(0), entries(3, 0)));
        rig.put(QStringLiteral("A"), fixtures::header(0), entries(5, 0));
        QVERIFY(memory.eraseAllMeasures());
        QVERIFY(finished.wait(10000));
        QCOMPARE(finished.at(0).at(0).toStringList(), QStringList{QStringLiteral("A")});
        QCOMPARE(RecordFile::read(rig.onKey(QStringLiteral("A"))).promisedEntries, 0);
        QCOMPARE(onHistoryThread(service, [](HistoryWorker &w) { return w.store()->database()->count(HistoryFilter()); }),
                 qint64(5));

        // A history that does not answer within the step time keeps the key as it is, and an
        // answer that comes after that changes nothing.
        rig.put(QStringLiteral("B"), fixtures::header(0), entries(2, 10));
        const QByteArray onKey = rig.onKey(QStringLiteral("B"));
        std::function<void(bool, const QString &)> late;
        RecordEraser::Keeper silent;
        silent.ask = [&](const QString &, const RecordFile &, int, std::function<void(bool, const QString &)> done) {
            late = std::move(done);
        };
        RecordEraser eraser(&rig.stack.files, silent);
        eraser.setStepTimeout(300);
        QSignalSpy refused(&eraser, &RecordEraser::recordRefused);
        QSignalSpy done(&eraser, &RecordEraser::finished);
        QVERIFY(eraser.start({QStringLiteral("B")}, true));
        QVERIFY(done.wait(10000));
        QCOMPARE(refused.count(), 1);
        QVERIFY(refused.at(0).at(1).toString().contains(QLatin1String("did not answer")));
        QVERIFY(late);
        const int sent = rig.stack.usb.sent.size();
        // Answered in the same call, so an upload would already be among the commands sent.
        late(true, QString());
        QCOMPARE(rig.stack.usb.sent.size(), sent);
        QCOMPARE(rig.onKey(QStringLiteral("B")), onKey);
    }

    // With a server, arriving measures are written by a thread of their own that only knows
    // the local queue; the history's thread sends them on. What was handed over before the
    // window closes is written, and the erase guard answers for queued measures too.
    void queuedArchivingBesideTheServer()
    {
        PgServer pg;
        QString error;
        QVERIFY2(pg.start(&error), qPrintable(error));
        const QString queuePath = m_root.filePath(QStringLiteral("history/queue.db3"));
        auto onDisk = [&] {
            HistoryDatabase queue;
            HistoryLocation where;
            where.path = queuePath;
            QString e;
            return queue.open(where, &e) ? queue.countAfter(HistoryPosition()) : qint64(-1);
        };
        QVERIFY(fixtures::writeRecord(QStringLiteral("A"), fixtures::header(0), entries(3, 0)));
        {
            HistoryService closing;
            QVERIFY2(openAndWait(closing, pg.url(), &error), qPrintable(error));
            closing.archiveMirror();
        }
        QCOMPARE(onDisk(), qint64(3));

        HistoryService service;
        QVERIFY2(openAndWait(service, pg.url(), &error), qPrintable(error));
        service.setContext(keyContext());
        auto onServer = [&] {
            return onHistoryThread(service, [](HistoryWorker &w) { return w.store()->database()->count(HistoryFilter()); });
        };
        // Opening sent the queue on.
        QTRY_COMPARE(service.state().queued, qint64(0));
        QCOMPARE(onServer(), qint64(3));

        // With the server away, B goes to the queue and its erase is refused.
        QVERIFY(pg.stopServer());
        QVERIFY(fixtures::writeRecord(QStringLiteral("B"), fixtures::header(0), entries(2, 10)));
        const RecordFile fromKey = RecordMirror::load(QStringLiteral("B")).record;
        QSignalSpy problem(&service, &HistoryService::problem);
        service.archiveRecord(QStringLiteral("B"));
        std::optional<QPair<bool, QString>> answer;
        QObject receiver;
        auto guard = [&] {
            answer.reset();
            service.keepBeforeErase(QStringLiteral("B"), fromKey, 2, &receiver,
                                    [&](bool kept, const QString &why) { answer = qMakePair(kept, why); });
            return QTest::qWaitFor([&] { return answer.has_value(); }, 20000);
        };
        QVERIFY(guard());
        QVERIFY(!answer->first);
        QVERIFY2(answer->second.contains(QLatin1String("queue")), qPrintable(answer->second));
        QCOMPARE(onDisk(), qint64(2));
        QCOMPARE(problem.count(), 0);

        // Back: the guard sends the queue first and keeps B, once.
        QVERIFY2(pg.startServer(&error), qPrintable(error));
        QVERIFY(guard());
        QVERIFY2(answer->first, qPrintable(answer->second));
        QCOMPARE(onDisk(), qint64(0));
        service.noteErased(QStringLiteral("B"));
        QCOMPARE(onServer(), qint64(5));

        // Guarded while B's new measures are still on their way to the queue (its writer held
        // here), and erased as soon as the guard agrees: whichever comes first, the measures
        // sent on afterwards are the ones the guard kept, not a new generation of B.
        QVERIFY(fixtures::writeRecord(QStringLiteral("B"), fixtures::header(0), entries(4, 20)));
        const RecordFile again = RecordMirror::load(QStringLiteral("B")).record;
        QSemaphore held;
        service.archivingWorker()->post([&held](HistoryWorker &) { held.acquire(); });
        service.archiveRecord(QStringLiteral("B"));
        answer.reset();
        service.keepBeforeErase(QStringLiteral("B"), again, 4, &receiver,
                                [&](bool kept, const QString &why) { answer = qMakePair(kept, why); });
        const bool early = QTest::qWaitFor([&] { return answer.has_value(); }, 1000);
        if (early && answer->first)
            service.noteErased(QStringLiteral("B"));
        held.release();
        QVERIFY(QTest::qWaitFor([&] { return answer.has_value(); }, 20000));
        QVERIFY2(answer->first, qPrintable(answer->second));
        if (!early)
            service.noteErased(QStringLiteral("B"));
        QTRY_COMPARE(service.state().queued, qint64(0));
        QTRY_COMPARE(onDisk(), qint64(0));
        QCOMPARE(onServer(), qint64(9));
    }
};

QTEST_MAIN(HistoryArchiveTest)
#include "tst_historyarchive.moc"
