// The emulated key's answers to every JSON request, driven without a transport.
#include "KeyHarness.h"

#include <QFile>

using td::request::Arg;

namespace {
const char kCalWrite[] =
    R"({"function_name":"FE_SettingsCalibrate_Write","nm":%f,"offset":%d,"amplify":%d,"right":%d,"left":%d,                  "nm2":%f,"right2":%d,"left2":%d,"used":%d,                  "nol":%d,"gyrocorrection":%d,"gyrodeviation":%d,"anglecorrention":%d,"headstandartmm":%f,"keylengthmm":%f})";
const char kDevWrite[] =
    R"({"function_name":"FE_DeviceSetting_Write","Language":%d,"TypeKey":%d,                  "TypePCConnection":%d,"DataBase":%d,"DataTime":%d,"AddAlgorithm":%d,"Units":%d,"WiFiEnable":%d,"PasswordWrEnable":%d,"SleepTime":%d,"DisplayTime":%d,"SoundEffects":%d})";
const char kMenuWrite[] =
    R"({"function_name":"FE_MenuLevel_Write","NameTop":"%s","NameBottom":"%s","Active":%d,"Order":%d,"Index":%d})";
const char kWiFiWrite[] =
    R"({"function_name":"FE_WiFiSettings_Write","SSID":"%s","Password":"%s","IP":"%s","PCPort":%d,"UserLogin":"%s","UserPassword":"%s","WPA2Enterprise":%d})";
} // namespace

class TestKeysimJson : public QObject
{
    Q_OBJECT
private slots:
    void readsAnswerWithTheirKeys();
    void writesAreReadBackAndSurviveARestart();
    void refusedValuesKeepTheOldOnes();
    void menuLevelsAndNames();
    void clockFollowsDateTimeWrite();
    void statusAnswersEveryNotification();
    void brokenAndUnknownRequests();
    void pageDeleteReportsTheChange();
    void pageCurrentWrite();
};

void TestKeysimJson::readsAnswerWithTheirKeys()
{
    KeyHarness k;
    struct Case
    {
        const char *text;
        QStringList keys;
    };
    const QList<Case> cases = {
        {R"({"function_name":"FE_KeyName_Read"})", {"KeyName", "OperatorName"}},
        {R"({"function_name":"FE_DeviceSetting_Read"})",
         {"SoundEffects", "DisplayTime", "SleepTime", "VersionSW", "WiFiEnable", "Units", "AddAlgorithm",
          "DataTime", "DataBase", "TypePCConnection", "TypeKey", "Language", "SerialNo"}},
        {R"({"function_name":"FE_SettingsCalibrate_Read"})",
         {"keylengthmm", "headstandartmm", "nm2", "nm", "anglecorrention", "gyrodeviation", "gyrocorrection",
          "nol", "used", "left2", "right2", "left", "right", "amplify", "offset"}},
        {R"({"function_name":"FE_MenuLevel_Read","Index":2})", {"Order", "Active", "NameBottom", "NameTop", "Index"}},
        {R"({"function_name":"FE_WiFiSettings_Read"})",
         {"WPA2Enterprise", "UserPassword", "UserLogin", "PCPort", "IP", "Password", "SSID"}},
        {R"({"function_name":"FE_DateTime_Read"})", {"Seconds", "Minutes", "Hour", "Day", "Month", "Year"}},
    };
    for (const Case &c : cases) {
        k.sendText(c.text);
        const QJsonObject r = k.takeReply();
        const QString name = QJsonDocument::fromJson(c.text).object().value("function_name").toString();
        QCOMPARE(r.value("function_name").toString(), name);
        for (const QString &key : c.keys)
            QVERIFY2(r.contains(key), qPrintable(name + " lacks " + key));
    }
    QCOMPARE(k.requestLog.size(), cases.size());
    QCOMPARE(k.requestLog.first(), QStringLiteral("FE_KeyName_Read"));
}

void TestKeysimJson::writesAreReadBackAndSurviveARestart()
{
    KeyHarness k;
    k.send(kCalWrite, {Arg(150.5), Arg(17), Arg(900), Arg(3000), Arg(1000), Arg(75.25), Arg(2500), Arg(1500),
                       Arg(1), Arg(2040), Arg(-12), Arg(-5), Arg(333), Arg(24.0), Arg(750.0)});
    QJsonObject r = k.takeReply();
    QCOMPARE(r.value("function_name").toString(), QStringLiteral("FE_SettingsCalibrate_Write"));
    QCOMPARE(r.value("RequestTemplates").toBool(true), false);

    k.send(kDevWrite, {Arg(0), Arg(3), Arg(2), Arg(0), Arg(1), Arg(0), Arg(1), Arg(1), Arg(0), Arg(17),
                       Arg(15), Arg(0)});
    QCOMPARE(k.takeReply().value("function_name").toString(), QStringLiteral("FE_DeviceSetting_Write"));
    k.send(kWiFiWrite, {Arg(QStringLiteral("plant-5G")), Arg(QStringLiteral("s3cret")), Arg(QStringLiteral("10.0.0.7")),
                        Arg(32123), Arg(QStringLiteral("fitter")), Arg(QStringLiteral("pw")), Arg(1)});
    k.takeReply();

    // A second key on the same root is the same key.
    keysim::KeyState reloaded;
    QVERIFY(reloaded.load(k.statePath()));
    QCOMPARE(reloaded.calibration.nm, 150.5);
    QCOMPARE(reloaded.calibration.gyrocorrection, -12);
    QCOMPARE(reloaded.calibration.gyrodeviation, -5);
    QCOMPARE(reloaded.calibration.keylengthmm, 750.0);
    QCOMPARE(reloaded.device.TypeKey, 3);
    QCOMPARE(reloaded.device.SleepTime, 17);
    QCOMPARE(reloaded.device.Units, 1);
    QCOMPARE(reloaded.wifi.SSID, QStringLiteral("plant-5G"));
    QCOMPARE(reloaded.wifi.PCPort, 32123);

    k.sendText(R"({"function_name":"FE_SettingsCalibrate_Read"})");
    r = k.takeReply();
    QCOMPARE(r.value("nm").toDouble(), 150.5);
    QCOMPARE(r.value("used").toInt(), 1);
    QCOMPARE(r.value("anglecorrention").toInt(), 333);
    k.sendText(R"({"function_name":"FE_DeviceSetting_Read"})");
    r = k.takeReply();
    QCOMPARE(r.value("DisplayTime").toInt(), 15);
    QCOMPARE(r.value("VersionSW").toInt(), k.state.device.VersionSW); // firmware's, not writable
    k.sendText(R"({"function_name":"FE_WiFiSettings_Read"})");
    r = k.takeReply();
    QCOMPARE(r.value("UserLogin").toString(), QStringLiteral("fitter"));
    QCOMPARE(r.value("WPA2Enterprise").toInt(), 1);
}

void TestKeysimJson::refusedValuesKeepTheOldOnes()
{
    KeyHarness k;
    const int sleep = k.state.device.SleepTime;
    // SleepTime 40 and Units 7 are no item the key has; the rest is taken.
    k.send(kDevWrite, {Arg(0), Arg(1), Arg(1), Arg(1), Arg(1), Arg(1), Arg(7), Arg(0), Arg(0), Arg(40),
                       Arg(2), Arg(1)});
    k.takeReply();
    QCOMPARE(k.state.device.SleepTime, sleep);
    QCOMPARE(k.state.device.Units, 0);
    QCOMPARE(k.state.device.TypeKey, 1);
    QCOMPARE(k.state.device.DisplayTime, 2);

    // A calibration write missing keys still answers and keeps what it did not carry.
    const double nm = k.state.calibration.nm;
    k.sendText(R"({"function_name":"FE_SettingsCalibrate_Write","offset":300,"amplify":77,"nm":"x"})");
    QCOMPARE(k.takeReply().value("function_name").toString(), QStringLiteral("FE_SettingsCalibrate_Write"));
    QCOMPARE(k.state.calibration.nm, nm);
    QCOMPARE(k.state.calibration.offset, 128);
    QCOMPARE(k.state.calibration.amplify, 77);

    // Texts that together would overflow a frame are bounded, so the read reply still fits.
    // (Each arrives in a request of its own: one frame could not carry them all.)
    const QString huge(150, QChar(0x0416)); // two UTF-8 bytes each
    for (const char *field : {"SSID", "Password", "IP", "UserLogin", "UserPassword"}) {
        QJsonObject w{{"function_name", "FE_WiFiSettings_Write"}, {field, huge}};
        k.sendText(QJsonDocument(w).toJson(QJsonDocument::Compact));
        QCOMPARE(k.takeReply().value("function_name").toString(), QStringLiteral("FE_WiFiSettings_Write"));
    }
    k.sendText(R"({"function_name":"FE_WiFiSettings_Read"})");
    QVERIFY(!k.out.isEmpty());
    QVERIFY(k.out.first().body.size() + 1 <= 768);
    const QJsonObject r = k.takeReply();
    QCOMPARE(r.value("SSID").toString().toUtf8().size(), 32);
    QCOMPARE(r.value("Password").toString().toUtf8().size(), 64);
    QCOMPARE(r.value("UserPassword").toString(), QString(32, QChar(0x0416)));
}

void TestKeysimJson::menuLevelsAndNames()
{
    KeyHarness k;
    const QString sixty = QString(60, QLatin1Char('T'));
    k.send(kMenuWrite, {Arg(sixty), Arg(QStringLiteral("Bottom \"q\"")), Arg(0), Arg(3), Arg(1)});
    QCOMPARE(k.takeReply().value("function_name").toString(), QStringLiteral("FE_MenuLevel_Write"));
    k.sendText(R"({"function_name":"FE_MenuLevel_Read","Index":1})");
    QJsonObject r = k.takeReply();
    QCOMPARE(r.value("Index").toInt(), 1);
    QCOMPARE(r.value("NameTop").toString(), QString(50, QLatin1Char('T')));
    QCOMPARE(r.value("NameBottom").toString(), QStringLiteral("Bottom \"q\""));
    QCOMPARE(r.value("Active").toInt(), 0);
    QCOMPARE(r.value("Order").toInt(), 3);

    // No level 4: the reply names the index and carries nothing else; no level changes.
    k.send(kMenuWrite, {Arg(QStringLiteral("x")), Arg(QStringLiteral("y")), Arg(1), Arg(1), Arg(4)});
    k.takeReply();
    for (const auto &l : k.state.menuLevels)
        QVERIFY(l.NameTop != QLatin1String("x"));
    k.sendText(R"({"function_name":"FE_MenuLevel_Read","Index":4})");
    r = k.takeReply();
    QCOMPARE(r.value("Index").toInt(), 4);
    QVERIFY(!r.contains("NameTop"));

    k.send(R"({"function_name":"FE_KeyName_Write","KeyName":"%s","OperatorName":"%s"})",
           {Arg(QString(60, QLatin1Char('K'))), Arg(QStringLiteral("Petrov\tP."))});
    k.takeReply();
    k.sendText(R"({"function_name":"FE_KeyName_Read"})");
    r = k.takeReply();
    QCOMPARE(r.value("KeyName").toString(), QString(50, QLatin1Char('K')));
    QCOMPARE(r.value("OperatorName").toString(), QStringLiteral("PetrovP.")); // no control characters
}

void TestKeysimJson::clockFollowsDateTimeWrite()
{
    KeyHarness k;
    const char fmt[] = R"({"function_name":"FE_DateTime_Write","Year":%d,"Month":%d,"Day":%d,"Hour":%d,"Minutes":%d,"Seconds":%d})";
    k.send(fmt, {Arg(2031), Arg(3), Arg(5), Arg(9), Arg(7), Arg(3)});
    QCOMPARE(k.takeReply().value("function_name").toString(), QStringLiteral("FE_DateTime_Write"));
    k.sendText(R"({"function_name":"FE_DateTime_Read"})");
    const QJsonObject r = k.takeReply();
    QCOMPARE(r.value("Year").toInt(), 2031);
    QCOMPARE(r.value("Month").toInt(), 3);
    QCOMPARE(r.value("Day").toInt(), 5);
    QCOMPARE(r.value("Hour").toInt(), 9);
    QVERIFY(r.value("Minutes").toInt() >= 7 && r.value("Minutes").toInt() <= 8);

    // 30 February is no date: the clock stays, the request is still answered.
    const qint64 offset = k.state.clockOffsetSeconds();
    k.send(fmt, {Arg(2031), Arg(2), Arg(30), Arg(1), Arg(0), Arg(0)});
    QCOMPARE(k.takeReply().value("function_name").toString(), QStringLiteral("FE_DateTime_Write"));
    QCOMPARE(k.state.clockOffsetSeconds(), offset);
}

void TestKeysimJson::statusAnswersEveryNotification()
{
    KeyHarness k;
    k.state.status.StateMachine = 31;
    k.state.status.WifiBattery = 1;
    const char fmt[] = R"({"function_name":"FE_JsonNotification_Status","KeyInFocus":%d,"PCMenu":%d,"TestConnectCounter":%d})";
    for (int tick = 0; tick < 3; ++tick) {
        k.send(fmt, {Arg(1), Arg(3), Arg(10)});
        const QJsonObject r = k.takeReply();
        QCOMPARE(r.value("function_name").toString(), QStringLiteral("FE_JsonNotification_Status"));
        QCOMPARE(r.value("StateMachine").toInt(), 31);
        QCOMPARE(r.value("WifiBattery").toInt(), 1);
        QVERIFY(r.contains("WifiRSSI"));
        QVERIFY(r.contains("MeasureRotationStatus"));
    }
    QCOMPARE(k.state.status.PCMenu, 3);
    QCOMPARE(k.state.status.KeyInFocus, 1);
}

void TestKeysimJson::brokenAndUnknownRequests()
{
    KeyHarness k;
    // An older PC puts a typed quote into the text unescaped: the JSON breaks, but the
    // function is recognised and answered so the PC's queue moves on; nothing is stored.
    const QString before = k.state.KeyName;
    k.sendText(R"({"function_name":"FE_KeyName_Write","KeyName":"My "best" key","OperatorName":"A"})");
    QJsonObject r = k.takeReply();
    QCOMPARE(r.value("function_name").toString(), QStringLiteral("FE_KeyName_Write"));
    QVERIFY(r.contains("Error"));
    QCOMPARE(k.state.KeyName, before);
    QCOMPARE(k.requestLog.last(), QStringLiteral("FE_KeyName_Write"));

    // Nothing to answer: an unknown function, a text with no function name, garbage, a
    // frame of another class, a body too short to have a class.
    k.sendText(R"({"function_name":"FE_Self_Destruct"})");
    k.sendText("[1,2,3]");
    k.sendText("\xff\xfe{{{");
    k.engine.handleBody(QByteArray("\x32\x00\x01\x02", 4));
    k.engine.handleBody(QByteArray("\x30", 1));
    k.engine.handleBody(QByteArray("\x30\x01", 2));
    QVERIFY(k.out.isEmpty());
    QVERIFY(k.requestLog.contains(QStringLiteral("FE_Self_Destruct")));
    QVERIFY(k.requestLog.contains(QStringLiteral("JSON ?")));

    // Requests sent without awaiting an answer get none.
    k.sendText(R"({"function_name":"FE_WiFi_I_Am_Here","TestConnectCounter":10})");
    QVERIFY(k.out.isEmpty());

    // Message and reboot are answered and remembered.
    k.send(R"({"function_name":"FE_Message_Write","Text":"%s","Type":%d})", {Arg(QStringLiteral("Stop")), Arg(1)});
    QCOMPARE(k.takeReply().value("function_name").toString(), QStringLiteral("FE_Message_Write"));
    QVERIFY(k.state.locked);
    k.send(R"({"function_name":"FE_Reboot_Write","WithResetToDefault":%d})", {Arg(2)});
    QCOMPARE(k.takeReply().value("function_name").toString(), QStringLiteral("FE_Reboot_Write"));
    QCOMPARE(k.state.rebootCount, 1);
}

void TestKeysimJson::pageDeleteReportsTheChange()
{
    KeyHarness k;
    const QString dbsett = k.dir.filePath("dbsett/");
    for (const char *n : {"0000ABC000000100", "0001ABC000000203", "0102000000004203"}) {
        QFile f(dbsett + QLatin1String(n));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(88, '\0'));
    }
    k.state.currentPage = QStringLiteral("0001ABC000000203");
    const char fmt[] = R"({"function_name":"FE_Page_Delete","pagenumber":"%s","all":%d})";

    k.send(fmt, {Arg(QStringLiteral("0001ABC000000203")), Arg(0)});
    QCOMPARE(k.out.size(), 1);
    QVERIFY(!k.out.first().isReply);
    QJsonObject n = KeyHarness::parseJson(k.out.takeFirst().body);
    QCOMPARE(n.value("function_name").toString(), QStringLiteral("FE_FileSystem_Status"));
    QCOMPARE(n.value("changetype").toInt(), 2);
    QCOMPARE(n.value("dirname").toString(), QStringLiteral("dbsett"));
    QCOMPARE(n.value("filename").toString(), QStringLiteral("0001ABC000000203"));
    QVERIFY(!QFile::exists(dbsett + "0001ABC000000203"));
    QVERIFY(k.state.currentPage.isEmpty());
    QCOMPARE(k.fs.recordNames().size(), 2);

    // A hostile name deletes nothing and reports nothing.
    for (const QString &bad : {QStringLiteral("../.keystate.json"), QStringLiteral("/etc/passwd"),
                               QStringLiteral(".."), QString()}) {
        k.send(fmt, {Arg(bad), Arg(0)});
        QVERIFY2(k.out.isEmpty(), qPrintable(bad));
    }
    QCOMPARE(k.fs.recordNames().size(), 2);

    // Every record: one notification, change type 6, and an empty folder.
    k.send(fmt, {Arg(QString()), Arg(1)});
    QCOMPARE(k.out.size(), 1);
    n = KeyHarness::parseJson(k.out.takeFirst().body);
    QCOMPARE(n.value("changetype").toInt(), 6);
    QCOMPARE(n.value("dirname").toString(), QStringLiteral("dbsett"));
    QVERIFY(k.fs.recordNames().isEmpty());
    QVERIFY(QFile::exists(k.statePath())); // the key's own state is no record
}

void TestKeysimJson::pageCurrentWrite()
{
    KeyHarness k;
    const char fmt[] = R"({"function_name":"FE_PageCurrent_Write", "pagenumber":"%s"})";
    k.send(fmt, {Arg(QStringLiteral("010A000000004203"))});
    QJsonObject r = k.takeReply();
    QCOMPARE(r.value("function_name").toString(), QStringLiteral("FE_PageCurrent_Write"));
    QCOMPARE(r.value("pagenumber").toString(), QStringLiteral("010A000000004203"));
    QCOMPARE(k.state.currentPage, QStringLiteral("010A000000004203"));
    k.send(fmt, {Arg(QStringLiteral("../../x"))});
    r = k.takeReply();
    QCOMPARE(r.value("pagenumber").toString(), QStringLiteral("010A000000004203"));
}

QTEST_GUILESS_MAIN(TestKeysimJson)
#include "tst_keysim_json.moc"
