// The memory page as a person uses it: a keyboard-wedge scanner typing codes and Enter, the
// barcode button telling each outcome and coming back, the per-record OK/NG counts, and
// "Clean measures in Key" and "Clean only one current record" asking first with the numbers
// they are about to erase.
#include "EraseRig.h"
#include "MeasureFixtures.h"

#include "measures/MeasureMemory.h"
#include "reports/ReportDatabase.h"
#include "ui/measures/MemoryPage.h"
#include "ui/popups/PopupHost.h"
#include "ui/popups/PopupQ.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

using namespace fixtures;

class TestMemoryPage : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void scannerEntersPairsAndTheButtonTellsTheOutcome();
    void countsPerRecordAndTheViewShowsTheModel();
    void cleanAllAsksWithTheNumbersFirst();
    void cleanCurrentRecordUsesTheLevelSelection();

private:
    QLineEdit *edit(const char *name) const { return m_page->findChild<QLineEdit *>(QLatin1String(name)); }
    QPushButton *button(const char *name) const { return m_page->findChild<QPushButton *>(QLatin1String(name)); }
    void scan(const char *field, const QString &code)
    {
        QTest::keyClicks(edit(field), code);
        QTest::keyClick(edit(field), Qt::Key_Return);
    }
    int codeRows() const
    {
        QSqlQuery q(QSqlDatabase::database(m_db->connectionName(), false));
        q.exec(QStringLiteral("SELECT COUNT(*) FROM codes"));
        return q.next() ? q.value(0).toInt() : -1;
    }

    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<ReportDatabase> m_db;
    QWidget *m_window = nullptr;
    MeasureMemory *m_memory = nullptr;
    std::unique_ptr<EraseRig> m_key;
    MemoryPage *m_page = nullptr;
    PopupHost *m_popups = nullptr;
    QString m_current;
};

void TestMemoryPage::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    Paths::setDataRoot(m_root->path());
    m_db = std::make_unique<ReportDatabase>();
    QVERIFY(m_db->open(Paths::reportDatabase()));
    QVERIFY(writeRecord(QStringLiteral("R1"), header(0, 10, 20), {entry(15), entry(25), entry(-12)}));
    QVERIFY(writeRecord(QStringLiteral("R2"), header(0, 10, 20), {entry(5)}));
    m_window = new QWidget;
    m_window->resize(1200, 700);
    m_memory = new MeasureMemory(nullptr, m_window);
    m_memory->setReportDatabase(m_db.get());
    RecordEraser::Keeper yes;
    yes.keep = [](const QString &, const RecordFile &, int, QString *) { return true; };
    m_key = std::make_unique<EraseRig>(m_memory, yes);
    m_key->holdTheMirror();
    m_page = new MemoryPage(m_memory, m_window);
    m_page->resize(1200, 700);
    m_page->setButtonResetMs(50);
    m_page->setCurrentRecordProvider([this] { return m_current; });
    m_popups = new PopupHost(m_window, 20, 1);
    m_page->setPopups(m_popups);
    m_page->setReportDatabase(m_db.get());
    m_window->show();
    QApplication::setActiveWindow(m_window);
    QVERIFY(QTest::qWaitForWindowActive(m_window));
}

void TestMemoryPage::cleanup()
{
    delete m_popups;
    delete m_window;
    m_key.reset();
    m_db.reset();
}

void TestMemoryPage::scannerEntersPairsAndTheButtonTellsTheOutcome()
{
    QPushButton *add = button("pbSQLInsert");
    QCOMPARE(add->text(), QStringLiteral("Add barcodes to record"));
    QCOMPARE(add->accessibleName(), add->text());

    // No record shown yet: nothing is stored, the codes stay.
    edit("leBarcode0")->setFocus();
    scan("leBarcode0", QStringLiteral("111"));
    QVERIFY(edit("leBarcode1")->hasFocus());
    scan("leBarcode1", QStringLiteral("222"));
    QCOMPARE(add->text(), QStringLiteral("Choose a record first!"));
    QCOMPARE(edit("leBarcode0")->text(), QStringLiteral("111"));
    QCOMPARE(codeRows(), 0);
    QTRY_COMPARE(add->text(), QStringLiteral("Add barcodes to record"));

    QVERIFY(m_memory->loadRecordMeasures(QStringLiteral("R1"), true));
    QCOMPARE(m_page->shownRecord(), QStringLiteral("R1"));
    edit("leBarcode0")->clear();
    edit("leBarcode1")->clear();
    edit("leBarcode0")->setFocus();
    scan("leBarcode0", QStringLiteral("A'1"));
    scan("leBarcode1", QStringLiteral("B'2"));
    QCOMPARE(add->text(), QStringLiteral("Barcodes added"));
    QVERIFY(add->styleSheet().contains(QLatin1String("rgb(180, 240, 180)")));
    QVERIFY(edit("leBarcode0")->text().isEmpty() && edit("leBarcode1")->text().isEmpty());
    QVERIFY(edit("leBarcode0")->hasFocus()); // ready for the next part
    QCOMPARE(m_db->findRecordByBarcodes({"B'2", "A'1"}), QStringLiteral("R1"));
    QTRY_COMPARE(add->text(), QStringLiteral("Add barcodes to record"));
    QVERIFY(add->styleSheet().contains(QLatin1String("rgb(240, 240, 160)")));

    // The same pair scanned the other way round.
    scan("leBarcode0", QStringLiteral("B'2"));
    scan("leBarcode1", QStringLiteral("A'1"));
    QCOMPARE(add->text(), QStringLiteral("Barcodes already exist!"));
    QVERIFY(edit("leBarcode0")->text().isEmpty());
    QCOMPARE(codeRows(), 1);

    // A second pair for the same record is refused by the table; the codes are kept.
    scan("leBarcode0", QStringLiteral("C"));
    QTest::keyClicks(edit("leBarcode1"), QStringLiteral("D"));
    QTest::mouseClick(add, Qt::LeftButton);
    QCOMPARE(add->text(), QStringLiteral("Record already exist!"));
    QCOMPARE(edit("leBarcode0")->text(), QStringLiteral("C"));
    QCOMPARE(edit("leBarcode1")->text(), QStringLiteral("D"));
    QCOMPARE(codeRows(), 1);

    // Without a database the button says so rather than blaming the record.
    m_db->close();
    QTest::mouseClick(add, Qt::LeftButton);
    QCOMPARE(add->text(), QStringLiteral("Database is not available!"));
    QVERIFY(add->styleSheet().contains(QLatin1String("rgb(240, 180, 180)")));
    QCOMPARE(edit("leBarcode1")->text(), QStringLiteral("D"));
}

void TestMemoryPage::countsPerRecordAndTheViewShowsTheModel()
{
    QCOMPARE(m_memory->loadRecords({"R1", "R2"}), 4);
    auto *list = m_page->findChild<QListWidget *>(QStringLiteral("lwMemoryBlocks"));
    QTRY_COMPARE(list->count(), 2);
    QVERIFY(list->item(0)->text().contains(QLatin1String("OK: 2  NG: 1")));
    QVERIFY(list->item(1)->text().contains(QLatin1String("OK: 0  NG: 1")));
    QVERIFY(m_page->findChild<QLabel *>(QStringLiteral("lbMemoryTotals"))->text().contains(QLatin1String("OK: 2  NG: 2")));
    QTableView *view = m_page->table();
    QCOMPARE(view->model()->rowCount(), 5); // with the gap
    QCOMPARE(m_page->shownRecord(), QStringLiteral("R2"));
    QVERIFY(!m_page->findChild<QLabel *>(QStringLiteral("lbMemoryRecordDetails"))->text().isEmpty());
}

void TestMemoryPage::cleanAllAsksWithTheNumbersFirst()
{
    QPushButton *clean = button("pbEraseMeasures");
    QCOMPARE(clean->accessibleName(), QStringLiteral("Clean measures in Key"));
    QTest::mouseClick(clean, Qt::LeftButton);
    PopupQ *q = m_popups->question();
    QTRY_VERIFY(q->isVisible());
    QVERIFY(q->text().contains(QLatin1String("4 measures in 2 records")));
    QTest::mouseClick(q->noButton(), Qt::LeftButton);
    QTRY_VERIFY(!q->isVisible());
    QCOMPARE(RecordMirror::load(QStringLiteral("R1")).record.entries.size(), 3); // No erased nothing

    QTest::mouseClick(clean, Qt::LeftButton);
    QTRY_VERIFY(q->isVisible());
    QTest::mouseClick(q->yesButton(), Qt::LeftButton);
    QTRY_COMPARE(RecordMirror::load(QStringLiteral("R1")).promisedEntries, 0);
    QTRY_COMPARE(RecordMirror::load(QStringLiteral("R2")).promisedEntries, 0);
}

void TestMemoryPage::cleanCurrentRecordUsesTheLevelSelection()
{
    QPushButton *clean = button("pbTblMemoryLevelClean");
    PopupQ *q = m_popups->question();
    QTest::mouseClick(clean, Qt::LeftButton); // nothing selected: nothing happens
    QVERIFY(!q->isVisible());
    QCOMPARE(RecordMirror::load(QStringLiteral("R1")).promisedEntries, 3);
    m_current = QStringLiteral("R1");
    QVERIFY(m_memory->loadRecords({"R1", "R2"}) > 0);
    // Asked first, as for every record, with the record and what it loses.
    QTest::mouseClick(clean, Qt::LeftButton);
    QTRY_VERIFY(q->isVisible());
    QVERIFY2(q->text().contains(QLatin1String("3 measures of the record R1")), qPrintable(q->text()));
    QCOMPARE(RecordMirror::load(QStringLiteral("R1")).promisedEntries, 3);
    QTest::mouseClick(q->noButton(), Qt::LeftButton);
    QTRY_VERIFY(!q->isVisible());
    QCOMPARE(RecordMirror::load(QStringLiteral("R1")).promisedEntries, 3);
    QTest::mouseClick(clean, Qt::LeftButton);
    QTRY_VERIFY(q->isVisible());
    QTest::mouseClick(q->yesButton(), Qt::LeftButton);
    QTRY_COMPARE(RecordMirror::load(QStringLiteral("R1")).promisedEntries, 0);
    QCOMPARE(RecordMirror::load(QStringLiteral("R2")).promisedEntries, 1);
    QTRY_COMPARE(m_page->table()->model()->rowCount(), 0); // the table shows the emptied record
    QCOMPARE(m_page->shownRecord(), QStringLiteral("R1"));
}

QTEST_MAIN(TestMemoryPage)
#include "tst_memorypage.moc"
