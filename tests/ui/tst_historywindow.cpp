// The history's own window on a station with no key: opened from the no-key page, it shows the
// station's history while the main window keeps its no-key flow, and it remembers where it was.
#include "HistoryFixtures.h"
#include "base/Paths.h"
#include "base/Timing.h"
#include "base/cGlobalData.h"
#include "history/HistorySettings.h"
#include "history/HistoryStore.h"
#include "history/HistoryTableModel.h"
#include "ui/frame/MainWindow.h"
#include "ui/history/HistoryPage.h"
#include "ui/history/HistoryWindow.h"
#include "ui/history/StatisticsView.h"

#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>

class TstHistoryWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        Paths::setDataRoot(m_root.path());
        // A history written by an earlier run, before any key is plugged in.
        HistoryStore store;
        QString error;
        QVERIFY2(store.open(QString(), &error), qPrintable(error));
        QVERIFY(store.append(makeMeasures(300, QStringLiteral("J1"))).ok);
        store.close();
    }

    void opensWithoutKeyAndShowsRows()
    {
        cGlobalData data;
        MainWindow window(nullptr, &data);
        window.show();
        auto *openButton = window.findChild<QPushButton *>(QStringLiteral("pbOpenHistory"));
        QVERIFY(openButton);
        QTRY_VERIFY_WITH_TIMEOUT(openButton->isVisible(), 5000);
        QVERIFY(!openButton->accessibleName().isEmpty());
        QTest::mouseClick(openButton, Qt::LeftButton);
        HistoryWindow *history = window.historyWindow();
        QVERIFY(history);
        QVERIFY(QTest::qWaitForWindowExposed(history));
        QVERIFY(history->isWindow());
        HistoryTableModel *model = history->page()->model();
        QTRY_COMPARE_WITH_TIMEOUT(model->rowCount(), 300, 5000);
        QTRY_VERIFY(model->isLoaded(0));
        QCOMPARE(model->measure(0).recordName, QStringLiteral("J1"));
        // The statistics of the joint in view follow without a key too.
        QTRY_COMPARE_WITH_TIMEOUT(history->page()->statistics()->momentResult().summary.n, 300, 5000);

        // The scan keeps finding no key; the main window stays on its no-key page and the
        // history window stays open beside it.
        auto *pages = window.findChild<QStackedWidget *>(QStringLiteral("stMainPages"));
        QVERIFY(pages);
        const int noKeyPage = pages->currentIndex();
        // Nothing to wait for but time: three scan periods must pass without a change.
        QTest::qWait(3 * td::timing::portScanRearm);
        QCOMPARE(pages->currentIndex(), noKeyPage);
        QVERIFY(history->isVisible());

        // A second click brings the same window forward rather than another.
        QTest::mouseClick(openButton, Qt::LeftButton);
        QCOMPARE(window.historyWindow(), history);

        history->resize(1100, 700);
        history->close();
        QSettings ini(HistorySettings::path(), QSettings::IniFormat);
        QVERIFY(!ini.value(QStringLiteral("window/geometry")).toByteArray().isEmpty());
        HistoryWindow again(nullptr, nullptr);
        QCOMPARE(again.size(), QSize(1100, 700));
    }

    void opensAtStartWhenAsked()
    {
        cGlobalData data;
        data.openHistory = true;
        MainWindow window(nullptr, &data);
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(window.historyWindow() && window.historyWindow()->isVisible(), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(window.historyWindow()->page()->model()->rowCount(), 300, 5000);
    }
};

QTEST_MAIN(TstHistoryWindow)
#include "tst_historywindow.moc"
