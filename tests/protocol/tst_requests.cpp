// The request texts the key receives, byte for byte, and how each request is addressed.

#include "ProtocolTestSupport.h"

#include "base/cGlobalData.h"
#include "protocol/FileExchange.h"
#include "protocol/KeyModel.h"
#include "protocol/KeyProtocol.h"
#include "protocol/KeySender.h"
#include "protocol/RequestFormat.h"
#include "records/MenuLevels.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

#include <functional>

class TestRequests : public QObject
{
    Q_OBJECT

    std::unique_ptr<ProtocolStack> rig;

private slots:
    void init()
    {
        rig = std::make_unique<ProtocolStack>();
    }
    void cleanup()
    {
        rig.reset();
    }

    void goldenTexts_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QByteArray>("expected");
        QTest::addColumn<int>("noReply");

        QTest::newRow("FE_PageCurrent_Write")
            << 0 << QByteArray(R"({"function_name":"FE_PageCurrent_Write", "pagenumber":"0001ABC000000100"})") << 0;
        QTest::newRow("FE_Page_Delete one")
            << 1 << QByteArray(R"({"function_name":"FE_Page_Delete","pagenumber":"010A000000004203","all":0})") << 1;
        QTest::newRow("FE_Page_Delete all")
            << 2 << QByteArray(R"({"function_name":"FE_Page_Delete","pagenumber":"","all":1})") << 1;
        QTest::newRow("FE_SettingsCalibrate_Write")
            << 3
            << QByteArray(R"({"function_name":"FE_SettingsCalibrate_Write","nm":340.500000,"offset":12,"amplify":700,"right":3000,"left":1000,)"
                          "                  "
                          R"("nm2":170.250000,"right2":2500,"left2":1500,"used":1,)"
                          "                  "
                          R"("nol":2048,"gyrocorrection":-3,"gyrodeviation":-10,"anglecorrention":999,"headstandartmm":35.000000,"keylengthmm":420.000000})")
            << 0;
        QTest::newRow("FE_SettingsCalibrate_Read")
            << 4 << QByteArray(R"({"function_name":"FE_SettingsCalibrate_Read"})") << 0;
        QTest::newRow("FE_MenuLevel_Write")
            << 5 << QByteArray(R"({"function_name":"FE_MenuLevel_Write","NameTop":"Operator","NameBottom":"F.I.O.","Active":1,"Order":2,"Index":0})") << 0;
        QTest::newRow("FE_MenuLevel_Read")
            << 6 << QByteArray(R"({"function_name":"FE_MenuLevel_Read","Index":3})") << 0;
        QTest::newRow("FE_KeyName_Write")
            << 7 << QByteArray(R"({"function_name":"FE_KeyName_Write","KeyName":"Key 7","OperatorName":"Ivanov"})") << 0;
        QTest::newRow("FE_KeyName_Read") << 8 << QByteArray(R"({"function_name":"FE_KeyName_Read"})") << 0;
        QTest::newRow("FE_DeviceSetting_Write")
            << 9
            << QByteArray(R"({"function_name":"FE_DeviceSetting_Write","Language":1,"TypeKey":3,)"
                          "                  "
                          R"("TypePCConnection":2,"DataBase":1,"DataTime":1,"AddAlgorithm":0,"Units":1,"WiFiEnable":1,"PasswordWrEnable":0,"SleepTime":17,"DisplayTime":15,"SoundEffects":1})")
            << 0;
        QTest::newRow("FE_DeviceSetting_Read")
            << 10 << QByteArray(R"({"function_name":"FE_DeviceSetting_Read"})") << 0;
        QTest::newRow("FE_DateTime_Write")
            << 11 << QByteArray(R"({"function_name":"FE_DateTime_Write","Year":2025,"Month":3,"Day":5,"Hour":9,"Minutes":7,"Seconds":3})") << 0;
        QTest::newRow("FE_WiFiSettings_Write")
            << 12
            << QByteArray(R"({"function_name":"FE_WiFiSettings_Write","SSID":"plant-net","Password":"secret","IP":"192.168.0.100","PCPort":32100,"UserLogin":"user","UserPassword":"pw","WPA2Enterprise":1})")
            << 0;
        QTest::newRow("FE_WiFiSettings_Read")
            << 13 << QByteArray(R"({"function_name":"FE_WiFiSettings_Read"})") << 0;
        QTest::newRow("FE_JsonNotification_Status")
            << 14 << QByteArray(R"({"function_name":"FE_JsonNotification_Status","KeyInFocus":1,"PCMenu":3,"TestConnectCounter":10})") << 0;
        QTest::newRow("FE_Message_Write")
            << 15 << QByteArray(R"({"function_name":"FE_Message_Write","Text":"Stop work","Type":2})") << 0;
        QTest::newRow("FE_Reboot_Write")
            << 16 << QByteArray(R"({"function_name":"FE_Reboot_Write","WithResetToDefault":2})") << 0;
        QTest::newRow("FE_SettingsCalibrate_Write negative reals")
            << 17
            << QByteArray(R"({"function_name":"FE_SettingsCalibrate_Write","nm":-0.125000,"offset":0,"amplify":0,"right":0,"left":0,)"
                          "                  "
                          R"("nm2":0.000000,"right2":0,"left2":0,"used":0,)"
                          "                  "
                          R"("nol":0,"gyrocorrection":0,"gyrodeviation":0,"anglecorrention":0,"headstandartmm":0.000000,"keylengthmm":1999.999999})")
            << 0;
    }

    void goldenTexts()
    {
        QFETCH(int, which);
        QFETCH(QByteArray, expected);
        QFETCH(int, noReply);

        CalibrationValues cal;
        cal.nm = 340.5;
        cal.offset = 12;
        cal.amplify = 700;
        cal.right = 3000;
        cal.left = 1000;
        cal.nm2 = 170.25;
        cal.right2 = 2500;
        cal.left2 = 1500;
        cal.used = 1;
        cal.nol = 2048;
        cal.gyrocorrection = -3;
        cal.gyrodeviation = -10;
        cal.anglecorrention = 999;
        cal.headstandartmm = 35;
        cal.keylengthmm = 420;
        CalibrationValues small;
        small.nm = -0.125;
        small.keylengthmm = 1999.999999;

        DeviceSettings dev;
        dev.Language = 1;
        dev.TypeKey = 3;
        dev.TypePCConnection = 2;
        dev.DataBase = 1;
        dev.DataTime = 1;
        dev.Units = 1;
        dev.WiFiEnable = 1;
        dev.SleepTime = 17;
        dev.DisplayTime = 15;
        dev.SoundEffects = 1;

        WifiSettings w;
        w.SSID = QStringLiteral("plant-net");
        w.Password = QStringLiteral("secret");
        w.IP = QStringLiteral("192.168.0.100");
        w.PCPort = 32100;
        w.UserLogin = QStringLiteral("user");
        w.UserPassword = QStringLiteral("pw");
        w.WPA2Enterprise = 1;

        const QList<std::function<bool()>> send = {
            [&] { return rig->protocol.FE_PageCurrent_Write(QStringLiteral("0001ABC000000100")); },
            [&] { return rig->protocol.FE_Page_Delete(QStringLiteral("010A000000004203"), 0); },
            [&] { return rig->protocol.FE_Page_Delete(QString(), 1); },
            [&] { return rig->protocol.FE_SettingsCalibrate_Write(cal); },
            [&] { return rig->protocol.FE_SettingsCalibrate_Read(); },
            [&] { return rig->protocol.FE_MenuLevel_Write(QStringLiteral("Operator"), QStringLiteral("F.I.O."), 1, 2, 0); },
            [&] { return rig->protocol.FE_MenuLevel_Read(3); },
            [&] { return rig->protocol.FE_KeyName_Write(QStringLiteral("Key 7"), QStringLiteral("Ivanov")); },
            [&] { return rig->protocol.FE_KeyName_Read(); },
            [&] { return rig->protocol.FE_DeviceSetting_Write(dev, 0); },
            [&] { return rig->protocol.FE_DeviceSetting_Read(); },
            [&] { return rig->protocol.FE_DateTime_Write(QDateTime(QDate(2025, 3, 5), QTime(9, 7, 3))); },
            [&] { return rig->protocol.FE_WiFiSettings_Write(w); },
            [&] { return rig->protocol.FE_WiFiSettings_Read(); },
            [&] { return rig->protocol.FE_JsonNotification_Status(1, 3); },
            [&] { return rig->protocol.FE_Message_Write(QStringLiteral("Stop work"), 2); },
            [&] { return rig->protocol.FE_Reboot_Write(2); },
            [&] { return rig->protocol.FE_SettingsCalibrate_Write(small); },
        };
        QVERIFY(send.at(which)());
        QCOMPARE(rig->usb.sent.size(), 1);
        const SentCommand &c = rig->usb.sent.first();
        QCOMPARE(c.packetClass, quint8(0x30));
        QCOMPARE(c.subCode, quint8(0x01));
        QCOMPARE(c.payload, expected + '\0');
        QCOMPARE(c.attempts, quint8(3));
        QCOMPARE(c.noReply, noReply);
        // Every text we send must also be JSON the key can parse.
        QVERIFY(QJsonDocument::fromJson(c.text()).isObject());
    }

    void iAmHereAnswerGoesToThatKeyOnly()
    {
        rig->wifi.keys = {{QStringLiteral("AA:01"), QString(), true}, {QStringLiteral("AA:02"), QString(), false}};
        QVERIFY(rig->protocol.FE_WiFi_I_Am_Here(QStringLiteral("AA:02")));
        QVERIFY(rig->usb.sent.isEmpty());
        QCOMPARE(rig->wifi.sent.size(), 1);
        QCOMPARE(rig->wifi.sent[0].target, QStringLiteral("AA:02"));
        QCOMPARE(rig->wifi.sent[0].payload,
                 QByteArray(R"({"function_name":"FE_WiFi_I_Am_Here","TestConnectCounter":10})") + '\0');
        QCOMPARE(rig->wifi.sent[0].attempts, quint8(3));
        QCOMPARE(rig->wifi.sent[0].noReply, 1);

        QVERIFY(rig->protocol.FE_JsonNotification_StatusTo(QStringLiteral("AA:01"), 1, 1));
        QCOMPARE(rig->wifi.sent[1].target, QStringLiteral("AA:01"));
        QCOMPARE(rig->wifi.sent[1].attempts, quint8(3));
        QCOMPARE(rig->wifi.sent[1].noReply, 0);
        // An identity no longer listed sends nothing.
        QVERIFY(!rig->protocol.FE_JsonNotification_StatusTo(QStringLiteral("AA:09"), 0, 1));
        QCOMPARE(rig->wifi.sent.size(), 2);
    }

    void userTextsAreEscaped_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("quote") << QStringLiteral("say \"hi\"");
        QTest::newRow("injection") << QStringLiteral("x\",\"Type\":1,\"evil\":\"1");
        QTest::newRow("backslash") << QStringLiteral("C:\\keys\\");
        QTest::newRow("control") << QStringLiteral("line1\nline2\ttab\x01");
        QTest::newRow("cyrillic") << QStringLiteral("Ключ №5 \"Север\"");
    }

    void userTextsAreEscaped()
    {
        QFETCH(QString, text);
        QVERIFY(rig->protocol.FE_Message_Write(text, 2));
        const QJsonObject o = rig->usb.sent.first().json();
        QCOMPARE(o.value("Text").toString(), text);
        QCOMPARE(o.value("Type").toInt(), 2);
        QCOMPARE(o.size(), 3);

        rig->usb.sent.clear();
        QVERIFY(rig->protocol.FE_KeyName_Write(text, text));
        QCOMPARE(rig->usb.sent.first().json().value("KeyName").toString(), text);
    }

    void escapingWritesTheUsualJsonForms()
    {
        QCOMPARE(td::request::jsonEscape(QStringLiteral("a\"b\\c\nd\x1f")),
                 QByteArray(R"(a\"b\\c\nd\u001f)"));
        QCOMPARE(td::request::jsonEscape(QStringLiteral("ж")), QByteArray("\xd0\xb6"));
    }

    void textLimitIsEnforcedInBytes()
    {
        const QByteArray empty = R"({"function_name":"FE_Message_Write","Text":"","Type":2})";
        const int room = td::request::MaxTextBytes - empty.size();
        QSignalSpy status(&rig->protocol, SIGNAL(statusMessage(QString)));

        QVERIFY(rig->protocol.FE_Message_Write(QString(room, QLatin1Char('a')), 2));
        QCOMPARE(rig->usb.sent.last().payload.size(), td::request::MaxTextBytes + 1);
        QCOMPARE(status.count(), 0);

        QVERIFY(!rig->protocol.FE_Message_Write(QString(room + 1, QLatin1Char('a')), 2));
        QCOMPARE(rig->usb.sent.size(), 1);
        QCOMPARE(status.count(), 1);
        QVERIFY(status.last().at(0).toString().contains(QLatin1String("FE_Message_Write")));

        // Two-byte characters count twice; an odd room cannot be filled by them exactly.
        QVERIFY(!rig->protocol.FE_Message_Write(QString(room / 2 + 1, QChar(0x0436)), 2));
        QVERIFY(rig->protocol.FE_Message_Write(QString(room / 2, QChar(0x0436)), 2));
        // Escapes count too: each quote becomes two bytes.
        QVERIFY(!rig->protocol.FE_Message_Write(QString(room / 2 + 1, QLatin1Char('"')), 2));
        QCOMPARE(rig->usb.sent.size(), 2);

        // Long Wi-Fi settings are refused whole, never cut.
        WifiSettings w;
        w.SSID = QString(400, QLatin1Char('s'));
        w.Password = QString(300, QLatin1Char('p'));
        QVERIFY(!rig->protocol.FE_WiFiSettings_Write(w));
        QCOMPARE(rig->usb.sent.size(), 2);
    }

    void namesAreCutToTheKeysFields()
    {
        const QString sixty(60, QLatin1Char('n'));
        QVERIFY(rig->protocol.FE_MenuLevel_Write(sixty, sixty, 1, 1, 2));
        const QJsonObject level = rig->usb.sent.last().json();
        QCOMPARE(level.value("NameTop").toString(), QString(50, QLatin1Char('n')));
        QCOMPARE(level.value("NameBottom").toString(), QString(50, QLatin1Char('n')));
        QVERIFY(rig->protocol.FE_KeyName_Write(sixty, QStringLiteral("op")));
        QCOMPARE(rig->usb.sent.last().json().value("KeyName").toString(), QString(50, QLatin1Char('n')));
    }

    void addressingFollowsTheConnectionMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<int>("usbCount");
        QTest::addColumn<int>("wifiCount");
        QTest::addColumn<int>("wifiAttempts");

        QTest::newRow("usb") << 1 << true << 1 << 0 << 0;
        QTest::newRow("wifi focused") << 2 << true << 0 << 1 << 8;
        QTest::newRow("wifi without focus") << 2 << false << 0 << 0 << 0;
        QTest::newRow("no key") << 0 << true << 0 << 0 << 0;
    }

    void addressingFollowsTheConnectionMode()
    {
        QFETCH(int, mode);
        QFETCH(bool, selected);
        QFETCH(int, usbCount);
        QFETCH(int, wifiCount);
        QFETCH(int, wifiAttempts);

        rig->setMode(KeyConnection::Mode(mode));
        rig->wifi.keys = {{QStringLiteral("AA:01"), QString(), false}, {QStringLiteral("AA:02"), QString(), selected}};

        QCOMPARE(rig->protocol.FE_KeyName_Read(), usbCount + wifiCount > 0);
        // File commands are addressed exactly like JSON requests.
        rig->files.GetFromKey(QStringLiteral("dbsett"), QStringLiteral("0001ABC000000100"));

        QCOMPARE(rig->usb.sent.size(), 2 * usbCount);
        QCOMPARE(rig->wifi.sent.size(), 2 * wifiCount);
        for (const SentCommand &c : qAsConst(rig->usb.sent))
            QCOMPARE(c.attempts, quint8(3));
        for (const SentCommand &c : qAsConst(rig->wifi.sent)) {
            QCOMPARE(c.target, QStringLiteral("AA:02"));
            QCOMPARE(int(c.attempts), wifiAttempts);
        }
        if (usbCount)
            QCOMPARE(rig->usb.sent.last().packetClass, quint8(0x31));
    }
};

QTEST_GUILESS_MAIN(TestRequests)
#include "tst_requests.moc"
