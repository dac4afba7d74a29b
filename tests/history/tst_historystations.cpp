#include "HistoryFixtures.h"
#include "PgServer.h"
#include "history/HistoryStore.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <memory>
#include <thread>

// Several stations on one history: who archived what, the version-3 histories from before
// stations had names, and many writers on one server at once.
class HistoryStationsTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<PgServer> m_pg;
    QTemporaryDir m_tmp;
    int m_databases = 0;

    QString freshServer()
    {
        const QString name = QStringLiteral("s%1").arg(++m_databases);
        QString why;
        if (!m_pg->createDatabase(name, &why))
            qWarning() << why;
        return m_pg->url(name);
    }

    static QStringList stationsOf(const QVector<HistoryMeasure> &rows)
    {
        QStringList out;
        for (const HistoryMeasure &m : rows)
            out << m.recordName + QLatin1Char('/') + QString::number(m.connectionIndex) + QLatin1Char('@') + m.station;
        return out;
    }

    // A store of station name on url, with a queue of its own.
    std::unique_ptr<HistoryStore> station(const QString &name, const QString &url)
    {
        auto store = std::make_unique<HistoryStore>();
        store->setStation(name);
        QString error;
        if (!store->open(url, &error, m_tmp.filePath(name + QString::number(++m_databases) + QStringLiteral("-q.db3"))))
            qWarning() << error;
        return store;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid());
        m_pg = std::make_unique<PgServer>();
        QString why;
        QVERIFY2(m_pg->start(&why), qPrintable(why));
    }

    void cleanupTestCase() { m_pg.reset(); }

    // A history as version 3 left it (this program's history taken back: the station column
    // and its indexes gone), rows and a publishing position in it. Opening it names every row
    // after the station that opens it, keeps ids and positions, and what the key still holds
    // is not archived again.
    void migratesVersionThreeHistories_data()
    {
        QTest::addColumn<bool>("server");
        QTest::newRow("sqlite") << false;
        QTest::newRow("postgres") << true;
    }
    void migratesVersionThreeHistories()
    {
        QFETCH(bool, server);
        const QString url = server ? freshServer() : m_tmp.filePath(QStringLiteral("v3.db3"));
        QVector<qint64> ids;
        HistoryPosition second;
        {
            std::unique_ptr<HistoryStore> before = station(QStringLiteral("unnamed"), url);
            QCOMPARE(before->append(makeMeasures(5, QStringLiteral("RV"))).added, 5);
            const QVector<HistoryMeasure> written = before->measuresAfter(HistoryPosition(), 10);
            for (const HistoryMeasure &m : written)
                ids << m.id;
            second = HistoryPosition{written.at(1).tx, written.at(1).id};
            QVERIFY(before->setCursor(QStringLiteral("mqtt/old"), second));
            QSqlDatabase db = QSqlDatabase::addDatabase(server ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"),
                                                        QStringLiteral("v3"));
            const HistoryLocation &loc = before->location();
            db.setHostName(loc.host);
            db.setPort(loc.port);
            db.setUserName(loc.user);
            db.setDatabaseName(server ? loc.database : loc.path);
            QVERIFY(db.open());
            QSqlQuery q(db);
            for (const char *sql : {"DROP INDEX measures_station_publish", "DROP INDEX measures_station_time",
                                    "DROP INDEX measures_joint",
                                    "CREATE INDEX measures_record ON measures(record_name, measured_at, id)",
                                    "ALTER TABLE measures DROP COLUMN station",
                                    "CREATE INDEX measures_publish ON measures(tx, id)",
                                    "UPDATE history_meta SET value = '3' WHERE name = 'schema_version'"})
                QVERIFY2(q.exec(QLatin1String(sql)), qPrintable(q.lastError().text()));
            q.clear();
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("v3"));

        // A quote in the name: it reaches the schema as a literal.
        const QString here = QStringLiteral("Line 4 'north'");
        std::unique_ptr<HistoryStore> store = station(here, url);
        QVERIFY(store->isOpen() && (!server || store->isOnline()));
        HistoryDatabase *db = store->database();
        QCOMPARE(db->storedVersion(), HistoryDatabase::SchemaVersion);
        const QVector<HistoryMeasure> rows = db->measuresAfter(HistoryPosition(), 100);
        QCOMPARE(rows.size(), 5);
        for (int i = 0; i < rows.size(); ++i) {
            QCOMPARE(rows[i].id, ids.at(i));
            QCOMPARE(rows[i].station, here);
        }
        QCOMPARE(*store->cursor(QStringLiteral("mqtt/old")), second);
        QCOMPARE(store->countAfter(second, here), qint64(3));
        // The key still holds them: nothing new; another station reading more keeps its own.
        QVector<HistoryMeasure> again = makeMeasures(7, QStringLiteral("RV"));
        QCOMPARE(store->append(again.mid(0, 5)).added, 0);
        again[5].station = QStringLiteral("elsewhere");
        QCOMPARE(store->append(again).added, 2);
        HistoryFilter f;
        f.stations = QStringList{here};
        QCOMPARE(db->count(f), qint64(6));
        f.stations = QStringList{QStringLiteral("elsewhere"), QStringLiteral("nobody")};
        QCOMPARE(db->count(f), qint64(1));
        QCOMPARE(db->distinct(QStringLiteral("station")), (QStringList{here, QStringLiteral("elsewhere")}));
    }

    // A key read at station A, then at B (it moved): its measures are in the history once,
    // A's; B keeps what only B read. Each station reads back only its own rows to publish,
    // also those that waited in its local queue while the server was away.
    void firstStationKeepsATightening()
    {
        const QString url = freshServer();
        std::unique_ptr<HistoryStore> a = station(QStringLiteral("A"), url);
        std::unique_ptr<HistoryStore> b = station(QStringLiteral("B"), url);
        QVERIFY(a->isOnline() && b->isOnline());
        const QVector<HistoryMeasure> key = makeMeasures(6, QStringLiteral("RK"), QStringLiteral("SN-7"));
        QCOMPARE(a->append(key.mid(0, 4)).added, 4);
        QCOMPARE(b->append(key).added, 2);
        QCOMPARE(b->append(makeMeasures(3, QStringLiteral("RB"), QStringLiteral("SN-8"))).added, 3);
        QCOMPARE(stationsOf(a->measuresAfter(HistoryPosition(), 100, QStringLiteral("A"))),
                 (QStringList{"RK/0@A", "RK/1@A", "RK/2@A", "RK/3@A"}));
        QCOMPARE(stationsOf(b->measuresAfter(HistoryPosition(), 100, QStringLiteral("B"))),
                 (QStringList{"RK/4@B", "RK/5@B", "RB/0@B", "RB/1@B", "RB/2@B"}));
        QCOMPARE(a->countAfter(HistoryPosition(), QStringLiteral("A")), qint64(4));

        // B's queue, filled while the server was away, still says B when it moves over.
        QVERIFY(m_pg->stopServer());
        const HistoryStore::AppendResult queued = b->append(makeMeasures(2, QStringLiteral("RQ"), QStringLiteral("SN-8")));
        QVERIFY(queued.ok);
        QCOMPARE(queued.queued, 2);
        QString error;
        QVERIFY2(m_pg->startServer(&error), qPrintable(error));
        QVERIFY2(b->reconnect(&error), qPrintable(error));
        QCOMPARE(b->drainQueue(&error), 2);
        QVERIFY2(a->reconnect(&error), qPrintable(error));
        QCOMPARE(stationsOf(a->measuresAfter(HistoryPosition(), 100, QStringLiteral("B"))).mid(5),
                 (QStringList{"RQ/0@B", "RQ/1@B"}));
        QCOMPARE(a->database()->count(HistoryFilter()), qint64(11));
    }

    // Stations write at once, the same keys among them in opposite orders (keys carried from
    // one to the other): no error, no row lost, none twice, each kept by one station.
    void concurrentWritersKeepEveryTighteningOnce()
    {
        const QString url = freshServer();
        constexpr int writers = 4;
        constexpr int keys = 6;
        constexpr int batches = 5;
        constexpr int perRecord = 40;
        {
            // The schema made once, before the race: opening is not what this is about.
            std::unique_ptr<HistoryStore> first = station(QStringLiteral("W0"), url);
            QVERIFY(first->isOnline());
        }
        std::atomic_int failures{0};
        std::atomic_int queued{0};
        std::vector<std::thread> threads;
        for (int w = 0; w < writers; ++w) {
            threads.emplace_back([&, w] {
                HistoryStore store;
                store.setStation(QStringLiteral("W%1").arg(w));
                QString error;
                if (!store.open(url, &error, m_tmp.filePath(QStringLiteral("w%1-q.db3").arg(w)))) {
                    ++failures;
                    return;
                }
                for (int batch = 0; batch < batches; ++batch) {
                    QVector<HistoryMeasure> rows;
                    for (int k = 0; k < keys; ++k) {
                        // Odd writers go through the keys backwards.
                        const int key = w % 2 ? keys - 1 - k : k;
                        rows += makeMeasures(perRecord, QStringLiteral("R%1").arg(batch), QStringLiteral("SN-%1").arg(key));
                    }
                    const HistoryStore::AppendResult r = store.append(rows);
                    if (!r.ok)
                        ++failures;
                    queued += r.queued;
                }
            });
        }
        for (std::thread &t : threads)
            t.join();
        QCOMPARE(failures.load(), 0);
        QCOMPARE(queued.load(), 0);
        std::unique_ptr<HistoryStore> check = station(QStringLiteral("check"), url);
        HistoryDatabase *db = check->database();
        QCOMPARE(db->count(HistoryFilter()), qint64(keys * batches * perRecord));
        qint64 byStation = 0;
        for (int w = 0; w < writers; ++w) {
            HistoryFilter f;
            f.stations = QStringList{QStringLiteral("W%1").arg(w)};
            byStation += db->count(f);
        }
        QCOMPARE(byStation, qint64(keys * batches * perRecord));
    }

    // Station A commits a key's tightenings after station B looked at the history and before
    // B's rows went in: B's write fails on the unique key, runs again, and keeps only what A
    // had not archived, without an error, a queued row or a row set aside.
    void tighteningsArchivedMeanwhileAreSkipped()
    {
        const QString url = freshServer();
        std::unique_ptr<HistoryStore> b = station(QStringLiteral("B"), url);
        QVERIFY(b->isOnline());
        const QVector<HistoryMeasure> key = makeMeasures(6, QStringLiteral("RM"), QStringLiteral("SN-9"));
        // A's rows, the same readings as B's, made by the store under another serial first.
        QCOMPARE(b->append(makeMeasures(4, QStringLiteral("RM"), QStringLiteral("SN-9-A"))).added, 4);
        QSqlDatabase a = rawConnection(url, QStringLiteral("station-a"));
        QVERIFY(a.isOpen());
        QSqlQuery q(a);
        // A holds the table against writers until B waits on it, then commits.
        QVERIFY(a.transaction());
        QVERIFY(q.exec(QStringLiteral("LOCK TABLE measures IN SHARE ROW EXCLUSIVE MODE")));
        QVERIFY2(q.exec(QStringLiteral(
                     "UPDATE measures SET key_serial = 'SN-9', station = 'A' WHERE key_serial = 'SN-9-A'")),
                 qPrintable(q.lastError().text()));
        HistoryStore::AppendResult r;
        qint64 setAside = -1;
        // A connection belongs to the thread that opened it: B writes from a store of its own.
        std::thread writer([&] {
            std::unique_ptr<HistoryStore> own = station(QStringLiteral("B"), url);
            r = own->append(key);
            setAside = own->setAsideCount();
        });
        QSqlDatabase watch = rawConnection(url, QStringLiteral("watch"));
        QSqlQuery w(watch);
        QTRY_VERIFY_WITH_TIMEOUT(w.exec(QStringLiteral("SELECT 1 FROM pg_stat_activity WHERE wait_event_type = 'Lock'"))
                                     && w.next(),
                                 2500);
        QVERIFY(a.commit());
        writer.join();
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.queued, 0);
        QCOMPARE(r.added, 2);
        QCOMPARE(setAside, qint64(0));
        QVERIFY(w.exec(QStringLiteral("SELECT station, COUNT(*) FROM measures WHERE key_serial = 'SN-9' GROUP BY station "
                                      "ORDER BY station")));
        QStringList held;
        while (w.next())
            held << w.value(0).toString() + QLatin1Char('=') + w.value(1).toString();
        QCOMPARE(held, (QStringList{"A=4", "B=2"}));
        q.clear();
        w.clear();
        a.close();
        watch.close();
    }

    // The server's end of a connection goes in the middle of a transaction, after rows of its
    // first statement went in: none of them is in the history, all are in the queue, and they
    // reach the server once, when it answers again.
    void brokenConnectionLeavesNothingHalfWritten()
    {
        const QString url = freshServer();
        std::unique_ptr<HistoryStore> store = station(QStringLiteral("cut"), url);
        QVERIFY(store->isOnline());
        QString error;
        QSqlDatabase admin = rawConnection(url, QStringLiteral("admin"));
        QVERIFY(admin.isOpen());
        {
            QSqlQuery q(admin);
            // The session that writes the record "CUT" ends itself as that row goes in.
            QVERIFY2(q.exec(QStringLiteral(
                         "CREATE FUNCTION cut() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN "
                         "IF NEW.record_name = 'CUT' THEN PERFORM pg_terminate_backend(pg_backend_pid()); "
                         "PERFORM pg_sleep(5); END IF; RETURN NEW; END $$")),
                     qPrintable(q.lastError().text()));
            QVERIFY(q.exec(QStringLiteral("CREATE TRIGGER cut BEFORE INSERT ON measures FOR EACH ROW EXECUTE FUNCTION cut()")));
        }
        // More rows than one statement carries: the first statement's rows are in before the cut.
        QVector<HistoryMeasure> rows = makeMeasures(7000, QStringLiteral("BIG"));
        rows += makeMeasures(1, QStringLiteral("CUT"));
        const HistoryStore::AppendResult r = store->append(rows);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.added, 0);
        QCOMPARE(r.queued, rows.size());
        QSqlQuery q(admin);
        QVERIFY(q.exec(QStringLiteral("SELECT COUNT(*) FROM measures")) && q.next());
        QCOMPARE(q.value(0).toLongLong(), qint64(0));
        QVERIFY(q.exec(QStringLiteral("DROP TRIGGER cut ON measures")));
        QVERIFY2(store->reconnect(&error), qPrintable(error));
        QCOMPARE(store->drainQueue(&error), rows.size());
        QVERIFY(q.exec(QStringLiteral("SELECT COUNT(*), COUNT(DISTINCT station) FROM measures")) && q.next());
        QCOMPARE(q.value(0).toLongLong(), qint64(rows.size()));
        QCOMPARE(q.value(1).toInt(), 1);
        q.clear();
        admin.close();
    }
};

QTEST_GUILESS_MAIN(HistoryStationsTest)
#include "tst_historystations.moc"
