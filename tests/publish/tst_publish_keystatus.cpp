// The status topic of a key follows the real USB link: keysim on a pseudo-terminal is read
// by the PC's link and session, the station publishes, and a subscriber sees the key come
// over USB and go when the cable is pulled.
#include "../e2e/KeysimRig.h"
#include "MqttBroker.h"
#include "MqttSubscriber.h"
#include "protocol/KeyModel.h"
#include "publish/KeyPresence.h"
#include "publish/KeyPresenceFeed.h"
#include "publish/MqttPublisher.h"
#include "publish/PublishStation.h"

#include <QtTest>

using namespace e2e;

class TestPublishKeyStatus : public QObject
{
    Q_OBJECT
private slots:
    void statusFollowsPlugAndUnplug()
    {
        if (MqttBroker::program().isEmpty())
            QFAIL("mosquitto is not installed (scripts/bootstrap installs it)");
        MqttBroker broker;
        QVERIFY(broker.start());
        MqttSubscriber sub(QStringLiteral("sub-keystatus"), QStringLiteral("plant/#"));
        QVERIFY(sub.connect(broker.port()));
        QTRY_COMPARE(sub.subscriptions(), 1);

        Keysim sim;
        QVERIFY(sim.makeKey(3, 2, 71));
        QVERIFY(sim.start({QStringLiteral("--unplug-after"), QStringLiteral("6")}));
        PcSide pc(sim.device());

        PublishStation station;
        QString error;
        QVERIFY2(station.openHistory(QString(), &error), qPrintable(error));
        followKeyLinks(station.presence(), &pc.connection);
        MqttStoredSettings stored;
        stored.url = broker.url(QStringLiteral("plant"));
        QVERIFY2(station.apply(stored, QString(), &error), qPrintable(error));
        QTRY_COMPARE(station.publisher()->state(), MqttPublisher::State::Connected);

        pc.usb.TmrCheckSerialPorts();
        QVERIFY(pc.usb.isConnected());
        QTRY_VERIFY_WITH_TIMEOUT(!pc.session.model()->deviceSettings().SerialNo.isEmpty(), 10000);
        const QString serial = QString::fromUtf8(pc.session.model()->deviceSettings().SerialNo).trimmed();
        const QString suffix = QLatin1Char('/') + MqttSettings::topicPart(serial) + QStringLiteral("/status");
        QTRY_VERIFY_WITH_TIMEOUT(!sub.messagesOn(suffix).isEmpty(), 10000);
        QCOMPARE(sub.messagesOn(suffix).last().payload, QByteArray("usb"));

        // The cable goes: the link closes, the topic says so.
        QTRY_COMPARE_WITH_TIMEOUT(sub.messagesOn(suffix).last().payload, QByteArray("gone"), 20000);
        QVERIFY(!pc.usb.isConnected());
        QStringList sequence;
        for (const auto &m : sub.messagesOn(suffix))
            sequence << QString::fromUtf8(m.payload);
        QCOMPARE(sequence, (QStringList{QStringLiteral("usb"), QStringLiteral("gone")}));
        QVERIFY(sim.stop());
    }
};

QTEST_GUILESS_MAIN(TestPublishKeyStatus)
#include "tst_publish_keystatus.moc"
