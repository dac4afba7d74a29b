// The level tree through its real widgets: record files in a mirror folder, the record list
// read from them, buttons clicked on the tabs, and the requests that reach the key.

#include "LogCapture.h"
#include "ProtocolRig.h"

#include "ui/frame/MainWindow.h"
#include "records/LevelColour.h"
#include "ui/levels/LevelTree.h"
#include "records/RecordFile.h"
#include "records/RecordList.h"
#include "records/RecordName.h"
#include "ui/levels/cButtonLevel.h"
#include "ui/levels/cRecord.h"

#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

// One level tree on a tab widget like the main form's, fed from a temporary dbsett mirror.
struct Tree
{
    QTemporaryDir dir;
    ProtocolRig rig;
    RecordList list;
    QTabWidget tabs;
    QPushButton toggle;
    LevelTree *tree = nullptr;
    TemplateLists templates = TemplateLists::defaults(100, 20);

    Tree()
    {
        for (int i = 0; i < 5; ++i) {
            auto *page = new QWidget;
            new QGridLayout(page);
            tabs.addTab(page, QStringLiteral("Level %1").arg(i + 1));
        }
        toggle.setCheckable(true);
        tree = new LevelTree(&tabs, &rig.levels, &list, &rig.protocol, &toggle, nullptr, 10);
        tabs.resize(1000, 560);
        tabs.show();
    }
    ~Tree() { delete tree; }

    // A record file named after its values, as the key writes it.
    void write(const QString &name, quint16 status = 0, quint16 countCon = 0, quint16 countTotal = 8)
    {
        RecordName::Parts p;
        QVERIFY2(RecordName::parse(name, &p), qPrintable(name));
        RecordFile r;
        r.header.fioIndex = quint8(p.fio);
        r.header.wheelIndex = quint8(p.wheel);
        r.header.uzelIndex = quint8(p.uzel);
        r.header.setOperationNumber(p.operation);
        r.header.status = status;
        r.header.countTotal = countTotal;
        r.entries.resize(countCon);
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(r.toBytes());
    }
    void rebuild() { list.rebuild(dir.path(), templates); }

    cRecord *rec() const { return tree->record(); }
    QVector<cButtonLevel *> shown(int level) const { return rec()->shownButtons(level); }
    QStringList texts(int level) const
    {
        QStringList out;
        for (cButtonLevel *b : shown(level))
            out << b->text();
        return out;
    }
    QVector<int> numbers(int level) const
    {
        QVector<int> out;
        for (cButtonLevel *b : shown(level))
            out << b->number();
        return out;
    }
    void click(int level, int index)
    {
        QVERIFY2(index < shown(level).size(), "no such button");
        QTest::mouseClick(shown(level)[index]->button(), Qt::LeftButton);
    }
    void clickTab(int tab)
    {
        QTest::mouseClick(tabs.tabBar(), Qt::LeftButton, {}, tabs.tabBar()->tabRect(tab).center());
    }
    QVector<bool> enabledTabs() const
    {
        QVector<bool> out;
        for (int i = 0; i < tabs.count(); ++i)
            out << tabs.isTabEnabled(i);
        return out;
    }
};

QRgb background(QPushButton *b)
{
    // Middle of the top edge, inside the 1 px border and above any text line.
    return b->grab().toImage().pixel(b->width() / 2, 4);
}

QRgb rgbOf(const LevelColourRgb &c)
{
    return qRgb(c.r, c.g, c.b);
}

} // namespace

class TestLevelTreeUi : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { MainWindow::initResources(); }
    void exampleRecordsWalkDownToTheKey();
    void colourRuleOnRealButtons();
    void inactiveLevelsArePassedThrough();
    void multiSelectCollectsRecordsForTheRecordTab();
    void poolsHoldTheirLimits();
    void scrollButtonsMoveTheirRow();
    void mirrorChangesRebuildTheTree();
    void captionsAndIconsFromTheMenuLevels();
    void newTemplateTextsKeepTheWalk();
};

void TestLevelTreeUi::exampleRecordsWalkDownToTheKey()
{
    Tree t;
    t.write(QStringLiteral("0001ABC000000100"));
    t.write(QStringLiteral("0001ABC000000203"));
    t.rebuild();

    QCOMPARE(t.tabs.currentIndex(), 0);
    QCOMPARE(t.enabledTabs(), QVector<bool>({true, false, false, false, false}));
    QCOMPARE(t.numbers(0), QVector<int>({0}));
    QCOMPARE(t.shown(0)[0]->button()->text(), QStringLiteral("object00"));

    t.click(0, 0);
    QCOMPARE(t.tabs.currentIndex(), 1);
    QCOMPARE(t.numbers(1), QVector<int>({1}));
    QCOMPARE(t.shown(1)[0]->button()->accessibleName(), QStringLiteral("unit01"));

    // The second name reads F.I.O. 00, Wheel 01, operation ABC0000002, Uzel 03: the two
    // records differ in their operation number, so level 2 has two buttons.
    t.click(1, 0);
    QCOMPARE(t.tabs.currentIndex(), 2);
    QCOMPARE(t.texts(2), QStringList({"ABC0000001", "ABC0000002"}));
    t.click(2, 0);
    QCOMPARE(t.numbers(3), QVector<int>({0}));
    QVERIFY(t.shown(3)[0]->button()->text().contains(QStringLiteral("Finished: 0/8")));

    // Back to an earlier tab: the later ones close and cannot be opened from the tab bar.
    t.clickTab(2);
    QCOMPARE(t.tabs.currentIndex(), 2);
    QCOMPARE(t.enabledTabs(), QVector<bool>({true, true, true, false, false}));
    t.clickTab(3);
    QCOMPARE(t.tabs.currentIndex(), 2);
    t.click(2, 1);
    QCOMPARE(t.numbers(3), QVector<int>({3}));

    QSignalSpy selected(t.tree, &LevelTree::recordSelected);
    t.click(3, 0);
    QCOMPARE(t.tabs.currentIndex(), LevelTree::RecordTab);
    QCOMPARE(selected.count(), 1);
    const auto writes = t.rig.requests(QStringLiteral("FE_PageCurrent_Write"));
    QCOMPARE(writes.size(), 1);
    QCOMPARE(writes[0].value(QStringLiteral("pagenumber")).toString(), QStringLiteral("0001ABC000000203"));
    QCOMPARE(t.tree->selectedView()->rowCount(), 1);
    QCOMPARE(t.tree->selectedView()->item(0, 0)->text(), QStringLiteral("0001ABC000000203"));
}

void TestLevelTreeUi::colourRuleOnRealButtons()
{
    Tree t;
    // F.I.O. value -> status words of its records.
    const QVector<QVector<quint16>> statuses = {
        {0x02, 0x02},       // 0: all finished, none bad: green
        {0x02, 0x0A},       // 1: all finished, one bad: red
        {0x04, 0x02},       // 2: one in progress: yellow
        {0x00, 0x00},       // 3: untouched: grey
        {0x02, 0x08},       // 4: none of the rules: blue
        {0x00, 0x08},       // 5: one untouched: grey
        {0x04, 0x00},       // 6: in progress wins over untouched: yellow
    };
    for (int fio = 0; fio < statuses.size(); ++fio) {
        for (int i = 0; i < statuses[fio].size(); ++i)
            t.write(RecordName::make(fio, 0, QStringLiteral("000000000%1").arg(i), 0), statuses[fio][i]);
    }
    t.rebuild();

    // Grey, yellow, red, green, blue; each group in the order its values were first met.
    QCOMPARE(t.numbers(0), QVector<int>({3, 5, 2, 6, 1, 0, 4}));
    const QVector<LevelColour> expected = {LevelColour::Grey, LevelColour::Grey, LevelColour::Yellow,
                                           LevelColour::Yellow, LevelColour::Red, LevelColour::Green,
                                           LevelColour::Blue};
    const auto buttons = t.shown(0);
    for (int i = 0; i < buttons.size(); ++i) {
        QCOMPARE(buttons[i]->colour(), expected[i]);
        QCOMPARE(QColor(background(buttons[i]->button())), QColor(rgbOf(levelBackground(expected[i]))));
    }

    // Checked in multi-select, a button shows its checked shade.
    t.toggle.click();
    QTest::mouseClick(buttons[5]->button(), Qt::LeftButton);
    QVERIFY(buttons[5]->button()->isChecked());
    QCOMPARE(QColor(background(buttons[5]->button())), QColor(rgbOf(levelChecked(LevelColour::Green))));
    QCOMPARE(QColor(background(buttons[4]->button())), QColor(rgbOf(levelBackground(LevelColour::Red))));
}

void TestLevelTreeUi::inactiveLevelsArePassedThrough()
{
    Tree t;
    t.rig.levels.setActive(2, false);
    t.write(QStringLiteral("0001000000000000"));
    t.write(QStringLiteral("0001000000000003"));
    t.write(QStringLiteral("0001ABC000000105")); // not reachable while the key skips level 2
    t.write(QStringLiteral("0000000000000000"));
    t.rebuild();

    LogCapture log;
    t.click(0, 0);
    QCOMPARE(t.numbers(1), QVector<int>({0, 1}));
    t.click(1, 1);
    QCOMPARE(t.tabs.currentIndex(), 3);
    QVERIFY(!t.tabs.isTabEnabled(2));
    QVERIFY(t.tabs.isTabEnabled(3));
    QCOMPARE(log.count(QStringLiteral("Auto press button 2 LVL=2")), 1);
    QCOMPARE(t.numbers(3), QVector<int>({0, 3}));
    QVERIFY(!t.rec()->showsEmptyNote(3));

    // With level 0 off as well, a rebuild opens on the Wheel tab by itself.
    t.rig.levels.setActive(0, false);
    log.clear();
    t.rebuild();
    QCOMPARE(log.count(QStringLiteral("Auto press button 1 LVL=0")), 1);
    QCOMPARE(t.tabs.currentIndex(), 1);
    QCOMPARE(t.enabledTabs(), QVector<bool>({false, true, false, false, false}));
    QCOMPARE(t.numbers(1), QVector<int>({0, 1}));
    QCOMPARE(t.tree->firstActiveTab(), 1);

    // Every level off: the whole walk is automatic and ends on the record tab.
    t.rig.levels.setActive(1, false);
    t.rig.levels.setActive(3, false);
    t.rebuild();
    QCOMPARE(t.tree->firstActiveTab(), LevelTree::RecordTab);
    QCOMPARE(t.tabs.currentIndex(), LevelTree::RecordTab);
    const auto writes = t.rig.requests(QStringLiteral("FE_PageCurrent_Write"));
    QCOMPARE(writes.size(), 1);
    QCOMPARE(writes[0].value(QStringLiteral("pagenumber")).toString(), QStringLiteral("0000000000000000"));
}

void TestLevelTreeUi::multiSelectCollectsRecordsForTheRecordTab()
{
    Tree t;
    t.write(QStringLiteral("0001000000000100"));
    t.write(QStringLiteral("0001000000000200"));
    t.write(QStringLiteral("0002000000000100"));
    t.write(QStringLiteral("0003000000000100"));
    t.write(QStringLiteral("0103000000000100")); // another F.I.O.: never part of the selection
    t.rebuild();
    t.click(0, 0);
    QCOMPARE(t.numbers(1), QVector<int>({1, 2, 3}));

    t.toggle.click();
    QCOMPARE(t.toggle.text(), QStringLiteral("Cancel"));
    QVERIFY(t.rec()->isCheckable(1));
    QSignalSpy visible(t.rec(), &cRecord::tab_visible);

    // A click only toggles: no walk, and the record tab opens while something is checked.
    t.click(1, 0);
    QCOMPARE(t.tabs.currentIndex(), 1);
    QVERIFY(!t.tabs.isTabEnabled(2));
    QVERIFY(t.tabs.isTabEnabled(LevelTree::RecordTab));
    t.click(1, 2);
    t.click(1, 0);
    QVERIFY(t.tabs.isTabEnabled(LevelTree::RecordTab));
    t.click(1, 2);
    QVERIFY(!t.tabs.isTabEnabled(LevelTree::RecordTab));
    QCOMPARE(visible.last().at(0).toBool(), false);
    QVERIFY(t.rig.requests(QStringLiteral("FE_PageCurrent_Write")).isEmpty());
    // A screen reader toggles without clicking; the record tab follows all the same.
    t.shown(1)[1]->button()->toggle();
    QVERIFY(t.tabs.isTabEnabled(LevelTree::RecordTab));
    t.shown(1)[1]->button()->toggle();
    QVERIFY(!t.tabs.isTabEnabled(LevelTree::RecordTab));

    t.click(1, 0);
    t.click(1, 2);
    QSignalSpy report(t.tree, &LevelTree::reportRequested);
    t.clickTab(LevelTree::RecordTab);
    QCOMPARE(t.tabs.currentIndex(), LevelTree::RecordTab);
    QCOMPARE(report.count(), 1);
    QStringList names;
    for (const RecordItem &item : t.tree->shownRecords())
        names << item.name;
    QCOMPARE(names, QStringList({"0001000000000100", "0001000000000200", "0003000000000100"}));
    QVERIFY(t.toggle.isHidden());
    QCOMPARE(t.tree->selectedView()->rowCount(), 3);

    // Back to the level: nothing checked any more, the record tab closes, the toggle returns.
    t.clickTab(1);
    QCOMPARE(t.tabs.currentIndex(), 1);
    QVERIFY(!t.tabs.isTabEnabled(LevelTree::RecordTab));
    QVERIFY(!t.toggle.isHidden());
    for (cButtonLevel *b : t.shown(1))
        QVERIFY(!b->button()->isChecked());

    // Leaving multi-select: clicks walk again.
    t.toggle.click();
    QCOMPARE(t.toggle.text(), QStringLiteral("Select"));
    QVERIFY(!t.rec()->isCheckable(1));
    t.click(1, 1);
    QCOMPARE(t.tabs.currentIndex(), 2);
}

void TestLevelTreeUi::poolsHoldTheirLimits()
{
    Tree t;
    for (int fio = 0; fio < 12; ++fio)
        t.write(RecordName::make(fio, 0, QStringLiteral("0000000000"), 0));
    for (int wheel = 1; wheel <= 50; ++wheel)
        t.write(RecordName::make(0, wheel, QStringLiteral("0000000000"), 0));
    for (int op = 1; op <= 1000; ++op)
        t.write(RecordName::make(0, 0, QStringLiteral("%1").arg(op, 10, 10, QLatin1Char('0')), 0));
    for (int uzel = 1; uzel <= 100; ++uzel)
        t.write(RecordName::make(0, 0, QStringLiteral("0000000000"), uzel));
    LogCapture log;
    t.rebuild();

    QCOMPARE(t.rec()->shownCount(0), 10);
    QCOMPARE(log.count(QStringLiteral("Level 0: 12 values, only 10 buttons shown")), 1);
    t.click(0, 0);
    QCOMPARE(t.rec()->shownCount(1), 50);
    t.click(1, 0);
    QCOMPARE(t.rec()->shownCount(2), 1000);
    QCOMPARE(log.count(QStringLiteral("Level 2: 1001 values, only 1000 buttons shown")), 1);
    QCOMPARE(t.rec()->madeCount(2), 1000);
    t.click(2, 0);
    QCOMPARE(t.rec()->shownCount(3), 100);

    // Three rows, filled column by column.
    t.clickTab(2);
    const auto b = t.shown(2);
    const QRect r0 = b[0]->button()->geometry(), r1 = b[1]->button()->geometry(),
                r2 = b[2]->button()->geometry(), r3 = b[3]->button()->geometry();
    QCOMPARE(r1.x(), r0.x());
    QCOMPARE(r2.x(), r0.x());
    QVERIFY(r0.y() < r1.y() && r1.y() < r2.y());
    QCOMPARE(r3.y(), r0.y());
    QVERIFY(r3.x() > r0.x());
    QCOMPARE(b[999]->button()->geometry().x(), r0.x() + 333 * (r3.x() - r0.x()));
}

void TestLevelTreeUi::scrollButtonsMoveTheirRow()
{
    Tree t;
    for (int wheel = 0; wheel < 30; ++wheel)
        t.write(RecordName::make(0, wheel, QStringLiteral("0000000000"), 0));
    t.rebuild();
    t.click(0, 0);
    QScrollBar *bar = t.rec()->scrollArea(1)->horizontalScrollBar();
    QTRY_VERIFY(bar->maximum() > 20);
    QCOMPARE(bar->value(), 0);
    QTest::mouseClick(t.rec()->scrollButton(1, true), Qt::LeftButton);
    QCOMPARE(bar->value(), 10);
    QTest::mouseClick(t.rec()->scrollButton(1, true), Qt::LeftButton);
    QCOMPARE(bar->value(), 20);
    QTest::mouseClick(t.rec()->scrollButton(1, false), Qt::LeftButton);
    QCOMPARE(bar->value(), 10);
    // Level 0 has one button: nothing to scroll, its arrows are off and leave this row alone.
    QVERIFY(!t.rec()->scrollButton(0, true)->isEnabled());
    QVERIFY(t.rec()->scrollButton(1, true)->isEnabled());
    QTest::mouseClick(t.rec()->scrollButton(0, true), Qt::LeftButton);
    QCOMPARE(bar->value(), 10);
}

void TestLevelTreeUi::mirrorChangesRebuildTheTree()
{
    Tree t;
    t.write(QStringLiteral("0001000000000100"), 0, 2, 4);
    t.write(QStringLiteral("0002000000000100"));
    QFile shortFile(t.dir.filePath(QStringLiteral("0003000000000100")));
    QVERIFY(shortFile.open(QIODevice::WriteOnly));
    shortFile.write(QByteArray(30, '\1'));
    shortFile.close();
    LogCapture log;
    t.rebuild();
    QCOMPARE(t.list.count(), 2);
    QCOMPARE(log.count(QStringLiteral("shorter than a record header")), 1);

    // The walk reached a record: a rebuild that still has it keeps the record tab.
    t.click(0, 0);
    t.click(1, 0);
    t.click(2, 0);
    t.click(3, 0);
    QCOMPARE(t.tabs.currentIndex(), LevelTree::RecordTab);
    t.write(QStringLiteral("0001000000000100"), 0x04, 3, 4);
    t.rebuild();
    QCOMPARE(t.tabs.currentIndex(), LevelTree::RecordTab);
    QCOMPARE(t.tree->selectedView()->item(0, 5)->text(), QStringLiteral("3/4"));

    // Once it is gone, and on any level tab, the walk starts over on tab 0.
    QVERIFY(QFile::remove(t.dir.filePath(QStringLiteral("0001000000000100"))));
    t.rebuild();
    QCOMPARE(t.tabs.currentIndex(), 0);
    QCOMPARE(t.enabledTabs(), QVector<bool>({true, false, false, false, false}));

    // No records: an empty tree that says so.
    QVERIFY(!t.rec()->showsEmptyNote(0));
    QVERIFY(QFile::remove(t.dir.filePath(QStringLiteral("0002000000000100"))));
    t.rebuild();
    QCOMPARE(t.rec()->shownCount(0), 0);
    QCOMPARE(t.list.count(), 0);
    QVERIFY(t.rec()->showsEmptyNote(0));
}

void TestLevelTreeUi::captionsAndIconsFromTheMenuLevels()
{
    Tree t;
    QSignalSpy applied(t.tree, &LevelTree::captionsApplied);
    t.rig.receive(R"({"function_name":"FE_MenuLevel_Read","Index":0,"NameTop":"Operator","NameBottom":"name","Active":1,"Order":1})");
    t.rig.receive(R"({"function_name":"FE_MenuLevel_Read","Index":1,"NameTop":"Product","NameBottom":"number","Active":0,"Order":2})");
    t.rig.receive(R"({"function_name":"FE_MenuLevel_Read","Index":2,"NameTop":"","NameBottom":"","Active":1,"Order":3})");
    QCOMPARE(applied.count(), 0);
    connect(&t.rig.protocol, &KeyProtocol::menuLevelsComplete, t.tree, &LevelTree::applyCaptions);
    t.rig.receive(R"({"function_name":"FE_MenuLevel_Read","Index":3,"NameTop":"Node","NameBottom":"type","Active":1,"Order":4})");
    QCOMPARE(applied.count(), 1);
    QCOMPARE(t.tabs.tabText(0), QStringLiteral("Operator name"));
    QCOMPARE(t.tabs.tabText(1), QStringLiteral("Product number"));
    QCOMPARE(t.tabs.tabText(2), QStringLiteral("Level 3")); // the key named it nothing
    QCOMPARE(t.tabs.tabText(3), QStringLiteral("Node type"));

    auto image = [](const QIcon &icon) { return icon.pixmap(24, 24).toImage(); };
    const QImage used = image(QIcon(QStringLiteral(":resource/images/is_used.png")));
    const QImage notUsed = image(QIcon(QStringLiteral(":resource/images/not_used.png")));
    QVERIFY(!used.isNull() && used != notUsed);
    QCOMPARE(image(t.tabs.tabIcon(0)), used);
    QCOMPARE(image(t.tabs.tabIcon(1)), notUsed);
    QCOMPARE(image(t.tabs.tabIcon(3)), used);
    // The record tab's column heads follow the captions.
    QCOMPARE(t.tree->selectedView()->horizontalHeaderItem(1)->text(), QStringLiteral("Operator name"));
}

void TestLevelTreeUi::newTemplateTextsKeepTheWalk()
{
    Tree t;
    t.write(QStringLiteral("0001000000000100"));
    t.write(QStringLiteral("0002000000000100"));
    t.rebuild();
    t.click(0, 0);
    QCOMPARE(t.tabs.currentIndex(), 1);
    TemplateLists changed = t.templates;
    changed.wheel[2].text = QStringLiteral("Rear axle of a very long product name that cannot fit on one line of a button");
    t.list.setTemplates(changed);
    QCOMPARE(t.tabs.currentIndex(), 1);
    QCOMPARE(t.texts(1), QStringList({"unit01", changed.wheel[2].text}));
    // The long text is broken into lines and elided, never wider than the button.
    QPushButton *b = t.shown(1)[1]->button();
    const QStringList lines = b->text().split('\n');
    QVERIFY(lines.size() >= 2 && lines.size() <= cButtonLevel::MaxLines);
    for (const QString &line : lines)
        QVERIFY2(b->fontMetrics().horizontalAdvance(line) <= b->width() - 12, qPrintable(line));
    QCOMPARE(b->toolTip(), changed.wheel[2].text);
}

QTEST_MAIN(TestLevelTreeUi)
#include "tst_leveltree_ui.moc"
