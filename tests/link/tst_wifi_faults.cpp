// Faults of the Wi-Fi link that showed only in corners: a command too long for the queue, a key
// registered twice, and a TCP connection that goes away while its own frame is handled.

#include "LogCapture.h"
#include "WifiRig.h"
#include "link/ComSlip.h"
#include "link/MemoryKeyPort.h"
#include "link/MyQueueTX.h"
#include "link/SlipCodec.h"
#include "link/cWifi.h"
#include "protocol/UsbKeyTransport.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

using namespace wifitest;

namespace {

KeyAddr keyAt(const QString &id, quint16 keyPort, quint16 pcPort)
{
    KeyAddr k;
    k.hostAddress = QHostAddress(QHostAddress::LocalHost);
    k.port = keyPort;
    k.identifier = id;
    k.name = id;
    k.localPort = pcPort;
    k.remotePort = keyPort;
    return k;
}

} // namespace

class TestWifiFaults : public QObject
{
    Q_OBJECT

private slots:
    void oversizeCommandRefusedOnBothLinks()
    {
        cWifi wifi(QStringLiteral("127.0.0.1"), nullptr, freeUdpPort(), freeTcpPort());
        QVERIFY(wifi.AddMAC(keyAt(QStringLiteral("AA:01"), freeUdpPort(), freeUdpPort())));
        const QByteArray fits(QueueElement::PAYLOAD_CAPACITY, 'x');
        const QByteArray tooLong(QueueElement::PAYLOAD_CAPACITY + 1, 'x');
        const QByteArray wrapsAround(65536 + 10, 'x'); // past what a 16-bit length holds

        LogCapture log;
        QVERIFY(!wifi.queueCommandTo(QStringLiteral("AA:01"), 0x31, 0x01, tooLong, 3, 0));
        QVERIFY(!wifi.queueCommandTo(QStringLiteral("AA:01"), 0x31, 0x01, wrapsAround, 3, 0));
        QCOMPARE(wifi.queue(0)->pendingCount(), 0);
        const QString wifiLine = log.lines().value(0);
        QVERIFY(wifiLine.contains(QStringLiteral("Command of 1025 bytes refused")));

        // The USB link refuses the same payload with the same line.
        MemoryKeyPort port;
        QVERIFY(port.open(QIODevice::ReadWrite));
        ComSlip slip(nullptr, 10000, 1000);
        slip.attachPort(&port);
        UsbKeyTransport usb(&slip);
        log.clear();
        QVERIFY(!usb.queueCommand(0x31, 0x01, tooLong, 3, 0));
        QCOMPARE(log.lines().value(0).section(QStringLiteral(": "), 1),
                 wifiLine.section(QStringLiteral(": "), 1));

        // What fits still goes, whole.
        QVERIFY(wifi.queueCommandTo(QStringLiteral("AA:01"), 0x31, 0x01, fits, 3, 1));
        slip.detach();
    }

    void duplicateKeyIsRefusedWithItsLine()
    {
        cWifi wifi(QStringLiteral("127.0.0.1"), nullptr, freeUdpPort(), freeTcpPort());
        const KeyAddr key = keyAt(QStringLiteral("AA:02"), freeUdpPort(), freeUdpPort());
        LogCapture log;
        QVERIFY(wifi.AddMAC(key));
        QCOMPARE(log.count(QStringLiteral("ERROR: AddMAC not added!")), 0);
        QVERIFY(!wifi.AddMAC(key));
        QCOMPARE(log.count(QStringLiteral("ERROR: AddMAC not added!")), 1);
        QCOMPARE(wifi.keyCount(), 1);
        QCOMPARE(log.count(QStringLiteral("NewUdpSocket ID")), 1);
    }

    // A request the key never answers is reported with the key it was for, so the exchange
    // can ask again at once instead of waiting for a whole stall round.
    void unansweredCommandIsReportedWithItsKey()
    {
        cWifi wifi(QStringLiteral("127.0.0.1"), nullptr, freeUdpPort(), freeTcpPort(), 1000, 20, 1000);
        const KeyAddr key = keyAt(QStringLiteral("AA:03"), freeUdpPort(), freeUdpPort());
        QVERIFY(wifi.AddMAC(key));
        QList<QPair<QString, QByteArray>> givenUp;
        connect(&wifi, &cWifi::commandGivenUp, this,
                [&](const QString &id, quint8 packetClass, const QByteArray &payload) {
                    if (packetClass == 0x31)
                        givenUp.append({id, payload});
                });
        QVERIFY(wifi.queueCommandTo(QStringLiteral("AA:03"), 0x31, 0x01, QByteArray("request-7"), 2, 0));
        QTRY_COMPARE_WITH_TIMEOUT(givenUp.size(), 1, 10000);
        QCOMPARE(givenUp.first().first, QStringLiteral("AA:03"));
        QCOMPARE(givenUp.first().second, QByteArray("request-7"));
    }

    void connectionDroppedFromInsideItsFrameHandler()
    {
        cWifi wifi(QStringLiteral("127.0.0.1"), nullptr, freeUdpPort(), freeTcpPort());
        QVERIFY(wifi.start());
        QTcpSocket client;
        client.connectToHost(QHostAddress::LocalHost, wifi.tcpServer()->serverPort());
        QVERIFY(client.waitForConnected(5000));
        QTRY_COMPARE(wifi.tcpConnectionCount(), 1);

        // Whoever handles the frame closes the connection it came on (as a handler that
        // decides the peer is hostile would). The receiver that delivered the frame must
        // still be there when the handler returns.
        int frames = 0;
        connect(&wifi, &cWifi::rx_data, &wifi, [&](const RxDataBuffer &) {
            ++frames;
            for (QTcpSocket *s : wifi.tcpServer()->findChildren<QTcpSocket *>())
                s->abort();
        });
        const QByteArray body("{\"function_name\":\"FE_JsonNotification_Status\"}");
        const QByteArray frame = SlipCodec::encode(0x30, 0x01, body + '\0');
        client.write(frame + frame + frame);
        QVERIFY(client.waitForBytesWritten(5000));
        QTRY_COMPARE(frames, 1);
        QTRY_COMPARE(wifi.tcpConnectionCount(), 0);
        // The frames behind it on the dropped connection are not delivered.
        QTest::qWait(100);
        QCOMPARE(frames, 1);

        // The link still takes new connections.
        QTcpSocket again;
        again.connectToHost(QHostAddress::LocalHost, wifi.tcpServer()->serverPort());
        QVERIFY(again.waitForConnected(5000));
        QTRY_COMPARE(wifi.tcpConnectionCount(), 1);
    }
};

QTEST_MAIN(TestWifiFaults)
#include "tst_wifi_faults.moc"
