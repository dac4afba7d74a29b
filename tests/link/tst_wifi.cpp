// The Wi-Fi link on real loopback sockets against keys played by the test: which key a
// frame is taken to come from, bind failures, the silent-key sweep, and the
// choice of the PC address.

#include "LogCapture.h"
#include "WifiRig.h"

#include "base/SettingsFile.h"
#include "ui/popups/PopupHost.h"
#include "link/MyQueueTX.h"
#include "link/SlipCodec.h"

#include <QComboBox>
#include <QListWidget>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QVBoxLayout>

using namespace wifitest;

namespace {

QByteArray statusReply()
{
    return jsonBody({{"function_name", "FE_JsonNotification_Status"}, {"StateMachine", 0},
                     {"WifiBattery", 4}, {"WifiRSSI", 3}, {"MeasureRotationStatus", 1}});
}

} // namespace

class TestWifi : public QObject
{
    Q_OBJECT

private slots:
    void datagramsAndTheirSenders()
    {
        WifiPc pc;
        QVERIFY(pc.start(false));
        QSignalSpy rx(&pc.wifi, SIGNAL(rx_data(RxDataBuffer)));
        auto last = [&rx] { return rx.last().at(0).value<RxDataBuffer>(); };

        // No key yet: a long datagram is cut at 768 bytes and comes from nobody known.
        QUdpSocket stranger;
        QVERIFY(stranger.bind(QHostAddress(QHostAddress::LocalHost), 0));
        QByteArray big(1000, '\0');
        for (int i = 0; i < big.size(); ++i)
            big[i] = char(i * 7 + 3);
        stranger.writeDatagram(big, QHostAddress(QHostAddress::LocalHost), pc.announcePort);
        QTRY_COMPARE(rx.count(), 1);
        QCOMPARE(last().length, 768);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(last().bytes()), 768), big.left(768));
        QVERIFY(cWifi::isUnregisteredName(last().interfaceName));
        QCOMPARE(last().port, stranger.localPort());

        // Two keys on one host are told apart by their ports; a third sender there is nobody.
        HandKey a(QStringLiteral("AA:01")), b(QStringLiteral("BB:02"));
        HandKey far(QStringLiteral("CC:03"), QHostAddress(QStringLiteral("127.0.0.2")));
        a.announce(pc.announcePort);
        b.announce(pc.announcePort);
        far.announce(pc.announcePort);
        QTRY_COMPARE(pc.wifi.keyCount(), 3);
        rx.clear();
        b.sendTo(statusReply(), a.pcPort); // B on A's socket is still B
        QTRY_COMPARE(rx.count(), 1);
        QCOMPARE(last().interfaceName, QStringLiteral("BB:02"));
        stranger.writeDatagram(statusReply(), QHostAddress(QHostAddress::LocalHost), a.pcPort);
        QTRY_COMPARE(rx.count(), 2);
        QVERIFY(cWifi::isUnregisteredName(last().interfaceName));
        // The only key of its host is known from any port.
        QUdpSocket farOther;
        QVERIFY(farOther.bind(QHostAddress(QStringLiteral("127.0.0.2")), 0));
        farOther.writeDatagram(statusReply(), QHostAddress(QHostAddress::LocalHost), pc.announcePort);
        QTRY_COMPARE(rx.count(), 3);
        QCOMPARE(last().interfaceName, QStringLiteral("CC:03"));
    }

    void tcpConnectionsKeepTheirOwnFrames()
    {
        WifiPc pc;
        QVERIFY(pc.start(false));
        HandKey a(QStringLiteral("AA:01")), b(QStringLiteral("BB:02"));
        a.announce(pc.announcePort);
        b.announce(pc.announcePort);
        QTRY_COMPARE(pc.wifi.keyCount(), 2);
        QSignalSpy rx(&pc.wifi, SIGNAL(rx_data(RxDataBuffer)));

        QTcpSocket c1, c2;
        c1.connectToHost(QHostAddress::LocalHost, pc.tcpPort);
        c2.connectToHost(QHostAddress::LocalHost, pc.tcpPort);
        QVERIFY(c1.waitForConnected(5000) && c2.waitForConnected(5000));
        QTRY_COMPARE(pc.wifi.tcpConnectionCount(), 2);

        // c1 names itself B; c2 does not. Their frames arrive interleaved, half by half.
        const QByteArray hello = SlipCodec::encode(0x30, 0x01, jsonBody(announcement("BB:02", "B", b.socket.localPort(), b.pcPort)).mid(2));
        const QByteArray f1 = SlipCodec::encode(0x30, 0x01, QByteArray("{\"function_name\":\"one\"}") + '\0');
        const QByteArray f2 = SlipCodec::encode(0x30, 0x01, QByteArray("{\"function_name\":\"two\"}") + '\0');
        c2.write(f2.left(12));
        QVERIFY(c2.waitForBytesWritten(5000));
        c1.write(hello + f1.left(10));
        QTRY_COMPARE(rx.count(), 1); // c2's half went first, so it has arrived too
        c1.write(f1.mid(10));
        c2.write(f2.mid(12));
        QTRY_COMPARE(rx.count(), 3);

        QMap<QString, RxDataBuffer> byText;
        for (int i = 1; i < 3; ++i) {
            const RxDataBuffer f = rx.at(i).at(0).value<RxDataBuffer>();
            byText.insert(bodyJson(QByteArray(reinterpret_cast<const char *>(f.bytes()), f.length))
                              .value("function_name").toString(), f);
        }
        QCOMPARE(byText.keys(), (QStringList{"one", "two"}));
        QCOMPARE(byText["one"].interfaceName, QStringLiteral("BB:02"));
        // Two keys share the host and c2 never named itself: nobody's.
        QVERIFY(cWifi::isUnregisteredName(byText["two"].interfaceName));
        // The protocol layer gets the body without its CRC, as from a datagram.
        QCOMPARE(byText["one"].length, 2 + 24);
        QCOMPARE(int(byText["one"].data[26]), 0);

        c1.disconnectFromHost();
        QTRY_COMPARE(pc.wifi.tcpConnectionCount(), 1);
    }

    void bindFailuresAreReportedOnce()
    {
        QUdpSocket holder;
        QVERIFY(holder.bind(QHostAddress(QHostAddress::LocalHost), 0, QUdpSocket::DontShareAddress));
        QTcpServer tcpHolder;
        QVERIFY(tcpHolder.listen(QHostAddress::Any, 0));
        LogCapture log;
        cWifi wifi(QStringLiteral("127.0.0.1"), nullptr, holder.localPort(), tcpHolder.serverPort());
        QSignalSpy failed(&wifi, SIGNAL(bindFailed(QString)));
        QVERIFY(!wifi.start());
        QCOMPARE(failed.count(), 2);
        QVERIFY(failed.at(0).at(0).toString().contains(QString::number(holder.localPort())));
        QVERIFY(failed.at(1).at(0).toString().contains(QString::number(tcpHolder.serverPort())));
        QCOMPARE(log.count(QStringLiteral("port %1").arg(holder.localPort())), 1);

        // A key naming a PC port that is taken: reported, still listed, and reported once
        // however often it announces.
        QUdpSocket keyHolder;
        QVERIFY(keyHolder.bind(QHostAddress(QHostAddress::LocalHost), 0, QUdpSocket::DontShareAddress));
        WifiAnnouncement k;
        k.mac = QStringLiteral("AA:01");
        k.address = QHostAddress(QHostAddress::LocalHost);
        k.localPort = 40999;
        k.remotePort = keyHolder.localPort();
        wifi.registerKey(k);
        wifi.registerKey(k);
        QCOMPARE(wifi.keyCount(), 1);
        QCOMPARE(failed.count(), 3);
        QVERIFY(failed.last().at(0).toString().contains(QString::number(keyHolder.localPort())));
        QCOMPARE(log.count(QStringLiteral("key AA:01 socket not bound to 127.0.0.1 port %1").arg(keyHolder.localPort())), 1);

        cWifi nowhere(QStringLiteral("not an address"), nullptr, freeUdpPort(), freeTcpPort());
        QSignalSpy failedToo(&nowhere, SIGNAL(bindFailed(QString)));
        QVERIFY(!nowhere.start());
        QCOMPARE(failedToo.count(), 1);
    }

    // Another program on this PC holds the Wi-Fi ports: said for as long as it lasts, the
    // ports are tried again, and keys appear once they free.
    void heldPortsAreSaidAndTakenOnceFree()
    {
        WifiPc pc; // holds both ports until start() releases them: the "other TorqueDesk"
        QSignalSpy standing(&pc.controller, &WifiController::standingMessageChanged);
        QSignalSpy blinks(&pc.controller, &WifiController::statusMessage);
        QVERIFY(!pc.wifi.start());
        QVERIFY(pc.wifi.portsBusy());
        QCOMPARE(standing.count(), 1);
        QCOMPARE(standing.last().at(0).toString(), QStringLiteral("Wi-Fi keys are served by another TorqueDesk on this PC"));
        QCOMPARE(blinks.count(), 0);
        QTest::qWait(350); // a few retries while still held: nothing new said
        QCOMPARE(standing.count(), 1);
        pc.usb.TmrCheckSerialPorts(); // USB searching goes on regardless
        QCOMPARE(pc.connection.mode(), KeyConnection::Mode::None);

        pc.announceHold.release();
        pc.tcpHold.release();
        QTRY_VERIFY(!pc.wifi.portsBusy());
        QCOMPARE(standing.count(), 2);
        QVERIFY(standing.last().at(0).toString().isEmpty());
        QCOMPARE(pc.wifi.announcementSocket()->state(), QAbstractSocket::BoundState);
        QVERIFY(pc.wifi.tcpServer()->isListening());
        HandKey key(QStringLiteral("AA:07"));
        key.announce(pc.announcePort);
        QTRY_COMPARE(pc.ids(), QStringList{QStringLiteral("AA:07")});
    }

    void silentKeysAreForgottenAndTheComboFollows()
    {
        PcTiming t;
        t.aliveTickMs = 40;    // ten ticks: 0.4 s of silence
        t.sweepMs = 3600000;   // the test runs the sweep itself
        WifiPc pc(t);
        QVERIFY(pc.start());
        LogCapture log;
        HandKey a(QStringLiteral("AA:01")), b(QStringLiteral("BB:02")), c(QStringLiteral("CC:03"));
        a.announce(pc.announcePort, "A");
        b.announce(pc.announcePort, "B");
        c.announce(pc.announcePort, "C");
        QTRY_COMPARE(pc.wifi.keyCount(), 3);
        pc.combo()->show();
        const KeyAddr gone = pc.wifi.key(0);
        QSignalSpy removed(&pc.wifi, SIGNAL(keyRemoved(QString)));
        QSignalSpy empty(&pc.wifi, SIGNAL(combobox_empty()));

        // C answers (its replies reach its queue through the protocol layer); A and B, next
        // to each other in the list, fall silent together.
        QTimer keepAlive;
        QObject::connect(&keepAlive, &QTimer::timeout, [&] { c.send(statusReply()); });
        keepAlive.start(60);
        QTRY_VERIFY(pc.wifi.queue(0)->aliveCountdown() == 0 && pc.wifi.queue(1)->aliveCountdown() == 0);
        QVERIFY(pc.wifi.queue(2)->aliveCountdown() > 0);
        // One sweep takes both, although they sit next to each other.
        pc.wifi.slot_iTmrOneSec();
        QCOMPARE(removed.count(), 2);
        QCOMPARE(removed.at(0).at(0).toString(), QStringLiteral("AA:01"));
        QCOMPARE(removed.at(1).at(0).toString(), QStringLiteral("BB:02"));
        QCOMPARE(pc.ids(), QStringList{"CC:03"});
        QCOMPARE(pc.combo()->count(), 1);
        QCOMPARE(pc.combo()->itemText(0), QStringLiteral("C"));
        // The combo moved onto C, and the selection with it; outside Wi-Fi mode that starts
        // no read-out.
        QCOMPARE(pc.wifi.selectedKey(), QStringLiteral("CC:03"));
        QCOMPARE(c.countReceived("FE_KeyName_Read"), 0);
        QCOMPARE(empty.count(), 0);

        // An element the queue had already handed over when its key went is not sent.
        QueueElement late;
        late.interfaceName = gone.identifier;
        late.hostAddress = gone.hostAddress;
        late.port = gone.remotePort;
        late.packetClass = 0x30;
        late.subCode = 0x01;
        late.setPayload(reinterpret_cast<const uchar *>("{}"), 3);
        const int before = a.received.size();
        log.clear();
        pc.wifi.SendCommandToUART_QueueElement(late);
        QCOMPARE(log.count("ERROR: SendDataToWiFi"), 1);
        QCOMPARE(log.count(">>>> SEND:"), 0);
        QTest::qWait(50);
        QCOMPARE(a.received.size(), before);

        keepAlive.stop();
        QTRY_COMPARE(pc.wifi.queue(0)->aliveCountdown(), 0);
        pc.wifi.slot_iTmrOneSec();
        QCOMPARE(empty.count(), 1);
        QVERIFY(pc.combo()->isHidden());
        QCOMPARE(pc.combo()->count(), 0);
        QCOMPARE(pc.wifi.selectedKey(), QString());
    }

    void addressListAndSavedChoice()
    {
        QFrame frame;
        new QVBoxLayout(&frame);
        frame.hide();
        PopupHost popups(nullptr);
        WifiController::Widgets w;
        w.ipListFrame = &frame;
        w.popups = &popups;
        WifiPc pc(PcTiming(), w);
        WifiController &ctl = pc.controller;
        ctl.setAddressProvider([] {
            return QList<QHostAddress>{QHostAddress("127.0.0.1"), QHostAddress("192.168.7.3"),
                                       QHostAddress("::1"), QHostAddress("10.1.2.3")};
        });

        pc.connection.setModeForTesting(KeyConnection::Mode::Usb); // a key is connected: nothing is offered
        ctl.slot_iTimerShowIPList();
        QVERIFY(!ctl.ipList());
        pc.connection.setModeForTesting(KeyConnection::Mode::None);
        ctl.slot_iTimerShowIPList();
        QVERIFY(ctl.ipList());
        QCOMPARE(ctl.ipList()->count(), 2);
        QCOMPARE(ctl.ipList()->item(0)->text(), QStringLiteral("192.168.7.3"));
        QCOMPARE(ctl.ipList()->item(1)->text(), QStringLiteral("10.1.2.3"));
        QVERIFY(!frame.isHidden());
        QVERIFY(popups.question()->isVisible());
        QVERIFY(popups.question()->text().contains("Select connection point\nPlease select IP address\nof PC in network:\n"
                                                   "Then double click mouse left button\nfor apply and restart"));
        popups.question()->close();

        // The settings folder cannot be made: the choice is reported, the program stays.
        QSignalSpy closing(&ctl, SIGNAL(closeRequested()));
        QSignalSpy message(&ctl, SIGNAL(messageRequested(QString, QString)));
        // A warning the user must acknowledge, not a message that goes by itself.
        QSignalSpy warning(&ctl, &WifiController::warningRequested);
        QFile blocker(Paths::settingsDir());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        ctl.iLwIpList_onListDoubleClicked(ctl.ipList()->item(1));
        QCOMPARE(closing.count(), 0);
        QCOMPARE(message.count(), 0);
        QCOMPARE(warning.count(), 1);
        QCOMPARE(warning.first().at(0).toString(), QStringLiteral("Warning! File 'settings.ini' can't create!"));
        QCOMPARE(pc.data.pcAddress, QStringLiteral("127.0.0.1"));

        QVERIFY(QFile::remove(Paths::settingsDir()));
        ctl.iLwIpList_onListDoubleClicked(ctl.ipList()->item(1));
        QCOMPARE(closing.count(), 1);
        AppSettings saved;
        QCOMPARE(SettingsFile::load(Paths::settingsIni(), saved), SettingsFile::LoadResult::Loaded);
        QCOMPARE(saved.pcAddress, QStringLiteral("10.1.2.3"));
    }

};

QTEST_MAIN(TestWifi)
#include "tst_wifi.moc"
