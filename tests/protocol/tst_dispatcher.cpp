// What the PC does with every object the key sends: model updates, conversions, the
// acceptance rule, acknowledgements and the read-out after a key was chosen.

#include "ProtocolTestSupport.h"

#include "base/Paths.h"
#include "base/cGlobalData.h"
#include "protocol/FileExchange.h"
#include "protocol/KeyModel.h"
#include "protocol/KeyProtocol.h"
#include "protocol/KeySender.h"
#include "records/MenuLevels.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <memory>

class TestDispatcher : public QObject
{
    Q_OBJECT

    QTemporaryDir *root = nullptr;
    std::unique_ptr<ProtocolStack> rig;

    const QString keyA = QStringLiteral("AA:BB:CC:00:00:01");
    const QString keyB = QStringLiteral("AA:BB:CC:00:00:02");
    const QHostAddress addrA = QHostAddress(QStringLiteral("192.168.0.21"));

    void receive(const QByteArray &json, const QString &iface = QString(),
                 const QHostAddress &address = QHostAddress())
    {
        rig->protocol.iReceiveUart_Click(jsonFrame(json, iface, address, address.isNull() ? 0 : 32001));
    }

private slots:
    void init()
    {
        root = new QTemporaryDir;
        QVERIFY(root->isValid());
        Paths::setDataRoot(root->path());
        rig = std::make_unique<ProtocolStack>();
    }
    void cleanup()
    {
        rig.reset();
        Paths::setDataRoot(QString());
        delete root;
    }

    void deviceSettingsAreStored()
    {
        QSignalSpy changed(&rig->model, SIGNAL(deviceSettingsChanged()));
        receive(R"({"function_name":"FE_DeviceSetting_Read","SoundEffects":1,"DisplayTime":15,"SleepTime":17,)"
                R"("VersionSW":12,"WiFiEnable":1,"Units":1,"AddAlgorithm":1,"DataTime":1,"DataBase":1,)"
                R"("TypePCConnection":2,"TypeKey":4,"Language":0,"SerialNo":"2907-Ж01"})");
        QCOMPARE(changed.count(), 1);
        const DeviceSettings &s = rig->model.deviceSettings();
        QCOMPARE(s.SoundEffects, quint16(1));
        QCOMPARE(s.DisplayTime, quint16(15));
        QCOMPARE(s.SleepTime, quint16(17));
        QCOMPARE(s.VersionSW, 12);
        QCOMPARE(s.WiFiEnable, quint16(1));
        QCOMPARE(s.Units, quint16(1));
        QCOMPARE(s.AddAlgorithm, quint16(1));
        QCOMPARE(s.DataTime, quint16(1));
        QCOMPARE(s.DataBase, quint16(1));
        QCOMPARE(s.TypePCConnection, quint16(2));
        QCOMPARE(s.TypeKey, quint16(4));
        QCOMPARE(s.Language, quint16(0));
        QCOMPARE(s.SerialNo, QStringLiteral("2907-Ж01").toUtf8());
        QCOMPARE(rig->usb.acks, QStringList{QString()});
    }

    void missingAndMistypedValuesReadAsZero()
    {
        receive(R"({"function_name":"FE_DeviceSetting_Read","Units":"1","TypeKey":true,"VersionSW":null,)"
                R"("SerialNo":42,"Language":[1]})");
        const DeviceSettings &s = rig->model.deviceSettings();
        QCOMPARE(s.Units, quint16(0));
        QCOMPARE(s.TypeKey, quint16(0));
        QCOMPARE(s.VersionSW, 0);
        QCOMPARE(s.SerialNo, QByteArray());
        QCOMPARE(s.Language, quint16(0));
        QCOMPARE(s.SleepTime, quint16(0));

        receive(R"({"function_name":"FE_WiFiSettings_Read","SSID":5,"PCPort":"32100","WPA2Enterprise":false})");
        QCOMPARE(rig->model.wifiSettings().SSID, QString());
        QCOMPARE(rig->model.wifiSettings().PCPort, quint16(0));
        QCOMPARE(rig->model.wifiSettings().WPA2Enterprise, 0);

        // A number where a boolean belongs is not true: no template fetch.
        receive(R"({"function_name":"FE_SettingsCalibrate_Write","RequestTemplates":1})");
        QCOMPARE(rig->usb.sent.size(), 0);
        receive(R"({"function_name":"FE_SettingsCalibrate_Write","RequestTemplates":true})");
        QCOMPARE(rig->usb.sent.size(), 1);
        QCOMPARE(rig->usb.sent[0].fileHeader().command, FileCmdHeader::FA_READ_DIR);
        QCOMPARE(rig->usb.sent[0].fileHeader().fileName(), QStringLiteral("/templates"));
    }

    void numbersAreNarrowedToTheirFields()
    {
        receive(R"({"function_name":"FE_DateTime_Read","Year":67561,"Month":257,"Day":31.9,"Hour":-1,)"
                R"("Minutes":60,"Seconds":1e30})");
        const KeyClock &c = rig->model.clock();
        QCOMPARE(c.Year, quint16(67561 & 0xFFFF));
        QCOMPARE(c.Month, quint8(1));
        QCOMPARE(c.Day, quint8(31));
        QCOMPARE(c.Hour, quint8(255));
        QCOMPARE(c.Minutes, quint8(60));
        QCOMPARE(c.Seconds, quint8(0));

        receive(R"({"function_name":"FE_WiFiSettings_Read","SSID":"net","Password":"p","IP":"10.0.0.2",)"
                R"("PCPort":70000,"UserLogin":"u","UserPassword":"up","WPA2Enterprise":3})");
        const WifiSettings &w = rig->model.wifiSettings();
        QCOMPARE(w.PCPort, quint16(70000 - 65536));
        QCOMPARE(w.SSID, QStringLiteral("net"));
        QCOMPARE(w.IP, QStringLiteral("10.0.0.2"));
        QCOMPARE(w.UserLogin, QStringLiteral("u"));
        QCOMPARE(w.UserPassword, QStringLiteral("up"));
        QCOMPARE(w.WPA2Enterprise, 3);

        receive(R"({"function_name":"FE_DeviceSetting_Read","VersionSW":-7.5,"SleepTime":65536})");
        QCOMPARE(rig->model.deviceSettings().VersionSW, -7);
        QCOMPARE(rig->model.deviceSettings().SleepTime, quint16(0));
    }

    void menuLevelsAreUpdatedOnlyForIndexesZeroToThree()
    {
        QSignalSpy changed(&rig->levels, SIGNAL(changed(int)));
        QSignalSpy complete(&rig->protocol, SIGNAL(menuLevelsComplete()));
        receive(R"({"function_name":"FE_MenuLevel_Read","Order":3,"Active":0,"NameBottom":"Wheel","NameTop":"Car","Index":1})");
        QCOMPARE(rig->levels.level(1).top, QStringLiteral("Car"));
        QCOMPARE(rig->levels.level(1).bottom, QStringLiteral("Wheel"));
        QCOMPARE(rig->levels.level(1).order, 3);
        QCOMPARE(rig->levels.level(1).active, false);
        QCOMPARE(complete.count(), 0);

        QList<MenuLevel> before;
        for (int i = 0; i < MenuLevels::Count; ++i)
            before << rig->levels.level(i);
        const int changesBefore = changed.count();
        for (const char *index : {"4", "-1", "260"}) {
            receive(QByteArray(R"({"function_name":"FE_MenuLevel_Read","Order":1,"Active":1,"NameBottom":"X","NameTop":"Y","Index":)")
                    + index + "}");
        }
        QCOMPARE(changed.count(), changesBefore);
        for (int i = 0; i < MenuLevels::Count; ++i)
            QCOMPARE(rig->levels.level(i), before.at(i));
        // 260 narrows to 4 and is refused like it; 256 narrows to 0 and is a valid level.
        receive(R"({"function_name":"FE_MenuLevel_Read","Order":1,"Active":1,"NameBottom":"B","NameTop":"T","Index":256})");
        QCOMPARE(rig->levels.level(0).top, QStringLiteral("T"));

        receive(R"({"function_name":"FE_MenuLevel_Read","Order":4,"Active":1,"NameBottom":"Node","NameTop":"Unit","Index":3})");
        QCOMPARE(complete.count(), 1);
        QCOMPARE(rig->levels.level(3).caption(), QStringLiteral("Unit Node"));
    }

    void keyNameRenamesOnlyAWifiKeysEntry()
    {
        rig->wifi.keys = {{keyA, QStringLiteral("old"), true}};
        receive(R"({"function_name":"FE_KeyName_Read","OperatorName":"Petrov","KeyName":"Line 3"})");
        QCOMPARE(rig->model.names().keyName, QStringLiteral("Line 3"));
        QCOMPARE(rig->model.names().operatorName, QStringLiteral("Petrov"));
        QCOMPARE(rig->wifi.keys[0].name, QStringLiteral("old"));

        rig->setMode(KeyConnection::Mode::Wifi);
        receive(R"({"function_name":"FE_KeyName_Read","OperatorName":"Sidorov","KeyName":"Line 4"})", keyA, addrA);
        QCOMPARE(rig->model.names().keyName, QStringLiteral("Line 4"));
        QCOMPARE(rig->wifi.keys[0].name, QStringLiteral("Line 4"));
        QCOMPARE(rig->wifi.acks, QStringList{keyA});
    }

    void controlCharactersNeverReachNames()
    {
        // A NUL would stop the history server from taking every measure archived under it.
        receive(R"({"function_name":"FE_KeyName_Read","OperatorName":"Pet\u0000rov\u0007","KeyName":"Line\t3\u0000"})");
        QCOMPARE(rig->model.names().operatorName, QStringLiteral("Petrov"));
        QCOMPARE(rig->model.names().keyName, QStringLiteral("Line 3"));
        receive(R"({"function_name":"FE_DeviceSetting_Read","SerialNo":"2907\u0000A\u001b"})");
        QCOMPARE(rig->model.deviceSettings().SerialNo, QByteArray("2907A"));
        // What goes back to the key as it came is left alone.
        receive(R"({"function_name":"FE_WiFiSettings_Read","Password":"a\tb"})");
        QCOMPARE(rig->model.wifiSettings().Password, QStringLiteral("a\tb"));
    }

    void onlyTheSelectedWifiKeyIsHeard()
    {
        rig->setMode(KeyConnection::Mode::Wifi);
        rig->wifi.keys = {{keyA, QString(), true}, {keyB, QString(), false}};
        QSignalSpy status(&rig->protocol, SIGNAL(keyStatusReceived(quint8, quint8, quint8, quint8)));
        const QByteArray statusJson =
            R"({"function_name":"FE_JsonNotification_Status","StateMachine":31,"WifiBattery":4,"WifiRSSI":2,"MeasureRotationStatus":255})";

        // Listed but not selected: acknowledged, nothing shown.
        receive(statusJson, keyB, addrA);
        QCOMPARE(rig->wifi.acks, QStringList{keyB});
        QCOMPARE(status.count(), 0);

        // Anything else from it is dropped without an acknowledgement.
        receive(R"({"function_name":"FE_DeviceSetting_Read","VersionSW":99})", keyB, addrA);
        QCOMPARE(rig->model.deviceSettings().VersionSW, 0);
        QCOMPARE(rig->wifi.acks.size(), 1);

        // An identity that is not listed at all is no better.
        receive(R"({"function_name":"FE_DeviceSetting_Read","VersionSW":98})", QStringLiteral("EE:EE"), addrA);
        QCOMPARE(rig->model.deviceSettings().VersionSW, 0);

        receive(statusJson, keyA, addrA);
        QCOMPARE(status.count(), 1);
        QCOMPARE(status.last().at(0).value<quint8>(), quint8(31));
        QCOMPARE(status.last().at(1).value<quint8>(), quint8(4));
        QCOMPARE(status.last().at(2).value<quint8>(), quint8(2));
        QCOMPARE(status.last().at(3).value<quint8>(), quint8(255));

        receive(R"({"function_name":"FE_DeviceSetting_Read","VersionSW":5})", keyA, addrA);
        QCOMPARE(rig->model.deviceSettings().VersionSW, 5);
        QCOMPARE(rig->wifi.acks, (QStringList{keyB, keyA, keyA}));
        QVERIFY(rig->usb.acks.isEmpty());
    }

    void usbStatusIsShownAndAcknowledged()
    {
        QSignalSpy status(&rig->protocol, SIGNAL(keyStatusReceived(quint8, quint8, quint8, quint8)));
        receive(R"({"function_name":"FE_JsonNotification_Status","StateMachine":300,"WifiBattery":1})");
        QCOMPARE(status.count(), 1);
        QCOMPARE(status.last().at(0).value<quint8>(), quint8(300 - 256));
        QCOMPARE(status.last().at(1).value<quint8>(), quint8(1));
        QCOMPARE(status.last().at(2).value<quint8>(), quint8(0));
        QCOMPARE(rig->usb.acks.size(), 1);
    }

    void announcementsRegisterAndAreAnswered()
    {
        const QByteArray hello =
            R"({"function_name":"FE_WiFi_I_Am_Here","TestConnectCounter":3,"OperatorName":"Op","KeyName":"K1",)"
            R"("MAC":"AA:BB:CC:00:00:01","LocalPort":32010,"RemotePort":32011})";

        // USB only: ignored, not answered, not acknowledged.
        rig->setMode(KeyConnection::Mode::Usb);
        receive(hello, QString(), addrA);
        QVERIFY(rig->wifi.registered.isEmpty());
        QVERIFY(rig->wifi.sent.isEmpty());
        QVERIFY(rig->usb.acks.isEmpty());

        rig->setMode(KeyConnection::Mode::None);
        receive(hello, QString(), addrA);
        QCOMPARE(rig->wifi.registered.size(), 1);
        const WifiAnnouncement &a = rig->wifi.registered.first();
        QCOMPARE(a.mac, keyA);
        QCOMPARE(a.keyName, QStringLiteral("K1"));
        QCOMPARE(a.operatorName, QStringLiteral("Op"));
        QCOMPARE(a.localPort, quint16(32010));
        QCOMPARE(a.remotePort, quint16(32011));
        QCOMPARE(a.testConnectCounter, 3);
        QCOMPARE(a.address, addrA);
        QCOMPARE(a.port, quint16(32001));
        QCOMPARE(rig->wifi.sent.size(), 1);
        QCOMPARE(rig->wifi.sent[0].target, keyA);
        QCOMPARE(rig->wifi.sent[0].noReply, 1);
        QCOMPARE(rig->wifi.sent[0].json().value("TestConnectCounter").toInt(), 10);
        QVERIFY(rig->usb.acks.isEmpty() && rig->wifi.acks.isEmpty());

        // Without an identity the key would pass for the USB key: refused.
        receive(R"({"function_name":"FE_WiFi_I_Am_Here","MAC":"","LocalPort":1,"RemotePort":2})", QString(), addrA);
        receive(R"({"function_name":"FE_WiFi_I_Am_Here","MAC":"USB","LocalPort":1,"RemotePort":2})", QString(), addrA);
        QCOMPARE(rig->wifi.registered.size(), 1);
    }

    void unregisteredNetworkPeersNeverPassAsTheUsbKey()
    {
        receive(R"({"function_name":"FE_DeviceSetting_Read","VersionSW":77})", QString(), addrA);
        QCOMPARE(rig->model.deviceSettings().VersionSW, 0);
        QVERIFY(rig->usb.acks.isEmpty());
        rig->protocol.iReceiveUart_Click(makeFrame(0x31, 0x00,
            fileReply(QStringLiteral("/dbsett/x"), FileCmdHeader::FA_READ, 0, 0, "data"), QString(), addrA));
        QVERIFY(!QFile::exists(FileExchange::localPath(QStringLiteral("dbsett"), QStringLiteral("x"))));
    }

    void everyRowButTheAnnouncementAcknowledges()
    {
        const QList<QByteArray> names = {
            "FE_PageCurrent_Read", "FE_PageCurrent_Write", "FE_Page_Delete", "FE_SettingsCalibrate_Write",
            "FE_MenuLevel_Write", "FE_KeyName_Write", "FE_DeviceSetting_Write", "FE_DateTime_Write",
            "FE_WiFiSettings_Write", "FE_TestConnection_All", "FE_Message_Write", "FE_Reboot_Write",
            "FE_Unknown_Function"};
        for (const QByteArray &n : names)
            receive("{\"function_name\":\"" + n + "\"}");
        QCOMPARE(rig->usb.acks.size(), names.size());
        QVERIFY(rig->usb.sent.isEmpty());
        // Text that is no object (or not JSON) changes nothing and does not crash.
        receive("not json");
        receive("[1,2,3]");
        receive("");
        QCOMPARE(rig->model.deviceSettings().VersionSW, 0);
    }

    void receiveHandlerBoundsEveryFrame()
    {
        QSignalSpy status(&rig->protocol, SIGNAL(keyStatusReceived(quint8, quint8, quint8, quint8)));
        // Text that fills the frame up to the CRC without its NUL: the CRC byte is not text.
        RxDataBuffer rx = makeFrame(0x30, 0x01,
            R"({"function_name":"FE_JsonNotification_Status","StateMachine":2})");
        rig->protocol.iReceiveUart_Click(rx);
        QCOMPARE(status.count(), 1);

        // Garbage after the frame's length is never read.
        rx = jsonFrame(R"({"function_name":"FE_JsonNotification_Status")");
        const QByteArray tail = R"(,"StateMachine":9})";
        std::memcpy(rx.data.data() + rx.length, tail.constData(), size_t(tail.size()));
        rig->protocol.iReceiveUart_Click(rx);
        QCOMPARE(status.count(), 1);

        RxDataBuffer shortFrame;
        shortFrame.data[0] = 0x31;
        shortFrame.length = 1;
        rig->protocol.iReceiveUart_Click(shortFrame);
        shortFrame.length = -5;
        rig->protocol.iReceiveUart_Click(shortFrame);
        shortFrame.length = 100000;
        shortFrame.data.fill(0x31);
        rig->protocol.iReceiveUart_Click(shortFrame);
        QVERIFY(rig->usb.sent.isEmpty());
    }

    void missedRepliesResetOnlyOnUsbFrames()
    {
        rig->protocol.countMissedReply();
        rig->protocol.countMissedReply();
        QCOMPARE(rig->protocol.missedReplyCount(), quint8(2));
        rig->setMode(KeyConnection::Mode::Usb);
        // A Wi-Fi key announcing itself says nothing about the USB key.
        receive(R"({"function_name":"FE_WiFi_I_Am_Here","MAC":"AA"})", QString(), addrA);
        receive(R"({"function_name":"FE_JsonNotification_Status"})", keyA, addrA);
        QCOMPARE(rig->protocol.missedReplyCount(), quint8(2));
        // Any USB frame resets it, even one the protocol cannot use.
        rig->protocol.iReceiveUart_Click(makeFrame(0x55, 0, "x"));
        QCOMPARE(rig->protocol.missedReplyCount(), quint8(0));
        rig->protocol.countMissedReply();
        rig->protocol.iReceiveUart_Click(fileFrame(fileReply(QStringLiteral("/a/b"), FileCmdHeader::FA_WRITE, 2, 0, {})));
        QCOMPARE(rig->protocol.missedReplyCount(), quint8(0));
    }

    void calibrationIsKeptArchivedAndTitled()
    {
        receive(R"({"function_name":"FE_DeviceSetting_Read","VersionSW":12,"Units":0,"SerialNo":"ABC"})");
        QSignalSpy title(&rig->protocol, SIGNAL(windowTitleChanged(QString)));
        QSignalSpy calChanged(&rig->model, SIGNAL(calibrationChanged()));
        const QByteArray text =
            R"({"function_name":"FE_SettingsCalibrate_Read","nm":340.4,"offset":12,"amplify":700,"right":3000,"left":1000,)"
            R"("nm2":170.5,"right2":2500,"left2":1500,"used":1,"nol":2048,"gyrocorrection":-3,"gyrodeviation":-10,)"
            R"("anglecorrention":999,"headstandartmm":35,"keylengthmm":420})";
        receive(text);
        QCOMPARE(calChanged.count(), 1);
        QCOMPARE(rig->model.calibrationText(), text);
        const CalibrationValues &v = rig->model.calibration();
        QCOMPARE(v.nm, 340.4);
        QCOMPARE(v.nm2, 170.5);
        QCOMPARE(v.offset, 12);
        QCOMPARE(v.amplify, 700);
        QCOMPARE(v.right, 3000);
        QCOMPARE(v.left, 1000);
        QCOMPARE(v.right2, 2500);
        QCOMPARE(v.left2, 1500);
        QCOMPARE(v.used, 1);
        QCOMPARE(v.nol, 2048);
        QCOMPARE(v.gyrocorrection, -3);
        QCOMPARE(v.gyrodeviation, -10);
        QCOMPARE(v.anglecorrention, 999);
        QCOMPARE(v.headstandartmm, 35.0);
        QCOMPARE(v.keylengthmm, 420.0);
        QCOMPARE(rig->model.nominalMoment(), 340.4);
        QCOMPARE(title.count(), 1);
        QCOMPARE(title.last().at(0).toString(), QStringLiteral("Dynamometric key 340.4 Nm "));

        const QString archive = Paths::downloadDir(QStringLiteral("Calibrate")) + QStringLiteral("/DWK340_012_ABC.clb");
        QFile f(archive);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), text + "\n");
        f.close();

        // An existing archive is never overwritten.
        receive(R"({"function_name":"FE_SettingsCalibrate_Read","nm":339.6,"offset":1})");
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), text + "\n");
        f.close();
        QCOMPARE(rig->model.calibration().offset, 1);

        // kgf·m: the title converts, the values stay as received.
        receive(R"({"function_name":"FE_DeviceSetting_Read","VersionSW":12,"Units":1,"SerialNo":"ABC"})");
        receive(R"({"function_name":"FE_SettingsCalibrate_Read","nm":340})");
        QCOMPARE(title.last().at(0).toString(), QStringLiteral("Dynamometric key 34.67 kgsm "));
        QCOMPARE(rig->model.calibration().nm, 340.0);
        QVERIFY(qAbs(rig->model.nominalMoment() - 34.67048) < 1e-9);
    }

    void hostileSerialNumbersDoNotEscapeTheArchive()
    {
        receive(R"({"function_name":"FE_DeviceSetting_Read","VersionSW":1,"SerialNo":"/../../../escape"})");
        receive(R"({"function_name":"FE_SettingsCalibrate_Read","nm":100})");
        // The page still gets its values; nothing was written anywhere.
        QCOMPARE(rig->model.calibration().nm, 100.0);
        const QDir archive(Paths::downloadDir(QStringLiteral("Calibrate")));
        QVERIFY(!archive.exists() || archive.entryList(QDir::Files).isEmpty());
        QDir up(root->path());
        up.cdUp();
        QVERIFY(up.entryList({QStringLiteral("*escape*")}).isEmpty());
    }

    void fileSystemStatusReachesTheExchange()
    {
        const QString dir = Paths::downloadDir(QStringLiteral("dbsett"));
        QVERIFY(QDir().mkpath(dir));
        for (const char *n : {"0001ABC000000100", "0001ABC000000203"}) {
            QFile f(dir + QLatin1Char('/') + QLatin1String(n));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        QSignalSpy rebuild(&rig->files, SIGNAL(recordsRebuildRequested()));
        receive(R"({"function_name":"FE_FileSystem_Status","changetype":6,"filename":"","dirname":"dbsett"})");
        QCOMPARE(rebuild.count(), 1);
        QVERIFY(QDir(dir).entryList(QDir::Files).isEmpty());
        QCOMPARE(rig->usb.acks.size(), 1);
    }

    void readOutAsksInItsOrder()
    {
        rig->files.GetFromKey(QStringLiteral("old"), QStringLiteral("stale"));
        rig->usb.sent.clear();
        QSignalSpy wait(&rig->protocol, SIGNAL(waitAnimationRequested(bool)));
        QSignalSpy templatesReset(&rig->protocol, SIGNAL(templateListsResetRequested()));
        QSignalSpy supervision(&rig->protocol, SIGNAL(supervisionStartRequested()));

        rig->protocol.ReadKeyOnConnect();

        QStringList order;
        for (const SentCommand &c : qAsConst(rig->usb.sent)) {
            if (c.packetClass == 0x30) {
                QString n = c.functionName();
                if (n == QLatin1String("FE_MenuLevel_Read"))
                    n += QString::number(c.json().value("Index").toInt());
                order << n;
            } else {
                const FileCmdHeader h = c.fileHeader();
                order << QStringLiteral("DIR ") + h.fileName();
                QCOMPARE(h.command, FileCmdHeader::FA_READ_DIR);
            }
        }
        QCOMPARE(order, (QStringList{"FE_KeyName_Read", "FE_DeviceSetting_Read", "FE_SettingsCalibrate_Read",
                                     "FE_MenuLevel_Read0", "FE_MenuLevel_Read1", "FE_MenuLevel_Read2",
                                     "FE_MenuLevel_Read3", "FE_WiFiSettings_Read", "FE_DateTime_Write",
                                     "DIR /templates", "DIR /dbsett"}));
        const QJsonObject clock = rig->usb.sent.at(8).json();
        const QDateTime now = QDateTime::currentDateTime();
        QVERIFY(qAbs(clock.value("Year").toInt() - now.date().year()) <= 1);
        QVERIFY(clock.value("Month").toInt() >= 1 && clock.value("Month").toInt() <= 12);

        QCOMPARE(wait.count(), 1);
        QCOMPARE(wait.first().at(0).toBool(), true);
        QCOMPARE(templatesReset.count(), 1);
        QCOMPARE(supervision.count(), 1);
        // The earlier pending transfer was forgotten.
        for (const TransferEntry &e : rig->files.pendingList())
            QVERIFY(e.keyPath != QLatin1String("/old/stale"));
        QCOMPARE(rig->files.readDirs(), (QStringList{"/templates", "/dbsett"}));
    }
};

QTEST_GUILESS_MAIN(TestDispatcher)
#include "tst_dispatcher.moc"
