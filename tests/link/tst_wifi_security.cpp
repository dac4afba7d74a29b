// Frames from peers that are not the key in use: a spoofer on another loopback address (by
// datagram and by TCP), a listed key that is not selected, and a TCP connection claiming a
// key that lives elsewhere. None of them may change the mirror, the models or the display.

#include "LogCapture.h"
#include "WifiRig.h"

#include "link/SlipCodec.h"
#include "protocol/FileCmdHeader.h"
#include "protocol/KeyModel.h"

#include <QSignalSpy>
#include <QTcpSocket>

using namespace wifitest;

namespace {

QByteArray fileReply(const QString &keyPath, const QByteArray &data)
{
    FileCmdHeader h;
    h.command = FileCmdHeader::FA_READ;
    h.status = FileCmdHeader::StatusFinished;
    h.setFileName(keyPath);
    return QByteArray("\x31\x00", 2) + h.toBytes(data);
}

QByteArray listingReply(const QString &folder, const QByteArray &names)
{
    FileCmdHeader h;
    h.command = FileCmdHeader::FA_READ_DIR;
    h.status = FileCmdHeader::StatusFinished;
    h.setFileName(folder);
    return QByteArray("\x31\x00", 2) + h.toBytes(names);
}

QByteArray change(int type, const QString &dir, const QString &file)
{
    return jsonBody({{"function_name", "FE_FileSystem_Status"}, {"changetype", type}, {"dirname", dir},
                     {"filename", file}});
}

// Everything a key in use could change things with.
QList<QByteArray> hostileBodies()
{
    return {jsonBody({{"function_name", "FE_KeyName_Read"}, {"KeyName", "Evil"}, {"OperatorName", "Evil"}}),
            jsonBody({{"function_name", "FE_JsonNotification_Status"}, {"StateMachine", 35},
                      {"WifiBattery", 0}, {"WifiRSSI", 0}, {"MeasureRotationStatus", 2}}),
            change(6, "dbsett", ""),
            change(2, "templates", "FioTypes"),
            change(5, "dbsett", ""),
            fileReply("/dbsett/0001REC", "written by a spoofer"),
            listingReply("/dbsett", "0001REC\nEVIL\n")};
}

QByteArray slip(const QByteArray &body)
{
    return SlipCodec::encode(uchar(body.at(0)), uchar(body.at(1)), body.mid(2));
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TestWifiSecurity : public QObject
{
    Q_OBJECT

private slots:
    void strangersChangeNothing()
    {
        WifiPc pc;
        QVERIFY(pc.start(false));
        HandKey key(QStringLiteral("AA:01"));
        HandKey other(QStringLiteral("BB:02"), QHostAddress(QStringLiteral("127.0.0.3")));
        key.announce(pc.announcePort, "Line K");
        QTRY_COMPARE(pc.wifi.keyCount(), 1);
        other.announce(pc.announcePort, "Line N");
        QTRY_COMPARE(pc.wifi.keyCount(), 2);
        pc.connection.setModeForTesting(KeyConnection::Mode::Wifi);
        QCOMPARE(pc.wifi.selectedKey(), QStringLiteral("AA:01"));

        const QString record = Paths::downloadDir("dbsett") + "/0001REC";
        const QString templ = Paths::downloadDir("templates") + "/FioTypes";
        writeFile(record, "the record");
        writeFile(templ, "the template");

        LogCapture log;
        QSignalSpy rx(&pc.wifi, SIGNAL(rx_data(RxDataBuffer)));
        QSignalSpy shown(pc.session.protocol(), SIGNAL(keyStatusReceived(quint8, quint8, quint8, quint8)));
        const int keyFramesBefore = key.received.size();
        int expected = 0;

        // A spoofer on another address, to the key's socket and to the announcement socket.
        QUdpSocket spoofer;
        QVERIFY(spoofer.bind(QHostAddress(QStringLiteral("127.0.0.2")), 0));
        // It cannot take the name its own frames get, nor a listed key's identity.
        for (const QString &id : {cWifi::unregisteredName(spoofer.localAddress(), spoofer.localPort()), QString("AA:01")}) {
            spoofer.writeDatagram(jsonBody(announcement(id, "Evil", spoofer.localPort(), 1)),
                                  QHostAddress(QHostAddress::LocalHost), pc.announcePort);
            ++expected;
        }
        for (const QByteArray &b : hostileBodies()) {
            spoofer.writeDatagram(b, QHostAddress(QHostAddress::LocalHost), key.pcPort);
            spoofer.writeDatagram(b, QHostAddress(QHostAddress::LocalHost), pc.announcePort);
            expected += 2;
        }
        // The listed key that is not selected.
        for (const QByteArray &b : hostileBodies()) {
            other.send(b);
            ++expected;
        }
        // Over TCP: a stranger claiming the selected key's identity, and a connection from the
        // selected key's host claiming the other key, which lives elsewhere.
        QTcpSocket tcpStranger, tcpClaim;
        QVERIFY(tcpStranger.bind(QHostAddress(QStringLiteral("127.0.0.2")), 0));
        tcpStranger.connectToHost(QHostAddress::LocalHost, pc.tcpPort);
        tcpClaim.connectToHost(QHostAddress::LocalHost, pc.tcpPort);
        QVERIFY(tcpStranger.waitForConnected(5000) && tcpClaim.waitForConnected(5000));
        QByteArray strangerStream = slip(jsonBody(announcement("AA:01", "K", key.socket.localPort(), key.pcPort)));
        QByteArray claimStream = slip(jsonBody(announcement("BB:02", "N", other.socket.localPort(), other.pcPort)));
        ++expected;
        ++expected;
        for (const QByteArray &b : hostileBodies()) {
            strangerStream += slip(b);
            claimStream += slip(b);
            expected += 2;
        }
        tcpStranger.write(strangerStream);
        tcpClaim.write(claimStream);

        QTRY_COMPARE_WITH_TIMEOUT(rx.count(), expected, 10000);
        QCoreApplication::processEvents(); // anything queued on the way out

        QFile r(record), t(templ);
        QVERIFY(r.open(QIODevice::ReadOnly) && t.open(QIODevice::ReadOnly));
        QCOMPARE(r.readAll(), QByteArray("the record"));
        QCOMPARE(t.readAll(), QByteArray("the template"));
        QCOMPARE(QDir(Paths::downloadDir("dbsett")).entryList(QDir::Files), QStringList{"0001REC"});
        QCOMPARE(pc.session.model()->names().keyName, QString());
        QCOMPARE(shown.count(), 0);
        QCOMPARE(pc.ids(), (QStringList{"AA:01", "BB:02"}));
        QCOMPARE(pc.wifi.key(0).hostAddress, QHostAddress(QHostAddress::LocalHost));
        QCOMPARE(pc.combo()->itemText(0), QStringLiteral("Line K"));
        // Nothing was asked of the key on their behalf.
        for (int i = keyFramesBefore; i < key.received.size(); ++i)
            QVERIFY(key.received.at(i).at(0) != 0x31);
        QVERIFY(log.count("(not the key in use) dropped") >= 4 * 2);
        QCOMPARE(log.count("JSON_CHNG_TYPE_ALL_RECORDS_DELETED"), 0);

        // The same from the selected key does act: the test could have seen it.
        key.send(hostileBodies().at(0));
        QTRY_COMPARE(pc.session.model()->names().keyName, QStringLiteral("Evil"));
        key.send(change(6, "dbsett", ""));
        QTRY_VERIFY(!QFile::exists(record));
    }

    // The router and user passwords travel in both directions; the debug log shows the
    // exchange without them.
    void passwordsStayOutOfTheLog()
    {
        WifiPc pc;
        QVERIFY(pc.start(false));
        HandKey key(QStringLiteral("AA:01"));
        key.announce(pc.announcePort, "Line K");
        QTRY_COMPARE(pc.wifi.keyCount(), 1);
        pc.connection.setModeForTesting(KeyConnection::Mode::Wifi);
        LogCapture log;

        WifiSettings out;
        out.SSID = QStringLiteral("Plant-Net");
        out.Password = QStringLiteral("r0uter\"pass");
        out.UserLogin = QStringLiteral("fitter");
        out.UserPassword = QStringLiteral("us3r-secret");
        QVERIFY(pc.session.protocol()->FE_WiFiSettings_Write(out));
        QTRY_COMPARE(key.countReceived("FE_WiFiSettings_Write"), 1);
        key.send(jsonBody({{"function_name", "FE_WiFiSettings_Read"}, {"SSID", "Plant-Net"},
                           {"Password", "k3y-router"}, {"UserLogin", "fitter"}, {"UserPassword", "k3y-user"},
                           {"IP", "10.0.0.5"}, {"PCPort", 4000}, {"WPA2Enterprise", 1}}));
        QTRY_COMPARE(pc.session.model()->wifiSettings().Password, QStringLiteral("k3y-router"));
        QCOMPARE(pc.session.model()->wifiSettings().UserPassword, QStringLiteral("k3y-user"));

        const QString all = log.lines().join(QLatin1Char('\n'));
        QVERIFY2(log.count("FE_WiFiSettings_Write") >= 1 && log.count("FE_WiFiSettings_Read") >= 1, qPrintable(all));
        QVERIFY2(log.count("Plant-Net") >= 2, qPrintable(all)); // the rest of the exchange is still there
        for (const char *secret : {"r0uter", "us3r-secret", "k3y-router", "k3y-user"})
            QVERIFY2(!all.contains(QLatin1String(secret)), qPrintable(all));
    }
};

QTEST_MAIN(TestWifiSecurity)
#include "tst_wifi_security.moc"
