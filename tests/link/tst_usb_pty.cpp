#include "LogCapture.h"
#include "PtyPair.h"
#include "base/cGlobalData.h"
#include "link/ComSlip.h"
#include "link/KeyPort.h"
#include "link/SerialKeyPort.h"
#include "link/SlipCodec.h"
#include "link/UsbLink.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSignalSpy>
#include <QtTest>

// The USB link against a real pseudo-terminal: open through --port, frames both ways,
// and the far end going away.
class TestUsbPty : public QObject
{
    Q_OBJECT
private slots:
    void linkOverPseudoTerminal()
    {
        LogCapture log;
        auto pty = std::make_unique<PtyPair>();
        QVERIFY(pty->isValid());

        cGlobalData data;
        data.portOverride = pty->slaveName();
        const int scanMs = 100;
        UsbLink link(&data, nullptr, nullptr, scanMs, 500, 1000);
        QVERIFY(data.serialPort);
        QSignalSpy connected(&link, SIGNAL(usbKeyConnected()));
        QSignalSpy frames(&link, SIGNAL(frameReceived(RxDataBuffer)));
        QSignalSpy lost(&link, SIGNAL(keyLost()));
        QSignalSpy noKey(&link, SIGNAL(enterNoKeyState()));

        link.TmrCheckSerialPorts();
        QCOMPARE(connected.count(), 1);
        QVERIFY(link.comSlip());

        // Key → PC.
        QVERIFY(pty->write(QByteArray::fromHex("C030017B7D001AC0")));
        QVERIFY(frames.wait(2000));
        const RxDataBuffer f = frames.at(0).at(0).value<RxDataBuffer>();
        QCOMPARE(f.interfaceName, QString());
        QVERIFY(f.hostAddress.isNull());
        QCOMPARE(f.port, quint16(0));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(f.bytes()), f.length),
                 QByteArray::fromHex("30017B7D001A"));

        // A scan while connected leaves the link alone.
        ComSlip *slip = link.comSlip();
        link.TmrCheckSerialPorts();
        QCOMPARE(connected.count(), 1);
        QCOMPARE(link.comSlip(), slip);

        // PC → key, with bytes that need stuffing.
        const QByteArray payload = QByteArray("{\"x\":1}") + char(0xC0) + char(0xDB) + '\0';
        link.comSlip()->QueueCommand(0x30, 0x01, reinterpret_cast<const uchar *>(payload.constData()),
                                     quint16(payload.size()), 3, 1);
        QByteArray received;
        const QByteArray expected = SlipCodec::encode(0x30, 0x01, payload);
        QTRY_VERIFY_WITH_TIMEOUT((received += pty->readAvailable()).size() >= expected.size(), 2000);
        QCOMPARE(received, expected);

        // The far end goes away: the link closes once and scanning resumes at its pace.
        log.clear();
        pty->closeMaster();
        QVERIFY(lost.wait(3000));
        QVERIFY(!link.comSlip());
        QVERIFY(!data.serialPort->isOpen());
        // At its pace: counted against the time that really passed, so a loaded machine that
        // scans less often never fails it, while scanning faster than the interval does.
        const int scansBefore = noKey.count();
        QElapsedTimer paced;
        paced.start();
        QTRY_VERIFY_WITH_TIMEOUT(noKey.count() - scansBefore >= 5, 20000);
        const int scans = noKey.count() - scansBefore;
        QVERIFY2((scans - 1) * scanMs * 9 / 10 <= paced.elapsed(),
                 qPrintable(QStringLiteral("%1 scans in %2 ms").arg(scans).arg(paced.elapsed())));
        QCOMPARE(lost.count(), 1);
        qInfo().noquote() << "after the far end closed:\n" + log.lines().join('\n');
        QVERIFY2(log.total() < 30, qPrintable(log.lines().join('\n')));
        QVERIFY(log.count(QStringLiteral("Com_handleError")) <= 2);
        QVERIFY(!QFileInfo::exists(pty->slaveName()));
        QCOMPARE(link.FindKeyPort(), QString());

        // A new key (pseudo-terminal) is found by the running scan.
        PtyPair second;
        QVERIFY(second.isValid());
        data.portOverride = second.slaveName();
        QVERIFY(connected.wait(2000));
        QCOMPARE(connected.count(), 2);
        QVERIFY(second.write(QByteArray::fromHex("C000C0")));
        QVERIFY(frames.wait(2000));
        QCOMPARE(frames.last().at(0).value<RxDataBuffer>().length, 1);
    }

    // Frames are written straight to the terminal while nothing waits in the port's buffer.
    // What a full terminal does not take, and every write queued behind it, must still
    // reach the key whole and in order once the far end reads.
    void writesPastAFullTerminalKeepTheirOrder()
    {
        PtyPair pty;
        QVERIFY(pty.isValid());
        SerialKeyPort port;
        port.setPortName(pty.slaveName());
        QVERIFY(port.open(QIODevice::ReadWrite));
        QByteArray expected;
        for (int chunk = 0; chunk < 6; ++chunk) {
            QByteArray bytes(20000, '\0');
            for (int i = 0; i < bytes.size(); ++i)
                bytes[i] = char('a' + (chunk * 7 + i) % 26);
            QCOMPARE(port.write(bytes), qint64(bytes.size()));
            expected += bytes;
        }
        QByteArray got;
        QElapsedTimer t;
        t.start();
        while (got.size() < expected.size() && t.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            got += pty.readAvailable();
        }
        QCOMPARE(got.size(), expected.size());
        QVERIFY(got == expected);
        QCOMPARE(port.error(), QSerialPort::NoError);
    }
};

QTEST_GUILESS_MAIN(TestUsbPty)
#include "tst_usb_pty.moc"
