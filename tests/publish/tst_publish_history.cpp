// The history published: a real SQLite history, a private broker and a subscriber. Every
// archived measure arrives once with its fields, a broker that goes and comes back costs
// nothing and keeps the order, the position survives a restart, and the command line's exit
// codes tell a drained history from a broker that is not there.
#include "HistoryFixtures.h"
#include "MqttBroker.h"
#include "MqttSubscriber.h"
#include "PgServer.h"
#include "base/Paths.h"
#include "history/HistoryStore.h"
#include "publish/HistoryPublishSource.h"
#include "publish/MqttPublisher.h"
#include "publish/MqttSettingsFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

MqttSettings settingsFor(const MqttBroker &broker, const QString &station)
{
    MqttSettings s;
    QString error;
    MqttSettings::parseUrl(broker.url(QStringLiteral("plant")), &s, &error);
    s.station = station;
    s.clientIdentity = MqttSettings::clientId(station, QStringLiteral("/data/") + station);
    return s;
}

QVector<QJsonObject> results(MqttSubscriber &sub)
{
    QVector<QJsonObject> out;
    for (const auto &m : sub.messagesOn(QStringLiteral("/result")))
        out << QJsonDocument::fromJson(m.payload).object();
    return out;
}

// Result ids in first-arrival order (a redelivery repeats an id; consumers drop it).
QStringList firstArrivals(MqttSubscriber &sub)
{
    QStringList ids;
    for (const QJsonObject &o : results(sub)) {
        const QString id = o.value(QStringLiteral("id")).toString();
        if (!ids.contains(id))
            ids << id;
    }
    return ids;
}

QString cliBinary()
{
    return qEnvironmentVariable("TD_BUILD_DIR", QStringLiteral(".")) + QStringLiteral("/torquedesk-cli");
}

} // namespace

class TestPublishHistory : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString historyFile(const QString &name) { return m_dir.filePath(name + QStringLiteral(".db3")); }

private slots:
    void initTestCase()
    {
        if (MqttBroker::program().isEmpty())
            QFAIL("mosquitto is not installed (scripts/bootstrap installs it)");
        Paths::setDataRoot(m_dir.path());
    }

    void everyMeasureOnceWithItsFields()
    {
        HistoryStore store;
        QString error;
        QVERIFY2(store.open(historyFile(QStringLiteral("once")), &error), qPrintable(error));
        QVector<HistoryMeasure> measures = makeMeasures(120);
        // Texts as a key may send them: quotes, backslashes, control characters, Cyrillic.
        measures[3].operatorText = QStringLiteral("O'Neil \"Bolt\" \\ \x01\t\u0418\u0432\u0430\u043d\u043e\u0432");
        measures[3].node = QString::fromUtf8("\xd0\x9a\xd0", 3); // a letter cut in half
        measures[5].algorithm = 4;                                 // an angle algorithm
        measures[7].keySerial = QStringLiteral("SN/2+#"); // topic separators in a serial
        measures[9].measuredAt.clear();                    // the key kept no date
        QCOMPARE(store.append(measures).added, 120);

        MqttBroker broker;
        QVERIFY(broker.start());
        MqttSubscriber sub(QStringLiteral("sub-history"), QStringLiteral("plant/#"));
        QVERIFY(sub.connect(broker.port()));
        QTRY_COMPARE(sub.subscriptions(), 1);

        const MqttSettings s = settingsFor(broker, QStringLiteral("line1"));
        {
            HistoryPublishSource source(&store, HistoryPublishSource::cursorNameFor(s.clientIdentity));
            MqttPublisher pub(&source);
            pub.setWindow(16);
            QSignalSpy drained(&pub, &MqttPublisher::drained);
            QVERIFY(pub.start(s));
            QTRY_VERIFY_WITH_TIMEOUT(pub.state() == MqttPublisher::State::Connected && source.waiting() == 0, 20000);
            QCOMPARE(pub.inFlight(), 0);
        }
        QTRY_COMPARE(results(sub).size(), 120);
        const QVector<QJsonObject> got = results(sub);
        const QVector<HistoryMeasure> stored = store.measuresAfter(HistoryPosition(), 1000);
        QSet<QString> ids;
        for (int i = 0; i < 120; ++i) {
            const QJsonObject &o = got.at(i);
            const HistoryMeasure &m = stored.at(i);
            ids.insert(o.value(QStringLiteral("id")).toString());
            QCOMPARE(o.value(QStringLiteral("id")).toString(), HistoryPublishSource::resultIdFor(m));
            QCOMPARE(o.value(QStringLiteral("record")).toString(), m.recordName);
            QCOMPARE(o.value(QStringLiteral("keySerial")).toString(), m.keySerial);
            QCOMPARE(o.value(QStringLiteral("moment")).toDouble(), m.moment);
            QCOMPARE(o.value(QStringLiteral("verdict")).toString(), m.ok ? QStringLiteral("OK") : QStringLiteral("NG"));
            const QJsonObject levels = o.value(QStringLiteral("levels")).toObject();
            QCOMPARE(levels.value(QStringLiteral("operator")).toString(), m.operatorText);
            QCOMPARE(levels.value(QStringLiteral("node")).toString(), m.node);
            QCOMPARE(o.value(QStringLiteral("limits")).toObject().value(QStringLiteral("momentHigh")).toDouble(), m.momentHigh);
            QCOMPARE(o.value(QStringLiteral("calibrationNm")).toDouble(), m.calibrationNominal);
            QCOMPARE(o.value(QStringLiteral("operatorName")).toString(), m.operatorName);
            if (m.measuredAt.isEmpty()) {
                QVERIFY(o.value(QStringLiteral("time")).isNull());
            } else {
                const QDateTime at = QDateTime::fromString(o.value(QStringLiteral("time")).toString(), Qt::ISODate);
                QVERIFY2(at.isValid(), qPrintable(o.value(QStringLiteral("time")).toString()));
                QCOMPARE(at.toLocalTime().toString(QLatin1String(HistoryMeasure::TimeFormat)), m.measuredAt);
            }
            QCOMPARE(o.value(QStringLiteral("angle")).isNull(), m.algorithm != 4);
        }
        QCOMPARE(ids.size(), 120); // one id per measure
        QCOMPARE(sub.messagesOn(QStringLiteral("/result")).at(7).topic, QStringLiteral("plant/line1/SN_2__/result"));
        QCOMPARE(got.at(3).value(QStringLiteral("levels")).toObject().value(QStringLiteral("operator")).toString(),
                 measures.at(3).operatorText);

        // The position is in the history: a new run sends only what came since.
        store.append(makeMeasures(2, QStringLiteral("0202000000000001")));
        {
            HistoryPublishSource source(&store, HistoryPublishSource::cursorNameFor(s.clientIdentity));
            QCOMPARE(source.waiting(), 2);
            MqttPublisher pub(&source);
            QSignalSpy drained(&pub, &MqttPublisher::drained);
            QVERIFY(pub.start(s));
            QTRY_COMPARE_WITH_TIMEOUT(source.waiting(), 0, 10000);
        }
        QTRY_COMPARE(results(sub).size(), 122);
        QTest::qWait(300);
        QCOMPARE(results(sub).size(), 122);
        QCOMPARE(store.cursor(HistoryPublishSource::cursorNameFor(s.clientIdentity))->id, stored.last().id + 2);
    }

    void brokerRestartMidStreamKeepsEverythingInOrder()
    {
        HistoryStore store;
        QString error;
        QVERIFY(store.open(historyFile(QStringLiteral("restart")), &error));
        for (int r = 0; r < 40; ++r)
            QVERIFY(store.append(makeMeasures(100, QStringLiteral("03%1").arg(r, 14, 10, QLatin1Char('0')))).ok);
        const QVector<HistoryMeasure> all = store.measuresAfter(HistoryPosition(), 10000);
        QCOMPARE(all.size(), 4000);

        MqttBroker broker;
        QVERIFY(broker.start());
        auto sub = std::make_unique<MqttSubscriber>(QStringLiteral("sub-history-restart"), QStringLiteral("plant/#"));
        QVERIFY(sub->connect(broker.port()));
        QTRY_COMPARE(sub->subscriptions(), 1);

        const MqttSettings s = settingsFor(broker, QStringLiteral("line2"));
        HistoryPublishSource source(&store, HistoryPublishSource::cursorNameFor(s.clientIdentity));
        MqttPublisher pub(&source);
        pub.setWindow(100);
        QVERIFY(pub.start(s));
        QTRY_VERIFY_WITH_TIMEOUT(source.acknowledgedCursor()->id > all.at(300).id, 20000);
        broker.stop();
        QTRY_COMPARE_WITH_TIMEOUT(pub.state(), MqttPublisher::State::Reconnecting, 10000);
        QVERIFY(source.acknowledgedCursor()->id < all.last().id);
        QVERIFY(broker.restart());
        QTRY_COMPARE_WITH_TIMEOUT(source.acknowledgedCursor()->id, all.last().id, 30000);
        QTRY_COMPARE_WITH_TIMEOUT(firstArrivals(*sub).size(), 4000, 30000);
        const QStringList ids = firstArrivals(*sub);
        for (int i = 0; i < all.size(); ++i)
            QCOMPARE(ids.at(i), HistoryPublishSource::resultIdFor(all.at(i)));
        pub.stop();
        QCOMPARE(store.cursor(HistoryPublishSource::cursorNameFor(s.clientIdentity))->id, all.last().id);
    }

    void unknownPositionIsNotTheStart()
    {
        PgServer pg;
        QString why;
        QVERIFY2(pg.start(&why), qPrintable(why));
        MqttBroker broker;
        QVERIFY(broker.start());
        MqttSubscriber sub(QStringLiteral("sub-unknown"), QStringLiteral("plant/#"));
        QVERIFY(sub.connect(broker.port()));
        QTRY_COMPARE(sub.subscriptions(), 1);
        const MqttSettings s = settingsFor(broker, QStringLiteral("line4"));
        const QString name = HistoryPublishSource::cursorNameFor(s.clientIdentity);
        const QString queue = m_dir.filePath(QStringLiteral("unknown-q.db3"));
        QVector<HistoryMeasure> sent;
        {
            // Ten results, six of them acknowledged by an earlier run.
            HistoryStore store;
            QVERIFY2(store.open(pg.url(), &why, queue), qPrintable(why));
            QVERIFY(store.append(makeMeasures(10)).ok);
            sent = store.measuresAfter(HistoryPosition(), 100);
            QCOMPARE(sent.size(), 10);
            QVERIFY(store.setCursor(name, {sent.at(5).tx, sent.at(5).id}));
        }
        // The station starts while the server is away.
        QVERIFY(pg.stopServer());
        HistoryStore store;
        QVERIFY2(store.open(pg.url(), &why, queue), qPrintable(why));
        QVERIFY(!store.isOnline());
        HistoryPublishSource source(&store, name);
        MqttPublisher pub(&source);
        QSignalSpy waiting(&pub, &MqttPublisher::waitingChanged);
        QVERIFY(pub.start(s));
        QTRY_COMPARE(pub.state(), MqttPublisher::State::Connected);
        pub.poke();
        QVERIFY(!source.acknowledgedCursor());
        QCOMPARE(source.waiting(), qint64(-1));
        QCOMPARE(pub.inFlight(), 0);

        QVERIFY2(pg.startServer(&why), qPrintable(why));
        QVERIFY2(store.reconnect(&why), qPrintable(why));
        pub.poke();
        QTRY_COMPARE_WITH_TIMEOUT(source.acknowledgedCursor().value_or(HistoryPosition()).id, sent.last().id, 10000);
        // In order, so had the first six gone again they would have come before these.
        QTRY_COMPARE(results(sub).size(), 4);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(results(sub).at(i).value(QStringLiteral("id")).toString(), HistoryPublishSource::resultIdFor(sent.at(6 + i)));
        pub.stop();
    }

    // Two stations on one server and one broker: each sends what it archived, once, on its
    // own topic, from its own position; the tightenings of a key read at both stay the first
    // station's, and a second round sends nothing again.
    void twoStationsPublishTheirOwnRows()
    {
        PgServer pg;
        QString why;
        QVERIFY2(pg.start(&why), qPrintable(why));
        MqttBroker broker;
        QVERIFY(broker.start());
        MqttSubscriber sub(QStringLiteral("sub-stations"), QStringLiteral("plant/#"));
        QVERIFY(sub.connect(broker.port()));
        QTRY_COMPARE(sub.subscriptions(), 1);
        HistoryStore a, b;
        a.setStation(QStringLiteral("Line A"));
        b.setStation(QStringLiteral("Line/B"));
        QVERIFY2(a.open(pg.url(), &why, historyFile(QStringLiteral("qa"))), qPrintable(why));
        QVERIFY2(b.open(pg.url(), &why, historyFile(QStringLiteral("qb"))), qPrintable(why));
        const QVector<HistoryMeasure> moved = makeMeasures(7, QStringLiteral("RM"), QStringLiteral("SN-M"));
        QCOMPARE(a.append(moved.mid(0, 5)).added, 5);
        QCOMPARE(b.append(makeMeasures(4, QStringLiteral("RB"), QStringLiteral("SN-B"))).added, 4);
        QCOMPARE(b.append(moved).added, 2);

        auto publishRound = [&](HistoryStore &store) {
            const MqttSettings s = settingsFor(broker, store.station());
            HistoryPublishSource source(&store, HistoryPublishSource::cursorNameFor(s.clientIdentity));
            MqttPublisher pub(&source);
            QVERIFY(pub.start(s));
            QTRY_VERIFY_WITH_TIMEOUT(pub.state() == MqttPublisher::State::Connected && source.waiting() == 0, 20000);
            QTRY_COMPARE(pub.inFlight(), 0);
        };
        publishRound(a);
        publishRound(b);
        auto recordsOn = [&](const QString &topicStation) {
            QStringList out;
            for (const auto &m : sub.messagesOn(QStringLiteral("/result"))) {
                if (m.topic.startsWith(QStringLiteral("plant/") + topicStation + QLatin1Char('/'))) {
                    const QJsonObject o = QJsonDocument::fromJson(m.payload).object();
                    out << o.value(QStringLiteral("record")).toString() + QLatin1Char('/')
                               + o.value(QStringLiteral("keySerial")).toString();
                }
            }
            out.sort();
            return out;
        };
        QTRY_COMPARE(sub.messagesOn(QStringLiteral("/result")).size(), 11);
        QCOMPARE(recordsOn(QStringLiteral("Line_A")),
                 (QStringList{"RM/SN-M", "RM/SN-M", "RM/SN-M", "RM/SN-M", "RM/SN-M"}));
        QCOMPARE(recordsOn(QStringLiteral("Line_B")),
                 (QStringList{"RB/SN-B", "RB/SN-B", "RB/SN-B", "RB/SN-B", "RM/SN-M", "RM/SN-M"}));
        // Again, then one new row of A's as a marker: only the marker follows.
        publishRound(b);
        QCOMPARE(a.append(makeMeasures(1, QStringLiteral("RN"), QStringLiteral("SN-N"))).added, 1);
        publishRound(a);
        QTRY_VERIFY(recordsOn(QStringLiteral("Line_A")).contains(QStringLiteral("RN/SN-N")));
        QCOMPARE(sub.messagesOn(QStringLiteral("/result")).size(), 12);
    }

    void commandLineExitCodes()
    {
        QVERIFY2(QFile::exists(cliBinary()), qPrintable(cliBinary()));
        const QString root = m_dir.filePath(QStringLiteral("cliroot"));
        const QString db = m_dir.filePath(QStringLiteral("cli.db3"));
        {
            HistoryStore store;
            QString error;
            QVERIFY(store.open(db, &error));
            QVERIFY(store.append(makeMeasures(30)).ok);
        }
        auto run = [&](const QStringList &args, QByteArray *err = nullptr) {
            QProcess p;
            p.start(cliBinary(), QStringList{QStringLiteral("publish"), QStringLiteral("--data-dir"), root,
                                             QStringLiteral("--history-db"), db}
                                     + args);
            if (!p.waitForFinished(60000))
                return -100;
            if (err)
                *err = p.readAllStandardError();
            return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        };

        MqttBroker broker;
        QVERIFY(broker.start());
        const QString url = broker.url(QStringLiteral("plant"));
        broker.stop();
        QByteArray err;
        QElapsedTimer t;
        t.start();
        QCOMPARE(run({QStringLiteral("--mqtt"), url, QStringLiteral("--timeout"), QStringLiteral("2")}, &err), 1);
        QVERIFY2(t.elapsed() < 15000, qPrintable(QString::number(t.elapsed())));
        QVERIFY2(err.contains("30 result(s) not acknowledged"), err.constData());

        QCOMPARE(run({QStringLiteral("--mqtt"), QStringLiteral("http://x/y")}, &err), 2);
        QCOMPARE(run({}, &err), 2); // no broker anywhere
        QVERIFY2(err.contains("no broker"), err.constData());

        QVERIFY(broker.restart());
        MqttSubscriber sub(QStringLiteral("sub-cli"), QStringLiteral("plant/#"));
        QVERIFY(sub.connect(broker.port()));
        QTRY_COMPARE(sub.subscriptions(), 1);
        QCOMPARE(run({QStringLiteral("--mqtt"), url, QStringLiteral("--timeout"), QStringLiteral("30")}, &err), 0);
        QTRY_COMPARE(sub.messagesOn(QStringLiteral("/result")).size(), 30);
        // Everything acknowledged: a second run sends nothing and still succeeds.
        QCOMPARE(run({QStringLiteral("--mqtt"), url}, &err), 0);
        QTest::qWait(300);
        QCOMPARE(sub.messagesOn(QStringLiteral("/result")).size(), 30);
    }
};

QTEST_GUILESS_MAIN(TestPublishHistory)
#include "tst_publish_history.moc"
