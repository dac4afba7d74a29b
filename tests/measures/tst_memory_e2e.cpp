// The whole program against the key emulator over a pseudo-terminal: walking the level tree to
// a record shows its measures with the verdicts of the key's own file, a tightening made on
// the key while the record tab is open appears there, and "Clean only one current record",
// once confirmed, empties that record on the key and in the mirror.
#include "KeysimRig.h"

#include "measures/MeasureJudgement.h"
#include "measures/MeasureMemory.h"
#include "records/RecordFile.h"
#include "records/RecordList.h"
#include "records/RecordMirror.h"
#include "ui/frame/MainWindow.h"
#include "ui/levels/LevelTree.h"
#include "ui/levels/cButtonLevel.h"
#include "ui/levels/cRecord.h"
#include "ui/measures/MemoryPage.h"
#include "ui/popups/PopupHost.h"
#include "ui/popups/PopupQ.h"
#include "ui/reports/ReportActions.h"

#include <QProcess>

#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTabWidget>

class TestMemoryE2e : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void walkShowsTheRecordsMeasuresWithTheKeysVerdicts();
    void commandLineCsvEqualsTheWindows();
    void liveTighteningAppearsInTheOpenRecordTab();
    void cleanCurrentRecordEmptiesItOnTheKeyAndInTheMirror();

private:
    LevelTree *tree() const { return m_window->findChild<LevelTree *>(QStringLiteral("levelTree")); }
    MeasureMemoryModel *model() const
    {
        return m_window->findChild<MeasureMemory *>(QStringLiteral("measureMemory"))->model();
    }
    RecordFile keyRecord() const
    {
        return RecordFile::read(e2e::readFile(m_key.folder(QStringLiteral("dbsett/")) + m_name)).record;
    }
    // Empty when the table shows exactly the key's entries of the record with the key's
    // verdicts; otherwise what differs.
    QString differsFromKey() const
    {
        const RecordFile key = keyRecord();
        const MeasureMemoryModel *m = model();
        if (m->rowCount() != key.entries.size())
            return QStringLiteral("%1 rows for %2 entries").arg(m->rowCount()).arg(key.entries.size());
        const int verdict = m->columnOf(MeasureMemoryModel::Result);
        const int moment = m->columnOf(MeasureMemoryModel::ControlResult);
        for (int i = 0; i < key.entries.size(); ++i) {
            const MeasureEntry &e = key.entries.at(i);
            const QString expected = MeasureJudgement::isOk(e, key.header) ? QStringLiteral("OK") : QStringLiteral("NG");
            if (m->cellText(i, verdict) != expected)
                return QStringLiteral("row %1: %2, the key's file says %3").arg(i).arg(m->cellText(i, verdict), expected);
            if (m->cellText(i, moment) != QString::number(std::fabs(e.moment), 'f', 2))
                return QStringLiteral("row %1: moment %2").arg(i).arg(m->cellText(i, moment));
        }
        return QString();
    }

    e2e::Keysim m_key;
    QTemporaryDir m_pc;
    cGlobalData m_data;
    MainWindow *m_window = nullptr;
    QString m_name;
};

void TestMemoryE2e::initTestCase()
{
    QVERIFY(m_key.makeKey(12, 6, 21));
    // A tightening every 4 s into the key's current record.
    QVERIFY(m_key.start({QStringLiteral("--live"), QStringLiteral("4")}));
    m_data.portOverride = m_key.device();
    Paths::setDataRoot(m_pc.path());
    m_window = new MainWindow(nullptr, &m_data);
    m_window->show();
    QTRY_VERIFY_WITH_TIMEOUT(m_window->recordList()->count() == 12, 60000);
    QCOMPARE(m_window->form()->stMainPages->currentIndex(), 3);
}

void TestMemoryE2e::cleanupTestCase()
{
    delete m_window;
    QVERIFY(m_key.stop());
}

void TestMemoryE2e::walkShowsTheRecordsMeasuresWithTheKeysVerdicts()
{
    QTabWidget *tabs = m_window->form()->tabLevels;
    for (int level = 0; level < cRecord::Levels; ++level) {
        QTRY_COMPARE(tabs->currentIndex(), level);
        const auto buttons = tree()->record()->shownButtons(level);
        QVERIFY(!buttons.isEmpty());
        QTest::mouseClick(buttons.first()->button(), Qt::LeftButton);
    }
    QCOMPARE(tabs->currentIndex(), LevelTree::RecordTab);
    QCOMPARE(tree()->shownRecords().size(), 1);
    m_name = tree()->shownRecords().first().name;
    auto *page = m_window->findChild<MemoryPage *>(QStringLiteral("wMemoryPage"));
    QVERIFY(page && page->isVisible());
    QCOMPARE(page->shownRecord(), m_name);
    QVERIFY(model()->rowCount() >= 6);
    QTRY_COMPARE_WITH_TIMEOUT(differsFromKey(), QString(), 15000);
}

// A script's report and a person's report of the same records are the same bytes.
void TestMemoryE2e::commandLineCsvEqualsTheWindows()
{
    QVERIFY(!m_name.isEmpty());
    auto *actions = m_window->findChild<ReportActions *>(QStringLiteral("reportActions"));
    QVERIFY(actions);
    const QString fromWindow = m_pc.filePath(QStringLiteral("window.csv"));
    const QString fromCli = m_pc.filePath(QStringLiteral("cli.csv"));
    actions->setSaveNameAsker([&](const QString &, const QString &, const QString &, QString *) { return fromWindow; });
    // A live tightening may land in the mirror between the two reports; then both are made again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        QTRY_COMPARE_WITH_TIMEOUT(differsFromKey(), QString(), 15000);
        const QByteArray mirrorBefore = e2e::readFile(Paths::downloadDir(QStringLiteral("dbsett")) + QLatin1Char('/') + m_name);
        QFile::remove(fromWindow);
        QSignalSpy saved(actions, &ReportActions::reportSaved);
        actions->iBtnSaveReport_Click();
        QVERIFY(saved.wait(30000)); // the file is written by a job on a thread of its own
        QProcess cli;
        cli.start(qEnvironmentVariable("TD_BUILD_DIR") + QStringLiteral("/torquedesk-cli"),
                  {QStringLiteral("report"), QStringLiteral("csv"), QStringLiteral("--data-dir"), m_pc.path(),
                   QStringLiteral("--record"), m_name, QStringLiteral("--out"), fromCli});
        QVERIFY(cli.waitForFinished(60000));
        QVERIFY2(cli.exitCode() == 0, cli.readAllStandardError().constData());
        if (e2e::readFile(Paths::downloadDir(QStringLiteral("dbsett")) + QLatin1Char('/') + m_name) != mirrorBefore)
            continue;
        const QByteArray window = e2e::readFile(fromWindow);
        QVERIFY(window.contains(QByteArray("sep=;")));
        QCOMPARE(e2e::readFile(fromCli), window);
        return;
    }
    QFAIL("the mirror changed during every attempt");
}

void TestMemoryE2e::liveTighteningAppearsInTheOpenRecordTab()
{
    QVERIFY(!m_name.isEmpty());
    const int before = model()->rowCount();
    // The walk made the record current on the key, so its tightenings land there.
    QTRY_VERIFY_WITH_TIMEOUT(model()->rowCount() > before, 20000);
    QTRY_COMPARE_WITH_TIMEOUT(differsFromKey(), QString(), 15000);
    QCOMPARE(m_window->form()->tabLevels->currentIndex(), LevelTree::RecordTab);
}

void TestMemoryE2e::cleanCurrentRecordEmptiesItOnTheKeyAndInTheMirror()
{
    QVERIFY(!m_name.isEmpty());
    auto *clean = m_window->findChild<QPushButton *>(QStringLiteral("pbTblMemoryLevelClean"));
    QVERIFY(clean && clean->isVisible());
    QSignalSpy finished(m_window->findChild<MeasureMemory *>(QStringLiteral("measureMemory")),
                        &MeasureMemory::eraseFinished);
    QTest::mouseClick(clean, Qt::LeftButton);
    PopupQ *question = m_window->popups()->question();
    QTRY_VERIFY(question->isVisible());
    QVERIFY(question->text().contains(m_name));
    QTest::mouseClick(question->yesButton(), Qt::LeftButton);
    QTRY_VERIFY(!question->isVisible());
    // The record is read from the key again, kept in the history, then emptied on the key.
    QVERIFY(finished.wait(30000));
    QCOMPARE(finished.at(0).at(0).toStringList(), QStringList{m_name});
    const RecordMirror::Loaded mirror = RecordMirror::load(m_name);
    QCOMPARE(mirror.promisedEntries, 0);
    QCOMPARE(model()->rowCount(), 0);
    // The key takes the file; a live tightening may follow it after a few seconds, so the
    // emptied file is looked for in the time between.
    QTRY_VERIFY_WITH_TIMEOUT(keyRecord().header.countCon == 0 && keyRecord().entries.isEmpty(), 10000);
    const QStringList requests = m_key.requests();
    QVERIFY(!requests.filter(QStringLiteral("FA_WRITE")).filter(m_name).isEmpty());
}

QTEST_MAIN(TestMemoryE2e)
#include "tst_memory_e2e.moc"
