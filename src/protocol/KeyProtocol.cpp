#include "protocol/KeyProtocol.h"

#include "base/Log.h"
#include "base/PlainText.h"
#include "base/SecretRedaction.h"
#include "base/cGlobalData.h"
#include "link/RxDataBuffer.h"
#include "config/CalibrationArchive.h"
#include "protocol/FileExchange.h"
#include "protocol/KeySender.h"
#include "protocol/KeyTransport.h"
#include "records/MenuLevels.h"

#include <QJsonDocument>
#include <QJsonValue>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

namespace {

// A value the key sent: a missing key or one of another type reads as 0 / false / empty.
// Numbers are truncated toward zero and then narrowed to the receiving field's width.
qint64 readInteger(const QJsonObject &o, const char *key)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (!v.isDouble())
        return 0;
    const double d = std::trunc(v.toDouble());
    if (!std::isfinite(d) || std::fabs(d) >= 9.2e18)
        return 0;
    return qint64(d);
}

quint8 readU8(const QJsonObject &o, const char *key) { return quint8(readInteger(o, key)); }
quint16 readU16(const QJsonObject &o, const char *key) { return quint16(readInteger(o, key)); }
qint32 readI32(const QJsonObject &o, const char *key) { return qint32(readInteger(o, key)); }

double readReal(const QJsonObject &o, const char *key)
{
    const QJsonValue v = o.value(QLatin1String(key));
    return v.isDouble() ? v.toDouble() : 0.0;
}

bool readBool(const QJsonObject &o, const char *key)
{
    const QJsonValue v = o.value(QLatin1String(key));
    return v.isBool() && v.toBool();
}

QString readText(const QJsonObject &o, const char *key)
{
    return o.value(QLatin1String(key)).toString();
}

// Names the key reports end up in the history, reports and file names: no control characters.
// Passwords and addresses are taken as they come, since they must go back unchanged.
QString readName(const QJsonObject &o, const char *key)
{
    return PlainText::clean(readText(o, key));
}

// Replies that carry nothing beyond the acknowledgement every reply gives; the PC only logs them.
bool isPlainConfirmation(const QString &name)
{
    static const char *const names[] = {
        "FE_MenuLevel_Write",    "FE_KeyName_Write",      "FE_DeviceSetting_Write", "FE_DateTime_Write",
        "FE_WiFiSettings_Write", "FE_TestConnection_All", "FE_Message_Write",       "FE_Reboot_Write",
    };
    return std::any_of(std::begin(names), std::end(names),
                       [&](const char *n) { return name == QLatin1String(n); });
}

const QLatin1String kIAmHere("FE_WiFi_I_Am_Here");
const QLatin1String kNotificationStatus("FE_JsonNotification_Status");

} // namespace

KeyProtocol::KeyProtocol(cGlobalData *globalData, KeySender *sender, FileExchange *files,
                         KeyModel *model, MenuLevels *menuLevels, QObject *parent)
    : QObject(parent),
      m_global(globalData),
      m_sender(sender),
      m_files(files),
      m_model(model),
      m_menuLevels(menuLevels)
{
    td::registerRxDataBufferType();
}

void KeyProtocol::AckReply(const QString &interfaceName)
{
    if (m_sender)
        m_sender->AckReply(interfaceName);
}

void KeyProtocol::iReceiveUart_Click(const RxDataBuffer &rx)
{
    const int bodyLength = qBound(0, rx.length, RxDataBuffer::PACKET_LENGTH_UPPER_LIMIT);
    // USB frames arrive with no sender address; a network frame without a key identity
    // comes from a peer that is not registered and never counts as the USB key.
    const bool fromUsb = KeySender::isUsbName(rx.interfaceName) && rx.hostAddress.isNull();
    if (fromUsb)
        resetMissedReplies();
    if (bodyLength < 2) {
        td::log(QStringLiteral("Frame too short (%1 bytes), ignored").arg(bodyLength));
        return;
    }
    // The SLIP link leaves its CRC byte at the end of the body.
    const int payloadEnd = fromUsb ? bodyLength - 1 : bodyLength;
    const uchar *payload = rx.bytes() + 2;
    const int available = qMax(0, payloadEnd - 2);

    switch (rx.data[0]) {
    case ClassJson: {
        const void *nul = std::memchr(payload, 0, size_t(available));
        const int n = nul ? int(static_cast<const uchar *>(nul) - payload) : available;
        ParseJsonRx(QByteArray(reinterpret_cast<const char *>(payload), n), rx.interfaceName,
                    rx.hostAddress, rx.port);
        break;
    }
    case ClassFile:
        if (!fromUsb && !(m_sender && !KeySender::isUsbName(rx.interfaceName)
                          && m_sender->isAcceptedSender(rx.interfaceName))) {
            td::log(QStringLiteral("File command from ") + rx.interfaceName + QLatin1Char(' ')
                    + rx.hostAddress.toString()
                    + QStringLiteral(" (not the key in use) dropped"));
            return;
        }
        if (m_files)
            m_files->HandleFileCommand(payload, available, rx.interfaceName);
        break;
    default:
        td::log(QStringLiteral("Frame of unknown class 0x%1 ignored")
                    .arg(rx.data[0], 2, 16, QLatin1Char('0')));
    }
}

void KeyProtocol::ParseJsonRx(const QByteArray &text, const QString &interfaceName,
                              const QHostAddress &hostAddress, quint16 port)
{
    const QJsonDocument doc = QJsonDocument::fromJson(text);
    const QJsonObject o = doc.isObject() ? doc.object() : QJsonObject();
    const QString name = readText(o, "function_name");

    const bool wifiName = !KeySender::isUsbName(interfaceName);
    if (wifiName && !(m_sender && m_sender->isAcceptedSender(interfaceName)) && name != kIAmHere
        && name != kNotificationStatus) {
        td::log(QStringLiteral("JSON from ") + interfaceName
                + QStringLiteral(" (not the selected key) dropped: ") + name);
        return;
    }
    if (!wifiName && !hostAddress.isNull() && name != kIAmHere) {
        td::log(QStringLiteral("JSON from unregistered peer ") + hostAddress.toString()
                + QStringLiteral(" dropped: ") + name);
        return;
    }

    td::log(QStringLiteral("JSON RX:") + QString::fromUtf8(td::redactSecrets(text)));
    dispatch(name, o, text, interfaceName, hostAddress, port);
}

void KeyProtocol::dispatch(const QString &name, const QJsonObject &o, const QByteArray &text,
                           const QString &interfaceName, const QHostAddress &hostAddress,
                           quint16 port)
{
    if (name == kIAmHere) {
        if (m_sender && m_sender->mode() == LinkMode::Usb)
            return;
        WifiAnnouncement a;
        a.testConnectCounter = readI32(o, "TestConnectCounter");
        a.operatorName = readName(o, "OperatorName");
        a.keyName = readName(o, "KeyName");
        a.mac = readText(o, "MAC");
        a.localPort = readU16(o, "LocalPort");
        a.remotePort = readU16(o, "RemotePort");
        a.address = hostAddress;
        a.port = port;
        // The identity becomes the key's interface name; an empty one would pass as USB.
        if (!KeySender::isUsbName(a.mac) && m_sender && m_sender->wifiDirectory()) {
            m_sender->wifiDirectory()->registerKey(a);
            FE_WiFi_I_Am_Here(a.mac, 10);
        } else {
            td::log(QStringLiteral("FE_WiFi_I_Am_Here without a usable MAC or Wi-Fi link ignored"));
        }
        return;
    }

    // Every other object answers the command in flight.
    AckReply(interfaceName);

    if (name == QLatin1String("FE_PageCurrent_Read")) {
        const QString page = readText(o, "pagenumber");
        td::log(QStringLiteral("FE_PageCurrent_Read() pagenumber ") + page);
        emit currentPageReported(page);
    } else if (name == QLatin1String("FE_PageCurrent_Write")) {
        td::log(QStringLiteral("pagenumber ") + readText(o, "pagenumber"));
    } else if (name == QLatin1String("FE_Page_Delete")) {
        td::log(QStringLiteral("FE_Page_Delete() pagenumber ") + readText(o, "pagenumber"));
    } else if (name == QLatin1String("FE_SettingsCalibrate_Read")) {
        onCalibrationRead(o, text);
        td::log(QStringLiteral("FE_SettingsCalibrate_Read()"));
    } else if (name == QLatin1String("FE_SettingsCalibrate_Write")) {
        if (readBool(o, "RequestTemplates") && m_files)
            m_files->GetFromKey(QStringLiteral("templates"), QStringLiteral("*"));
        td::log(QStringLiteral("FE_SettingsCalibrate_Write()"));
    } else if (name == QLatin1String("FE_MenuLevel_Read")) {
        const quint8 index = readU8(o, "Index");
        if (!MenuLevels::isValidIndex(index)) {
            td::log(QStringLiteral("FE_MenuLevel_Read(): ERROR i=%1").arg(index));
            return;
        }
        MenuLevel level;
        level.order = readU8(o, "Order");
        level.active = readU8(o, "Active") != 0;
        level.bottom = readName(o, "NameBottom");
        level.top = readName(o, "NameTop");
        if (m_menuLevels)
            m_menuLevels->setLevel(index, level);
        td::log(QStringLiteral("FE_MenuLevel_Read(): OK %1").arg(index));
        if (index == MenuLevels::Count - 1)
            emit menuLevelsComplete();
    } else if (name == QLatin1String("FE_KeyName_Read")) {
        KeyNames names;
        names.operatorName = readName(o, "OperatorName");
        names.keyName = readName(o, "KeyName");
        if (m_model)
            m_model->setNames(names);
        if (!KeySender::isUsbName(interfaceName) && m_sender && m_sender->wifiDirectory())
            m_sender->wifiDirectory()->renameKey(interfaceName, names.keyName);
        td::log(QStringLiteral("FE_KeyName_Read():") + names.keyName);
    } else if (name == QLatin1String("FE_DeviceSetting_Read")) {
        DeviceSettings s;
        s.SoundEffects = readU16(o, "SoundEffects");
        s.DisplayTime = readU16(o, "DisplayTime");
        s.SleepTime = readU16(o, "SleepTime");
        s.VersionSW = readI32(o, "VersionSW");
        s.WiFiEnable = readU16(o, "WiFiEnable");
        s.Units = readU16(o, "Units");
        s.AddAlgorithm = readU16(o, "AddAlgorithm");
        s.DataTime = readU16(o, "DataTime");
        s.DataBase = readU16(o, "DataBase");
        s.TypePCConnection = readU16(o, "TypePCConnection");
        s.TypeKey = readU16(o, "TypeKey");
        s.Language = readU16(o, "Language");
        s.SerialNo = readName(o, "SerialNo").toUtf8();
        if (m_model)
            m_model->setDeviceSettings(s);
        td::log(QStringLiteral("FE_DeviceSetting_Read()"));
    } else if (name == QLatin1String("FE_DateTime_Read")) {
        KeyClock c;
        c.Seconds = readU8(o, "Seconds");
        c.Minutes = readU8(o, "Minutes");
        c.Hour = readU8(o, "Hour");
        c.Day = readU8(o, "Day");
        c.Month = readU8(o, "Month");
        c.Year = readU16(o, "Year");
        if (m_model)
            m_model->setClock(c, QDateTime::currentDateTime());
        td::log(QStringLiteral("FE_DateTime_Read()"));
    } else if (name == QLatin1String("FE_WiFiSettings_Read")) {
        WifiSettings w;
        w.WPA2Enterprise = readI32(o, "WPA2Enterprise");
        w.UserPassword = readText(o, "UserPassword");
        w.UserLogin = readText(o, "UserLogin");
        w.PCPort = readU16(o, "PCPort");
        w.IP = readText(o, "IP");
        w.Password = readText(o, "Password");
        w.SSID = readText(o, "SSID");
        if (m_model)
            m_model->setWifiSettings(w);
        td::log(QStringLiteral("FE_WiFiSettings_Read()"));
    } else if (name == kNotificationStatus) {
        if (m_sender && m_sender->isAcceptedSender(interfaceName))
            emit keyStatusReceived(readU8(o, "StateMachine"), readU8(o, "WifiBattery"),
                                   readU8(o, "WifiRSSI"), readU8(o, "MeasureRotationStatus"));
    } else if (name == QLatin1String("FE_FileSystem_Status")) {
        if (m_files)
            m_files->HandleFileSystemStatus(readText(o, "dirname"), readText(o, "filename"),
                                            readI32(o, "changetype"));
    } else if (isPlainConfirmation(name)) {
        td::log(name + QStringLiteral("()"));
    }
}

void KeyProtocol::onCalibrationRead(const QJsonObject &o, const QByteArray &text)
{
    CalibrationValues v;
    v.keylengthmm = readReal(o, "keylengthmm");
    v.headstandartmm = readReal(o, "headstandartmm");
    v.nm2 = readReal(o, "nm2");
    v.nm = readReal(o, "nm");
    v.anglecorrention = readI32(o, "anglecorrention");
    v.gyrodeviation = readI32(o, "gyrodeviation");
    v.gyrocorrection = readI32(o, "gyrocorrection");
    v.nol = readI32(o, "nol");
    v.used = readI32(o, "used");
    v.left2 = readI32(o, "left2");
    v.right2 = readI32(o, "right2");
    v.left = readI32(o, "left");
    v.right = readI32(o, "right");
    v.amplify = readI32(o, "amplify");
    v.offset = readI32(o, "offset");
    if (!m_model)
        return;

    const DeviceSettings &device = m_model->deviceSettings();
    const CalibrationArchive::Result archived =
        CalibrationArchive::store(text, v.nm, device.VersionSW, device.SerialNo);
    if (archived == CalibrationArchive::Result::Written)
        td::log(QStringLiteral("Calibration archived: ")
                + CalibrationArchive::fileName(v.nm, device.VersionSW, device.SerialNo));

    m_model->setCalibration(v, text);
    emit windowTitleChanged(KeyModel::windowTitleFor(m_model->nominalMoment(), device.Units));
}

void KeyProtocol::ReadKeyOnConnect()
{
    if (m_files)
        m_files->clearTransfers();
    emit waitAnimationRequested(true);

    FE_KeyName_Read();
    FE_DeviceSetting_Read();
    FE_SettingsCalibrate_Read();
    for (int i = 0; i < MenuLevels::Count; ++i)
        FE_MenuLevel_Read(i);
    FE_WiFiSettings_Read();

    emit templateListsResetRequested();
    FE_DateTime_Write(QDateTime::currentDateTime());

    if (m_files) {
        m_files->GetFromKey(QStringLiteral("templates"), QStringLiteral("*"));
        m_files->GetFromKey(QStringLiteral("dbsett"), QStringLiteral("*"));
    }
    emit supervisionStartRequested();
}
