// The whole window against the key emulator over a real pseudo-terminal: every button of the
// Parameters and Calibrate pages sends exactly the request texts the key knows, with the
// values on the page, as keysim logs them; calibration files go to the key only when sound.
#include "base/Paths.h"
#include "base/cGlobalData.h"
#include "config/CalibrationArchive.h"
#include "config/LiveValues.h"
#include "protocol/FileExchange.h"
#include "protocol/KeyModel.h"
#include "protocol/KeyProtocol.h"
#include "protocol/KeySession.h"
#include "records/RecordFile.h"
#include "ui/calibration/CalibrationPage.h"
#include "ui/frame/MainWindow.h"
#include "ui/popups/PopupA.h"
#include "ui/popups/PopupHost.h"
#include "ui/popups/PopupMsg.h"
#include "ui/settings/KeyMessagePanel.h"
#include "ui/settings/KeySettingsPage.h"
#include "ui/widgets/cParameter.h"
#include "ui/widgets/cSwitcher.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

#include <cmath>

using F = CalibrationFields;

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// The key's request texts, written out here rather than taken from the program.
const char kDeviceWrite[] =
    "{\"function_name\":\"FE_DeviceSetting_Write\",\"Language\":%1,\"TypeKey\":%2,                  "
    "\"TypePCConnection\":%3,\"DataBase\":%4,\"DataTime\":%5,\"AddAlgorithm\":%6,\"Units\":%7,"
    "\"WiFiEnable\":%8,\"PasswordWrEnable\":0,\"SleepTime\":%9,\"DisplayTime\":%10,\"SoundEffects\":%11}";
const char kCalWrite[] =
    "{\"function_name\":\"FE_SettingsCalibrate_Write\",\"nm\":%1,\"offset\":%2,\"amplify\":%3,\"right\":%4,"
    "\"left\":%5,                  \"nm2\":%6,\"right2\":%7,\"left2\":%8,\"used\":%9,                  "
    "\"nol\":%10,\"gyrocorrection\":%11,\"gyrodeviation\":%12,\"anglecorrention\":%13,"
    "\"headstandartmm\":%14,\"keylengthmm\":%15}";

QString real(double v) { return QString::number(v, 'f', 6); }

} // namespace

class TestSettingsE2e : public QObject
{
    Q_OBJECT

    QTemporaryDir m_tmp;
    QProcess m_sim;
    cGlobalData m_data;
    MainWindow *m_window = nullptr;
    KeySettingsPage *m_settings = nullptr;
    CalibrationPage *m_cal = nullptr;
    int m_mark = 0;
    int m_markers = 0;

    QString keyRoot(int n) const { return m_tmp.filePath(QStringLiteral("key%1").arg(n)); }
    QString textLog() const { return m_tmp.filePath(QStringLiteral("texts.log")); }
    KeyProtocol *protocol() const { return m_window->session()->protocol(); }
    KeyModel *model() const { return m_window->session()->model(); }

    QJsonObject keyState(int n) const
    {
        return QJsonDocument::fromJson(readFile(keyRoot(n) + QStringLiteral("/.keystate.json"))).object();
    }

    // Every text the key received, minus the ones the program sends on its own clock. On a
    // loaded machine the transmit queue may send a request again when the key's answer is
    // late; such a repeat arrives right after the first and is counted once.
    QStringList texts() const
    {
        QStringList out;
        for (const QString &line : QString::fromUtf8(readFile(textLog())).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            if (line.contains(QLatin1String("FE_JsonNotification_Status"))
                || line.contains(QLatin1String("FE_PageCurrent_Read")))
                continue;
            if (out.isEmpty() || out.last() != line)
                out << line;
        }
        return out;
    }

    // A request the key answers without changing anything (a record name it refuses), unique
    // each time so that a repeated one cannot be taken for a later one.
    QString sendMarker()
    {
        const QString page = QStringLiteral("mark/%1").arg(++m_markers);
        protocol()->FE_PageCurrent_Write(page);
        return QStringLiteral("{\"function_name\":\"FE_PageCurrent_Write\", \"pagenumber\":\"%1\"}").arg(page);
    }

    // Lets every request queued so far reach the key (the queue keeps its order), then
    // starts counting.
    void mark()
    {
        const QString marker = sendMarker();
        [&] { QTRY_VERIFY_WITH_TIMEOUT(texts().contains(marker), 15000); }();
        m_mark = texts().size();
    }
    QStringList sinceMark() const { return texts().mid(m_mark); }

    // Waits for n texts after the mark, then for a marker, so nothing sent in between can
    // still be on its way when the texts are compared.
    QStringList settle(int n)
    {
        [&] { QTRY_VERIFY_WITH_TIMEOUT(sinceMark().size() >= n, 15000); }();
        const QString marker = sendMarker();
        [&] { QTRY_VERIFY_WITH_TIMEOUT(sinceMark().contains(marker), 15000); }();
        QStringList out = sinceMark();
        out.removeAll(marker);
        if (out.size() > n)
            qWarning().noquote() << "sent:" << out.join(QLatin1Char('\n'));
        return out;
    }

    bool makeKey(int n)
    {
        const QString keysim = qEnvironmentVariable("TD_BUILD_DIR", QStringLiteral(".")) + QStringLiteral("/keysim");
        QProcess make;
        make.start(keysim, {"make-key", "--root", keyRoot(n), "--records", "2", "--measures", "1", "--seed", "7"});
        if (!make.waitForFinished(30000) || make.exitCode() != 0) {
            qWarning().noquote() << make.readAllStandardError();
            return false;
        }
        return true;
    }

    bool startKey(int n, const QStringList &extra = {})
    {
        const QString keysim = qEnvironmentVariable("TD_BUILD_DIR", QStringLiteral(".")) + QStringLiteral("/keysim");
        m_sim.start(keysim, QStringList{"--root", keyRoot(n), "--text-log", textLog()} + extra);
        if (!m_sim.waitForStarted(10000))
            return false;
        while (!m_sim.canReadLine()) {
            if (!m_sim.waitForReadyRead(10000)) {
                qWarning().noquote() << m_sim.readAllStandardError();
                return false;
            }
        }
        m_data.portOverride = QString::fromUtf8(m_sim.readLine()).trimmed();
        return m_data.portOverride.startsWith(QLatin1String("/dev/"));
    }

    void stopKey()
    {
        if (m_sim.state() != QProcess::NotRunning) {
            m_sim.terminate();
            if (!m_sim.waitForFinished(5000))
                m_sim.kill();
            m_sim.waitForFinished(5000);
        }
    }

    void click(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton); }

    void typeOnKeypad(cParameter *p, const QString &digits, bool accepted = true)
    {
        click(p->button());
        PopupA *pad = m_window->popups()->keypad();
        QVERIFY(pad->isVisible());
        for (const QChar c : digits)
            click(pad->findChild<QPushButton *>(QStringLiteral("pb") + c));
        click(pad->findChild<QPushButton *>(QStringLiteral("pbOK")));
        QCOMPARE(pad->isVisible(), !accepted);
    }

    void openSettings(const QString &code, int leftMenuIndex)
    {
        auto *stack = m_window->findChild<QStackedWidget *>(QStringLiteral("stMainPages"));
        auto *settings = m_window->findChild<QPushButton *>(QStringLiteral("pbSettings"));
        if (stack->currentIndex() == 1)
            click(settings);
        QCOMPARE(stack->currentIndex(), 3);
        m_window->findChild<QLineEdit *>(QStringLiteral("leKeyMessage"))->setText(code);
        click(settings);
        QCOMPARE(stack->currentIndex(), 1);
        static const char *const menu[] = {"pbMenuRecords", "pbMenuTemplates", "pbMenuDB",
                                           "pbMenuCalibrate", "pbMenuLevels", "pbMenuAbout"};
        click(m_window->findChild<QPushButton *>(QLatin1String(menu[leftMenuIndex])));
        mark(); // the reads the settings page asks for are answered before a test goes on
    }

    QString deviceText(const DeviceSettings &s) const
    {
        return QString::fromLatin1(kDeviceWrite)
            .arg(s.Language).arg(s.TypeKey).arg(s.TypePCConnection).arg(s.DataBase).arg(s.DataTime)
            .arg(s.AddAlgorithm).arg(s.Units).arg(s.WiFiEnable).arg(s.SleepTime).arg(s.DisplayTime)
            .arg(s.SoundEffects);
    }

    // The calibration as the page shows it, in the key's request text.
    QString calText(int gyrocorrection) const
    {
        auto v = [this](F::Field f) { return m_cal->field(f)->value(); };
        auto i = [&](F::Field f) { return QString::number(qint64(v(f))); };
        return QString::fromLatin1(kCalWrite)
            .arg(real(v(F::Nm)), i(F::Offset), i(F::Amplify), i(F::Right), i(F::Left), real(v(F::Nm2)),
                 i(F::Right2), i(F::Left2), QString::number(m_cal->extendSwitch()->checked() ? 1 : 0))
            .arg(i(F::Nol), QString::number(gyrocorrection), m_cal->field(F::GyroDeviation)->text(),
                 i(F::AngleCorrection), real(v(F::Head)), real(v(F::KeyLength)));
    }

    void fromKey(const QByteArray &json) { protocol()->ParseJsonRx(json, QString(), QHostAddress(), 0); }

    // The red message popup's text, then closes it.
    QString takeMessage()
    {
        PopupMsg *msg = m_window->popups()->message();
        if (!msg->isVisible())
            return QString();
        QString text;
        for (QLabel *l : msg->findChildren<QLabel *>())
            text += l->text();
        m_window->popups()->closeMessage();
        return text;
    }

private slots:
    void initTestCase()
    {
        // Screenshots in Russian: the program's own translation, as main() loads it.
        if (qEnvironmentVariable("TD_SCREENSHOT_LANG") == QLatin1String("ru")) {
            auto *translator = new QTranslator(this);
            QVERIFY(translator->load(QStringLiteral("language_ru"), qEnvironmentVariable("TD_BUILD_DIR")));
            QCoreApplication::installTranslator(translator);
        }
        QDir().mkpath(m_tmp.filePath(QStringLiteral("pc")));
        Paths::setDataRoot(m_tmp.filePath(QStringLiteral("pc")));
        // Live tightenings every 0.7 s feed the live values of the calibration page.
        QVERIFY(makeKey(1));
        QVERIFY(startKey(1, {"--live", "0.7"}));
        m_window = new MainWindow(nullptr, &m_data);
        m_window->resize(1280, 800);
        m_window->show();
        QTRY_VERIFY_WITH_TIMEOUT(m_window->session(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(!model()->calibrationText().isEmpty()
                                     && !model()->wifiSettings().SSID.isEmpty()
                                     && !model()->names().keyName.isEmpty(),
                                 30000);
        m_settings = m_window->findChild<KeySettingsPage *>(QStringLiteral("keySettingsPage"));
        m_cal = m_window->findChild<CalibrationPage *>(QStringLiteral("calibrationPage"));
        QVERIFY(m_settings);
        QVERIFY(m_cal);
        QTRY_VERIFY_WITH_TIMEOUT(m_window->findChild<QStackedWidget *>(QStringLiteral("stMainPages"))->currentIndex() == 3,
                                 30000);
    }

    void cleanupTestCase()
    {
        delete m_window;
        stopKey();
        Paths::setDataRoot(QString());
    }

    void pagesShowTheKey()
    {
        const QJsonObject st = keyState(1);
        const QJsonObject dev = st.value("device").toObject();
        QCOMPARE(m_settings->sleepCombo()->currentIndex(), dev.value("SleepTime").toInt());
        QCOMPARE(m_settings->displayCombo()->currentIndex(), dev.value("DisplayTime").toInt());
        QCOMPARE(m_settings->typeKeyCombo()->currentIndex(), dev.value("TypeKey").toInt());
        QCOMPARE(m_settings->soundSwitch()->checked(), dev.value("SoundEffects").toInt() != 0);
        QCOMPARE(m_settings->identityLabel()->text(), QStringLiteral("Control (012)"));
        QCOMPARE(m_settings->serialLine()->text(), QStringLiteral("S/N: ") + dev.value("SerialNo").toString());
        QCOMPARE(m_settings->keyNameEdit()->text(), st.value("KeyName").toString());
        QCOMPARE(m_settings->ssidEdit()->text(), QStringLiteral("workshop"));
        QCOMPARE(m_settings->pcPort()->value(), 32100.0);
        QCOMPARE(m_cal->field(F::Nm)->text(), QStringLiteral("340.00"));
        QCOMPARE(m_cal->field(F::Right)->value(), 3100.0);
        QCOMPARE(m_cal->nolLabel()->text(), QStringLiteral("2048"));
        QVERIFY(!m_cal->field(F::Nm2)->button()->isEnabled()); // extended point not in use
        // The read-out archived this calibration, and the page says so.
        QVERIFY(m_cal->historyLabel()->text().contains(QDate::currentDate().toString("dd.MM.yyyy")));
        QVERIFY(m_cal->historyLabel()->text().contains(QStringLiteral("(1 ")));
    }

    void screenshots()
    {
        const QString dir = qEnvironmentVariable("TD_SCREENSHOT_DIR");
        if (dir.isEmpty())
            QSKIP("TD_SCREENSHOT_DIR not set");
        const QString lang = qEnvironmentVariable("TD_SCREENSHOT_LANG", QStringLiteral("en"));
        QVERIFY(m_window->grab().save(dir + QStringLiteral("/mainform_%1.png").arg(lang)));
        openSettings(QStringLiteral("5729"), 4);
        QTest::qWait(300);
        QVERIFY(m_window->grab().save(dir + QStringLiteral("/parameters_%1.png").arg(lang)));
        openSettings(QStringLiteral("00493700"), 4);
        QTest::qWait(300);
        QVERIFY(m_window->grab().save(dir + QStringLiteral("/parameters_service_%1.png").arg(lang)));
        openSettings(QStringLiteral("493"), 3);
        typeOnKeypad(m_cal->periodField(), QStringLiteral("300"));
        QTRY_VERIFY_WITH_TIMEOUT(m_cal->momentLabel()->text() != QStringLiteral("-"), 15000);
        QVERIFY(m_window->grab().save(dir + QStringLiteral("/calibrate_%1.png").arg(lang)));
        typeOnKeypad(m_cal->periodField(), QStringLiteral("0"));
    }

    void deviceSettingsApply()
    {
        openSettings(QStringLiteral("5729"), 4);
        QVERIFY(m_window->findChild<QFrame *>(QStringLiteral("frSetup"))->isEnabled());

        // Only the power-off time changed: one write, no reboot.
        m_settings->sleepCombo()->setCurrentIndex(9);
        m_settings->displayCombo()->setCurrentIndex(12);
        click(m_settings->soundSwitch()->button());
        mark();
        click(m_window->findChild<QPushButton *>(QStringLiteral("pbSetupApply")));
        DeviceSettings page = m_settings->settingsOnPage();
        QCOMPARE(page.SleepTime, quint16(9));
        QStringList sent = settle(1);
        QCOMPARE(sent, QStringList{deviceText(page)});
        QCOMPARE(keyState(1).value("device").toObject().value("SleepTime").toInt(), 9);
        QCOMPARE(keyState(1).value("device").toObject().value("SoundEffects").toInt(), int(page.SoundEffects));

        // The units changed: the write, then the reboot that resets the key's values.
        m_settings->unitsCombo()->setCurrentIndex(1);
        mark();
        click(m_window->findChild<QPushButton *>(QStringLiteral("pbSetupApply")));
        page = m_settings->settingsOnPage();
        sent = settle(2);
        QCOMPARE(sent, (QStringList{deviceText(page),
                                    QStringLiteral("{\"function_name\":\"FE_Reboot_Write\",\"WithResetToDefault\":2}")}));
        // Back to N·m, and the PC learns the key's settings again.
        m_settings->unitsCombo()->setCurrentIndex(0);
        click(m_window->findChild<QPushButton *>(QStringLiteral("pbSetupApply")));
        protocol()->FE_DeviceSetting_Read();
        QTRY_COMPARE_WITH_TIMEOUT(int(model()->deviceSettings().SleepTime), 9, 15000);
        QTRY_COMPARE_WITH_TIMEOUT(int(model()->deviceSettings().Units), 0, 15000);
    }

    void upgradeAlwaysReboots()
    {
        openSettings(QStringLiteral("00493700"), 4);
        QVERIFY(m_window->findChild<QFrame *>(QStringLiteral("frOptions"))->isVisible());
        m_settings->algorithmCombo()->setCurrentIndex(0);
        mark();
        click(m_window->findChild<QPushButton *>(QStringLiteral("pbWriteConfigKey")));
        DeviceSettings page = m_settings->settingsOnPage();
        QCOMPARE(settle(2), (QStringList{deviceText(page),
                                         QStringLiteral("{\"function_name\":\"FE_Reboot_Write\",\"WithResetToDefault\":0}")}));

        const int db = m_settings->dataBaseCombo()->currentIndex();
        m_settings->dataBaseCombo()->setCurrentIndex(1 - db);
        mark();
        click(m_window->findChild<QPushButton *>(QStringLiteral("pbWriteConfigKey")));
        page = m_settings->settingsOnPage();
        QCOMPARE(settle(2), (QStringList{deviceText(page),
                                         QStringLiteral("{\"function_name\":\"FE_Reboot_Write\",\"WithResetToDefault\":1}")}));
        QCOMPARE(keyState(1).value("device").toObject().value("DataBase").toInt(), 1 - db);
        QCOMPARE(keyState(1).value("device").toObject().value("AddAlgorithm").toInt(), 0);
    }

    void identityOfAnUnknownType()
    {
        fromKey(R"({"function_name":"FE_DeviceSetting_Read","TypeKey":7,"VersionSW":12,"SerialNo":"2907K000001","SleepTime":9})");
        QCOMPARE(m_settings->identityLabel()->text(), QStringLiteral(" (012)"));
        QCOMPARE(m_settings->typeKeyCombo()->currentIndex(), -1);
        protocol()->FE_DeviceSetting_Read();
        QTRY_COMPARE_WITH_TIMEOUT(m_settings->identityLabel()->text(), QStringLiteral("Control (012)"), 15000);
    }

    void keyNameIsCutTo50()
    {
        openSettings(QStringLiteral("5729"), 4);
        const QString sixty = QStringLiteral("Key-") + QString(56, QLatin1Char('x'));
        QCOMPARE(sixty.size(), 60);
        m_settings->keyNameEdit()->setText(sixty);
        m_settings->operatorNameEdit()->setText(QStringLiteral("Petrov P.P."));
        mark();
        click(m_window->findChild<QPushButton *>(QStringLiteral("pbKeyNameApply")));
        QCOMPARE(m_settings->keyNameEdit()->text(), sixty.left(50));
        QCOMPARE(settle(2), (QStringList{QStringLiteral("{\"function_name\":\"FE_KeyName_Write\",\"KeyName\":\"%1\",\"OperatorName\":\"Petrov P.P.\"}")
                                             .arg(sixty.left(50)),
                                         QStringLiteral("{\"function_name\":\"FE_KeyName_Read\"}")}));
        QCOMPARE(keyState(1).value("KeyName").toString(), sixty.left(50));
        // Typing stops at 50 characters too.
        m_settings->keyNameEdit()->clear();
        QTest::keyClicks(m_settings->keyNameEdit(), sixty);
        QCOMPARE(m_settings->keyNameEdit()->text(), sixty.left(50));
    }

    void wifiSettings()
    {
        openSettings(QStringLiteral("5729"), 4);
        cSwitcher *wpa2 = m_settings->wpa2Switch();
        QVERIFY(!wpa2->checked());
        QVERIFY(m_settings->routerPasswordEdit()->isEnabled());
        QVERIFY(!m_settings->userLoginEdit()->isEnabled());
        click(wpa2->button());
        QVERIFY(wpa2->checked());
        QVERIFY(!m_settings->routerPasswordEdit()->isEnabled());
        QVERIFY(m_settings->userLoginEdit()->isEnabled());
        QVERIFY(m_settings->userPasswordEdit()->isEnabled());

        QLineEdit *ip = m_settings->ipEdit();
        ip->clear();
        QTest::keyClicks(ip, QStringLiteral("10.0.300.7"));
        // Kept as typed, and refused: Apply waits for an address the key can use.
        QCOMPARE(ip->text(), QStringLiteral("10.0.300.7"));
        auto *apply = m_window->findChild<QPushButton *>(QStringLiteral("pbWiFiApply"));
        auto *note = m_window->findChild<QLabel *>(QStringLiteral("lbWifiNote"));
        QVERIFY(apply && note);
        QVERIFY(!apply->isEnabled());
        ip->setText(QStringLiteral("10.0.30.7"));
        QVERIFY(apply->isEnabled());
        m_settings->ssidEdit()->setText(QStringLiteral("line-2"));
        m_settings->userLoginEdit()->setText(QStringLiteral("fitter"));
        m_settings->userPasswordEdit()->setText(QStringLiteral("s3cret"));
        typeOnKeypad(m_settings->pcPort(), QStringLiteral("40000"), false); // outside 32000..32500
        PopupA *pad = m_window->popups()->keypad();
        if (pad->isVisible())
            click(pad->findChild<QPushButton *>(QStringLiteral("pbCancel")));
        QCOMPARE(m_settings->pcPort()->value(), 32100.0);
        typeOnKeypad(m_settings->pcPort(), QStringLiteral("32222"));
        QCOMPARE(m_settings->pcPort()->value(), 32222.0);
        mark();
        click(apply);
        QCOMPARE(settle(1), QStringList{QStringLiteral(
                                "{\"function_name\":\"FE_WiFiSettings_Write\",\"SSID\":\"line-2\",\"Password\":\"torque-2907\","
                                "\"IP\":\"10.0.30.7\",\"PCPort\":32222,\"UserLogin\":\"fitter\",\"UserPassword\":\"s3cret\","
                                "\"WPA2Enterprise\":1}")});
        QVERIFY2(note->text().contains(QLatin1String("10.0.30.7")), qPrintable(note->text()));
        click(wpa2->button());
        QVERIFY(m_settings->routerPasswordEdit()->isEnabled());
        QVERIFY(!m_settings->userLoginEdit()->isEnabled());
    }

    void clock()
    {
        openSettings(QString(), 4);
        protocol()->FE_DateTime_Write(QDateTime(QDate(2025, 3, 5), QTime(9, 7, 3)));
        protocol()->FE_DateTime_Read();
        QTRY_COMPARE_WITH_TIMEOUT(m_settings->keyDateLabel()->text(), QStringLiteral("05.03.2025"), 15000);
        QVERIFY2(QRegularExpression(QStringLiteral("^09:07:0[3-9]$")).match(m_settings->keyTimeLabel()->text()).hasMatch(),
                 qPrintable(m_settings->keyTimeLabel()->text()));
        QCOMPARE(m_settings->pcDateLabel()->text(), QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")));

        // The clock group needs no code: Sync sends the PC's time and reads the key back.
        QPushButton *sync = m_window->findChild<QPushButton *>(QStringLiteral("pbDateTimeSync"));
        QVERIFY(sync->isEnabled());
        mark();
        click(sync);
        const QStringList sent = settle(2);
        QCOMPARE(sent.size(), 2);
        const QDate today = QDate::currentDate();
        QVERIFY2(sent.at(0).startsWith(QStringLiteral("{\"function_name\":\"FE_DateTime_Write\",\"Year\":%1,\"Month\":%2,\"Day\":")
                                           .arg(today.year())
                                           .arg(today.month())),
                 qPrintable(sent.at(0)));
        QCOMPARE(sent.at(1), QStringLiteral("{\"function_name\":\"FE_DateTime_Read\"}"));
        QTRY_COMPARE_WITH_TIMEOUT(m_settings->keyDateLabel()->text(), today.toString(QStringLiteral("dd.MM.yyyy")), 15000);
    }

    void messages()
    {
        auto *stack = m_window->findChild<QStackedWidget *>(QStringLiteral("stMainPages"));
        if (stack->currentIndex() == 1)
            click(m_window->findChild<QPushButton *>(QStringLiteral("pbSettings")));
        auto *field = m_window->findChild<QLineEdit *>(QStringLiteral("leKeyMessage"));
        auto *panel = m_window->findChild<KeyMessagePanel *>(QStringLiteral("keyMessagePanel"));
        QVERIFY(panel);
        field->setText(QStringLiteral("Stop \"line\" 2"));
        mark();
        click(m_window->findChild<QPushButton *>(QStringLiteral("pbLockKey")));
        click(m_window->findChild<QPushButton *>(QStringLiteral("pbUnlockKey")));
        click(m_window->findChild<QPushButton *>(QStringLiteral("pbSendMessage")));
        QTest::keyClick(field, Qt::Key_Return); // Return sends nothing
        field->clear();
        click(m_window->findChild<QPushButton *>(QStringLiteral("pbSendMessage"))); // empty: nothing
        const QString t = QStringLiteral("{\"function_name\":\"FE_Message_Write\",\"Text\":\"Stop \\\"line\\\" 2\",\"Type\":%1}");
        QCOMPARE(settle(3), (QStringList{t.arg(1), t.arg(0), t.arg(2)}));
        QCOMPARE(keyState(1).value("lastMessage").toString(), QStringLiteral("Stop \"line\" 2"));
        QCOMPARE(keyState(1).value("locked").toBool(), false);

        QVERIFY(panel->isPanelVisible());
        click(panel->viewButton());
        QVERIFY(!field->isVisible());
        QVERIFY(!panel->viewButton()->isChecked());
        click(panel->viewButton());
        QVERIFY(field->isVisible());
        QTRY_COMPARE(m_window->focusWidget(), static_cast<QWidget *>(field));
    }

    void calibrationFieldWritesOncePerValue()
    {
        openSettings(QStringLiteral("493"), 3);
        QVERIFY(m_window->findChild<QFrame *>(QStringLiteral("frSettingsCalibrateRight"))->isEnabled());
        mark();
        typeOnKeypad(m_cal->field(F::Right), QStringLiteral("3210"));
        QCOMPARE(m_cal->field(F::Right)->value(), 3210.0);
        const int gyro = keyState(1).value("calibration").toObject().value("gyrocorrection").toInt();
        QCOMPARE(settle(1), QStringList{calText(gyro)});
        QVERIFY(sinceMark().first().contains(QStringLiteral("\"right\":3210,")));
        QCOMPARE(keyState(1).value("calibration").toObject().value("right").toInt(), 3210);

        // A value outside the field's range stays in the keypad and sends nothing.
        mark();
        typeOnKeypad(m_cal->field(F::Nol), QStringLiteral("5000"), false);
        PopupA *pad = m_window->popups()->keypad();
        QVERIFY(pad->isVisible());
        click(pad->findChild<QPushButton *>(QStringLiteral("pbCancel")));
        QCOMPARE(settle(0), QStringList());
    }

    void extendedPoint()
    {
        openSettings(QStringLiteral("493"), 3);
        const int gyro = keyState(1).value("calibration").toObject().value("gyrocorrection").toInt();
        mark();
        click(m_cal->extendSwitch()->button());
        QVERIFY(m_cal->field(F::Nm2)->button()->isEnabled());
        QVERIFY(m_cal->field(F::Left2)->button()->isEnabled());
        QCOMPARE(settle(1), QStringList{calText(gyro)});
        QVERIFY(sinceMark().first().contains(QStringLiteral("\"used\":1,")));
        mark();
        click(m_cal->extendSwitch()->button());
        QVERIFY(!m_cal->field(F::Nm2)->button()->isEnabled());
        QVERIFY(!m_cal->field(F::Right2)->button()->isEnabled());
        QVERIFY(!m_cal->field(F::Left2)->button()->isEnabled());
        QCOMPARE(settle(1), QStringList{calText(gyro)});
        QVERIFY(sinceMark().first().contains(QStringLiteral("\"used\":0,")));
        QCOMPARE(keyState(1).value("calibration").toObject().value("used").toInt(), 0);
    }

    void kilogramForceTitle()
    {
        fromKey(R"({"function_name":"FE_DeviceSetting_Read","Units":1,"TypeKey":2,"VersionSW":12,"SerialNo":"2907K000001","SleepTime":9})");
        protocol()->FE_SettingsCalibrate_Read();
        QTRY_COMPARE_WITH_TIMEOUT(m_window->windowTitle(), QStringLiteral("Dynamometric key 34.67 kgsm "), 15000);
        QCOMPARE(QString::number(model()->nominalMoment(), 'f', 2), QStringLiteral("34.67"));
        QCOMPARE(m_cal->field(F::Nm)->text(), QStringLiteral("340.00")); // not converted
        protocol()->FE_DeviceSetting_Read();
        protocol()->FE_SettingsCalibrate_Read();
        QTRY_COMPARE_WITH_TIMEOUT(m_window->windowTitle(), QStringLiteral("Dynamometric key 340 Nm "), 15000);
    }

    void archiveName()
    {
        fromKey(R"({"function_name":"FE_DeviceSetting_Read","TypeKey":2,"VersionSW":12,"SerialNo":"ABC"})");
        const QByteArray reply =
            R"({"function_name":"FE_SettingsCalibrate_Read","nm":340.4,"right":3000,"left":900,"nol":2000,"keylengthmm":600})";
        fromKey(reply);
        const QString archived = Paths::downloadDir(QStringLiteral("Calibrate")) + QStringLiteral("/DWK340_012_ABC.clb");
        QCOMPARE(readFile(archived), reply + "\n");
        QVERIFY(m_cal->historyLabel()->text().contains(QStringLiteral("(1 ")));
        // The reply names no date: the page does not pass the archiving day off as one.
        QVERIFY2(m_cal->historyLabel()->text().contains(QStringLiteral("first seen on this PC")),
                 qPrintable(m_cal->historyLabel()->text()));
        QVERIFY(!m_cal->historyLabel()->text().startsWith(QStringLiteral("Last calibration")));
        fromKey(R"({"function_name":"FE_SettingsCalibrate_Read","nm":341,"right":3000,"left":900,"nol":2000,)"
                R"("calibrationdate":"2026-03-05"})");
        QVERIFY2(m_cal->historyLabel()->text().startsWith(QStringLiteral("Last calibration: 05.03.2026 (2 archived). "
                                                                         "Next calibration due: 05.03.2027")),
                 qPrintable(m_cal->historyLabel()->text()));
        QVERIFY(QFile::remove(Paths::downloadDir(QStringLiteral("Calibrate")) + QStringLiteral("/DWK341_012_ABC.clb")));
        // Twelve months and more ago: the due date has passed and shows in red.
        QFile f(archived);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(QDateTime::currentDateTime().addMonths(-13), QFileDevice::FileModificationTime));
        f.close();
        m_cal->showHistory();
        QVERIFY(m_cal->historyLabel()->styleSheet().contains(QStringLiteral("220, 0, 0")));
        protocol()->FE_DeviceSetting_Read();
        protocol()->FE_SettingsCalibrate_Read();
        QTRY_COMPARE_WITH_TIMEOUT(QString::fromUtf8(model()->deviceSettings().SerialNo),
                                  keyState(1).value("device").toObject().value("SerialNo").toString(), 15000);
        QTRY_COMPARE_WITH_TIMEOUT(model()->calibration().nm, 340.0, 15000);
        QVERIFY(m_cal->historyLabel()->styleSheet().isEmpty());
    }

    void liveValues()
    {
        openSettings(QString(), 3);
        // Locked without the code, and the page says whose code opens it.
        auto *lock = m_cal->findChild<QLabel *>(QStringLiteral("lbCalLocked"));
        QVERIFY(lock && lock->isVisible());
        QVERIFY2(lock->text().contains(QStringLiteral("metrologist's access code")), qPrintable(lock->text()));
        QVERIFY(!lock->text().contains(QStringLiteral("493")));
        openSettings(QStringLiteral("493"), 3);
        QVERIFY(!lock->isVisible());
        openSettings(QString(), 3);
        QVERIFY(lock->isVisible());
        QVERIFY(m_cal->periodField()->button()->isEnabled()); // no code needed
        typeOnKeypad(m_cal->periodField(), QStringLiteral("200"));
        QVERIFY(m_cal->liveValues()->isRunning());
        QTRY_VERIFY_WITH_TIMEOUT(!m_cal->liveValues()->currentRecord().isEmpty(), 15000);
        // The key adds a tightening every 0.7 s; the page follows the newest one.
        const QString record = m_cal->liveValues()->currentRecord();
        QTRY_VERIFY_WITH_TIMEOUT(m_cal->momentLabel()->text() != QStringLiteral("-"), 15000);
        bool same = false;
        for (int i = 0; i < 50 && !same; ++i) {
            const RecordFile::ReadResult r = RecordFile::read(readFile(keyRoot(1) + QStringLiteral("/dbsett/") + record));
            QVERIFY(!r.record.entries.isEmpty());
            const MeasureEntry &e = r.record.entries.last();
            same = m_cal->momentLabel()->text() == QString::number(std::fabs(double(e.moment)), 'f', 2)
                && m_cal->angleLabel()->text().startsWith(QString::number(double(e.angle), 'f', 1));
            if (!same)
                QTest::qWait(50);
        }
        QVERIFY2(same, qPrintable(m_cal->momentLabel()->text()));
        QVERIFY(readFile(textLog()).contains("{\"function_name\":\"FE_PageCurrent_Read\"}"));
        typeOnKeypad(m_cal->periodField(), QStringLiteral("0"));
        QVERIFY(!m_cal->liveValues()->isRunning());
        QCOMPARE(m_cal->momentLabel()->text(), QStringLiteral("-"));
    }

    void hostileFilesSendNothing()
    {
        openSettings(QStringLiteral("493"), 3);
        const QByteArray good = model()->calibrationText();
        QVERIFY(!good.isEmpty());
        struct Case
        {
            const char *name;
            QByteArray text;
            const char *named;
        };
        const QByteArray noNm = QString::fromUtf8(good).remove(QRegularExpression(QStringLiteral(",?\"nm\":[^,}]*"))).toUtf8();
        const Case cases[] = {
            {"json-of-another-program.clb", R"({"report":"weekly","rows":[1,2]})", "nm"},
            {"no-nm.clb", noNm, "nm"},
            {"nm-zero.clb", QByteArray(good).replace("\"nm\":340", "\"nm\":0"), "nm"},
            {"long-key.clb", QByteArray(good).replace("\"keylengthmm\":600", "\"keylengthmm\":1000000000"), "keylengthmm"},
            {"truncated.clb", good.left(good.size() / 2), nullptr},
            {"huge.clb", good + QByteArray(70 * 1024, ' '), nullptr},
        };
        for (const Case &c : cases) {
            const QString path = m_tmp.filePath(QLatin1String(c.name));
            QVERIFY(writeFile(path, c.text));
            m_cal->setFileChooser([path](bool save) { return save ? QString() : path; });
            mark();
            click(m_cal->loadButton());
            const QString message = takeMessage();
            QVERIFY2(!message.isEmpty(), c.name);
            if (c.named)
                QVERIFY2(message.contains(QLatin1String(c.named)), qPrintable(message));
            QCOMPARE(settle(0), QStringList());
        }
        // A cancelled dialog: nothing at all.
        m_cal->setFileChooser([](bool) { return QString(); });
        mark();
        click(m_cal->loadButton());
        click(m_cal->saveButton());
        QVERIFY(takeMessage().isEmpty());
        QCOMPARE(settle(0), QStringList());
        // Saving where no file can be made says so in red.
        m_cal->setFileChooser([this](bool) { return m_tmp.filePath(QStringLiteral("no/such/folder/k.clb")); });
        click(m_cal->saveButton());
        QVERIFY(!takeMessage().isEmpty());
    }

    // Last: the window moves to a second emulated key.
    void saveThenLoadIntoAnotherKey()
    {
        openSettings(QStringLiteral("493"), 3);
        const QString file = m_tmp.filePath(QStringLiteral("key1.clb"));
        m_cal->setFileChooser([file](bool) { return file; });
        click(m_cal->saveButton());
        QVERIFY(takeMessage().isEmpty());
        // Where it went, on the status line.
        QVERIFY(m_window->findChild<QLabel *>(QStringLiteral("lbStatusLine"))->text().contains(file));
        const QByteArray saved = readFile(file);
        QCOMPARE(saved, model()->calibrationText() + "\n");
        const QJsonObject first = QJsonDocument::fromJson(saved).object();
        QCOMPARE(first.value("right").toInt(), 3210);

        // The other key has a calibration of its own.
        stopKey();
        QVERIFY(makeKey(2));
        const QString statePath = keyRoot(2) + QStringLiteral("/.keystate.json");
        QJsonObject st = QJsonDocument::fromJson(readFile(statePath)).object();
        QJsonObject cal = st.value("calibration").toObject();
        cal.insert("nm", 200.5);
        cal.insert("right", 2500);
        cal.insert("left", 700);
        cal.insert("nol", 1900);
        cal.insert("keylengthmm", 450);
        st.insert("calibration", cal);
        QVERIFY(writeFile(statePath, QJsonDocument(st).toJson()));
        QVERIFY(startKey(2));
        QTRY_COMPARE_WITH_TIMEOUT(model()->calibration().nm, 200.5, 40000);
        QTRY_VERIFY_WITH_TIMEOUT(m_window->findChild<QStackedWidget *>(QStringLiteral("stMainPages"))->currentIndex() == 3,
                                 30000);

        // The new key's read-out fetches its folders; the load waits behind none of it.
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->session()->files()->isBusy(), 60000);
        openSettings(QStringLiteral("493"), 3);
        QVERIFY(m_window->findChild<QFrame *>(QStringLiteral("frCalFiles"))->isEnabled());
        mark();
        click(m_cal->loadButton());
        QVERIFY(takeMessage().isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(model()->calibration().right, 3210, 30000);
        const QStringList sent = settle(2);
        QCOMPARE(sent.size(), 2);
        const QString expected =
            QString::fromLatin1(kCalWrite)
                .arg(real(first.value("nm").toDouble()), QString::number(first.value("offset").toInt()),
                     QString::number(first.value("amplify").toInt()), QString::number(first.value("right").toInt()),
                     QString::number(first.value("left").toInt()), real(first.value("nm2").toDouble()),
                     QString::number(first.value("right2").toInt()), QString::number(first.value("left2").toInt()),
                     QString::number(first.value("used").toInt()))
                .arg(QString::number(first.value("nol").toInt()), QString::number(first.value("gyrocorrection").toInt()),
                     QString::number(first.value("gyrodeviation").toInt()),
                     QString::number(first.value("anglecorrention").toInt()),
                     real(first.value("headstandartmm").toDouble()), real(first.value("keylengthmm").toDouble()));
        QCOMPARE(sent.at(0), expected);
        QCOMPARE(sent.at(1), QStringLiteral("{\"function_name\":\"FE_SettingsCalibrate_Read\"}"));
        QTRY_COMPARE_WITH_TIMEOUT(model()->calibration().right, 3210, 15000);
        QCOMPARE(m_cal->field(F::Right)->value(), 3210.0);
        QCOMPARE(m_cal->field(F::KeyLength)->value(), first.value("keylengthmm").toDouble());
        QCOMPARE(keyState(2).value("calibration").toObject().value("nm").toDouble(), first.value("nm").toDouble());
    }
};

QTEST_MAIN(TestSettingsE2e)
#include "tst_settings_e2e.moc"
