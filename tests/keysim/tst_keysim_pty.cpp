// The real keysim binary on its pseudo-terminal, opened as the PC opens the key's port.
#include "link/SlipCodec.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString keysimBinary()
{
    return qEnvironmentVariable("TD_BUILD_DIR", QStringLiteral(".")) + QStringLiteral("/keysim");
}

QByteArray request(const QByteArray &json)
{
    return SlipCodec::encode(0x30, 0x01, json + QByteArray(1, '\0'));
}

// One keysim process and the port it serves.
struct Sim
{
    QTemporaryDir root;
    QProcess process;
    QSerialPort port;
    QList<RxDataBuffer> frames;
    SlipReceiver rx{[this](const RxDataBuffer &f) { frames.append(f); }};
    QString device;

    bool start(const QStringList &extra)
    {
        QProcess make;
        make.start(keysimBinary(), {"make-key", "--root", root.path(), "--records", "3", "--measures", "2",
                                    "--seed", "11"});
        if (!make.waitForFinished(20000) || make.exitCode() != 0) {
            qWarning() << "make-key failed" << make.readAllStandardError();
            return false;
        }
        process.start(keysimBinary(), QStringList{"--root", root.path()} + extra);
        if (!process.waitForStarted(10000))
            return false;
        while (!process.canReadLine()) {
            if (!process.waitForReadyRead(10000))
                return false;
        }
        device = QString::fromUtf8(process.readLine()).trimmed();
        port.setPortName(device);
        port.setBaudRate(115200);
        port.setDataBits(QSerialPort::Data8);
        port.setParity(QSerialPort::NoParity);
        port.setStopBits(QSerialPort::OneStop);
        port.setFlowControl(QSerialPort::NoFlowControl);
        return port.open(QIODevice::ReadWrite);
    }

    // Waits for the next frame from the key (up to timeoutMs) and takes it.
    bool next(RxDataBuffer *frame, int timeoutMs = 5000)
    {
        QElapsedTimer t;
        t.start();
        while (frames.isEmpty() && t.elapsed() < timeoutMs) {
            if (port.bytesAvailable() == 0 && !port.waitForReadyRead(int(qMax<qint64>(1, timeoutMs - t.elapsed()))))
                break;
            rx.feed(port.readAll(), QStringLiteral("USB"), QHostAddress(), 0);
        }
        if (frames.isEmpty())
            return false;
        *frame = frames.takeFirst();
        return true;
    }

    static QJsonObject json(const RxDataBuffer &f)
    {
        if (f.length < 4 || f.data[0] != 0x30)
            return {};
        const QByteArray text(reinterpret_cast<const char *>(f.data.data()) + 2);
        return QJsonDocument::fromJson(text).object();
    }

    // Ends the process and says whether it ran clean: under the sanitizers a fault in the
    // key shows only in its own error output.
    bool stop()
    {
        port.close();
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            if (!process.waitForFinished(5000))
                process.kill();
            process.waitForFinished(5000);
        }
        const QByteArray err = process.readAllStandardError();
        if (err.contains("Sanitizer") || err.contains("runtime error")) {
            qWarning().noquote() << err;
            return false;
        }
        return true;
    }

    ~Sim() { stop(); }
};

} // namespace

class TestKeysimPty : public QObject
{
    Q_OBJECT
private slots:
    void statusAndListingRoundTrip();
    void droppedReplyAndLatency();
    void linePacing();
    void silenceAfterTime();
    void unplugEndsTheLine();
};

void TestKeysimPty::statusAndListingRoundTrip()
{
    Sim sim;
    const QString log = sim.root.filePath("requests.log");
    const QString portFile = sim.root.filePath("port.txt");
    QVERIFY(sim.start({"--log", log, "--port-file", portFile}));
    QVERIFY(sim.device.startsWith("/dev/"));

    sim.port.write(request(R"({"function_name":"FE_JsonNotification_Status","KeyInFocus":1,"PCMenu":3,"TestConnectCounter":10})"));
    RxDataBuffer f;
    QVERIFY(sim.next(&f));
    const QJsonObject status = Sim::json(f);
    QCOMPARE(status.value("function_name").toString(), QStringLiteral("FE_JsonNotification_Status"));
    for (const char *key : {"StateMachine", "WifiBattery", "WifiRSSI", "MeasureRotationStatus"})
        QVERIFY(status.contains(key));

    // A folder listing as a file command: a 140-byte header each way.
    QByteArray header(140, '\0');
    header.replace(0, 7, "/dbsett");
    header[128] = char(77);
    sim.port.write(SlipCodec::encode(0x31, 0x00, header));
    QVERIFY(sim.next(&f));
    QCOMPARE(int(f.data[0]), 0x31);
    QCOMPARE(int(f.data[2 + 129]), 0); // complete in one part
    const int length = f.data[2 + 136] | (f.data[2 + 137] << 8);
    const QByteArray listing(reinterpret_cast<const char *>(f.data.data()) + 2 + 140, length);
    QCOMPARE(listing.count('\n'), 3);

    QFile pf(portFile);
    QVERIFY(pf.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(pf.readAll()).trimmed(), sim.device);
    QFile lf(log);
    QVERIFY(lf.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(lf.readAll()),
             QStringLiteral("FE_JsonNotification_Status\nFA_READ_DIR dbsett\n"));
    QVERIFY(sim.stop());
}

void TestKeysimPty::droppedReplyAndLatency()
{
    Sim sim;
    QVERIFY(sim.start({"--drop-every", "2", "--latency", "300"}));
    RxDataBuffer f;
    QElapsedTimer t;
    t.start();
    sim.port.write(request(R"({"function_name":"FE_KeyName_Read"})"));
    QVERIFY(sim.next(&f));
    QVERIFY2(t.elapsed() >= 280, qPrintable(QString::number(t.elapsed())));
    QCOMPARE(Sim::json(f).value("function_name").toString(), QStringLiteral("FE_KeyName_Read"));

    // The second reply never comes; the third does, and is the next frame on the line.
    sim.port.write(request(R"({"function_name":"FE_WiFiSettings_Read"})"));
    sim.port.write(request(R"({"function_name":"FE_DeviceSetting_Read"})"));
    QVERIFY(sim.next(&f));
    QCOMPARE(Sim::json(f).value("function_name").toString(), QStringLiteral("FE_DeviceSetting_Read"));
    QVERIFY(sim.stop());
}

void TestKeysimPty::linePacing()
{
    Sim sim;
    QVERIFY(sim.start({"--baud", "9600"}));
    // A 652-byte file part at 960 bytes a second takes about two thirds of a second.
    QByteArray header(140, '\0');
    header.replace(0, 19, "/templates/FioTypes");
    header[128] = char(1);
    QElapsedTimer t;
    t.start();
    sim.port.write(SlipCodec::encode(0x31, 0x00, header));
    RxDataBuffer f;
    QVERIFY(sim.next(&f, 10000));
    QVERIFY2(t.elapsed() >= 550, qPrintable(QString::number(t.elapsed())));
    QCOMPARE(f.length, 2 + 140 + 512 + 1);
    QVERIFY(sim.stop());
}

void TestKeysimPty::silenceAfterTime()
{
    Sim sim;
    const QString log = sim.root.filePath("requests.log");
    QVERIFY(sim.start({"--silent-after", "0.4", "--log", log}));
    QElapsedTimer t;
    t.start();
    // Ask until an answer fails to come: that is when the key fell silent.
    int answered = 0;
    int asked = 0;
    RxDataBuffer f;
    while (t.elapsed() < 8000) {
        sim.port.write(request(R"({"function_name":"FE_KeyName_Read"})"));
        ++asked;
        if (!sim.next(&f, 700))
            break;
        ++answered;
    }
    QVERIFY(answered >= 1);
    QVERIFY2(t.elapsed() >= 400, qPrintable(QString::number(t.elapsed())));
    QVERIFY(t.elapsed() < 8000);
    // The unanswered request still reached the key and is in its log.
    QFile lf(log);
    QVERIFY(lf.open(QIODevice::ReadOnly));
    QCOMPARE(lf.readAll().count("FE_KeyName_Read\n"), asked);
    QVERIFY(sim.stop());
}

void TestKeysimPty::unplugEndsTheLine()
{
    Sim sim;
    QVERIFY(sim.start({"--unplug-after", "0.5"}));
    QVERIFY(sim.process.waitForFinished(10000));
    QCOMPARE(sim.process.exitCode(), 0);
    // The PC's side of the line reports the loss, as a pulled cable does.
    QTRY_VERIFY_WITH_TIMEOUT(sim.port.error() != QSerialPort::NoError || !QFile::exists(sim.device), 5000);
    QVERIFY(sim.stop());
}

QTEST_GUILESS_MAIN(TestKeysimPty)
#include "tst_keysim_pty.moc"
