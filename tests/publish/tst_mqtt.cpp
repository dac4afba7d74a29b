// Publishing results to a real broker started by the test: everything once and in order, a
// broker that goes away or stalls, key status topics, two stations, refused credentials.
#include "MemorySource.h"
#include "MqttBroker.h"
#include "MqttSubscriber.h"
#include "publish/MqttPublisher.h"
#include "publish/MqttSettings.h"
#include "publish/ResultMessage.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <memory>

namespace {

MqttSettings settingsFor(const MqttBroker &broker, const QString &station, const QString &prefix = QStringLiteral("plant"))
{
    MqttSettings s;
    QString error;
    MqttSettings::parseUrl(broker.url(prefix), &s, &error);
    s.station = station;
    s.clientIdentity = MqttSettings::clientId(station, QStringLiteral("/data/") + station);
    return s;
}

// Ids of result messages in arrival order, and the first-arrival order with repeats dropped.
QVector<int> resultIds(MqttSubscriber &sub, QVector<int> *firstArrivals = nullptr)
{
    QVector<int> ids;
    QSet<int> seen;
    for (const auto &m : sub.messagesOn(QStringLiteral("/result"))) {
        const int id = QJsonDocument::fromJson(m.payload).object().value(QStringLiteral("id")).toString().mid(1).toInt();
        ids << id;
        if (firstArrivals && !seen.contains(id)) {
            seen.insert(id);
            *firstArrivals << id;
        }
    }
    return ids;
}

bool isSequence(const QVector<int> &v, int n)
{
    if (v.size() != n)
        return false;
    for (int i = 0; i < n; ++i)
        if (v.at(i) != i + 1)
            return false;
    return true;
}

} // namespace

class TestMqtt : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (MqttBroker::program().isEmpty())
            QFAIL("mosquitto is not installed (scripts/bootstrap installs it)");
    }

    void settingsFromUrls()
    {
        MqttSettings s;
        QString error;
        QVERIFY(MqttSettings::parseUrl(QStringLiteral("mqtts://broker.plant:9000/line4/"), &s, &error));
        QCOMPARE(s.host, QStringLiteral("broker.plant"));
        QCOMPARE(s.port, 9000);
        QVERIFY(s.tls);
        QCOMPARE(s.prefix, QStringLiteral("line4"));
        QVERIFY(MqttSettings::parseUrl(QStringLiteral("mqtt://h"), &s, &error));
        QCOMPARE(s.port, 1883);
        QVERIFY(!s.tls);
        QVERIFY(MqttSettings::parseUrl(QString(), &s, &error));
        QVERIFY(!s.isConfigured());
        for (const char *bad : {"http://h/x", "mqtt://", "mqtt://u:secret@h/x", "mqtt://h/a/#", "mqtt://h:70000/x"}) {
            error.clear();
            QVERIFY2(!MqttSettings::parseUrl(QString::fromLatin1(bad), &s, &error), bad);
            QVERIFY(!error.isEmpty());
            QVERIFY2(!error.contains(QStringLiteral("secret")), "a password must not reach a message");
        }
        QVERIFY(MqttSettings::clientId(QStringLiteral("pc1"), QStringLiteral("/a"))
                != MqttSettings::clientId(QStringLiteral("pc1"), QStringLiteral("/b")));
        QCOMPARE(MqttSettings::topicPart(QStringLiteral("a/b+#c d")), QStringLiteral("a_b__c_d"));
    }

    void hostileTextsStillMakeValidJson()
    {
        ResultMessage m;
        m.resultId = QStringLiteral("2907A/p1/0");
        m.recordName = QStringLiteral("O'Neill \"quoted\" \\ back");
        m.operatorText = QString::fromUtf8("tab\there\nnew\x01line");
        m.node = QString::fromUtf8("\xd0\x9a\xd0"); // cut inside a two-byte letter
        m.moment = std::nan("");
        m.angleChecked = true;
        m.angle = 12.5;
        m.measuredAt = QDateTime(QDate(2025, 3, 5), QTime(9, 7, 3), Qt::UTC);
        QJsonParseError err;
        const QJsonObject o = QJsonDocument::fromJson(m.toJson(), &err).object();
        QCOMPARE(err.error, QJsonParseError::NoError);
        QCOMPARE(o.value(QStringLiteral("record")).toString(), m.recordName);
        QCOMPARE(o.value(QStringLiteral("levels")).toObject().value(QStringLiteral("operator")).toString(), m.operatorText);
        QVERIFY(o.value(QStringLiteral("moment")).isNull());
        QCOMPARE(o.value(QStringLiteral("angle")).toDouble(), 12.5);
        QCOMPARE(o.value(QStringLiteral("verdict")).toString(), QStringLiteral("NG"));
        QCOMPARE(o.value(QStringLiteral("time")).toString(), QStringLiteral("2025-03-05T09:07:03Z"));
        QVERIFY(o.value(QStringLiteral("limits")).toObject().contains(QStringLiteral("angleHigh")));

        // Every control character, DEL, the line separators JavaScript trips on, a letter
        // outside the basic plane and half of one.
        QString all;
        for (ushort u = 0; u < 0x20; ++u)
            all += QChar(u);
        all += QStringLiteral("\u007f\u2028\u2029") + QString::fromUtf8("\xf0\x9f\x94\xa7");
        m.product = all;
        m.operationNumber = QString(QChar(0xD800)) + QStringLiteral("x") + QString(QChar(0xDC00));
        m.angleChecked = false;
        const QByteArray json = m.toJson();
        QVERIFY(QString::fromUtf8(json).toUtf8() == json); // well-formed UTF-8
        const QJsonObject again = QJsonDocument::fromJson(json, &err).object();
        QCOMPARE(err.error, QJsonParseError::NoError);
        const QJsonObject levels = again.value(QStringLiteral("levels")).toObject();
        QCOMPARE(levels.value(QStringLiteral("product")).toString(), all);
        QCOMPARE(levels.value(QStringLiteral("operation")).toString(), QStringLiteral("\ufffdx\ufffd"));
        QVERIFY(again.value(QStringLiteral("angle")).isNull());
        QVERIFY(!again.value(QStringLiteral("limits")).toObject().contains(QStringLiteral("angleHigh")));
        QCOMPARE(again.value(QStringLiteral("calibrationNm")).toDouble(), 0.0);

        // Single-precision values from the key read as the key showed them; doubles keep all.
        m.moment = double(305.92f);
        m.correctedDefect = 0.1;
        m.calibrationNm = double(1e-7f);
        const QByteArray numbers = m.toJson();
        QVERIFY2(numbers.contains("\"moment\":305.92,"), numbers.constData());
        QVERIFY2(numbers.contains("\"correctedDefect\":0.1,"), numbers.constData());
        m.momentLow = double(290.0f);
        QVERIFY2(m.toJson().contains("\"momentLow\":290,"), m.toJson().constData());
        const QJsonObject parsed = QJsonDocument::fromJson(numbers).object();
        QCOMPARE(float(parsed.value(QStringLiteral("calibrationNm")).toDouble()), 1e-7f);
    }

    void everyResultOnceInOrder()
    {
        MqttBroker broker;
        QVERIFY(broker.start());
        MqttSubscriber sub(QStringLiteral("sub-once"), QStringLiteral("plant/#"));
        QVERIFY(sub.connect(broker.port()));
        QTRY_COMPARE(sub.subscriptions(), 1);

        MemorySource source;
        source.add(700);
        MqttPublisher pub(&source);
        pub.setWindow(40);
        QSignalSpy drained(&pub, &MqttPublisher::drained);
        QVERIFY(pub.start(settingsFor(broker, QStringLiteral("st1"))));
        QVERIFY(drained.wait(20000));
        QCOMPARE(pub.state(), MqttPublisher::State::Connected);
        QCOMPARE(source.acknowledged(), 700);
        QCOMPARE(pub.waiting(), 0);
        // The subscriber's copies arrive on their own connection; a loaded machine lags.
        QTRY_COMPARE_WITH_TIMEOUT(sub.messagesOn(QStringLiteral("/result")).size(), 700, 30000);
        QVERIFY(isSequence(resultIds(sub), 700));
        QCOMPARE(sub.messagesOn(QStringLiteral("/result")).first().topic, QStringLiteral("plant/st1/2907A/result"));
        const auto online = sub.messagesOn(QStringLiteral("st1/status"));
        QVERIFY(!online.isEmpty());
        QCOMPARE(online.last().payload, QByteArray("online"));

        // More results later go out after the first ones, and nothing already sent repeats.
        source.add(5);
        pub.poke();
        QTRY_COMPARE_WITH_TIMEOUT(source.acknowledged(), 705, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(sub.messagesOn(QStringLiteral("/result")).size(), 705, 20000);
        QVERIFY(isSequence(resultIds(sub), 705));
        QVERIFY(!source.wentBackwards());

        // A new run starts from the acknowledged cursor: nothing is sent twice.
        pub.stop();
        QTRY_VERIFY_WITH_TIMEOUT(!sub.messagesOn(QStringLiteral("st1/status")).isEmpty()
                                     && sub.messagesOn(QStringLiteral("st1/status")).last().payload == "offline",
                                 20000);
        MqttPublisher again(&source);
        QSignalSpy drainedAgain(&again, &MqttPublisher::drained);
        QVERIFY(again.start(settingsFor(broker, QStringLiteral("st1"))));
        QVERIFY(drainedAgain.wait(10000));
        QTest::qWait(300);
        QCOMPARE(sub.messagesOn(QStringLiteral("/result")).size(), 705);
    }

    void brokerGoingAwayLosesNothing()
    {
        MqttBroker broker;
        QVERIFY(broker.start());
        auto sub = std::make_unique<MqttSubscriber>(QStringLiteral("sub-restart"), QStringLiteral("plant/#"));
        QVERIFY(sub->connect(broker.port()));
        QTRY_COMPARE(sub->subscriptions(), 1);

        MemorySource source;
        source.add(3000);
        MqttPublisher pub(&source);
        pub.setWindow(100);
        QSignalSpy states(&pub, &MqttPublisher::stateChanged);
        QVERIFY(pub.start(settingsFor(broker, QStringLiteral("st2"))));
        QTRY_VERIFY_WITH_TIMEOUT(source.acknowledged() > 300, 20000);
        broker.stop();
        QTRY_COMPARE_WITH_TIMEOUT(pub.state(), MqttPublisher::State::Reconnecting, 10000);
        QVERIFY(!pub.reason().isEmpty());
        const qint64 acknowledgedWhileDown = source.acknowledged();
        QVERIFY(acknowledgedWhileDown < 3000);
        QVERIFY(broker.restart());
        QTRY_COMPARE_WITH_TIMEOUT(source.acknowledged(), 3000, 30000);
        // The subscriber's persistent session gets what it missed once it is back too.
        QVector<int> first;
        QTRY_VERIFY_WITH_TIMEOUT((first.clear(), resultIds(*sub, &first), first.size() == 3000), 30000);
        QVERIFY(isSequence(first, 3000));
        QVERIFY(!source.wentBackwards());
    }

    void stalledBrokerHoldsOnlyTheWindow()
    {
        MqttBroker broker;
        QVERIFY(broker.start());
        MemorySource source;
        source.add(2000);
        MqttPublisher pub(&source);
        pub.setWindow(25);
        QVERIFY(pub.start(settingsFor(broker, QStringLiteral("st3"))));
        QTRY_COMPARE(pub.state(), MqttPublisher::State::Connected);
        broker.pause();
        pub.poke();
        for (int i = 0; i < 10; ++i) {
            QTest::qWait(100);
            QVERIFY2(pub.inFlight() <= 25, qPrintable(QString::number(pub.inFlight())));
        }
        QVERIFY(source.acknowledged() < 2000);
        // Changing the settings while the broker hangs must not hang the window.
        QElapsedTimer t;
        t.start();
        pub.stop();
        QVERIFY2(t.elapsed() < 3000, qPrintable(QString::number(t.elapsed())));
        broker.resume();
        QVERIFY(pub.start(settingsFor(broker, QStringLiteral("st3"))));
        QTRY_COMPARE_WITH_TIMEOUT(source.acknowledged(), 2000, 30000);
        QCOMPARE(pub.inFlight(), 0);
    }

    void keyStatusAndTwoStations()
    {
        MqttBroker broker;
        QVERIFY(broker.start());
        MqttSubscriber sub(QStringLiteral("sub-status"), QStringLiteral("plant/#"));
        QVERIFY(sub.connect(broker.port()));
        QTRY_COMPARE(sub.subscriptions(), 1);

        MemorySource a;
        MemorySource b;
        a.add(50);
        b.add(50, QStringLiteral("2907B"));
        MqttPublisher pa(&a);
        MqttPublisher pb(&b);
        QSignalSpy statesA(&pa, &MqttPublisher::stateChanged);
        QSignalSpy statesB(&pb, &MqttPublisher::stateChanged);
        // A status set before the connection is sent once it stands.
        pa.setKeyStatus(QStringLiteral("2907A"), QStringLiteral("usb"));
        QVERIFY(pa.start(settingsFor(broker, QStringLiteral("pc-a"))));
        QVERIFY(pb.start(settingsFor(broker, QStringLiteral("pc-b"))));
        QTRY_COMPARE(a.acknowledged(), 50);
        QTRY_COMPARE(b.acknowledged(), 50);
        QTRY_VERIFY(!sub.messagesOn(QStringLiteral("pc-a/2907A/status")).isEmpty());
        QCOMPARE(sub.messagesOn(QStringLiteral("pc-a/2907A/status")).last().payload, QByteArray("usb"));
        pa.setKeyStatus(QStringLiteral("2907A"), QStringLiteral("gone"));
        QTRY_COMPARE(sub.messagesOn(QStringLiteral("pc-a/2907A/status")).last().payload, QByteArray("gone"));

        // Both stations stay connected: neither takes the other's identity.
        QTest::qWait(1500);
        QCOMPARE(pa.state(), MqttPublisher::State::Connected);
        QCOMPARE(pb.state(), MqttPublisher::State::Connected);
        for (const auto &args : statesA)
            QVERIFY(args.at(0).value<MqttPublisher::State>() != MqttPublisher::State::Reconnecting);
        for (const auto &args : statesB)
            QVERIFY(args.at(0).value<MqttPublisher::State>() != MqttPublisher::State::Reconnecting);

        // A late subscriber still sees the last status: it is retained.
        MqttSubscriber late(QStringLiteral("sub-late"), QStringLiteral("plant/pc-a/2907A/status"), false);
        QVERIFY(late.connect(broker.port()));
        QTRY_VERIFY(!late.messages().isEmpty());
        QVERIFY(late.messages().first().retained);
        QCOMPARE(late.messages().first().payload, QByteArray("gone"));
    }

    void refusedCredentialsBackOff()
    {
        MqttBroker broker;
        QVERIFY(broker.start(QStringLiteral("fitter"), QStringLiteral("right")));
        MemorySource source;
        source.add(3);
        MqttPublisher pub(&source);
        MqttSettings s = settingsFor(broker, QStringLiteral("st5"));
        s.user = QStringLiteral("fitter");
        s.password = QStringLiteral("wrong-secret");
        QVERIFY(pub.start(s));
        QTRY_COMPARE_WITH_TIMEOUT(pub.state(), MqttPublisher::State::Reconnecting, 10000);
        QVERIFY2(pub.reason().contains(QStringLiteral("user name or password")) || pub.reason().contains(QStringLiteral("authori")),
                 qPrintable(pub.reason()));
        QTest::qWait(3500);
        // Attempts back off (1, 2, 4 s ...): a handful in 3.5 s, not a storm.
        const int attempts = broker.logText().count(QStringLiteral("New connection from"));
        QVERIFY2(attempts >= 1 && attempts <= 4, qPrintable(QString::number(attempts)));
        QCOMPARE(source.acknowledged(), 0);

        s.password = QStringLiteral("right");
        QVERIFY(pub.start(s));
        QTRY_COMPARE_WITH_TIMEOUT(source.acknowledged(), 3, 10000);
    }

    void untrustedTlsIsNamedAndBacksOff()
    {
        MqttBroker broker;
        QVERIFY(broker.useSelfSignedTls());
        QVERIFY(broker.start());
        MemorySource source;
        source.add(2);
        MqttPublisher pub(&source);
        MqttSettings s;
        QString error;
        QVERIFY(MqttSettings::parseUrl(broker.tlsUrl(QStringLiteral("plant")), &s, &error));
        QVERIFY(s.tls);
        s.station = QStringLiteral("st6");
        s.clientIdentity = QStringLiteral("st6-client");
        QElapsedTimer t;
        t.start();
        QVERIFY(pub.start(s));
        QVERIFY2(t.elapsed() < 1000, "starting must not wait for the network");
        // The certificate is nobody's the system trusts: said so on the status line.
        QTRY_VERIFY_WITH_TIMEOUT(pub.reason().contains(QStringLiteral("certificate"), Qt::CaseInsensitive), 10000);
        QCOMPARE(pub.state(), MqttPublisher::State::Reconnecting);
        QTest::qWait(3000);
        const int attempts = broker.logText().count(QStringLiteral("New connection from"));
        QVERIFY2(attempts >= 1 && attempts <= 4, qPrintable(QString::number(attempts)));
        QCOMPARE(source.acknowledged(), 0);
    }
};

QTEST_GUILESS_MAIN(TestMqtt)
#include "tst_mqtt.moc"
