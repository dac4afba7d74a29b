// The window's history in front of a server that goes away: measures wait in the local queue,
// and the retry asks whether the server is there without holding the window, then sends them.
#include "HistoryFixtures.h"
#include "PgServer.h"

#include "base/Paths.h"
#include "history/HistoryService.h"

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
        QVERIFY2(service.openDatabase(url, &error), qPrintable(error));
        QVERIFY(!service.store()->isOnline());
        QCOMPARE(service.store()->append(makeMeasures(12, QStringLiteral("RQ"))).queued, 12);

        // Refused: the probe ends and the queue stays as it was.
        service.retryQueue();
        QTRY_VERIFY_WITH_TIMEOUT(!service.isProbing(), 10000);
        QCOMPARE(service.store()->queuedCount(), qint64(12));
        QVERIFY(!service.store()->isOnline());

        QVERIFY2(pg.startServer(&error), qPrintable(error));
        QSignalSpy changed(&service, &HistoryService::historyChanged);
        service.retryQueue();
        QTRY_COMPARE_WITH_TIMEOUT(service.store()->queuedCount(), qint64(0), 10000);
        QVERIFY(service.store()->isOnline());
        QCOMPARE(service.store()->database()->count(HistoryFilter()), qint64(12));
        QCOMPARE(changed.count(), 1);
    }
};

QTEST_MAIN(TestHistoryService)
#include "tst_historyservice.moc"
