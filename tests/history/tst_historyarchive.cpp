#include "../measures/MeasureFixtures.h"
#include "history/HistoryArchiver.h"
#include "history/HistoryStore.h"
#include "measures/MeasureJudgement.h"
#include "measures/MeasureMemory.h"
#include "ui/measures/MemoryPage.h"
#include "ui/popups/PopupHost.h"
#include "ui/popups/PopupQ.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

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

    void eraseOnlyWhatIsKept()
    {
        HistoryStore store;
        QString error;
        QVERIFY(store.open(QString(), &error));
        HistoryArchiver archiver(&store);
        archiver.setContextSource(keyContext);
        QVERIFY(fixtures::writeRecord(QStringLiteral("A"), fixtures::header(0), entries(5, 0)));
        QVERIFY(fixtures::writeRecord(QStringLiteral("B"), fixtures::header(0), entries(7, 10)));

        MeasureMemory memory(nullptr);
        memory.setEraseGuard(
            [&archiver](const QStringList &names, QString *why) { return archiver.ensureKept(names, why); });
        QSignalSpy refused(&memory, &MeasureMemory::eraseRefused);
        // Nothing was archived before: erasing archives first, then erases.
        QVERIFY(memory.eraseRecordMeasures(QStringLiteral("A")));
        QCOMPARE(RecordMirror::load(QStringLiteral("A")).record.entries.size(), 0);
        QCOMPARE(store.database()->count(HistoryFilter()), qint64(5));
        QCOMPARE(refused.count(), 0);

        // The history cannot be written: nothing is erased, and the page says so in red.
        store.close();
        QCOMPARE(memory.eraseAllMeasures(), -1);
        QCOMPARE(refused.count(), 1);
        QCOMPARE(RecordMirror::load(QStringLiteral("B")).record.entries.size(), 7);

        QWidget window;
        MemoryPage page(&memory, &window);
        PopupHost popups(&window, 20, 1);
        page.setPopups(&popups);
        page.setCurrentRecordProvider([] { return QStringLiteral("B"); });
        QSignalSpy message(&page, &MemoryPage::messageRequested);
        auto *clean = page.findChild<QPushButton *>(QStringLiteral("pbTblMemoryLevelClean"));
        QVERIFY(clean);
        window.show();
        QTest::mouseClick(clean, Qt::LeftButton);
        QTRY_VERIFY(popups.question()->isVisible());
        QTest::mouseClick(popups.question()->yesButton(), Qt::LeftButton);
        QCOMPARE(message.count(), 1);
        QCOMPARE(message.at(0).at(1).toString(), QStringLiteral("red"));
        QVERIFY(!message.at(0).at(0).toString().isEmpty());
        QCOMPARE(RecordMirror::load(QStringLiteral("B")).record.entries.size(), 7);

        // Back again: the erase goes through and the measures are in the history.
        QVERIFY(store.open(QString(), &error));
        QVERIFY(memory.eraseAllMeasures() >= 1);
        QCOMPARE(RecordMirror::load(QStringLiteral("B")).record.entries.size(), 0);
        QCOMPARE(store.database()->count(HistoryFilter()), qint64(12));
    }
};

QTEST_MAIN(HistoryArchiveTest)
#include "tst_historyarchive.moc"
