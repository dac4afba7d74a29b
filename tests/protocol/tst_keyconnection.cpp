// The key connection as one object: a USB key on an in-memory port and a Wi-Fi key on a
// loopback socket, one after the other, with the mode it reports and the read-outs it runs.

#include "LogCapture.h"
#include "WifiRig.h"
#include "base/cGlobalData.h"
#include "link/MemoryKeyPort.h"
#include "link/UsbLink.h"
#include "link/WifiKeyListModel.h"
#include "link/cWifi.h"
#include "protocol/KeyConnection.h"

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

} // namespace

class TestKeyConnection : public QObject
{
    Q_OBJECT

private slots:
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
