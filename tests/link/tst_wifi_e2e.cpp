// The PC's Wi-Fi side against the keysim executable on the loopback: announcement to
// read-out, several keys and the choice between them, keys falling silent, frames over TCP.

#include "LogCapture.h"
#include "WifiRig.h"

#include "link/MyQueueTX.h"
#include "protocol/FileExchange.h"

#include "ui/frame/MainWindow.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
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

bool shows(const QLabel &label, const QString &resource)
{
    const QPixmap expected(resource);
    return !expected.isNull() && label.pixmap(Qt::ReturnByValue).toImage() == expected.toImage();
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
    void initTestCase() { MainWindow::initResources(); }

    void oneKeyIsReadOutOverWifi()
    {
        QFrame ipFrame;
        QLabel icon1, icon2, icon3, text;
        WifiController::Widgets w;
        w.ipListFrame = &ipFrame;
        w.linkIcon = &icon1;
        w.linkLogo = &icon2;
        w.spareIcon = &icon3;
        w.connectText = &text;
        WifiPc pc(PcTiming(), w);
        QSignalSpy mainForm(&pc.controller, SIGNAL(openMainFormRequested()));
        QVERIFY(pc.start());
        LogCapture log;
        KeysimWifi sim;
        QVERIFY(sim.start(1, pc, {"--announce", "0.1"}));
        const KeysimWifi::Key key = sim.keys.first();

        QTRY_VERIFY_WITH_TIMEOUT(mirrors(key), 20000);
        // Announcements every 0.1 s did not hold back the 0.2 s ready flag; the window shows
        // the Wi-Fi link.
        QCOMPARE(pc.connection.mode(), KeyConnection::Mode::Wifi);
        QCOMPARE(mainForm.count(), 1);
        QVERIFY(ipFrame.isHidden());
        QVERIFY(!pc.combo()->isHidden());
        QVERIFY(shows(icon1, ":resource/images/wifi.png"));
        QVERIFY(shows(icon2, ":resource/images/logo_wifi.png"));
        QCOMPARE(text.text(), QStringLiteral("Try to connect device to PC over Wi-Fi..."));
        QCOMPARE(pc.ids(), QStringList{key.mac});
        QCOMPARE(pc.wifi.selectedKey(), key.mac);
        QCOMPARE(pc.wifi.key(0).localPort, key.remotePort);
        QCOMPARE(pc.wifi.key(0).remotePort, key.localPort);
        // Announced over and over, registered once, answered every time.
        QTRY_VERIFY(log.count("\"function_name\":\"FE_WiFi_I_Am_Here\"") >= 5);
        QCOMPARE(log.count("NewUdpSocket ID"), 1);
        QCOMPARE(pc.combo()->count(), 1);
        QVERIFY(sim.requests(1).count("FE_WiFi_I_Am_Here") >= 4);
        QVERIFY(pc.supervisor.isRunning());
        // The key's names reached the model and its combo entry.
        QCOMPARE(pc.session.model()->names().keyName, pc.combo()->itemText(0));
        QVERIFY(pc.combo()->itemText(0).startsWith("Key 2907"));
        QVERIFY(sim.stoppedClean());
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
        QCOMPARE(pc.combo()->count(), 3);
        QVERIFY(!pc.combo()->isHidden());

        // The read-out of the first key has only begun when the user picks another.
        const QString first = pc.wifi.selectedKey();
        MyQueueTX *firstQueue = pc.wifi.queue(indexOf(pc, first));
        QVERIFY(firstQueue->pendingCount() > 0);
        KeysimWifi::Key second;
        for (const KeysimWifi::Key &k : sim.keys)
            if (k.mac != first && second.mac.isEmpty())
                second = k;
        pc.combo()->setCurrentIndex(indexOf(pc, second.mac));
        QCOMPARE(pc.wifi.selectedKey(), second.mac);
        QCOMPARE(firstQueue->pendingCount(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(mirrors(second), 20000);
        // The same key again, or a place past the list, starts nothing: a read-out would
        // leave most of its requests waiting in the queue.
        pc.controller.iWiFiKeyID_Click(indexOf(pc, second.mac));
        pc.controller.iWiFiKeyID_Click(7);
        QCOMPARE(pc.wifi.selectedKey(), second.mac);
        QCOMPARE(pc.wifi.queue(indexOf(pc, second.mac))->pendingCount(), 0);
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
        pc.combo()->setCurrentIndex(indexOf(pc, third.mac));
        QTRY_VERIFY_WITH_TIMEOUT(mirrors(third), 20000);
        QCOMPARE(pc.session.model()->names().keyName, pc.combo()->currentText());

        // The keys not in use stay in the status exchange.
        QTRY_VERIFY(sim.requests(firstIndex).count("FE_JsonNotification_Status") >= 3);
        QCOMPARE(pc.wifi.keyCount(), 3);
        QVERIFY(sim.stoppedClean());
    }

    void silentKeysAreForgotten()
    {
        PcTiming t;
        t.aliveTickMs = 200; // two seconds of silence
        WifiPc pc(t);
        QVERIFY(pc.start());
        KeysimWifi sim;
        QSignalSpy removed(&pc.wifi, SIGNAL(keyRemoved(QString)));
        // Announcing off the tick's beat: a key whose queue still holds the answer to an
        // announcement when a tick comes is skipped for that tick.
        QVERIFY(sim.start(3, pc, {"--announce", "0.23", "--silent-after", "3", "--silent-key", "2"}));
        QTRY_COMPARE(pc.wifi.keyCount(), 3);
        QTRY_VERIFY_WITH_TIMEOUT(pc.connection.mode() == KeyConnection::Mode::Wifi, 5000);

        QVERIFY(removed.wait(8000));
        QCOMPARE(removed.at(0).at(0).toString(), sim.keys.at(1).mac);
        // The others answer the status exchange and stay, well past a second.
        const int seen = sim.requests(3).count("FE_JsonNotification_Status");
        QTRY_VERIFY_WITH_TIMEOUT(sim.requests(3).count("FE_JsonNotification_Status") >= seen + 10, 8000);
        QStringList gone;
        for (const QList<QVariant> &r : removed)
            gone << r.at(0).toString();
        QCOMPARE(gone.join(" "), sim.keys.at(1).mac);
        QCOMPARE(pc.wifi.keyCount(), 2);
        QCOMPARE(pc.combo()->count(), 2);

        // All keys gone: the list empties, the combo hides, the window returns to no key.
        QSignalSpy empty(&pc.wifi, SIGNAL(combobox_empty()));
        QVERIFY(sim.stoppedClean());
        QVERIFY(empty.wait(5000));
        QVERIFY(pc.combo()->isHidden());
        QTRY_COMPARE(pc.connection.mode(), KeyConnection::Mode::None);
        QTRY_VERIFY(!pc.supervisor.isRunning());
        QVERIFY(!pc.data.wifiReady);
    }

    void framesOverTcp()
    {
        PcTiming t;
        t.aliveTickMs = 150; // a key whose frames went unrecognised would go within 1.5 s
        WifiPc pc(t);
        QVERIFY(pc.start());
        KeysimWifi sim;
        QVERIFY(sim.start(2, pc, {"--announce", "0.23", "--tcp"}));
        QTRY_COMPARE(pc.wifi.keyCount(), 2);
        const QString first = pc.wifi.selectedKey();
        const KeysimWifi::Key key = sim.keys.at(first == sim.keys.at(0).mac ? 0 : 1);
        // Both keys share 127.0.0.1: only each connection's own announcement tells them apart.
        QSignalSpy removed(&pc.wifi, SIGNAL(keyRemoved(QString)));
        QTRY_VERIFY_WITH_TIMEOUT(mirrors(key), 20000);
        QTRY_COMPARE(pc.wifi.tcpConnectionCount(), 2);
        // The other key answers its status requests over TCP only, and stays.
        const KeysimWifi::Key other = sim.keys.at(key.index == 1 ? 1 : 0);
        QTRY_VERIFY_WITH_TIMEOUT(sim.requests(other.index).count("FE_JsonNotification_Status") >= 15, 10000);
        QCOMPARE(removed.count(), 0);
        QCOMPARE(pc.wifi.keyCount(), 2);
        QVERIFY(sim.stoppedClean());
    }
};

QTEST_MAIN(TestWifiE2e)
#include "tst_wifi_e2e.moc"
