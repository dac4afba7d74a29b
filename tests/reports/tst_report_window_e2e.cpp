// The report buttons in the whole program against the key emulator: the workbook holds the
// record the person looks at (the one the walk of the level tree reached, or on the Viewer
// page the one being edited), whatever another page happens to show.
#include "KeysimRig.h"
#include "ReportTestSupport.h"

#include "records/RecordMirror.h"
#include "records/RecordList.h"
#include "ui/frame/MainWindow.h"
#include "ui/levels/LevelTree.h"
#include "ui/levels/cButtonLevel.h"
#include "ui/levels/cRecord.h"
#include "ui/records/RecordEditorPage.h"
#include "ui/reports/ReportActions.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTabWidget>

class TestReportWindowE2e : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void excelHoldsTheRecordOnScreen();

private:
    template <typename T = QWidget> T *find(const char *name) const
    {
        return m_window->findChild<T *>(QLatin1String(name));
    }
    // The operation number and the measure count of the workbook, and of the record.
    static QStringList facts(const QJsonObject &cells)
    {
        return {cells.value(QStringLiteral("D8")).toArray().at(0).toVariant().toString(),
                QString::number(cells.value(QStringLiteral("D20")).toArray().at(0).toInt(-1))};
    }
    static QStringList facts(const QString &record)
    {
        const RecordFile r = RecordMirror::load(record).record;
        return {r.header.operationNumber(), QString::number(r.entries.size())};
    }
    QString pressExcel()
    {
        QSignalSpy saved(find<ReportActions>("reportActions"), &ReportActions::reportSaved);
        find<ReportActions>("reportActions")->iBtnStart_Click();
        // The workbook is made by a job on a thread of its own.
        return saved.wait(60000) ? saved.first().first().toString() : QString();
    }

    e2e::Keysim m_key;
    QTemporaryDir m_pc;
    cGlobalData m_data;
    MainWindow *m_window = nullptr;
};

void TestReportWindowE2e::initTestCase()
{
    QVERIFY(m_key.makeKey(12, 5, 33));
    QVERIFY(m_key.start());
    m_data.portOverride = m_key.device();
    QVERIFY(prepareDataRoot(m_pc.path()));
    m_window = new MainWindow(nullptr, &m_data);
    m_window->show();
    QTRY_VERIFY_WITH_TIMEOUT(m_window->recordList()->count() == 12, 60000);
    QCOMPARE(m_window->form()->stMainPages->currentIndex(), int(MainPage::MainForm));
}

void TestReportWindowE2e::cleanupTestCase()
{
    delete m_window;
    QVERIFY(m_key.stop());
}

void TestReportWindowE2e::excelHoldsTheRecordOnScreen()
{
    MainWindowForm *ui = m_window->form();
    // The Viewer page is left on the last record of its list.
    find<QLineEdit>("leKeyMessage")->setText(QStringLiteral("5729"));
    QTest::mouseClick(ui->pbSettings, Qt::LeftButton);
    QCOMPARE(ui->settingsPage(), SettingsPage::Records);
    auto *editor = find<RecordEditorPage>("recordEditorPage");
    QComboBox *names = editor->form().cbPageNumber;
    QTRY_VERIFY(names->count() == 12);
    names->setFocus();
    QTest::keyClick(names, Qt::Key_End);
    const QString edited = editor->recordName();
    QCOMPARE(edited, names->itemText(11));
    QTest::mouseClick(ui->pbSettings, Qt::LeftButton);
    QCOMPARE(ui->mainPage(), MainPage::MainForm);

    // Nothing reached on the level tree yet: no workbook of whatever the Viewer shows.
    QCOMPARE(pressExcel(), QString());

    auto *tree = find<LevelTree>("levelTree");
    for (int level = 0; level < cRecord::Levels; ++level) {
        QTRY_COMPARE(ui->tabLevels->currentIndex(), level);
        const auto buttons = tree->record()->shownButtons(level);
        QVERIFY(!buttons.isEmpty());
        QTest::mouseClick(buttons.first()->button(), Qt::LeftButton);
    }
    QCOMPARE(ui->tabLevels->currentIndex(), LevelTree::RecordTab);
    QCOMPARE(tree->shownRecords().size(), 1);
    const QString walked = tree->shownRecords().first().name;
    QVERIFY2(walked != edited, "the walk must reach another record than the Viewer's");
    QVERIFY(RecordMirror::load(walked).record.entries.size() > 0);

    auto *excel = find<QPushButton>("pbExcelReport");
    QVERIFY(excel && excel->isVisible());
    QSignalSpy saved(find<ReportActions>("reportActions"), &ReportActions::reportSaved);
    QTest::mouseClick(excel, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(saved.count(), 1, 60000);
    QCOMPARE(facts(readWorkbook(saved.first().first().toString())), facts(walked));

    // On the Viewer page the workbook is of the record being edited.
    QTest::mouseClick(ui->pbSettings, Qt::LeftButton);
    QCOMPARE(ui->settingsPage(), SettingsPage::Records);
    QCOMPARE(editor->recordName(), edited);
    QVERIFY(!RecordMirror::load(edited).record.entries.isEmpty());
    const QString fromViewer = pressExcel();
    QVERIFY(!fromViewer.isEmpty());
    QCOMPARE(facts(readWorkbook(fromViewer)), facts(edited));
    QTest::mouseClick(ui->pbSettings, Qt::LeftButton);
}

QTEST_MAIN(TestReportWindowE2e)
#include "tst_report_window_e2e.moc"
