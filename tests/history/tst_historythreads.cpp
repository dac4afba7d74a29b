// The history split over two threads: a queue writer that never touches the server, and a
// drainer that a server can hold for as long as it hangs.
#include "HistoryFixtures.h"
#include "PgFreeze.h"
#include "history/HistoryStore.h"

#include <QElapsedTimer>
#include <QSemaphore>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

class HistoryThreadsTest : public QObject
{
    Q_OBJECT

private:
    PgServer m_pg;
    QTemporaryDir m_tmp;

    // The server over TCP, as a plant's would be: the stopped server's kernel still acknowledges.
    QString tcpUrl() const { return QStringLiteral("postgresql://postgres@127.0.0.1:%1/history").arg(m_pg.port()); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid());
        QString why;
        QVERIFY2(m_pg.start(&why), qPrintable(why));
    }

    void queueWriterOutlivesAFrozenServer()
    {
        const QString url = tcpUrl();
        const QString queue = m_tmp.filePath(QStringLiteral("frozen-q.db3"));
        HistoryStore writer;
        QString error;
        QVERIFY2(writer.open(url, &error, queue, HistoryStore::Mode::QueueOnly), qPrintable(error));
        QVERIFY(!writer.isOnline());
        QCOMPARE(writer.append(makeMeasures(40, QStringLiteral("FA"))).queued, 40);

        // The drainer's store and its connections belong to its own thread.
        enum Stage { Starting, Opened, Draining, Drained };
        std::atomic<int> stage{Starting};
        std::atomic<qint64> drainedAtOpen{-1}, moved{0}, left{-1};
        QString drainError;
        QSemaphore go;
        std::thread drainer([&] {
            HistoryStore server;
            QString e;
            if (!server.open(url, &e, queue)) {
                drainError = e;
                stage = Drained;
                return;
            }
            drainedAtOpen = server.database()->count(HistoryFilter());
            stage = Opened;
            go.acquire();
            stage = Draining;
            for (int round = 0; round < 3 && server.queuedCount() > 0; ++round) {
                const int n = server.drainQueue(&e);
                if (n < 0) {
                    drainError = e;
                    break;
                }
                moved += n;
            }
            left = server.queuedCount();
            stage = Drained;
        });
        // Should the writer hang on the server after all, the server goes on after a while and the
        // timings below fail the test instead of holding it.
        PgFreeze frozen(m_pg);
        std::mutex m;
        std::condition_variable thawed;
        bool done = false;
        std::thread watchdog([&] {
            std::unique_lock<std::mutex> lock(m);
            if (!thawed.wait_for(lock, std::chrono::seconds(30), [&] { return done; }))
                frozen.thaw();
        });
        auto thaw = [&] {
            frozen.thaw();
            {
                std::lock_guard<std::mutex> lock(m);
                done = true;
            }
            thawed.notify_all();
            drainer.join();
            watchdog.join();
        };

        QTRY_VERIFY_WITH_TIMEOUT(stage.load() != Starting, 20000);
        if (stage.load() != Opened) {
            thaw();
            QFAIL(qPrintable(drainError));
        }
        QCOMPARE(drainedAtOpen.load(), qint64(40));
        QVERIFY(frozen.freeze());
        auto appendQuickly = [&](const QString &record) {
            QElapsedTimer t;
            t.start();
            const HistoryStore::AppendResult r = writer.append(makeMeasures(20, record));
            return r.ok && r.queued == 20 && t.elapsed() < 2000;
        };
        const bool first = appendQuickly(QStringLiteral("FB"));
        go.release();
        QTRY_VERIFY(stage.load() != Opened);
        const bool more = appendQuickly(QStringLiteral("FC")) && appendQuickly(QStringLiteral("FD"));
        const bool heldMeanwhile = stage.load() == Draining;
        thaw();
        QVERIFY(first);
        QVERIFY(more);
        QVERIFY2(heldMeanwhile, "the drain did not wait for the stopped server");
        QVERIFY2(drainError.isEmpty(), qPrintable(drainError));
        QCOMPARE(moved.load(), qint64(60));
        QCOMPARE(left.load(), qint64(0));
        QCOMPARE(writer.queuedCount(), qint64(0));
        QCOMPARE(writer.setAsideCount(), qint64(0));

        QSqlDatabase check = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("frozen-check"));
        check.setHostName(QStringLiteral("127.0.0.1"));
        check.setPort(m_pg.port());
        check.setUserName(QStringLiteral("postgres"));
        check.setDatabaseName(QStringLiteral("history"));
        QVERIFY(check.open());
        {
            QSqlQuery q(check);
            QVERIFY(q.exec(QStringLiteral("SELECT COUNT(*), COUNT(DISTINCT (record_name, connection_index)) FROM measures")));
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toInt(), 100);
            QCOMPARE(q.value(1).toInt(), 100);
        }
        check = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("frozen-check"));
    }
};

QTEST_GUILESS_MAIN(HistoryThreadsTest)
#include "tst_historythreads.moc"
