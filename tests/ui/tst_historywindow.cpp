// The history's own window on a station with no key: opened from the no-key page, it shows the
// station's history while the main window keeps its no-key flow, and it remembers where it was.
#include "HistoryFixtures.h"
#include "ServiceFixtures.h"
#include "base/Paths.h"
#include "base/Timing.h"
#include "base/cGlobalData.h"
#include "history/HistorySettings.h"
#include "history/HistoryStore.h"
#include "history/HistoryTableModel.h"
#include "ui/frame/MainWindow.h"
#include "ui/history/HistoryPage.h"
#include "ui/history/HistoryPanes.h"
#include "ui/history/HistoryWindow.h"
#include "ui/history/StatisticsView.h"

#include <QAccessible>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
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
        // A screen reader announces it as a window of its own, by its title, as it does the
        // main window.
        QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(history);
        QVERIFY(reader);
        QCOMPARE(reader->role(), QAccessible::Window);
        QCOMPARE(reader->text(QAccessible::Name), history->windowTitle());
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
    // At 1280 pixels the table gets the window's width, its leading columns whole, and the
    // statistics are the other tab; on a wide screen the two stand side by side. The tab and
    // the handle the user left are where the next window opens.
    void tableReadableAtLaptopWidthsStatisticsBesideOnWideOnes()
    {
        QSettings(HistorySettings::path(), QSettings::IniFormat).remove(QStringLiteral("layout"));
        HistoryService service;
        QString error;
        QVERIFY2(openAndWait(service, QString(), &error), qPrintable(error));
        auto open = [&](QSize size) {
            auto w = std::make_unique<HistoryWindow>(&service, nullptr);
            w->resize(size);
            w->show();
            return w;
        };
        auto window = open(QSize(1280, 800));
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTableView *table = window->page()->table();
        QTRY_VERIFY_WITH_TIMEOUT(window->page()->model()->isLoaded(0), 5000);
        const QHeaderView *header = table->horizontalHeader();
        int leading = 0;
        for (int visual = 0; visual < 6; ++visual)
            leading += header->sectionSize(header->logicalIndex(visual));
        QVERIFY2(table->isVisible() && table->viewport()->width() >= leading,
                 qPrintable(QStringLiteral("%1 px for %2 px of columns").arg(table->viewport()->width()).arg(leading)));
        auto *tabs = window->findChild<QTabWidget *>(QStringLiteral("tabHistory"));
        QVERIFY(tabs && tabs->isVisible());
        QVERIFY(!tabs->accessibleName().isEmpty());
        StatisticsView *stats = window->page()->statistics();
        QVERIFY(!stats->isVisible());
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(1).center());
        QVERIFY(stats->isVisible() && !table->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(stats->momentResult().summary.n, 300, 5000);
        window.reset();
        window = open(QSize(1280, 800));
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(window->page()->statistics()->isVisible());

        // Wide: both at once, the statistics with their charts beside the figures.
        window->resize(1920, 1080);
        QTRY_VERIFY(window->page()->panes()->sideBySide());
        table = window->page()->table();
        stats = window->page()->statistics();
        QVERIFY(table->isVisible() && stats->isVisible());
        QVERIFY(table->mapTo(window.get(), QPoint()).x() + table->width()
                <= stats->parentWidget()->mapTo(window.get(), QPoint()).x());
        QVERIFY(stats->width() >= stats->sideBySideWidth());
        auto *split = window->findChild<QSplitter *>(QStringLiteral("splitHistory"));
        QSplitterHandle *handle = split->handle(1);
        const int before = table->width();
        // A drag of the handle as the mouse makes it (QTest's moves carry no held button).
        auto send = [handle](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
            QMouseEvent e(type, at, handle->mapToGlobal(at), button, held, Qt::NoModifier);
            QApplication::sendEvent(handle, &e);
        };
        send(QEvent::MouseButtonPress, QPoint(2, 100), Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, QPoint(-148, 100), Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, QPoint(-148, 100), Qt::LeftButton, Qt::NoButton);
        QTRY_VERIFY(table->width() < before - 100);
        const int chosen = table->width();
        window.reset();
        window = open(QSize(1920, 1080));
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QTRY_VERIFY(window->page()->panes()->sideBySide());
        QVERIFY2(std::abs(window->page()->table()->width() - chosen) <= 4,
                 qPrintable(QStringLiteral("%1 against %2").arg(window->page()->table()->width()).arg(chosen)));
    }
};

QTEST_MAIN(TstHistoryWindow)
#include "tst_historywindow.moc"
