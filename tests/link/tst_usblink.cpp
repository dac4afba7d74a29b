#include "LogCapture.h"
#include "base/cGlobalData.h"
#include "link/ComSlip.h"
#include "link/MemoryKeyPort.h"
#include "link/MyQueueTX.h"
#include "link/SlipCodec.h"
#include "link/UsbLink.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryFile>
#include <QtTest>

namespace {

const QByteArray kExampleFrame = QByteArray::fromHex("C030017B7D001AC0");

QList<UsbLink::PortEntry> keyPorts()
{
    return {{QStringLiteral("ttyS0"), QString()},
            {QStringLiteral("ttyACM0"), QStringLiteral("2907ABC")},
            {QStringLiteral("ttyACM1"), QStringLiteral("2906XYZ")}};
}

// A UsbLink on an in-memory port with short intervals. The link decides no mode; the rig
// plays the key connection's part where a case needs one.
struct Rig
{
    cGlobalData data;
    MemoryKeyPort port;
    UsbLink link;
    QList<UsbLink::PortEntry> ports = keyPorts();
    LinkMode mode = LinkMode::None;

    explicit Rig(int scanMs = 40, int replyMs = 80)
        : link(&data, &port, nullptr, scanMs, replyMs, 1000)
    {
        link.setPortLister([this] { return ports; });
        link.setModeSource([this] { return mode; });
    }
};

} // namespace

class TestUsbLink : public QObject
{
    Q_OBJECT
private slots:
    void findKeyPort()
    {
        using E = UsbLink::PortEntry;
        QCOMPARE(UsbLink::pickKeyPort({}), QString());
        QCOMPARE(UsbLink::pickKeyPort({E{"a", "2907"}, E{"b", "29071"}, E{"c", "2906"}}), QStringLiteral("b"));
        QCOMPARE(UsbLink::pickKeyPort({E{"a", "2906"}, E{"b", ""}, E{"c", "290"}, E{"d", " 2907"}}), QString());

        // --port wins over the search while its device file exists.
        Rig rig;
        QTemporaryFile device;
        QVERIFY(device.open());
        rig.data.portOverride = device.fileName();
        QCOMPARE(rig.link.FindKeyPort(), device.fileName());
        rig.data.portOverride = device.fileName() + QStringLiteral(".gone");
        QCOMPARE(rig.link.FindKeyPort(), QString());
        rig.data.portOverride.clear();
        QCOMPARE(rig.link.FindKeyPort(), QStringLiteral("ttyACM0"));
    }

    void scanOpensAndReceives()
    {
        LogCapture log;
        Rig rig;
        QSignalSpy connected(&rig.link, SIGNAL(usbKeyConnected()));
        QSignalSpy frames(&rig.link, SIGNAL(frameReceived(RxDataBuffer)));
        rig.link.TmrCheckSerialPorts();

        QCOMPARE(connected.count(), 1);
        QVERIFY(rig.link.comSlip());
        QCOMPARE(rig.data.serialPort, static_cast<KeyPort *>(&rig.port));
        QCOMPARE(rig.port.portName(), QStringLiteral("ttyACM0"));
        QCOMPARE(rig.port.baudRate(), 115200);
        QCOMPARE(rig.port.dataBits(), QSerialPort::Data8);
        QCOMPARE(rig.port.parity(), QSerialPort::NoParity);
        QCOMPARE(rig.port.stopBits(), QSerialPort::OneStop);
        QCOMPARE(rig.port.flowControl(), QSerialPort::NoFlowControl);
        QCOMPARE(rig.port.openMode(), QIODevice::ReadWrite);
        QCOMPARE(log.count(QStringLiteral("COM Opened!ttyACM0")), 1);
        QVERIFY(!rig.link.isScanArmed());

        // A frame split across reads, with noise before it.
        rig.port.feedReceived(QByteArray::fromHex("1122C0") + kExampleFrame.left(3));
        QCOMPARE(frames.count(), 0);
        rig.port.feedReceived(kExampleFrame.mid(3));
        QCOMPARE(frames.count(), 1);
        const RxDataBuffer f = frames.at(0).at(0).value<RxDataBuffer>();
        QCOMPARE(f.interfaceName, QString());
        QVERIFY(f.hostAddress.isNull());
        QCOMPARE(f.port, quint16(0));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(f.bytes()), f.length),
                 QByteArray::fromHex("30017B7D001A"));

        // A scan while connected to the same port changes nothing.
        rig.link.TmrCheckSerialPorts();
        QCOMPARE(connected.count(), 1);
        QCOMPARE(rig.port.openCount(), 1);
    }

    // Frames go out whole, one write each; the reply timer runs only for commands that
    // expect a reply.
    void writePath()
    {
        Rig rig(40, 5000);
        rig.link.TmrCheckSerialPorts();
        ComSlip *slip = rig.link.comSlip();
        QVERIFY(slip);
        QSignalSpy writes(&rig.port, SIGNAL(dataWritten(QByteArray)));

        slip->QueueCommand(0x30, 0x01, reinterpret_cast<const uchar *>("{}"), 3, 3, 1);
        QVERIFY(writes.wait(1000));
        QCOMPARE(writes.at(0).at(0).toByteArray(), kExampleFrame);
        QVERIFY(!slip->queue()->isReplyTimerActive());

        QByteArray payload(600, char(0xC0)); // stuffs to 1200 bytes: still one write
        slip->QueueCommand(0x31, 0x00, reinterpret_cast<const uchar *>(payload.constData()),
                           quint16(payload.size()), 3, 0);
        QVERIFY(writes.wait(1000));
        QCOMPARE(writes.count(), 2);
        QCOMPARE(writes.at(1).at(0).toByteArray(), SlipCodec::encode(0x31, 0x00, payload));
        QVERIFY(slip->queue()->isReplyTimerActive());
        QVERIFY(slip->queue()->isAwaitingReply());

        // The reply releases the next command at once.
        slip->QueueCommand(0x30, 0x01, reinterpret_cast<const uchar *>("{}"), 3, 3, 0);
        QTest::qWait(30);
        QCOMPARE(writes.count(), 2);
        slip->queue()->replyReceived(QString());
        QVERIFY(writes.wait(1000));
        QCOMPARE(writes.count(), 3);
        slip->queue()->clear();
    }

    // A frame that cannot fit the output buffer is not written at all (no cut frame on the
    // line), and the queue still moves on after the time-out.
    void oversizedFrameNotWritten()
    {
        LogCapture log;
        Rig rig(40, 40);
        rig.link.TmrCheckSerialPorts();
        ComSlip *slip = rig.link.comSlip();
        QByteArray payload(766, char(0xDB));
        slip->QueueCommand(0x31, 0x00, reinterpret_cast<const uchar *>(payload.constData()),
                           quint16(payload.size()), 3, 0);
        slip->QueueCommand(0x30, 0x01, reinterpret_cast<const uchar *>("{}"), 3, 3, 1);
        QSignalSpy writes(&rig.port, SIGNAL(dataWritten(QByteArray)));
        QVERIFY(writes.wait(2000));
        QCOMPARE(writes.count(), 1);
        QCOMPARE(writes.at(0).at(0).toByteArray(), kExampleFrame);
        QCOMPARE(log.count(QStringLiteral("exceeds the output buffer")), 2); // sent and resent
    }

    // Unplugging (ResourceError) closes the link; the scan finds the key again.
    void removalClosesAndRescans()
    {
        LogCapture log;
        Rig rig;
        QSignalSpy connected(&rig.link, SIGNAL(usbKeyConnected()));
        QSignalSpy lost(&rig.link, SIGNAL(keyLost()));
        QSignalSpy noKey(&rig.link, SIGNAL(enterNoKeyState()));
        rig.link.TmrCheckSerialPorts();
        QCOMPARE(connected.count(), 1);

        rig.ports.clear(); // unplugged
        rig.port.injectError(QSerialPort::ResourceError);
        QVERIFY(lost.wait(1000));
        QCOMPARE(rig.link.comSlip(), static_cast<ComSlip *>(nullptr));
        QVERIFY(!rig.port.isOpen());
        QCOMPARE(log.count(QStringLiteral("COM Disconnected")), 1);
        QCOMPARE(log.count(QStringLiteral("Com_handleError\t")), 1);
        QVERIFY(rig.link.isScanArmed());

        // Scans keep running every 40 ms while nothing is plugged in.
        QTRY_VERIFY(noKey.count() >= 3);
        rig.ports = keyPorts();
        QVERIFY(connected.wait(1000));
        QCOMPARE(rig.port.openCount(), 2);
        QVERIFY(rig.link.comSlip());
    }

    // A read error that fires over and over (a vanished pseudo-terminal) is handled like a
    // removal: one close, a couple of log lines, not one per signal.
    void readErrorFloodClosesOnce()
    {
        LogCapture log;
        Rig rig;
        QSignalSpy lost(&rig.link, SIGNAL(keyLost()));
        rig.link.TmrCheckSerialPorts();
        rig.ports.clear();
        for (int i = 0; i < 20000; ++i) {
            rig.port.injectError(QSerialPort::ReadError);
            rig.port.feedReceived(kExampleFrame); // readyRead keeps coming too
        }
        QVERIFY(lost.wait(1000));
        QTest::qWait(50);
        QCOMPARE(lost.count(), 1);
        QCOMPARE(log.count(QStringLiteral("Com_handleError")), 1);
        QVERIFY(log.count(QStringLiteral("ComSlip::handleReadyRead - ReadError")) <= 1);
        QVERIFY2(log.total() < 15, qPrintable(log.lines().join('\n')));
        QVERIFY(rig.link.isScanArmed());
    }

    // Any error still set at the next supervision tick closes the link as well.
    void persistingErrorClosesAtTick()
    {
        Rig rig(60);
        QSignalSpy lost(&rig.link, SIGNAL(keyLost()));
        rig.link.TmrCheckSerialPorts();
        QVERIFY(!rig.link.checkPortError());
        rig.port.injectError(QSerialPort::UnknownError); // once, and it stays set
        QCOMPARE(lost.count(), 0);
        QVERIFY(lost.wait(1000)); // the link's own tick
        QVERIFY(!rig.link.comSlip());

        // Called by supervision directly: true means "in error, nothing to send".
        rig.link.TmrCheckSerialPorts();
        QVERIFY(rig.link.comSlip());
        rig.port.injectError(QSerialPort::WriteError);
        QVERIFY(rig.link.checkPortError());
        QVERIFY(lost.wait(1000));
    }

    // While the port is in error nothing is read or written, but the queue does not stall.
    void portInErrorReadsAndWritesNothing()
    {
        LogCapture log;
        Rig rig(10000, 30);
        rig.link.TmrCheckSerialPorts();
        QSignalSpy frames(&rig.link, SIGNAL(frameReceived(RxDataBuffer)));
        QSignalSpy writes(&rig.port, SIGNAL(dataWritten(QByteArray)));
        rig.port.injectError(QSerialPort::TimeoutError);
        rig.port.feedReceived(kExampleFrame);
        rig.port.feedReceived(kExampleFrame);
        QCOMPARE(frames.count(), 0);

        ComSlip *slip = rig.link.comSlip();
        slip->QueueCommand(0x30, 0x01, reinterpret_cast<const uchar *>("{}"), 3, 3, 0);
        slip->QueueCommand(0x30, 0x01, reinterpret_cast<const uchar *>("{}"), 3, 3, 0);
        QTRY_COMPARE_WITH_TIMEOUT(slip->queue()->pendingCount(), 0, 2000);
        QTRY_COMPARE_WITH_TIMEOUT(log.count(QStringLiteral(" *** Error: Queue timer")), 4, 2000);
        QCOMPARE(writes.count(), 0);
        QCOMPARE(log.count(QStringLiteral("ComSlip::handleReadyRead - TimeoutError")), 1);
        QCOMPARE(log.count(QStringLiteral("ComSlip::SendByteSLIP - TimeoutError")), 1);
    }

    // A found port that cannot be opened is retried at the scan interval, not at once. Counted
    // against the time that really passed, so a slow machine (fewer scans) never fails it.
    void openFailureIsPaced()
    {
        LogCapture log;
        const int scanMs = 50;
        Rig rig(scanMs);
        rig.port.setOpenFails(true);
        QSignalSpy noKey(&rig.link, SIGNAL(enterNoKeyState()));
        QElapsedTimer t;
        t.start();
        rig.link.TmrCheckSerialPorts();
        QCOMPARE(noKey.count(), 1);
        QCOMPARE(log.count(QStringLiteral("COM Open error")), 1);
        QVERIFY(rig.link.isScanArmed());
        QTRY_VERIFY_WITH_TIMEOUT(log.count(QStringLiteral("COM Open error")) >= 4, 10000);
        const int tries = log.count(QStringLiteral("COM Open error"));
        // Timers may fire a little early; never a whole retry more than the interval allows.
        QVERIFY2((tries - 1) * scanMs * 9 / 10 <= t.elapsed(),
                 qPrintable(QStringLiteral("%1 tries in %2 ms").arg(tries).arg(t.elapsed())));
        QVERIFY(!rig.link.comSlip());

        rig.port.setOpenFails(false);
        QSignalSpy connected(&rig.link, SIGNAL(usbKeyConnected()));
        QVERIFY(connected.wait(1000));
    }

    void wifiBranches()
    {
        Rig rig;
        rig.ports.clear();
        QSignalSpy wifi(&rig.link, SIGNAL(wifiModeRequested()));
        QSignalSpy noKey(&rig.link, SIGNAL(enterNoKeyState()));

        // Not ready: no-key state.
        rig.link.TmrCheckSerialPorts();
        QCOMPARE(noKey.count(), 1);
        QCOMPARE(wifi.count(), 0);

        // Ready and not on USB: Wi-Fi is offered, no further scans.
        rig.data.wifiReady = true;
        rig.link.TmrCheckSerialPorts();
        QCOMPARE(wifi.count(), 1);
        QCOMPARE(noKey.count(), 1);
        QVERIFY(!rig.link.isScanArmed());

        // In Wi-Fi mode a plugged-in USB key is ignored.
        rig.mode = LinkMode::Wifi;
        rig.ports = keyPorts();
        rig.link.TmrCheckSerialPorts();
        QVERIFY(!rig.link.comSlip());
        QCOMPARE(rig.port.openCount(), 0);
        QCOMPARE(wifi.count() + noKey.count(), 2);

        // The USB key in use goes away with Wi-Fi ready: no key, not Wi-Fi, so the window
        // hears of the loss before anything else is taken.
        rig.mode = LinkMode::None;
        rig.link.TmrCheckSerialPorts();
        QVERIFY(rig.link.comSlip());
        rig.mode = LinkMode::Usb;
        rig.ports.clear();
        rig.link.TmrCheckSerialPorts();
        QVERIFY(!rig.link.comSlip());
        QCOMPARE(wifi.count(), 1);
        QCOMPARE(noKey.count(), 2);
    }

    // Closing the link from inside a frame handler (supervision deciding the key is lost)
    // must not touch the transport after it is gone; later frames go nowhere.
    void closeFromFrameHandler()
    {
        Rig rig;
        rig.link.TmrCheckSerialPorts();
        int seen = 0;
        connect(&rig.link, &UsbLink::frameReceived, &rig.link, [&](const RxDataBuffer &) {
            ++seen;
            rig.link.Com_closeSerialPort();
        });
        QPointer<ComSlip> slip = rig.link.comSlip();
        rig.port.feedReceived(kExampleFrame + kExampleFrame + kExampleFrame);
        QCOMPARE(seen, 1);
        QVERIFY(!rig.link.comSlip());
        QTRY_VERIFY(slip.isNull());
    }
};

QTEST_GUILESS_MAIN(TestUsbLink)
#include "tst_usblink.moc"
