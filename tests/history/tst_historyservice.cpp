// The window's history in front of a server that goes away or stops answering: measures wait
// in the local queue, the retry asks whether the server is there without holding anything,
// and a server frozen mid-question holds the history's thread only: the page says so and the
// window goes on answering.
#include "../StallMeter.h"
#include "HistoryFixtures.h"
#include "PgFreeze.h"
#include "PgServer.h"
#include "ServiceFixtures.h"

#include "base/Paths.h"
#include "history/HistoryService.h"
#include "history/HistoryTableModel.h"
#include "ui/history/HistoryPage.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

class TestHistoryService : public QObject
{
    Q_OBJECT

private slots:
    void queueGoesOnceTheServerAnswers()
    {
        QTemporaryDir root;
        Paths::setDataRoot(root.path());
        PgServer pg;
        QString why;
        QVERIFY2(pg.start(&why), qPrintable(why));
        QVERIFY2(pg.createDatabase(QStringLiteral("svc"), &why), qPrintable(why));
        // Over TCP, as a station reaches the plant's server.
        const QString url = QStringLiteral("postgresql://postgres@127.0.0.1:%1/svc").arg(pg.port());
        QVERIFY(pg.stopServer());

        HistoryService service;
        QString error;
        QVERIFY2(openAndWait(service, url, &error), qPrintable(error));
        QTRY_VERIFY(service.state().open);
        QVERIFY(!service.state().online);
        const auto twelve = makeMeasures(12, QStringLiteral("RQ"));
        QCOMPARE(onHistoryThread(service, [twelve](HistoryWorker &w) { return w.store()->append(twelve).queued; }), 12);

        // Refused: the probe ends and the queue stays as it was.
        service.retryQueue();
        QTRY_VERIFY_WITH_TIMEOUT(!onHistoryThread(service, [](HistoryWorker &w) { return w.isProbing(); }), 10000);
        QTRY_COMPARE(service.state().queued, qint64(12));
        QVERIFY(!service.state().online);
        // The page says where the measures are, in full, and never counts them as gone.
        HistoryPage page(&service);
        page.resize(1280, 760);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        auto *count = page.findChild<QLabel *>(QStringLiteral("lbHistoryCount"));
        QVERIFY(count);
        QTRY_VERIFY2(count->text().contains(QStringLiteral("12 measures kept on this PC")), qPrintable(count->text()));
        QVERIFY2(page.stateText().contains(QStringLiteral("unreachable since"))
                     && page.stateText().contains(QStringLiteral("12 measures kept on this PC, sent when it is back"))
                     && page.stateText().contains(QString::number(pg.port())),
                 qPrintable(page.stateText()));
        auto *address = page.findChild<QLineEdit *>(QStringLiteral("leHistoryDatabase"));
        QVERIFY(address->minimumWidth() > address->fontMetrics().horizontalAdvance(url));

        QVERIFY2(pg.startServer(&error), qPrintable(error));
        QSignalSpy changed(&service, &HistoryService::historyChanged);
        service.retryQueue();
        QTRY_COMPARE_WITH_TIMEOUT(service.state().queued, qint64(0), 10000);
        QVERIFY(service.state().online);
        QCOMPARE(onHistoryThread(service, [](HistoryWorker &w) { return w.store()->database()->count(HistoryFilter()); }),
                 qint64(12));
        QCOMPARE(changed.count(), 1);
        QTRY_VERIFY2(page.stateText().contains(QStringLiteral(": connected")), qPrintable(page.stateText()));
    }

    void frozenServerHoldsOnlyTheHistory()
    {
        QTemporaryDir root;
        Paths::setDataRoot(root.path());
        PgServer pg;
        QString why;
        QVERIFY2(pg.start(&why), qPrintable(why));
        HistoryService service;
        QVERIFY2(openAndWait(service, pg.url(), &why), qPrintable(why));
        const auto rows = makeMeasures(30, QStringLiteral("FZ"));
        QCOMPARE(onHistoryThread(service, [rows](HistoryWorker &w) { return w.store()->append(rows).added; }), 30);

        HistoryPage page(&service);
        page.resize(1200, 700);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QTRY_COMPARE(page.model()->rowCount(), 30);
        auto *notice = page.findChild<QLabel *>(QStringLiteral("lbHistoryNotice"));
        QVERIFY(notice && !notice->isVisible());

        PgFreeze frozen(pg);
        QVERIFY(frozen.freeze());
        QSignalSpy status(&page, &HistoryPage::statusMessage);
        QTest::mouseClick(page.findChild<QPushButton *>(QStringLiteral("pbHistoryFind")), Qt::LeftButton);
        // The count is on its way: the table is empty and says nothing false meanwhile.
        QCOMPARE(page.model()->rowCount(), 0);
        StallMeter stall;
        stall.start();
        QTRY_VERIFY_WITH_TIMEOUT(notice->isVisible(), HistoryService::SilentMs + 3000);
        QVERIFY(notice->text().contains(QStringLiteral("not answering")));
        QVERIFY(!status.isEmpty());
        // A click is handled at once.
        auto *settings = page.findChild<QPushButton *>(QStringLiteral("pbHistorySettings"));
        QTest::mouseClick(settings, Qt::LeftButton);
        QVERIFY(settings->isChecked());
        stall.stop();
        QVERIFY2(stall.longestHeldMs() < 200, qPrintable(stall.describe()));
        QCOMPARE(page.model()->rowCount(), 0);

        frozen.thaw();
        QTRY_VERIFY_WITH_TIMEOUT(!notice->isVisible(), 10000);
        QTRY_COMPARE(page.model()->rowCount(), 30);
    }
};

QTEST_MAIN(TestHistoryService)
#include "tst_historyservice.moc"
