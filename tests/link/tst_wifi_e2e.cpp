// The PC's Wi-Fi side against the keysim executable on the loopback: announcement to
// read-out, several keys and the choice between them, keys falling silent, frames over TCP.

#include "LogCapture.h"
#include "WifiRig.h"

#include "link/MyQueueTX.h"
#include "protocol/FileExchange.h"

#include <QComboBox>
#include <QSignalSpy>

using namespace wifitest;

namespace {

// The mirror holds exactly the key's folders, byte for byte.
bool mirrors(const KeysimWifi::Key &key)
{
    for (const QString folder : {"dbsett", "templates"}) {
        const auto onKey = folderFiles(key.root + '/' + folder);
        if (onKey.isEmpty() || folderFiles(Paths::downloadDir(folder)) != onKey)
            return false;
    }
    return true;
}

int indexOf(const WifiPc &pc, const QString &mac)
{
    return pc.wifi.findKey(mac);
}

} // namespace

class TestWifiE2e : public QObject
{
    Q_OBJECT

private slots:
    void oneKeyIsReadOutOverWifi()
    {
        WifiPc pc;
        QVERIFY(pc.start());
        LogCapture log;
        KeysimWifi sim;
        QVERIFY(sim.start(1, pc, {"--announce", "0.1"}));
        const KeysimWifi::Key key = sim.keys.first();

        QTRY_VERIFY_WITH_TIMEOUT(mirrors(key), 20000);
        QCOMPARE(pc.data.currentInterface, quint8(2));
        QCOMPARE(pc.ids(), QStringList{key.mac});
        QCOMPARE(pc.wifi.selectedKey(), key.mac);
        QCOMPARE(pc.wifi.key(0).localPort, key.remotePort);
        QCOMPARE(pc.wifi.key(0).remotePort, key.localPort);
        // Announced over and over, registered once, answered every time.
        QTRY_VERIFY(log.count("\"function_name\":\"FE_WiFi_I_Am_Here\"") >= 5);
        QCOMPARE(log.count("NewUdpSocket ID"), 1);
        QCOMPARE(pc.wifi.comboBox()->count(), 1);
        QVERIFY(sim.requests(1).count("FE_WiFi_I_Am_Here") >= 4);
        QVERIFY(pc.supervisor.isRunning());
        // The key's names reached the model and its combo entry.
        QCOMPARE(pc.session.model()->names().keyName, pc.wifi.comboBox()->itemText(0));
        QVERIFY(pc.wifi.comboBox()->itemText(0).startsWith("Key 2907"));
    }

    void threeKeysAndTheChoiceBetweenThem()
    {
        WifiPc pc;
        QVERIFY(pc.start());
        KeysimWifi sim;
        QSignalSpy switched(&pc.usb, SIGNAL(wifiModeRequested()));
        QVERIFY(sim.start(3, pc, {"--announce", "0.1"}));
        QVERIFY(switched.wait(10000));
        QTRY_COMPARE(pc.wifi.keyCount(), 3);
        QCOMPARE(pc.wifi.comboBox()->count(), 3);
        QVERIFY(!pc.wifi.comboBox()->isHidden());

        // The read-out of the first key has only begun when the user picks another.
        const QString first = pc.wifi.selectedKey();
        MyQueueTX *firstQueue = pc.wifi.queue(indexOf(pc, first));
        QVERIFY(firstQueue->pendingCount() > 0);
        KeysimWifi::Key second;
        for (const KeysimWifi::Key &k : sim.keys)
            if (k.mac != first && second.mac.isEmpty())
                second = k;
        pc.wifi.comboBox()->setCurrentIndex(indexOf(pc, second.mac));
        QCOMPARE(pc.wifi.selectedKey(), second.mac);
        QCOMPARE(firstQueue->pendingCount(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(mirrors(second), 20000);
        const int firstIndex = [&] {
            for (const KeysimWifi::Key &k : sim.keys)
                if (k.mac == first)
                    return k.index;
            return 0;
        }();
        // The first key never got to its files.
        QVERIFY(sim.requests(firstIndex).filter("FA_").isEmpty());
        QVERIFY(sim.requests(second.index).contains("FE_KeyName_Read"));

        // And the third, chosen while all is quiet.
        KeysimWifi::Key third;
        for (const KeysimWifi::Key &k : sim.keys)
            if (k.mac != first && k.mac != second.mac)
                third = k;
        pc.wifi.comboBox()->setCurrentIndex(indexOf(pc, third.mac));
        QTRY_VERIFY_WITH_TIMEOUT(mirrors(third), 20000);
        QCOMPARE(pc.session.model()->names().keyName, pc.wifi.comboBox()->currentText());

        // The keys not in use stay in the status exchange.
        QTRY_VERIFY(sim.requests(firstIndex).count("FE_JsonNotification_Status") >= 3);
        QCOMPARE(pc.wifi.keyCount(), 3);
    }

    void silentKeysAreForgotten()
    {
        PcTiming t;
        t.aliveTickMs = 100; // one second of silence
        WifiPc pc(t);
        QVERIFY(pc.start());
        LogCapture log;
        KeysimWifi sim;
        QSignalSpy removed(&pc.wifi, SIGNAL(keyRemoved(QString)));
        QVERIFY(sim.start(3, pc, {"--announce", "0.1", "--silent-after", "2", "--silent-key", "2"}));
        QTRY_COMPARE(pc.wifi.keyCount(), 3);
        QTRY_VERIFY_WITH_TIMEOUT(pc.data.currentInterface == 2, 5000);

        QVERIFY(removed.wait(5000));
        QCOMPARE(removed.at(0).at(0).toString(), sim.keys.at(1).mac);
        // The others answer the status exchange and stay, well past a second.
        const int seen = sim.requests(3).count("FE_JsonNotification_Status");
        QTRY_VERIFY_WITH_TIMEOUT(sim.requests(3).count("FE_JsonNotification_Status") >= seen + 10, 8000);
        QCOMPARE(removed.count(), 1);
        QCOMPARE(pc.wifi.keyCount(), 2);
        QCOMPARE(pc.wifi.comboBox()->count(), 2);

        // What its queue had already handed over goes nowhere.
        QueueElement late;
        late.interfaceName = sim.keys.at(1).mac;
        late.hostAddress = QHostAddress(QHostAddress::LocalHost);
        late.port = sim.keys.at(1).localPort;
        late.packetClass = 0x30;
        late.subCode = 0x01;
        pc.wifi.SendCommandToUART_QueueElement(late);
        QCOMPARE(log.count("ERROR: SendDataToWiFi " + sim.keys.at(1).mac), 1);

        // All keys gone: the list empties, the combo hides, the window returns to no key.
        QSignalSpy empty(&pc.wifi, SIGNAL(combobox_empty()));
        sim.stop();
        QVERIFY(empty.wait(5000));
        QVERIFY(pc.wifi.comboBox()->isHidden());
        QTRY_COMPARE(pc.data.currentInterface, quint8(0));
        QTRY_VERIFY(!pc.supervisor.isRunning());
        QVERIFY(!pc.data.wifiReady);
    }

    void framesOverTcp()
    {
        PcTiming t;
        t.aliveTickMs = 100; // a key whose frames went unrecognised would go within a second
        WifiPc pc(t);
        QVERIFY(pc.start());
        KeysimWifi sim;
        QVERIFY(sim.start(2, pc, {"--announce", "0.1", "--tcp"}));
        QTRY_COMPARE(pc.wifi.keyCount(), 2);
        const QString first = pc.wifi.selectedKey();
        const KeysimWifi::Key key = sim.keys.at(first == sim.keys.at(0).mac ? 0 : 1);
        // Both keys share 127.0.0.1: only each connection's own announcement tells them apart.
        QSignalSpy removed(&pc.wifi, SIGNAL(keyRemoved(QString)));
        QTRY_VERIFY_WITH_TIMEOUT(mirrors(key), 20000);
        QTRY_COMPARE(pc.wifi.tcpConnectionCount(), 2);
        // The other key answers its status requests over TCP only, and stays.
        const KeysimWifi::Key other = sim.keys.at(key.index == 1 ? 1 : 0);
        QTRY_VERIFY_WITH_TIMEOUT(sim.requests(other.index).count("FE_JsonNotification_Status") >= 12, 10000);
        QCOMPARE(removed.count(), 0);
        QCOMPARE(pc.wifi.keyCount(), 2);
    }
};

QTEST_MAIN(TestWifiE2e)
#include "tst_wifi_e2e.moc"
