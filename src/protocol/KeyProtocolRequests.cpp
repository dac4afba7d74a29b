// The request side of KeyProtocol: one sending operation per function the key offers.
// The format texts are the key's; their odd blanks are part of what it has always received.
#include "protocol/KeyProtocol.h"

#include "base/Log.h"
#include "protocol/KeySender.h"
#include "records/MenuLevels.h"

using td::request::Arg;

namespace {

// The key keeps both names in 50-character fields.
constexpr int kNameFieldChars = 50;

const char kPageCurrentWrite[] =
    R"({"function_name":"FE_PageCurrent_Write", "pagenumber":"%s"})";
const char kPageCurrentRead[] = R"({"function_name":"FE_PageCurrent_Read"})";
const char kPageDelete[] = R"({"function_name":"FE_Page_Delete","pagenumber":"%s","all":%d})";
const char kSettingsCalibrateWrite[] =
    R"({"function_name":"FE_SettingsCalibrate_Write","nm":%f,"offset":%d,"amplify":%d,"right":%d,"left":%d,                  "nm2":%f,"right2":%d,"left2":%d,"used":%d,                  "nol":%d,"gyrocorrection":%d,"gyrodeviation":%d,"anglecorrention":%d,"headstandartmm":%f,"keylengthmm":%f})";
const char kSettingsCalibrateRead[] = R"({"function_name":"FE_SettingsCalibrate_Read"})";
const char kMenuLevelWrite[] =
    R"({"function_name":"FE_MenuLevel_Write","NameTop":"%s","NameBottom":"%s","Active":%d,"Order":%d,"Index":%d})";
const char kMenuLevelRead[] = R"({"function_name":"FE_MenuLevel_Read","Index":%d})";
const char kKeyNameWrite[] =
    R"({"function_name":"FE_KeyName_Write","KeyName":"%s","OperatorName":"%s"})";
const char kKeyNameRead[] = R"({"function_name":"FE_KeyName_Read"})";
const char kDeviceSettingWrite[] =
    R"({"function_name":"FE_DeviceSetting_Write","Language":%d,"TypeKey":%d,                  "TypePCConnection":%d,"DataBase":%d,"DataTime":%d,"AddAlgorithm":%d,"Units":%d,"WiFiEnable":%d,"PasswordWrEnable":%d,"SleepTime":%d,"DisplayTime":%d,"SoundEffects":%d})";
const char kDeviceSettingRead[] = R"({"function_name":"FE_DeviceSetting_Read"})";
const char kDateTimeWrite[] =
    R"({"function_name":"FE_DateTime_Write","Year":%d,"Month":%d,"Day":%d,"Hour":%d,"Minutes":%d,"Seconds":%d})";
const char kDateTimeRead[] = R"({"function_name":"FE_DateTime_Read"})";
const char kWiFiSettingsWrite[] =
    R"({"function_name":"FE_WiFiSettings_Write","SSID":"%s","Password":"%s","IP":"%s","PCPort":%d,"UserLogin":"%s","UserPassword":"%s","WPA2Enterprise":%d})";
const char kWiFiSettingsRead[] = R"({"function_name":"FE_WiFiSettings_Read"})";
const char kJsonNotificationStatus[] =
    R"({"function_name":"FE_JsonNotification_Status","KeyInFocus":%d,"PCMenu":%d,"TestConnectCounter":%d})";
const char kMessageWrite[] = R"({"function_name":"FE_Message_Write","Text":"%s","Type":%d})";
const char kRebootWrite[] = R"({"function_name":"FE_Reboot_Write","WithResetToDefault":%d})";
const char kWiFiIAmHere[] = R"({"function_name":"FE_WiFi_I_Am_Here","TestConnectCounter":%d})";

} // namespace

bool KeyProtocol::sendRequest(const char *name, const char *format, const QVector<Arg> &args,
                              int noReply, const QString &toKey)
{
    QByteArray text;
    switch (td::request::format(format, args, &text)) {
    case td::request::Result::Ok:
        break;
    case td::request::Result::TooLong:
        td::log(QStringLiteral("%1 not sent: text longer than %2 bytes")
                    .arg(QLatin1String(name))
                    .arg(td::request::MaxTextBytes));
        emit statusMessage(tr("Request too long, not sent: ") + QLatin1String(name));
        return false;
    case td::request::Result::BadArguments:
        td::log(QStringLiteral("%1 not sent: arguments do not match its format")
                    .arg(QLatin1String(name)));
        return false;
    }
    text.append('\0');
    if (!m_sender)
        return false;
    if (!toKey.isEmpty())
        return m_sender->sendTo(toKey, ClassJson, SubCodeJson, text, noReply);
    return m_sender->send(ClassJson, SubCodeJson, text, noReply);
}

bool KeyProtocol::FE_PageCurrent_Write(const QString &pagenumber)
{
    return sendRequest("FE_PageCurrent_Write", kPageCurrentWrite, {pagenumber}, 0);
}

bool KeyProtocol::FE_PageCurrent_Read()
{
    return sendRequest("FE_PageCurrent_Read", kPageCurrentRead, {}, 0);
}

bool KeyProtocol::FE_Page_Delete(const QString &pagenumber, int all)
{
    return sendRequest("FE_Page_Delete", kPageDelete, {pagenumber, all}, 1);
}

bool KeyProtocol::FE_SettingsCalibrate_Write(const CalibrationValues &v)
{
    return sendRequest("FE_SettingsCalibrate_Write", kSettingsCalibrateWrite,
                       {v.nm, v.offset, v.amplify, v.right, v.left, v.nm2, v.right2, v.left2,
                        v.used, v.nol, v.gyrocorrection, v.gyrodeviation, v.anglecorrention,
                        v.headstandartmm, v.keylengthmm},
                       0);
}

bool KeyProtocol::FE_SettingsCalibrate_Read()
{
    return sendRequest("FE_SettingsCalibrate_Read", kSettingsCalibrateRead, {}, 0);
}

bool KeyProtocol::FE_MenuLevel_Write(const QString &nameTop, const QString &nameBottom, int active,
                                     int order, int index)
{
    return sendRequest("FE_MenuLevel_Write", kMenuLevelWrite,
                       {MenuLevels::cutText(nameTop, MenuLevels::MaxTextLength),
                        MenuLevels::cutText(nameBottom, MenuLevels::MaxTextLength), active, order,
                        index},
                       0);
}

bool KeyProtocol::FE_MenuLevel_Read(int index)
{
    return sendRequest("FE_MenuLevel_Read", kMenuLevelRead, {index}, 0);
}

bool KeyProtocol::FE_KeyName_Write(const QString &keyName, const QString &operatorName)
{
    return sendRequest("FE_KeyName_Write", kKeyNameWrite,
                       {MenuLevels::cutText(keyName, kNameFieldChars),
                        MenuLevels::cutText(operatorName, kNameFieldChars)},
                       0);
}

bool KeyProtocol::FE_KeyName_Read()
{
    return sendRequest("FE_KeyName_Read", kKeyNameRead, {}, 0);
}

bool KeyProtocol::FE_DeviceSetting_Write(const DeviceSettings &s, int passwordWrEnable)
{
    return sendRequest("FE_DeviceSetting_Write", kDeviceSettingWrite,
                       {s.Language, s.TypeKey, s.TypePCConnection, s.DataBase, s.DataTime,
                        s.AddAlgorithm, s.Units, s.WiFiEnable, passwordWrEnable, s.SleepTime,
                        s.DisplayTime, s.SoundEffects},
                       0);
}

bool KeyProtocol::FE_DeviceSetting_Read()
{
    return sendRequest("FE_DeviceSetting_Read", kDeviceSettingRead, {}, 0);
}

bool KeyProtocol::FE_DateTime_Write(const QDateTime &localTime)
{
    const QDate d = localTime.date();
    const QTime t = localTime.time();
    return sendRequest("FE_DateTime_Write", kDateTimeWrite,
                       {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()}, 0);
}

bool KeyProtocol::FE_DateTime_Read()
{
    return sendRequest("FE_DateTime_Read", kDateTimeRead, {}, 0);
}

bool KeyProtocol::FE_WiFiSettings_Write(const WifiSettings &s)
{
    return sendRequest("FE_WiFiSettings_Write", kWiFiSettingsWrite,
                       {s.SSID, s.Password, s.IP, int(s.PCPort), s.UserLogin, s.UserPassword,
                        s.WPA2Enterprise},
                       0);
}

bool KeyProtocol::FE_WiFiSettings_Read()
{
    return sendRequest("FE_WiFiSettings_Read", kWiFiSettingsRead, {}, 0);
}

bool KeyProtocol::FE_JsonNotification_Status(int keyInFocus, int pcMenu, int testConnectCounter)
{
    return sendRequest("FE_JsonNotification_Status", kJsonNotificationStatus,
                       {keyInFocus, pcMenu, testConnectCounter}, 0);
}

bool KeyProtocol::FE_JsonNotification_StatusTo(const QString &id, int keyInFocus, int pcMenu,
                                               int testConnectCounter)
{
    if (id.isEmpty())
        return false;
    return sendRequest("FE_JsonNotification_Status", kJsonNotificationStatus,
                       {keyInFocus, pcMenu, testConnectCounter}, 0, id);
}

bool KeyProtocol::FE_Message_Write(const QString &text, int type)
{
    return sendRequest("FE_Message_Write", kMessageWrite, {text, type}, 0);
}

bool KeyProtocol::FE_Reboot_Write(int withResetToDefault)
{
    return sendRequest("FE_Reboot_Write", kRebootWrite, {withResetToDefault}, 0);
}

bool KeyProtocol::FE_WiFi_I_Am_Here(const QString &id, int testConnectCounter)
{
    if (id.isEmpty())
        return false;
    return sendRequest("FE_WiFi_I_Am_Here", kWiFiIAmHere, {testConnectCounter}, 1, id);
}
