// The key connection as one object: a USB key on an in-memory port and a Wi-Fi key on a
// loopback socket, one after the other, with the mode it reports and the read-outs it runs.

#include "LogCapture.h"
#include "WifiRig.h"
#include "base/cGlobalData.h"
#include "link/MemoryKeyPort.h"
#include "link/UsbLink.h"
#include "link/WifiKeyListModel.h"
#include "link/cWifi.h"
#include "protocol/ConnectionSupervisor.h"
#include "protocol/KeyConnection.h"
#include "protocol/KeySender.h"
#include "protocol/KeySession.h"

#include <QSignalSpy>
#include <QtTest>

using namespace wifitest;
using Mode = KeyConnection::Mode;

namespace {

struct Pc
{
    DataRoot root;
    cGlobalData data;
    MemoryKeyPort port;
    QList<UsbLink::PortEntry> ports;
    quint16 announcePort = freeUdpPort();
    quint16 tcpPort = freeTcpPort();
    KeyConnection connection;

    static KeyConnection::Options options(MemoryKeyPort *port, quint16 announce, quint16 tcp,
                                          int wifiReadyMs)
    {
        KeyConnection::Options o;
        o.port = port;
        o.pcAddress = QStringLiteral("127.0.0.1");
        o.announcePort = announce;
        o.tcpPort = tcp;
        o.scanRearmMs = 40;
        o.statusTickMs = 3600 * 1000; // no status traffic to count around
        o.wifiReadyMs = wifiReadyMs;
        o.rescanDelayMs = 40;
        o.replyTimeoutMs = 10000; // an unanswered request is not sent again meanwhile
        o.fileListTickMs = 20;
        o.progressTickMs = 200;
        return o;
    }

    explicit Pc(int wifiReadyMs = 100)
        : connection(&data, options(&port, announcePort, tcpPort, wifiReadyMs))
    {
        connection.usb()->setPortLister([this] { return ports; });
    }

    // The key's USB port as the port enumeration lists it.
    void plugUsb() { ports = {{QStringLiteral("ttyACM0"), QStringLiteral("2907ABC")}}; }

    int usbRequests(const char *function) const
    {
        int n = 0;
        for (const QByteArray &w : port.writes())
            n += w.count(function);
        return n;
    }
};

QList<Mode> modes(const QSignalSpy &spy)
{
    QList<Mode> out;
    for (const QList<QVariant> &args : spy)
        out.append(args.at(0).value<Mode>());
    return out;
}

// What the links and the supervision report, by the names a decision row uses.
void report(KeyConnection &c, const QString &event)
{
    if (event == QLatin1String("usbOpened"))
        emit c.usb()->usbKeyConnected();
    else if (event == QLatin1String("usbLost"))
        emit c.usb()->keyLost();
    else if (event == QLatin1String("noKey"))
        emit c.usb()->enterNoKeyState();
    else if (event == QLatin1String("wifiReady"))
        emit c.usb()->wifiModeRequested();
    else if (event == QLatin1String("wifiGone"))
        emit c.supervisor()->wifiKeysGone();
    else
        QFAIL(qPrintable(QStringLiteral("no such event: ") + event));
}

} // namespace

class TestKeyConnection : public QObject
{
    Q_OBJECT

private slots:
    // The mode after each reported event, every change announced once, and what the links
    // and the sender read is that same mode.
    void modeDecidedFromLinkEvents_data()
    {
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QList<Mode>>("after");
        QTest::addColumn<QList<Mode>>("announced");
        QTest::addColumn<int>("readOuts");
        const Mode N = Mode::None, U = Mode::Usb, W = Mode::Wifi;

        QTest::newRow("USB key plugged, then unplugged")
            << QStringList{"usbOpened", "usbLost", "noKey"} << QList<Mode>{U, N, N} << QList<Mode>{U, N} << 1;
        QTest::newRow("Wi-Fi list taken, then run empty")
            << QStringList{"wifiReady", "wifiGone", "noKey"} << QList<Mode>{W, N, N} << QList<Mode>{W, N} << 1;
        QTest::newRow("USB port opened while Wi-Fi is in use")
            << QStringList{"wifiReady", "usbOpened"} << QList<Mode>{W, U} << QList<Mode>{W, U} << 2;
        QTest::newRow("Wi-Fi keys lost while USB is in use")
            << QStringList{"usbOpened", "wifiGone"} << QList<Mode>{U, U} << QList<Mode>{U} << 1;
        QTest::newRow("Wi-Fi offered while USB is in use")
            << QStringList{"usbOpened", "wifiReady"} << QList<Mode>{U, U} << QList<Mode>{U} << 1;
        QTest::newRow("USB loss heard while Wi-Fi is in use")
            << QStringList{"wifiReady", "usbLost"} << QList<Mode>{W, W} << QList<Mode>{W} << 1;
        QTest::newRow("both unplugged, USB last")
            << QStringList{"usbOpened", "wifiGone", "usbLost", "noKey"} << QList<Mode>{U, U, N, N}
            << QList<Mode>{U, N} << 1;
        QTest::newRow("both unplugged, Wi-Fi last")
            << QStringList{"wifiReady", "usbLost", "wifiGone", "noKey"} << QList<Mode>{W, W, N, N}
            << QList<Mode>{W, N} << 1;
        QTest::newRow("losses before any key")
            << QStringList{"usbLost", "wifiGone", "noKey", "noKey"} << QList<Mode>{N, N, N, N} << QList<Mode>{} << 0;
        // A port opened again is another key, read out again; the Wi-Fi list offered again is
        // the same list.
        QTest::newRow("repeated reports")
            << QStringList{"usbOpened", "usbOpened", "usbLost", "usbLost", "wifiReady", "wifiReady"}
            << QList<Mode>{U, U, N, N, W, W} << QList<Mode>{U, N, W} << 3;
        QTest::newRow("USB lost, then Wi-Fi taken without a no-key report")
            << QStringList{"usbOpened", "usbLost", "wifiReady"} << QList<Mode>{U, N, W} << QList<Mode>{U, N, W} << 2;
    }

    void modeDecidedFromLinkEvents()
    {
        QFETCH(QStringList, events);
        QFETCH(QList<Mode>, after);
        QFETCH(QList<Mode>, announced);
        QFETCH(int, readOuts);

        Pc pc;
        QSignalSpy modeSpy(&pc.connection, &KeyConnection::modeChanged);
        KeySender *sender = pc.connection.session()->sender();
        for (int i = 0; i < events.size(); ++i) {
            report(pc.connection, events.at(i));
            QCOMPARE(pc.connection.mode(), after.at(i));
            QCOMPARE(int(sender->mode()), int(after.at(i)));
            QCOMPARE(int(pc.connection.modeSource()()), int(after.at(i)));
        }
        QCOMPARE(modes(modeSpy), announced);
        QCOMPARE(pc.connection.readOutCount(), readOuts);
    }

    // The real scan: a USB key plugged in while a Wi-Fi key is in use waits; once the Wi-Fi
    // list is gone, the next scan takes USB although Wi-Fi is still ready.
    void usbKeyWaitsForTheWifiKeyThenWins()
    {
        Pc pc;
        QVERIFY(pc.connection.startWifi());
        pc.connection.startScanning();
        HandKey key(QStringLiteral("AA:BB:CC:00:00:03"));
        key.announce(pc.announcePort);
        QTRY_COMPARE(pc.connection.mode(), Mode::Wifi);

        QSignalSpy modeSpy(&pc.connection, &KeyConnection::modeChanged);
        pc.plugUsb();
        pc.connection.startScanning();
        QCOMPARE(pc.connection.mode(), Mode::Wifi);
        QVERIFY(!pc.port.isOpen());

        report(pc.connection, QStringLiteral("wifiGone"));
        QVERIFY(pc.data.wifiReady);
        pc.connection.startScanning();
        QCOMPARE(pc.connection.mode(), Mode::Usb);
        QVERIFY(pc.port.isOpen());
        QCOMPARE(modes(modeSpy), (QList<Mode>{Mode::None, Mode::Usb}));
    }

    void usbKeyThenLostThenWifiKey()
    {
        Pc pc;
        QSignalSpy modeSpy(&pc.connection, &KeyConnection::modeChanged);
        QSignalSpy readOuts(&pc.connection, &KeyConnection::readOutStarted);
        QSignalSpy inUse(&pc.connection, &KeyConnection::keyInUse);
        QSignalSpy noKey(&pc.connection, &KeyConnection::noKey);
        QVERIFY(pc.connection.startWifi());

        // A USB key: found by the first scan, read out once.
        pc.plugUsb();
        pc.connection.startScanning();
        QCOMPARE(pc.connection.mode(), Mode::Usb);
        QVERIFY(pc.port.isOpen());
        QCOMPARE(readOuts.count(), 1);
        QTRY_COMPARE(pc.usbRequests("FE_KeyName_Read"), 1);

        // Unplugged: the link closes, the window hears "no key", the scan runs again.
        pc.ports.clear();
        pc.port.injectError(QSerialPort::ResourceError);
        QTRY_COMPARE(pc.connection.mode(), Mode::None);
        QTRY_VERIFY(noKey.count() >= 1);
        QVERIFY(!pc.port.isOpen());
        QVERIFY(pc.connection.usb()->isScanArmed());

        // A Wi-Fi key announces itself; once the link is ready the scan switches to it.
        HandKey key(QStringLiteral("AA:BB:CC:00:00:01"));
        key.announce(pc.announcePort, QStringLiteral("Wrench 7"));
        QTRY_COMPARE(pc.connection.wifiKeys()->rowCount(), 1);
        QTRY_COMPARE(pc.connection.mode(), Mode::Wifi);
        QTRY_COMPARE(key.countReceived("FE_KeyName_Read"), 1);

        QCOMPARE(modes(modeSpy), (QList<Mode>{Mode::Usb, Mode::None, Mode::Wifi}));
        QCOMPARE(modes(inUse), (QList<Mode>{Mode::Usb, Mode::Wifi}));
        QCOMPARE(modes(readOuts), (QList<Mode>{Mode::Usb, Mode::Wifi}));
        QCOMPARE(pc.connection.readOutCount(), 2);
        // Nothing more was read from either key while things settled.
        QTest::qWait(200);
        QCOMPARE(pc.usbRequests("FE_KeyName_Read"), 1);
        QCOMPARE(key.countReceived("FE_KeyName_Read"), 1);
        QCOMPARE(pc.connection.readOutCount(), 2);
        QCOMPARE(pc.connection.wifiKeys()->identifier(0), key.mac);
        QCOMPARE(pc.connection.wifiKeys()->text(0), QStringLiteral("Wrench 7"));
    }

    void usbKeyPluggedInAfterAnAnnouncementIsFound()
    {
        // The Wi-Fi link is not ready for a long while: only the USB key can be taken.
        Pc pc(3600 * 1000);
        QVERIFY(pc.connection.startWifi());
        pc.connection.startScanning();
        QCOMPARE(pc.connection.mode(), Mode::None);

        // On the no-key page a Wi-Fi key announces itself, and the key is plugged in before
        // the next scan: the scan must neither stop nor pass over the USB key.
        HandKey key(QStringLiteral("AA:BB:CC:00:00:02"));
        key.announce(pc.announcePort);
        QTRY_COMPARE(pc.connection.wifi()->keyCount(), 1);
        QCOMPARE(pc.connection.mode(), Mode::None);
        pc.plugUsb();
        QTRY_COMPARE(pc.connection.mode(), Mode::Usb);
        QVERIFY(pc.port.isOpen());
        QCOMPARE(pc.connection.readOutCount(), 1);
    }

    void choosingAnotherWifiKeyReadsItOut()
    {
        Pc pc;
        QVERIFY(pc.connection.startWifi());
        pc.connection.startScanning();
        HandKey a(QStringLiteral("AA:00:00:00:00:0A")), b(QStringLiteral("BB:00:00:00:00:0B"));
        a.announce(pc.announcePort, QStringLiteral("A"));
        QTRY_COMPARE(pc.connection.mode(), Mode::Wifi);
        b.announce(pc.announcePort, QStringLiteral("B"));
        QTRY_COMPARE(pc.connection.wifiKeys()->rowCount(), 2);
        QCOMPARE(pc.connection.readOutCount(), 1);

        QSignalSpy readOuts(&pc.connection, &KeyConnection::readOutStarted);
        pc.connection.iWiFiKeyID_Click(1);
        QCOMPARE(readOuts.count(), 1);
        QCOMPARE(pc.connection.wifi()->selectedKey(), b.mac);
        QTRY_COMPARE(b.countReceived("FE_KeyName_Read"), 1);
        // The key already chosen, or a row past the list, starts nothing.
        pc.connection.iWiFiKeyID_Click(1);
        pc.connection.iWiFiKeyID_Click(5);
        QCOMPARE(readOuts.count(), 1);
    }
};

QTEST_MAIN(TestKeyConnection)
#include "tst_keyconnection.moc"
