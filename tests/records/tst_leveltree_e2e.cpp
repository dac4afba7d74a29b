// The whole program against the key emulator over a real pseudo-terminal: the key's records
// arrive in the level tree, a walk down the tabs makes a record the key's current one, and
// the menu levels page renames the tabs through the key.
#include "ui/frame/MainWindow.h"
#include "base/Paths.h"
#include "base/cGlobalData.h"
#include "ui/levels/LevelTree.h"
#include "ui/levels/MenuLevelsPage.h"
#include "records/RecordFile.h"
#include "records/RecordList.h"
#include "ui/levels/cButtonLevel.h"
#include "ui/levels/cRecord.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSet>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString keysimBinary()
{
    return qEnvironmentVariable("TD_BUILD_DIR", QStringLiteral(".")) + QStringLiteral("/keysim");
}

} // namespace

class TestLevelTreeE2e : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void keyRecordsFillTheTree();
    void walkMakesTheRecordCurrentOnTheKey();
    void menuLevelsRenameTheTabsThroughTheKey();

private:
    QJsonObject keyState() const
    {
        QFile f(QDir(m_key.path()).filePath(QStringLiteral(".keystate.json")));
        return f.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(f.readAll()).object() : QJsonObject();
    }
    LevelTree *tree() const { return m_window->findChild<LevelTree *>(QStringLiteral("levelTree")); }
    QTabWidget *tabs() const { return m_window->form()->tabLevels; }

    QTemporaryDir m_key;
    QTemporaryDir m_pc;
    QProcess m_sim;
    cGlobalData m_data;
    MainWindow *m_window = nullptr;
};

void TestLevelTreeE2e::initTestCase()
{
    QProcess make;
    make.start(keysimBinary(), {"make-key", "--root", m_key.path(), "--records", "60", "--measures", "3", "--seed", "9"});
    QVERIFY(make.waitForFinished(30000));
    QCOMPARE(make.exitCode(), 0);
    m_sim.start(keysimBinary(), {"--root", m_key.path()});
    QVERIFY(m_sim.waitForStarted(10000));
    while (!m_sim.canReadLine())
        QVERIFY(m_sim.waitForReadyRead(10000));
    m_data.portOverride = QString::fromUtf8(m_sim.readLine()).trimmed();
    QVERIFY(m_data.portOverride.startsWith("/dev/"));

    Paths::setDataRoot(m_pc.path());
    m_window = new MainWindow(nullptr, &m_data);
    m_window->show();
    // Boot, port open, read-out of names, settings, menu levels, templates and records.
    QTRY_VERIFY_WITH_TIMEOUT(m_window->recordList()->count() == 60, 60000);
    QCOMPARE(m_window->form()->stMainPages->currentIndex(), 3);
}

void TestLevelTreeE2e::cleanupTestCase()
{
    delete m_window;
    if (m_sim.state() != QProcess::NotRunning) {
        m_sim.terminate();
        if (!m_sim.waitForFinished(5000))
            m_sim.kill();
        m_sim.waitForFinished(5000);
    }
}

void TestLevelTreeE2e::keyRecordsFillTheTree()
{
    // One F.I.O. button per F.I.O. index the key's records use, with the key's own text.
    const QString keyRoot = m_key.path();
    QSet<int> fios;
    const QDir dbsett(QDir(keyRoot).filePath(QStringLiteral("dbsett")));
    for (const QString &name : dbsett.entryList(QDir::Files)) {
        QFile f(dbsett.filePath(name));
        QVERIFY(f.open(QIODevice::ReadOnly));
        fios.insert(RecordFile::read(f.readAll()).record.header.fioIndex);
    }
    const TemplateLists t = RecordList::loadTemplates(QDir(keyRoot).filePath(QStringLiteral("templates")));
    const auto buttons = tree()->record()->shownButtons(0);
    QCOMPARE(buttons.size(), fios.size());
    for (cButtonLevel *b : buttons) {
        QVERIFY(fios.contains(b->number()));
        QCOMPARE(b->text(), t.fioText(b->number(), 0));
    }
}

void TestLevelTreeE2e::walkMakesTheRecordCurrentOnTheKey()
{
    for (int level = 0; level < cRecord::Levels; ++level) {
        QCOMPARE(tabs()->currentIndex(), level);
        const auto buttons = tree()->record()->shownButtons(level);
        QVERIFY(!buttons.isEmpty());
        QTest::mouseClick(buttons.last()->button(), Qt::LeftButton);
    }
    QCOMPARE(tabs()->currentIndex(), LevelTree::RecordTab);
    QCOMPARE(tree()->shownRecords().size(), 1);
    const QString name = tree()->shownRecords().first().name;
    QTRY_COMPARE_WITH_TIMEOUT(keyState().value(QStringLiteral("currentPage")).toString(), name, 10000);
}

void TestLevelTreeE2e::menuLevelsRenameTheTabsThroughTheKey()
{
    m_window->form()->leKeyMessage->setText(QStringLiteral("5729"));
    QTest::mouseClick(m_window->form()->pbSettings, Qt::LeftButton);
    QCOMPARE(m_window->form()->stMainPages->currentIndex(), 1);
    auto *page = m_window->findChild<MenuLevelsPage *>(QStringLiteral("wMenuLevelsPage"));
    QVERIFY(page);
    QVERIFY(page->isEnabled() && m_window->form()->frMenuLevels->isEnabled());

    const QString top = QStringLiteral("Участок ") + QString(52, QLatin1Char('x')); // 60 characters
    page->topEdit(1)->setText(top);
    page->bottomEdit(1)->setText(QStringLiteral("сборки"));
    QTest::mouseClick(page->applyButton(), Qt::LeftButton);

    const QString stored = top.left(50);
    QTRY_COMPARE_WITH_TIMEOUT(tabs()->tabText(1), stored + QStringLiteral(" сборки"), 10000);
    QCOMPARE(page->topEdit(1)->text(), stored);

    // Back on the main form the walk starts over on the first tab.
    QTest::mouseClick(m_window->form()->pbSettings, Qt::LeftButton);
    QCOMPARE(m_window->form()->stMainPages->currentIndex(), 3);
    QCOMPARE(tabs()->currentIndex(), 0);
    QVERIFY(tabs()->isTabEnabled(0));
    QVERIFY(!tabs()->isTabEnabled(1));
    QVERIFY(!tree()->record()->shownButtons(0).isEmpty());
}

QTEST_MAIN(TestLevelTreeE2e)
#include "tst_leveltree_e2e.moc"
