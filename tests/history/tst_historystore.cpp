#include "HistoryFixtures.h"
#include "PgServer.h"
#include "history/HistoryArchiver.h"
#include "history/HistoryExport.h"
#include "history/HistoryStore.h"
#include "history/JointStatistics.h"
#include "measures/MeasureJudgement.h"
#include "publish/HistoryPublishSource.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlError>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSet>
#include <cmath>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <memory>

// The same cases run against a SQLite file and a private PostgreSQL server.
class HistoryStoreTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<PgServer> m_pg;
    QString m_pgWhy;
    QTemporaryDir m_tmp;
    int m_databases = 0;

    // A fresh, empty history on the engine the current data row names.
    QString freshUrl()
    {
        QFETCH_GLOBAL(QString, engine);
        const QString name = QStringLiteral("t%1").arg(++m_databases);
        if (engine == QLatin1String("sqlite"))
            return m_tmp.filePath(name + QStringLiteral(".db3"));
        if (!m_pg)
            return QString();
        QString why;
        if (!m_pg->createDatabase(name, &why))
            qWarning() << why;
        return m_pg->url(name);
    }

    // A connection of the test's own to the database at loc, under name.
    static QSqlDatabase raw(const HistoryLocation &loc, const QString &name)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(loc.isServer() ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"), name);
        if (loc.isServer()) {
            db.setHostName(loc.host);
            db.setPort(loc.port);
            db.setUserName(loc.user);
        }
        db.setDatabaseName(loc.isServer() ? loc.database : loc.path);
        return db;
    }

    bool skipWithoutServer()
    {
        QFETCH_GLOBAL(QString, engine);
        return engine == QLatin1String("postgres") && !m_pg;
    }

    static QStringList recordsOf(const QVector<HistoryMeasure> &rows)
    {
        QStringList out;
        for (const HistoryMeasure &m : rows)
            out << m.recordName + QLatin1Char('/') + QString::number(m.connectionIndex);
        return out;
    }

private slots:
    void initTestCase_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::newRow("sqlite") << QStringLiteral("sqlite");
        QTest::newRow("postgres") << QStringLiteral("postgres");
    }

    void initTestCase()
    {
        QVERIFY(m_tmp.isValid());
        QVERIFY2(QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")), "libqt5sql5-psql is missing");
        m_pg = std::make_unique<PgServer>();
        QVERIFY2(m_pg->start(&m_pgWhy), qPrintable(m_pgWhy));
    }

    void cleanupTestCase() { m_pg.reset(); }

    void importIsIdempotent()
    {
        HistoryStore store;
        QString error;
        QVERIFY2(store.open(freshUrl(), &error, m_tmp.filePath(QStringLiteral("q.db3"))), qPrintable(error));
        QVERIFY(store.isOnline());
        const QVector<HistoryMeasure> file = makeMeasures(64);
        HistoryStore::AppendResult r = store.append(file);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.added, 64);
        r = store.append(file);
        QVERIFY(r.ok);
        QCOMPARE(r.added, 0);
        QCOMPARE(store.database()->count(HistoryFilter()), qint64(64));

        // The key erased its measures and measured anew: same indexes, new times, all new rows.
        QVector<HistoryMeasure> anew = makeMeasures(10, file.first().recordName, file.first().keySerial,
                                                    QDateTime(QDate(2026, 4, 1), QTime(7, 0)));
        // One of them happens to repeat an old time and value at another index: still new.
        anew[3].measuredAt = file[5].measuredAt;
        anew[3].moment = file[5].moment;
        r = store.append(anew);
        QCOMPARE(r.added, 10);
        // The same key read over another link, or archived by a second station: nothing new.
        QVector<HistoryMeasure> again = anew;
        for (HistoryMeasure &m : again) {
            m.receivedAt = QStringLiteral("2026-04-02 10:00:00");
            m.keyName = QStringLiteral("renamed");
        }
        QCOMPARE(store.append(again).added, 0);
        QCOMPARE(store.database()->count(HistoryFilter()), qint64(74));
        // Another key's measures of the same record are its own.
        QCOMPARE(store.append(makeMeasures(5, file.first().recordName, QStringLiteral("SN-2"))).added, 5);
    }

    void hostileTextsRoundTrip()
    {
        HistoryStore store;
        QString error;
        QVERIFY2(store.open(freshUrl(), &error, m_tmp.filePath(QStringLiteral("q.db3"))), qPrintable(error));
        QVector<HistoryMeasure> rows = makeMeasures(1);
        HistoryMeasure &m = rows[0];
        m.keySerial = QStringLiteral("SN'1\"; DROP TABLE measures; --");
        m.keyName = QStringLiteral("Ключ №5 \\ 'кавычки' ?");
        m.operatorText = QStringLiteral("Иванов И.И. O'Brien ? $1 :name");
        m.node = QStringLiteral("Узел\tс табуляцией\nи строкой");
        m.product = QString::fromUtf8("\xE2\x82\xAC uro \xF0\x9F\x94\xA7");
        m.barcode1 = QStringLiteral("4607%_x");
        QVERIFY(store.append(rows).ok);
        // Every hostile text comes back whole, by a page and by the streamed read alike.
        const auto whole = [&m](const HistoryMeasure &r) {
            QCOMPARE(r.keySerial, m.keySerial);
            QCOMPARE(r.keyName, m.keyName);
            QCOMPARE(r.operatorText, m.operatorText);
            QCOMPARE(r.node, m.node);
            QCOMPARE(r.product, m.product);
            QCOMPARE(r.barcode1, m.barcode1);
            QCOMPARE(r.moment, m.moment);
        };
        const QVector<HistoryMeasure> back = store.database()->page(HistoryFilter(), 0, 10);
        QCOMPARE(back.size(), 1);
        whole(back[0]);
        if (QTest::currentTestFailed())
            return;
        HistoryFilter f;
        f.operatorText = m.operatorText;
        QCOMPARE(store.database()->count(f), qint64(1));
        f = HistoryFilter();
        f.barcodes = QStringList{QStringLiteral("4607%")};
        QCOMPARE(store.database()->count(f), qint64(0)); // a code is no pattern
        // Floats from the key come back bit for bit, so the duplicate key holds after a round trip.
        QVector<HistoryMeasure> odd = makeMeasures(1, QStringLiteral("R2"));
        odd[0].moment = double(float(12.3f));
        odd[0].keySerial.clear(); // a key that gave no serial: the row's first field is empty
        QCOMPARE(store.append(odd).added, 1);
        QCOMPARE(store.append(odd).added, 0);
        // The streamed read (an export's) gets the same texts through the same filter, and one
        // that stops early leaves the connection ready for the next question.
        f = HistoryFilter();
        f.operatorText = m.operatorText;
        QVector<HistoryMeasure> streamed;
        QVERIFY(store.database()->forEach(f, [&](const HistoryMeasure &r) {
            streamed << r;
            return true;
        }));
        QCOMPARE(streamed.size(), 1);
        whole(streamed[0]);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(streamed[0].id, back[0].id);
        int seen = 0;
        QVERIFY(store.database()->forEach(HistoryFilter(), [&](const HistoryMeasure &) { return ++seen < 1; }));
        QCOMPARE(seen, 1);
        QCOMPARE(store.database()->count(HistoryFilter()), qint64(2));
        QCOMPARE(store.append(makeMeasures(3, QStringLiteral("R3"))).added, 3);
    }

    void migratesFromEmptyAndRefusesNewer()
    {
        if (skipWithoutServer())
            QSKIP("no server");
        QFETCH_GLOBAL(QString, engine);
        QString url = freshUrl();
        if (engine == QLatin1String("sqlite")) {
            QFile f(url);
            QVERIFY(f.open(QIODevice::WriteOnly)); // an empty file, as a crash could leave one
        }
        {
            HistoryDatabase db;
            HistoryLocation loc;
            QString error;
            QVERIFY(HistoryLocation::parse(url, &loc, &error));
            QVERIFY2(db.open(loc, &error), qPrintable(error));
            QCOMPARE(db.storedVersion(), HistoryDatabase::SchemaVersion);
            QCOMPARE(db.append(makeMeasures(3), &error), 3);
            // Opening again keeps the rows and the version.
            db.close();
            QVERIFY2(db.open(loc, &error), qPrintable(error));
            QCOMPARE(db.count(HistoryFilter()), qint64(3));
            // A newer program has been here.
            QSqlDatabase raw = QSqlDatabase::addDatabase(engine == QLatin1String("sqlite") ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL"), QStringLiteral("raw"));
            if (engine == QLatin1String("sqlite")) {
                raw.setDatabaseName(loc.path);
            } else {
                raw.setHostName(loc.host);
                raw.setPort(loc.port);
                raw.setUserName(loc.user);
                raw.setDatabaseName(loc.database);
            }
            QVERIFY(raw.open());
            QSqlQuery q(raw);
            QVERIFY(q.exec(QStringLiteral("UPDATE history_meta SET value = '99' WHERE name = 'schema_version'")));
            q.clear();
            raw.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
        HistoryStore store;
        QString error;
        if (engine == QLatin1String("sqlite")) {
            QVERIFY(!store.open(url, &error));
            QVERIFY2(error.contains(QLatin1String("99")), qPrintable(error));
        } else {
            // A server the station cannot use is like one it cannot reach: it queues.
            QVERIFY(store.open(url, &error, m_tmp.filePath(QStringLiteral("newer-q.db3"))));
            QVERIFY(!store.isOnline());
        }
    }

    void filtersAndPages()
    {
        HistoryStore store;
        QString error;
        QVERIFY2(store.open(freshUrl(), &error, m_tmp.filePath(QStringLiteral("q.db3"))), qPrintable(error));
        QVector<HistoryMeasure> a = makeMeasures(30, QStringLiteral("RA"));
        QVector<HistoryMeasure> b = makeMeasures(20, QStringLiteral("RB"), QStringLiteral("SN-2"),
                                                 QDateTime(QDate(2026, 5, 10), QTime(12, 0)));
        for (HistoryMeasure &m : b) {
            m.operatorText = QStringLiteral("Sidorov");
            m.barcode1 = QStringLiteral("111");
            m.barcode2 = QStringLiteral("222");
        }
        b[4].ok = false;
        b[7].ok = false;
        QVERIFY2(store.append(a).ok, qPrintable(store.append(a).error));
        QVERIFY(store.append(b).ok);
        HistoryDatabase *db = store.database();
        HistoryFilter f;
        f.operatorText = QStringLiteral("Sidorov");
        QCOMPARE(db->count(f), qint64(20));
        f.verdict = HistoryFilter::Verdict::Ng;
        QCOMPARE(db->count(f), qint64(2));
        f = HistoryFilter();
        f.since = QStringLiteral("2026-05-10");
        f.until = QStringLiteral("2026-05-10");
        QCOMPARE(db->count(f), qint64(20));
        f.until = QStringLiteral("2026-05-09");
        QCOMPARE(db->count(f), qint64(0));
        f = HistoryFilter();
        f.barcodes = QStringList{QStringLiteral("222"), QStringLiteral("111")}; // scanned the other way round
        QCOMPARE(db->count(f), qint64(20));
        f.barcodes = QStringList{QStringLiteral("222"), QStringLiteral("999")};
        QCOMPARE(db->count(f), qint64(0));
        f.recordOfBarcodes = QStringLiteral("RA"); // the pair linked to RA after its measures arrived
        QCOMPARE(db->count(f), qint64(30));
        f = HistoryFilter();
        f.keySerial = QStringLiteral("SN-1");
        f.recordName = QStringLiteral("RA");
        QCOMPARE(db->count(f), qint64(30));

        // Newest first, pages that join without a gap or an overlap.
        const QVector<HistoryMeasure> first = db->page(HistoryFilter(), 0, 15);
        const QVector<HistoryMeasure> second = db->page(HistoryFilter(), 15, 100);
        QCOMPARE(first.size(), 15);
        QCOMPARE(second.size(), 35);
        QCOMPARE(first.first().recordName, QStringLiteral("RB"));
        QCOMPARE(first.first().connectionIndex, 19);
        QVERIFY(first.last().measuredAt >= second.first().measuredAt);
        QCOMPARE(second.last().recordName, QStringLiteral("RA"));
        QCOMPARE(second.last().connectionIndex, 0);
        QStringList ops = db->distinct(QStringLiteral("operator_text"));
        QCOMPARE(ops, (QStringList{QStringLiteral("Ivanov I I"), QStringLiteral("Sidorov")}));
        QVERIFY(db->distinct(QStringLiteral("id; DROP TABLE measures")).isEmpty());
        HistoryFilter ofB;
        ofB.recordName = QStringLiteral("RB");
        QCOMPARE(db->distinct(QStringLiteral("operator_text"), ofB), QStringList{QStringLiteral("Sidorov")});

        // Sorted by a column full of ties, pages still join without a gap or an overlap.
        HistorySort byVerdict;
        byVerdict.column = QStringLiteral("verdict");
        byVerdict.descending = false;
        QSet<qint64> seen;
        QStringList verdicts;
        for (int offset = 0; offset < 50; offset += 7) {
            for (const HistoryMeasure &m : db->page(HistoryFilter(), offset, 7, byVerdict)) {
                seen.insert(m.id);
                verdicts << (m.ok ? QStringLiteral("OK") : QStringLiteral("NG"));
            }
        }
        QCOMPARE(seen.size(), 50);
        QCOMPARE(verdicts.mid(0, 3), (QStringList{QStringLiteral("NG"), QStringLiteral("NG"), QStringLiteral("OK")}));
        HistorySort byMoment;
        byMoment.column = QStringLiteral("moment");
        const QVector<HistoryMeasure> moments = db->page(HistoryFilter(), 0, 50, byMoment);
        for (int i = 1; i < moments.size(); ++i)
            QVERIFY(std::fabs(moments.at(i - 1).moment) >= std::fabs(moments.at(i).moment));
        // A column the table does not have orders by time, and reaches no statement.
        HistorySort hostile;
        hostile.column = QStringLiteral("moment; DROP TABLE measures");
        QCOMPARE(db->page(HistoryFilter(), 0, 1, hostile).value(0).recordName, QStringLiteral("RB"));
        QCOMPARE(db->count(HistoryFilter()), qint64(50));
    }

    // A joint whose limits, algorithm and unit changed over time, archived out of time order:
    // its figures take the moment limits of the newest tightening, the angle limits of the
    // newest one that checked the angle, the unit of the oldest that named one, and the
    // moments in time order, whatever order the rows arrived in.
    // A joint's groups come from one pass over its rows; each must be what its own narrowed
    // filter reads from the database: the operator's group takes in the rows whose controller
    // bears the operator's name, and a group's limits are those of its own newest row.
    void groupsAreTheirNarrowedJoints()
    {
        if (skipWithoutServer())
            QSKIP("no server");
        HistoryStore store;
        QString error;
        QVERIFY2(store.open(freshUrl(), &error, m_tmp.filePath(QStringLiteral("q.db3"))), qPrintable(error));
        const QStringList operators{QStringLiteral("Ann"), QStringLiteral("Bob"), QStringLiteral("Cid")};
        for (int k = 0; k < 3; ++k) {
            QVector<HistoryMeasure> rows = makeMeasures(45, QStringLiteral("RG"), QStringLiteral("SN-G%1").arg(k),
                                                        QDateTime(QDate(2026, 3, 1), QTime(8, k)));
            for (int i = 0; i < rows.size(); ++i) {
                HistoryMeasure &m = rows[i];
                m.station = QStringLiteral("S%1").arg((i + k) % 3);
                m.operatorText = operators.at((i * 7 + k) % 3);
                m.operatorName = i % 5 == 0 ? QStringLiteral("Bob") : QStringLiteral("Dan");
                m.moment = 50 + std::sin(i * 1.3 + k) * (1 + k);
                m.momentLow = i < 30 ? 45 : 44 + k;
                m.momentHigh = i < 30 ? 55 : 58 - k;
                m.ok = (i + k) % 11 != 3;
            }
            QVERIFY(store.append(rows).ok);
        }
        HistoryFilter scope;
        scope.since = QStringLiteral("2026-03-01");
        QVector<JointStatistics::Group> groups;
        QVERIFY2(JointStatistics::groups(store.database(), scope, QStringLiteral("RG"), Capability::Thresholds(), &groups,
                                         &error),
                 qPrintable(error));
        const auto describe = [](int kind, const QString &value, const Capability::Result &r) {
            return QStringLiteral("%1:%2 n=%3 ng=%4 mean=%5 sigma=%6 cpk=%7")
                .arg(kind)
                .arg(value)
                .arg(r.summary.n)
                .arg(r.summary.ngCount)
                .arg(r.summary.mean, 0, 'g', 12)
                .arg(r.summary.sigma, 0, 'g', 12)
                .arg(r.cpk, 0, 'g', 12);
        };
        QStringList expectedNames, names;
        for (int k = 0; k < JointStatistics::kinds().size(); ++k) {
            HistoryFilter joint = scope;
            joint.recordName = QStringLiteral("RG");
            for (const QString &value : store.database()->distinct(JointStatistics::kinds().at(k).column, joint)) {
                HistoryFilter narrowed = joint;
                JointStatistics::kinds().at(k).narrow(narrowed, value);
                const JointStatistics::Figures f =
                    JointStatistics::compute(store.database(), narrowed, QStringLiteral("RG"), Capability::Thresholds());
                QVERIFY(f.read);
                expectedNames << describe(k, value, f.moment);
            }
        }
        for (const JointStatistics::Group &g : qAsConst(groups))
            names << describe(g.kind, g.value, g.moment);
        QCOMPARE(names, expectedNames);
        QCOMPARE(groups.size(), 9);
    }

    void jointFiguresFollowTimeNotArrival()
    {
        if (skipWithoutServer())
            QSKIP("no server");
        HistoryStore store;
        QString error;
        QVERIFY2(store.open(freshUrl(), &error, m_tmp.filePath(QStringLiteral("q.db3"))), qPrintable(error));
        QVector<HistoryMeasure> rows = makeMeasures(40, QStringLiteral("RJ"));
        for (int i = 0; i < rows.size(); ++i) {
            HistoryMeasure &m = rows[i];
            m.moment = (i % 2 ? -1 : 1) * (48.0 + i * 0.5); // a left-hand thread reads negative
            m.momentLow = i < 25 ? 45 : 47 + i;
            m.momentHigh = i < 25 ? 55 : 60 + i;
            m.algorithm = i >= 10 && i < 30 ? 2 : 0;
            m.angleLow = 5 + i;
            m.angleHigh = 100 + i;
            m.unit = i < 3 ? QString() : i < 20 ? QStringLiteral("Nm") : QStringLiteral("kgf*m");
            m.ok = i % 9 != 4;
        }
        QVector<HistoryMeasure> arrival = rows;
        std::reverse(arrival.begin(), arrival.end());
        std::rotate(arrival.begin(), arrival.begin() + 17, arrival.end());
        QVERIFY(store.append(arrival).ok);
        QVERIFY(store.append(makeMeasures(30, QStringLiteral("RJ"), QStringLiteral("SN-OTHER"))).ok);
        QVERIFY(store.append(makeMeasures(30, QStringLiteral("RX"))).ok);

        HistoryExport::Joint expected;
        for (const HistoryMeasure &m : qAsConst(rows)) {
            expected.moments << std::fabs(m.moment);
            expected.ngCount += m.ok ? 0 : 1;
            expected.momentLow = m.momentLow;
            expected.momentHigh = m.momentHigh;
            if (expected.unit.isEmpty())
                expected.unit = m.unit;
            if (MeasureJudgement::checksAngle(m.algorithm)) {
                expected.angleChecked = true;
                expected.angles << std::fabs(m.angle);
                expected.angleLow = m.angleLow;
                expected.angleHigh = m.angleHigh;
            }
        }
        HistoryFilter key;
        key.keySerial = QStringLiteral("SN-1");
        bool ok = false;
        const HistoryExport::Joint j = HistoryExport::joint(store.database(), key, QStringLiteral("RJ"), &ok);
        QVERIFY(ok);
        QCOMPARE(j.moments, expected.moments);
        QCOMPARE(j.ngCount, expected.ngCount);
        QCOMPARE(j.angles, expected.angles);
        QCOMPARE(j.unit, expected.unit);
        QCOMPARE(QVector<double>({j.momentLow, j.momentHigh, j.angleLow, j.angleHigh}),
                 QVector<double>({expected.momentLow, expected.momentHigh, expected.angleLow, expected.angleHigh}));
        QVERIFY(j.angleChecked);

        // A joint that never checked the angle has no angle limits, whatever its rows carry.
        const HistoryExport::Joint plain = HistoryExport::joint(store.database(), HistoryFilter(), QStringLiteral("RX"), &ok);
        QVERIFY(ok);
        QCOMPARE(plain.moments.size(), 30);
        QVERIFY(!plain.angleChecked);
        QCOMPARE(plain.angleHigh, 0.0);
        QCOMPARE(plain.momentHigh, 55.0);
    }

    void cursorsForReaders()
    {
        HistoryStore store;
        QString error;
        QVERIFY2(store.open(freshUrl(), &error, m_tmp.filePath(QStringLiteral("q.db3"))), qPrintable(error));
        QVERIFY(store.append(makeMeasures(25)).ok);
        const QVector<HistoryMeasure> firstTen = store.measuresAfter(HistoryPosition(), 10);
        QCOMPARE(firstTen.size(), 10);
        for (int i = 1; i < firstTen.size(); ++i)
            QVERIFY(firstTen[i].id > firstTen[i - 1].id);
        QCOMPARE(firstTen[0].connectionIndex, 0);
        const HistoryPosition tenth{firstTen.last().tx, firstTen.last().id};
        QCOMPARE(store.countAfter(tenth), qint64(15));
        QCOMPARE(store.measuresAfter(tenth, 100).size(), 15);
        QVERIFY(store.cursor(QStringLiteral("mqtt.acked")) == HistoryPosition()); // none stored: the start
        QVERIFY(store.setCursor(QStringLiteral("mqtt.acked"), tenth));
        QVERIFY(store.setCursor(QStringLiteral("mqtt.acked"), HistoryPosition{tenth.tx, tenth.id + 1}));
        QVERIFY(store.cursor(QStringLiteral("mqtt.acked")) == (HistoryPosition{tenth.tx, tenth.id + 1}));
    }

    void offlineQueueDrainsInOrder()
    {
        QFETCH_GLOBAL(QString, engine);
        if (engine != QLatin1String("postgres"))
            QSKIP("the queue stands in front of a server only");
        const QString url = freshUrl();
        const QString queue = m_tmp.filePath(QStringLiteral("offline-q.db3"));
        HistoryStore store;
        QString error;
        QVERIFY2(store.open(url, &error, queue), qPrintable(error));
        QVERIFY(store.isOnline());
        const QVector<HistoryMeasure> a = makeMeasures(40, QStringLiteral("RA"));
        QCOMPARE(store.append(a).added, 40);

        // The server goes away in the middle of an import.
        QVERIFY(m_pg->stopServer());
        const QVector<HistoryMeasure> b = makeMeasures(30, QStringLiteral("RB"));
        HistoryStore::AppendResult r = store.append(b);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.added, 0);
        QCOMPARE(r.queued, 30);
        QVERIFY(!store.isOnline());
        // The mirror is read again while away: the repeat of a (already on the server) queues too.
        r = store.append(a);
        QVERIFY(r.ok);
        QCOMPARE(store.queuedCount(), qint64(70));
        QCOMPARE(store.drainQueue(&error), -1);
        QCOMPARE(store.queuedCount(), qint64(70));

        QVERIFY2(m_pg->startServer(&error), qPrintable(error));
        QVERIFY2(store.reconnect(&error), qPrintable(error));
        QCOMPARE(store.drainQueue(&error), 70);
        QCOMPARE(store.queuedCount(), qint64(0));
        QCOMPARE(store.database()->count(HistoryFilter()), qint64(70));
        // In the order they arrived: RB's measures after RA's, index by index.
        const QVector<HistoryMeasure> rows = store.measuresAfter(HistoryPosition(), 100);
        QCOMPARE(rows.size(), 70);
        for (int i = 0; i < 30; ++i) {
            QCOMPARE(rows[40 + i].recordName, QStringLiteral("RB"));
            QCOMPARE(rows[40 + i].connectionIndex, i);
        }
        // A queue left by a run that ended while the server was away is sent at the next open.
        QVERIFY(m_pg->stopServer());
        QCOMPARE(store.append(makeMeasures(5, QStringLiteral("RC"))).queued, 5);
        store.close();
        QVERIFY2(m_pg->startServer(&error), qPrintable(error));
        HistoryStore next;
        QVERIFY2(next.open(url, &error, queue), qPrintable(error));
        QCOMPARE(next.queuedCount(), qint64(0));
        QCOMPARE(next.database()->count(HistoryFilter()), qint64(75));
    }

    void readersNeverPassALateCommit()
    {
        QFETCH_GLOBAL(QString, engine);
        if (engine != QLatin1String("postgres"))
            QSKIP("SQLite writers take turns: a row cannot commit below one already read");
        const QString url = freshUrl();
        HistoryStore store;
        QString error;
        QVERIFY2(store.open(url, &error, m_tmp.filePath(QStringLiteral("late-q.db3"))), qPrintable(error));
        QVERIFY(store.append(makeMeasures(3, QStringLiteral("RA"))).ok);
        HistoryPublishSource source(&store, QStringLiteral("mqtt/late"));
        QStringList published;
        auto publishAll = [&] {
            for (;;) {
                const QVector<PublishSource::Item> items = source.itemsAfter(source.acknowledgedCursor().value_or(HistoryPosition()), 2);
                if (items.isEmpty())
                    return;
                for (const PublishSource::Item &item : items)
                    published << QJsonDocument::fromJson(item.payload).object().value(QStringLiteral("record")).toString();
                QVERIFY(source.setAcknowledgedCursor(items.last().cursor));
            }
        };
        {
            // A long transaction of another connection of this station (its queue moving over)
            // takes the next id and holds it.
            QSqlDatabase other = rawConnection(url, QStringLiteral("other-station"));
            QVERIFY2(other.isOpen(), qPrintable(other.lastError().text()));
            QVERIFY(other.transaction());
            QSqlQuery q(other);
            QVERIFY(q.prepare(QStringLiteral(
                         "INSERT INTO measures(key_serial, key_name, record_name, connection_index, measured_at, moment, "
                         "defect, angle, verdict, moment_low, moment_high, angle_low, angle_high, algorithm, operator_text, "
                         "product, operation_number, node, operator_name, calibration_nominal, calibration_file, unit, "
                         "barcode1, barcode2, received_at, station) VALUES('SN-9', 'Key B', 'LATE', 0, '2026-03-01 08:00:00', 50, 0, "
                         "0, 'OK', 45, 55, 0, 0, 0, '', '', '', '', '', 0, '', 'Nm', '', '', '', ?)")));
            q.addBindValue(store.station());
            QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
            // Rows with higher ids commit meanwhile and the publisher goes on.
            QVERIFY(store.append(makeMeasures(2, QStringLiteral("RB"))).ok);
            publishAll();
            QVERIFY(!published.contains(QStringLiteral("LATE")));
            QCOMPARE(published.mid(0, 3), (QStringList{QStringLiteral("RA"), QStringLiteral("RA"), QStringLiteral("RA")}));
            QCOMPARE(source.waiting(), qint64(2)); // RB waits behind the open transaction
            QVERIFY(other.commit());
        }
        QSqlDatabase::removeDatabase(QStringLiteral("other-station"));
        publishAll();
        published.sort();
        QCOMPARE(published, (QStringList{QStringLiteral("LATE"), QStringLiteral("RA"), QStringLiteral("RA"),
                                         QStringLiteral("RA"), QStringLiteral("RB"), QStringLiteral("RB")}));
        QCOMPARE(source.waiting(), qint64(0));
    }

    // A lock held by another session (a VACUUM FULL, an ALTER TABLE) costs an append seconds,
    // not the lock's whole time: the measures wait in the local queue and move on once it goes.
    void heldLockQueuesInsteadOfWaiting()
    {
        QFETCH_GLOBAL(QString, engine);
        if (engine != QLatin1String("postgres"))
            QSKIP("SQLite has no other session's lock to wait for beyond its own busy time-out");
        const QString url = freshUrl();
        HistoryStore store;
        QString error;
        QVERIFY2(store.open(url, &error, m_tmp.filePath(QStringLiteral("lock-q.db3"))), qPrintable(error));
        QVERIFY(store.append(makeMeasures(1, QStringLiteral("RA"))).ok);

        // The lock's holder is a process of its own, so the old behaviour (waiting the lock out)
        // ends too, with the measures added late instead of queued.
        HistoryLocation loc;
        HistoryLocation::parse(url, &loc, &error);
        QProcess holder;
        holder.start(QStringLiteral("psql"),
                     {QStringLiteral("-h"), loc.host, QStringLiteral("-p"), QString::number(loc.port), QStringLiteral("-U"),
                      loc.user, QStringLiteral("-d"), loc.database, QStringLiteral("-c"),
                      QStringLiteral("BEGIN; LOCK TABLE measures IN ACCESS EXCLUSIVE MODE; SELECT pg_sleep(30); COMMIT;")});
        QVERIFY(holder.waitForStarted());
        QSqlDatabase watcher = rawConnection(url, QStringLiteral("lock-watcher"));
        const QString held = QStringLiteral("SELECT count(*) FROM pg_locks WHERE relation = 'measures'::regclass "
                                            "AND mode = 'AccessExclusiveLock' AND granted");
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                QSqlQuery q(watcher);
                return q.exec(held) && q.next() && q.value(0).toInt() == 1;
            }(),
            10000);

        const HistoryStore::AppendResult r = store.append(makeMeasures(3, QStringLiteral("RB")));
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.added, 0);
        QCOMPARE(r.queued, 3);
        QVERIFY2(r.error.contains(QLatin1String("did not answer in time")), qPrintable(r.error));
        QCOMPARE(store.setAsideCount(), qint64(0));

        QSqlQuery end(watcher);
        QVERIFY(end.exec(QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_locks WHERE relation = "
                                        "'measures'::regclass AND mode = 'AccessExclusiveLock' AND granted")));
        holder.waitForFinished(10000);
        watcher = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("lock-watcher"));
        QVERIFY2(store.reconnect(&error), qPrintable(error));
        QCOMPARE(store.drainQueue(&error), 3);
        QCOMPARE(store.database()->count(HistoryFilter()), qint64(4));
    }

    void positionsFromBeforeTheUpgradeKeepTheirPlace()
    {
        if (skipWithoutServer())
            QSKIP("no server");
        const QString url = freshUrl();
        {
            HistoryStore store;
            QString error;
            QVERIFY2(store.open(url, &error, m_tmp.filePath(QStringLiteral("up-q.db3"))), qPrintable(error));
            QVERIFY(store.append(makeMeasures(5, QStringLiteral("OLD"))).ok);
        }
        {
            // Back to the first schema, with a position kept by id alone: rows 1-3 were sent.
            QSqlDatabase raw = rawConnection(url, QStringLiteral("downgrade"));
            QSqlQuery q(raw);
            for (const char *sql : {"DROP INDEX measures_station_publish", "DROP INDEX measures_station_time",
                                    "DROP INDEX measures_joint",
                                    "CREATE INDEX measures_record ON measures(record_name, measured_at, id)",
                                    "ALTER TABLE measures DROP COLUMN station",
                                    "ALTER TABLE measures DROP COLUMN tx",
                                    "ALTER TABLE cursors DROP COLUMN tx", "DROP TABLE set_aside",
                                    "UPDATE history_meta SET value = '1' WHERE name = 'schema_version'",
                                    "INSERT INTO cursors(name, position) VALUES('mqtt/old', 3)"})
                QVERIFY2(q.exec(QLatin1String(sql)), qPrintable(q.lastError().text()));
            q.clear();
            raw.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("downgrade"));
        HistoryStore store;
        QString error;
        QVERIFY2(store.open(url, &error, m_tmp.filePath(QStringLiteral("up-q.db3"))), qPrintable(error));
        QCOMPARE(store.database()->storedVersion(), HistoryDatabase::SchemaVersion);
        QVERIFY(store.append(makeMeasures(2, QStringLiteral("NEW"))).ok);
        const std::optional<HistoryPosition> at = store.cursor(QStringLiteral("mqtt/old"));
        QVERIFY(at);
        QCOMPARE(at->id, qint64(3));
        // Nothing sent again, nothing passed over, the new rows after the old.
        QCOMPARE(recordsOf(store.measuresAfter(*at, 10)),
                 (QStringList{QStringLiteral("OLD/3"), QStringLiteral("OLD/4"), QStringLiteral("NEW/0"), QStringLiteral("NEW/1")}));
        QCOMPARE(store.countAfter(*at), qint64(4));
    }

    void refusedRowsAreSetAsideNotQueued()
    {
        if (skipWithoutServer())
            QSKIP("no server");
        QFETCH_GLOBAL(QString, engine);
        const QString url = freshUrl();
        const QString queue = m_tmp.filePath(engine + QStringLiteral("-refused-q.db3"));
        HistoryStore store;
        QString error;
        QVERIFY2(store.open(url, &error, queue), qPrintable(error));
        // A NUL in an operator's name, as an unchecked key or an old mirror file can carry.
        QVector<HistoryMeasure> rows = makeMeasures(40, QStringLiteral("RN"));
        rows[17].operatorText = QStringLiteral("Ivanov") + QChar(0) + QStringLiteral("II");
        HistoryStore::AppendResult r = store.append(rows);
        if (engine == QLatin1String("sqlite")) {
            // A file stores any text: the batch is kept whole.
            QVERIFY2(r.ok, qPrintable(r.error));
            QCOMPARE(r.added, 40);
            return;
        }
        QVERIFY(!r.ok);
        QCOMPARE(r.added, 39);
        QCOMPARE(r.queued, 0);
        QCOMPARE(r.setAside, 1);
        QVERIFY2(r.error.contains(QLatin1String("set_aside")) && r.error.contains(queue), qPrintable(r.error));
        QVERIFY(store.isOnline());
        QCOMPARE(store.queuedCount(), qint64(0));
        QCOMPARE(store.setAsideCount(), qint64(1));

        // Queued while the server was away, a bad row must not hold back the rows behind it.
        QVERIFY(m_pg->stopServer());
        QVector<HistoryMeasure> later = makeMeasures(30, QStringLiteral("RQ"));
        later[4].node = QStringLiteral("Hub") + QChar(0);
        r = store.append(later);
        QVERIFY(r.ok);
        QCOMPARE(r.queued, 30);
        QVERIFY2(m_pg->startServer(&error), qPrintable(error));
        QVERIFY2(store.reconnect(&error), qPrintable(error));
        QCOMPARE(store.drainQueue(&error), 29);
        QCOMPARE(store.queuedCount(), qint64(0));
        QCOMPARE(store.database()->count(HistoryFilter()), qint64(39 + 29));
        QCOMPARE(store.setAsideCount(), qint64(2));
        QVERIFY(store.append(makeMeasures(3, QStringLiteral("RZ"))).ok);
        store.close();

        // Kept whole and readable with the tool a person has at hand, with the reason.
        QProcess sqlite;
        sqlite.start(QStringLiteral("sqlite3"), {queue, QStringLiteral("SELECT record_name, connection_index, length(reason) > 10, "
                                                                       "json_extract(measure, '$.operator_text'), "
                                                                       "json_extract(measure, '$.moment') "
                                                                       "FROM set_aside ORDER BY id")});
        QVERIFY(sqlite.waitForFinished(10000));
        QCOMPARE(sqlite.exitCode(), 0);
        const QStringList lines = QString::fromUtf8(sqlite.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].startsWith(QLatin1String("RN|17|1|Ivanov")), qPrintable(lines[0]));
        QVERIFY2(lines[0].endsWith(QString::number(rows[17].moment)), qPrintable(lines[0]));
        QVERIFY2(lines[1].startsWith(QLatin1String("RQ|4|1|")), qPrintable(lines[1]));
    }

    void readErrorPartWayIsAFailure()
    {
        if (skipWithoutServer())
            QSKIP("no server");
        QFETCH_GLOBAL(QString, engine);
        const QString url = freshUrl();
        {
            HistoryStore store;
            QString error;
            QVERIFY2(store.open(url, &error, m_tmp.filePath(QStringLiteral("read-q.db3"))), qPrintable(error));
            QVector<HistoryMeasure> rows;
            for (int r = 0; r < 40; ++r)
                rows += makeMeasures(250, QStringLiteral("R%1").arg(r, 2, 10, QLatin1Char('0')));
            QVERIFY(store.append(rows).ok);
        }
        HistoryDatabase db;
        HistoryLocation loc;
        QString error;
        QVERIFY(HistoryLocation::parse(url, &loc, &error));
        if (engine == QLatin1String("sqlite"))
            QVERIFY(damageMiddlePages(loc.path));
        QVERIFY2(db.open(loc, &error), qPrintable(error));
        int seen = 0;
        const bool complete = db.forEach(HistoryFilter(), [&](const HistoryMeasure &) {
            // The server goes while the rows are being read.
            if (++seen == 100 && engine == QLatin1String("postgres"))
                m_pg->stopServer();
            return true;
        });
        // Rows came, then the reading failed: that is no complete answer.
        QVERIFY2(seen > 0 && seen < 10000, qPrintable(QString::number(seen)));
        QVERIFY(!complete);
        QVERIFY(!db.lastError().isEmpty());
        if (engine == QLatin1String("sqlite")) {
            int jointRows = 0;
            QVERIFY(!db.forEachJointRow(HistoryFilter(), [&](const HistoryDatabase::JointRow &) { ++jointRows; }, nullptr));
            QVERIFY(jointRows > 0);
        }
        db.close();
        if (engine == QLatin1String("postgres"))
            QVERIFY2(m_pg->startServer(&error), qPrintable(error));
    }

    // Without a date (the key's clock unset, DataTime off, an algorithm that stores none) two
    // tightenings may read alike: only the record's erase generation tells them apart.
    void undatedTighteningsAfterAnEraseAreNew()
    {
        if (skipWithoutServer())
            QSKIP("no server");
        HistoryStore store;
        QString error;
        QVERIFY2(store.open(freshUrl(), &error, m_tmp.filePath(QStringLiteral("q.db3"))), qPrintable(error));
        QVector<HistoryMeasure> undated = makeMeasures(3, QStringLiteral("RU"));
        for (HistoryMeasure &m : undated) {
            m.measuredAt.clear();
            m.moment = 12.5;
            m.angle = 0;
            m.recordCount = 3;
        }
        QCOMPARE(store.append(undated).added, 3);
        QCOMPARE(store.append(undated).added, 0); // read again: the same tightenings
        // Erased by the program, then the same readings again from index 0: new tightenings.
        QCOMPARE(store.database()->bumpGeneration(QStringLiteral("SN-1"), QStringLiteral("RU"), &error), 1);
        QCOMPARE(store.append(undated).added, 3);
        QCOMPARE(store.append(undated).added, 0);
        // Emptied on the key itself: the key counts fewer than the history holds.
        QVector<HistoryMeasure> two = undated.mid(0, 2);
        for (HistoryMeasure &m : two)
            m.recordCount = 2;
        QCOMPARE(store.append(two).added, 2);
        // Emptied and filled again past the old count: a reading differs where one is held.
        QVector<HistoryMeasure> other = undated;
        other[1].moment = 13.0;
        QCOMPARE(store.append(other).added, 3);
        QCOMPARE(store.database()->count(HistoryFilter()), qint64(11));
        QVector<int> generations;
        for (const HistoryMeasure &m : store.measuresAfter(HistoryPosition(), 20))
            generations << m.eraseGeneration;
        QCOMPARE(generations, (QVector<int>{0, 0, 0, 1, 1, 1, 2, 2, 3, 3, 3}));
        // The plant hears of them as different tightenings too.
        const QVector<HistoryMeasure> rows = store.measuresAfter(HistoryPosition(), 20);
        QVERIFY(HistoryPublishSource::resultIdFor(rows[0]) != HistoryPublishSource::resultIdFor(rows[3]));
        // A record emptied and read with nothing in it moves on as well.
        QVERIFY(store.database()->noteCount(QStringLiteral("SN-1"), QStringLiteral("RU"), 0, &error));
        QCOMPARE(store.append(undated).added, 3);
    }

    // Erasing relies on the history itself: on a server, what waits in the local queue does
    // not count, and neither does a key file short of the measures it counts.
    void keptBeforeEraseOnlyWhatTheHistoryHolds()
    {
        if (skipWithoutServer())
            QSKIP("no server");
        QFETCH_GLOBAL(QString, engine);
        HistoryStore store;
        QString error;
        QVERIFY2(store.open(freshUrl(), &error, m_tmp.filePath(QStringLiteral("erase-q.db3"))), qPrintable(error));
        HistoryArchiver archiver(&store);
        HistoryArchiver::Context key;
        key.keySerial = QStringLiteral("SN-E");
        archiver.setContextSource([key] { return key; });
        RecordFile record;
        for (int i = 0; i < 3; ++i) {
            MeasureEntry e;
            e.moment = 20.5f; // undated, alike
            record.entries << e;
        }
        record.header.countCon = 3;
        QString why;
        QVERIFY(!archiver.keepBeforeErase(QStringLiteral("RE"), record, 5, &why));
        QVERIFY2(why.contains(QLatin1String("3 of the 5")), qPrintable(why));
        QVERIFY2(archiver.keepBeforeErase(QStringLiteral("RE"), record, 3, &why), qPrintable(why));
        QVERIFY2(archiver.noteErased(QStringLiteral("RE"), &why), qPrintable(why));
        QCOMPARE(store.database()->count(HistoryFilter()), qint64(3));
        if (engine != QLatin1String("postgres"))
            return;
        // The same readings after the erase, while the server is away: queued, not vouched for.
        QVERIFY(m_pg->stopServer());
        store.noteServerUnreachable();
        QCOMPARE(store.append(HistoryArchiver::measuresOf(QStringLiteral("RE"), record, key, TemplateLists(), {}, QString()))
                     .queued,
                 3);
        QVERIFY(!archiver.keepBeforeErase(QStringLiteral("RE"), record, 3, &why));
        QVERIFY2(why.contains(QLatin1String("queue")), qPrintable(why));
        QVERIFY2(m_pg->startServer(&error), qPrintable(error));
        QVERIFY2(store.reconnect(&error), qPrintable(error));
        QVERIFY2(archiver.keepBeforeErase(QStringLiteral("RE"), record, 3, &why), qPrintable(why));
        QCOMPARE(store.queuedCount(), qint64(0));
        QCOMPARE(store.database()->count(HistoryFilter()), qint64(6));
    }

    // A version-1 history: rows of a record filled twice (the second filling numbered from 0
    // again), undated rows, ids with gaps. Opening it migrates without losing, merging or
    // renumbering a row, and what the key holds now is not archived twice.
    void migratesVersionOneHistories()
    {
        if (skipWithoutServer())
            QSKIP("no server");
        QFETCH_GLOBAL(QString, engine);
        const bool server = engine == QLatin1String("postgres");
        const QString url = freshUrl();
        HistoryLocation loc;
        QString error;
        QVERIFY(HistoryLocation::parse(url, &loc, &error));
        const QVector<HistoryMeasure> first = makeMeasures(4, QStringLiteral("RM"));
        QVector<HistoryMeasure> second = makeMeasures(6, QStringLiteral("RM"), QStringLiteral("SN-1"),
                                                      QDateTime(QDate(2026, 3, 9), QTime(8, 0)));
        second[0].measuredAt.clear();
        second[1].measuredAt.clear();
        const QVector<HistoryMeasure> otherRecord = makeMeasures(2, QStringLiteral("RO"));
        {
            QSqlDatabase db = raw(loc, QStringLiteral("v1"));
            QVERIFY(db.open());
            QSqlQuery q(db);
            const QString id = server ? QStringLiteral("BIGSERIAL PRIMARY KEY") : QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
            for (const QString &statement : {
                     QStringLiteral("CREATE TABLE history_meta (name TEXT PRIMARY KEY, value TEXT NOT NULL)"),
                     QStringLiteral("INSERT INTO history_meta VALUES('schema_version', '1')"),
                     QStringLiteral("CREATE TABLE measures (id %1, key_serial TEXT NOT NULL, key_name TEXT NOT NULL, "
                                    "record_name TEXT NOT NULL, connection_index INTEGER NOT NULL, measured_at TEXT NOT NULL, "
                                    "moment DOUBLE PRECISION NOT NULL, defect DOUBLE PRECISION NOT NULL, "
                                    "angle DOUBLE PRECISION NOT NULL, verdict TEXT NOT NULL, "
                                    "moment_low DOUBLE PRECISION NOT NULL, moment_high DOUBLE PRECISION NOT NULL, "
                                    "angle_low DOUBLE PRECISION NOT NULL, angle_high DOUBLE PRECISION NOT NULL, "
                                    "algorithm INTEGER NOT NULL, operator_text TEXT NOT NULL, product TEXT NOT NULL, "
                                    "operation_number TEXT NOT NULL, node TEXT NOT NULL, operator_name TEXT NOT NULL, "
                                    "calibration_nominal DOUBLE PRECISION NOT NULL, calibration_file TEXT NOT NULL, "
                                    "unit TEXT NOT NULL, barcode1 TEXT NOT NULL, barcode2 TEXT NOT NULL, "
                                    "received_at TEXT NOT NULL, CONSTRAINT measures_once UNIQUE (key_serial, record_name, "
                                    "connection_index, measured_at, moment))")
                         .arg(id),
                     QStringLiteral("CREATE INDEX measures_time ON measures(measured_at, id)"),
                     QStringLiteral("CREATE TABLE cursors (name TEXT PRIMARY KEY, position BIGINT NOT NULL)"),
                 })
                QVERIFY2(q.exec(statement), qPrintable(q.lastError().text()));
            qint64 nextId = 1;
            for (const QVector<HistoryMeasure> *rows : std::initializer_list<const QVector<HistoryMeasure> *>{&first, &second, &otherRecord}) {
                for (const HistoryMeasure &m : *rows) {
                    q.prepare(QStringLiteral("INSERT INTO measures(id, key_serial, key_name, record_name, connection_index, "
                                             "measured_at, moment, defect, angle, verdict, moment_low, moment_high, angle_low, "
                                             "angle_high, algorithm, operator_text, product, operation_number, node, "
                                             "operator_name, calibration_nominal, calibration_file, unit, barcode1, barcode2, "
                                             "received_at) VALUES(?, ?, '', ?, ?, ?, ?, 0, ?, 'OK', 0, 0, 0, 0, 0, '', '', '', "
                                             "'', '', 0, '', 'Nm', '', '', '')"));
                    q.addBindValue(nextId);
                    q.addBindValue(m.keySerial);
                    q.addBindValue(m.recordName);
                    q.addBindValue(m.connectionIndex);
                    q.addBindValue(m.measuredAt.isNull() ? QString(QLatin1String("")) : m.measuredAt);
                    q.addBindValue(m.moment);
                    q.addBindValue(m.angle);
                    QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
                    nextId += 3; // rows removed in between leave gaps
                }
            }
            // The last ids were handed out and their rows removed: never again.
            QVERIFY(q.exec(server ? QStringLiteral("SELECT setval('measures_id_seq', 100)")
                                  : QStringLiteral("UPDATE sqlite_sequence SET seq = 100 WHERE name = 'measures'")));
            q.clear();
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("v1"));

        HistoryDatabase db;
        QVERIFY2(db.open(loc, &error), qPrintable(error));
        QCOMPARE(db.storedVersion(), HistoryDatabase::SchemaVersion);
        const QVector<HistoryMeasure> rows = db.measuresAfter(HistoryPosition(), 100);
        QCOMPARE(rows.size(), 12);
        QVector<int> generations;
        for (int i = 0; i < rows.size(); ++i) {
            QCOMPARE(rows[i].id, qint64(1 + 3 * i));
            generations << rows[i].eraseGeneration;
        }
        QCOMPARE(generations, (QVector<int>{0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 0, 0}));
        // The key still holds the second filling: nothing of it is new.
        for (HistoryMeasure &m : second)
            m.recordCount = 6;
        QCOMPARE(db.append(second, &error), 0);
        QCOMPARE(db.append(otherRecord, &error), 0);
        // One more tightening: a fresh id past every one handed out before.
        QVector<HistoryMeasure> more = makeMeasures(7, QStringLiteral("RM"), QStringLiteral("SN-1"),
                                                    QDateTime(QDate(2026, 3, 9), QTime(8, 0)));
        more[0].measuredAt.clear();
        more[1].measuredAt.clear();
        QCOMPARE(db.append(more, &error), 1);
        const QVector<HistoryMeasure> after = db.measuresAfter(HistoryPosition{0, 100}, 10);
        QCOMPARE(after.size(), 1);
        QCOMPARE(after[0].connectionIndex, 6);
        QCOMPARE(after[0].eraseGeneration, 1);
        QCOMPARE(db.count(HistoryFilter()), qint64(13));
    }

    void addressesAndPasswords()
    {
        QFETCH_GLOBAL(QString, engine);
        if (engine != QLatin1String("sqlite"))
            QSKIP("engine-independent");
        HistoryLocation loc;
        QString error;
        QVERIFY(HistoryLocation::parse(QStringLiteral("postgresql://qa@db.plant:6543/tightening"), &loc, &error));
        QVERIFY(loc.isServer());
        QCOMPARE(loc.host, QStringLiteral("db.plant"));
        QCOMPARE(loc.port, 6543);
        QCOMPARE(loc.user, QStringLiteral("qa"));
        QCOMPARE(loc.database, QStringLiteral("tightening"));
        QVERIFY(HistoryLocation::parse(QStringLiteral("postgresql://qa@%2Fvar%2Frun%2Fpostgresql/h"), &loc, &error));
        QCOMPARE(loc.host, QStringLiteral("/var/run/postgresql"));
        QCOMPARE(loc.port, 5432);
        QVERIFY(!HistoryLocation::parse(QStringLiteral("postgresql://qa:secret@db/h"), &loc, &error));
        QVERIFY(!error.contains(QLatin1String("secret")));
        QVERIFY(!HistoryLocation::parse(QStringLiteral("postgresql://qa@db:port/h"), &loc, &error));
        QVERIFY(!HistoryLocation::parse(QStringLiteral("postgresql://qa@db:5432"), &loc, &error));
        QVERIFY(HistoryLocation::parse(QStringLiteral("/x/y.db3"), &loc, &error));
        QVERIFY(!loc.isServer());
        QCOMPARE(loc.path, QStringLiteral("/x/y.db3"));
    }
};

QTEST_GUILESS_MAIN(HistoryStoreTest)
#include "tst_historystore.moc"
