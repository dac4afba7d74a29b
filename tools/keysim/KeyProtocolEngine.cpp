#include "KeyProtocolEngine.h"

#include "KeyFileCommand.h"
#include "KeyFileSystem.h"
#include "KeyState.h"

#include "base/Log.h"
#include "base/SecretRedaction.h"

#include <QDate>
#include <QFileInfo>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTime>

#include <cmath>
#include <limits>

namespace keysim {

namespace {

QString fn(const char *name) { return QString::fromLatin1(name); }

// A number argument as the key takes it: present, a JSON number, finite and within int.
bool readNumber(const QJsonObject &o, const char *key, double *v)
{
    const QJsonValue x = o.value(QLatin1String(key));
    if (!x.isDouble())
        return false;
    const double d = x.toDouble();
    if (!std::isfinite(d))
        return false;
    *v = d;
    return true;
}

bool readInt(const QJsonObject &o, const char *key, int *v)
{
    double d = 0;
    if (!readNumber(o, key, &d) || d < double(std::numeric_limits<int>::min())
        || d > double(std::numeric_limits<int>::max()))
        return false;
    *v = int(d); // toward zero, as the key's own conversion
    return true;
}

// Takes an integer setting when it is present and within the values the key knows;
// anything else leaves the setting as it was and says why in the log.
void takeInt(const QJsonObject &in, const char *function, const char *key, int lo, int hi, int &field)
{
    int v = 0;
    if (!readInt(in, key, &v)) {
        td::log(QStringLiteral("keysim: %1 without a usable \"%2\", kept %3")
                    .arg(fn(function), fn(key))
                    .arg(field));
        return;
    }
    if (v < lo || v > hi) {
        td::log(QStringLiteral("keysim: %1 \"%2\"=%3 outside %4..%5, kept %6")
                    .arg(fn(function), fn(key))
                    .arg(v)
                    .arg(lo)
                    .arg(hi)
                    .arg(field));
        return;
    }
    field = v;
}

void takeReal(const QJsonObject &in, const char *function, const char *key, double lo, double hi,
              double &field)
{
    double v = 0;
    if (!readNumber(in, key, &v) || v < lo || v > hi) {
        td::log(QStringLiteral("keysim: %1 \"%2\" missing or outside %3..%4, kept %5")
                    .arg(fn(function), fn(key))
                    .arg(lo)
                    .arg(hi)
                    .arg(field));
        return;
    }
    field = v;
}

void takeText(const QJsonObject &in, const char *function, const char *key, int maxBytes, QString &field)
{
    const QJsonValue v = in.value(QLatin1String(key));
    if (!v.isString()) {
        td::log(QStringLiteral("keysim: %1 without a text \"%2\", kept").arg(fn(function), fn(key)));
        return;
    }
    field = cleanTextBytes(v.toString(), maxBytes);
}

const QRegularExpression &functionNamePattern()
{
    static const QRegularExpression re(
        QStringLiteral("\"function_name\"\\s*:\\s*\"([A-Za-z_]{1,64})\""));
    return re;
}

QString seekNote(qint64 seek)
{
    return seek != 0 ? QStringLiteral(" seek=%1").arg(seek) : QString();
}

QString folderOf(const QString &keyPath)
{
    QStringList parts;
    if (KeyFileSystem::parseKeyPath(keyPath, &parts))
        return parts.join(QLatin1Char('/'));
    return cleanText(keyPath, 128); // shown in the request log as it came
}

} // namespace

KeyProtocolEngine::KeyProtocolEngine(KeyState *state, KeyFileSystem *fs, const QString &statePath,
                                     QObject *parent)
    : QObject(parent)
    , m_state(state)
    , m_fs(fs)
    , m_statePath(statePath)
{
    m_handlers = {
        {QStringLiteral("FE_PageCurrent_Write"), &KeyProtocolEngine::onPageCurrentWrite},
        {QStringLiteral("FE_PageCurrent_Read"), &KeyProtocolEngine::onPageCurrentRead},
        {QStringLiteral("FE_SettingsCalibrate_Write"), &KeyProtocolEngine::onSettingsCalibrateWrite},
        {QStringLiteral("FE_SettingsCalibrate_Read"), &KeyProtocolEngine::onSettingsCalibrateRead},
        {QStringLiteral("FE_MenuLevel_Write"), &KeyProtocolEngine::onMenuLevelWrite},
        {QStringLiteral("FE_MenuLevel_Read"), &KeyProtocolEngine::onMenuLevelRead},
        {QStringLiteral("FE_KeyName_Write"), &KeyProtocolEngine::onKeyNameWrite},
        {QStringLiteral("FE_KeyName_Read"), &KeyProtocolEngine::onKeyNameRead},
        {QStringLiteral("FE_DeviceSetting_Write"), &KeyProtocolEngine::onDeviceSettingWrite},
        {QStringLiteral("FE_DeviceSetting_Read"), &KeyProtocolEngine::onDeviceSettingRead},
        {QStringLiteral("FE_DateTime_Write"), &KeyProtocolEngine::onDateTimeWrite},
        {QStringLiteral("FE_DateTime_Read"), &KeyProtocolEngine::onDateTimeRead},
        {QStringLiteral("FE_WiFiSettings_Write"), &KeyProtocolEngine::onWiFiSettingsWrite},
        {QStringLiteral("FE_WiFiSettings_Read"), &KeyProtocolEngine::onWiFiSettingsRead},
        {QStringLiteral("FE_JsonNotification_Status"), &KeyProtocolEngine::onStatus},
        {QStringLiteral("FE_Message_Write"), &KeyProtocolEngine::onMessageWrite},
        {QStringLiteral("FE_Reboot_Write"), &KeyProtocolEngine::onRebootWrite},
    };
}

QByteArray KeyProtocolEngine::jsonBody(const QJsonObject &o)
{
    QByteArray body;
    body.append(char(ClassJson));
    body.append(char(SubJson));
    body.append(QJsonDocument(o).toJson(QJsonDocument::Compact));
    body.append('\0');
    return body;
}

QByteArray KeyProtocolEngine::fileBody(const KeyFileCommand &c)
{
    QByteArray body;
    body.append(char(ClassFile));
    body.append(char(SubFile));
    body.append(c.encode());
    return body;
}

QString KeyProtocolEngine::describe(const QByteArray &body)
{
    if (body.size() < 2)
        return QStringLiteral("FRAME ?");
    const QByteArray payload = body.mid(2);
    if (uchar(body.at(0)) == ClassJson) {
        const int nul = payload.indexOf('\0');
        const QByteArray text = nul >= 0 ? payload.left(nul) : payload;
        const QJsonDocument doc = QJsonDocument::fromJson(text);
        QString name = doc.object().value(QStringLiteral("function_name")).toString();
        if (!doc.isObject()) {
            const QRegularExpressionMatch m = functionNamePattern().match(QString::fromUtf8(text));
            name = m.hasMatch() ? m.captured(1) : QString();
        }
        return name.isEmpty() ? QStringLiteral("JSON ?") : name.left(64);
    }
    if (uchar(body.at(0)) != ClassFile)
        return QStringLiteral("FRAME ?");
    KeyFileCommand c;
    KeyFileCommand::parse(payload, &c, nullptr);
    const QString path = folderOf(c.path());
    switch (c.command) {
    case KeyFileCommand::FA_READ:
        return QStringLiteral("FA_READ ") + path + seekNote(c.seek);
    case KeyFileCommand::FA_WRITE:
        return QStringLiteral("FA_WRITE ") + path + seekNote(c.seek);
    case KeyFileCommand::FA_READ_DIR:
        return QStringLiteral("FA_READ_DIR ") + path + seekNote(c.seek);
    default:
        return QStringLiteral("FILE command=%1").arg(c.command);
    }
}

void KeyProtocolEngine::noteUnanswered(const QByteArray &body)
{
    const QString line = describe(body);
    td::log(QStringLiteral("keysim: silent, not answering ") + line);
    emit requestReceived(line);
}

void KeyProtocolEngine::handleBody(const QByteArray &body)
{
    if (body.size() < 2) {
        td::log(QStringLiteral("keysim: frame of %1 bytes ignored").arg(body.size()));
        return;
    }
    emit requestReceived(describe(body));
    const uchar cls = uchar(body.at(0));
    const QByteArray payload = body.mid(2);
    if (cls == ClassJson)
        handleJson(payload);
    else if (cls == ClassFile)
        handleFile(payload);
    else
        td::log(QStringLiteral("keysim: frame of unknown class 0x%1 ignored").arg(cls, 2, 16, QLatin1Char('0')));
}

void KeyProtocolEngine::persist()
{
    if (!m_statePath.isEmpty())
        m_state->save(m_statePath);
}

void KeyProtocolEngine::replyJson(const QJsonObject &o)
{
    QByteArray body = jsonBody(o);
    if (body.size() - 2 > MaxReplyPayload) {
        // Stored texts are bounded so this cannot happen; should it anyway, an answer the
        // PC can take is better than a frame its receiver throws away.
        td::log(QStringLiteral("keysim: reply to %1 too long (%2 bytes), sent without values")
                    .arg(o.value(QStringLiteral("function_name")).toString())
                    .arg(body.size() - 2));
        QJsonObject small;
        small.insert(QStringLiteral("function_name"), o.value(QStringLiteral("function_name")));
        small.insert(QStringLiteral("Error"), QStringLiteral("reply too long"));
        body = jsonBody(small);
    }
    emit frameOut(body, true);
}

void KeyProtocolEngine::replyFile(const KeyFileCommand &c)
{
    emit frameOut(fileBody(c), true);
}

void KeyProtocolEngine::handleJson(const QByteArray &payload)
{
    const int nul = payload.indexOf('\0');
    const QByteArray text = nul >= 0 ? payload.left(nul) : payload;
    emit jsonTextReceived(text);
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(text, &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject()) {
        // The PC puts user texts into its requests without escaping, so a quote typed into a
        // name breaks the JSON. The function name can usually still be found; answering it
        // keeps the PC's queue moving instead of waiting out three time-outs.
        const QRegularExpressionMatch m = functionNamePattern().match(QString::fromUtf8(text));
        const QString name = m.hasMatch() ? m.captured(1) : QString();
        td::log(QStringLiteral("keysim: request is not a JSON object (%1): %2")
                    .arg(err.errorString(), QString::fromUtf8(td::redactSecrets(text.left(200)))));
        if (m_handlers.contains(name)) {
            QJsonObject out;
            out.insert(QStringLiteral("function_name"), name);
            out.insert(QStringLiteral("Error"), QStringLiteral("bad request"));
            replyJson(out);
        }
        return;
    }

    const QJsonObject in = doc.object();
    const QString name = in.value(QStringLiteral("function_name")).toString();

    if (name == QLatin1String("FE_Page_Delete")) {
        pageDelete(in); // sent without awaiting a reply: the folder notification is the answer
        return;
    }
    if (name == QLatin1String("FE_WiFi_I_Am_Here")) {
        td::log(QStringLiteral("keysim: PC answered FE_WiFi_I_Am_Here"));
        return;
    }
    const auto it = m_handlers.constFind(name);
    if (it == m_handlers.constEnd()) {
        td::log(QStringLiteral("keysim: unknown function \"%1\" not answered").arg(name.left(64)));
        return;
    }
    QJsonObject out;
    out.insert(QStringLiteral("function_name"), name);
    (this->*(it.value()))(in, out);
    replyJson(out);
}

void KeyProtocolEngine::onPageCurrentWrite(const QJsonObject &in, QJsonObject &out)
{
    const QString page = in.value(QStringLiteral("pagenumber")).toString();
    if (m_fs->recordPath(page).isEmpty()) {
        td::log(QStringLiteral("keysim: FE_PageCurrent_Write with unusable page \"%1\"").arg(page.left(64)));
    } else {
        if (!QFileInfo::exists(m_fs->recordPath(page)))
            td::log(QStringLiteral("keysim: current page %1 has no record file yet").arg(page));
        m_state->currentPage = page;
        persist();
    }
    out.insert(QStringLiteral("pagenumber"), m_state->currentPage);
}

void KeyProtocolEngine::onPageCurrentRead(const QJsonObject &, QJsonObject &out)
{
    out.insert(QStringLiteral("pagenumber"), m_state->currentPage);
}

void KeyProtocolEngine::onSettingsCalibrateWrite(const QJsonObject &in, QJsonObject &out)
{
    const char *f = "FE_SettingsCalibrate_Write";
    Calibration &c = m_state->calibration;
    takeReal(in, f, "nm", 0, 2000, c.nm);
    takeInt(in, f, "offset", 0, 255, c.offset);
    takeInt(in, f, "amplify", 0, 1023, c.amplify);
    takeInt(in, f, "right", 0, 4095, c.right);
    takeInt(in, f, "left", 0, 4095, c.left);
    takeReal(in, f, "nm2", 0, 2000, c.nm2);
    takeInt(in, f, "right2", 0, 4095, c.right2);
    takeInt(in, f, "left2", 0, 4095, c.left2);
    takeInt(in, f, "used", 0, 1, c.used);
    takeInt(in, f, "nol", 0, 4095, c.nol);
    takeInt(in, f, "gyrocorrection", -32768, 32767, c.gyrocorrection);
    takeInt(in, f, "gyrodeviation", -128, 127, c.gyrodeviation);
    takeInt(in, f, "anglecorrention", 0, 65535, c.anglecorrention);
    takeReal(in, f, "headstandartmm", 0, 300, c.headstandartmm);
    takeReal(in, f, "keylengthmm", 0, 2000, c.keylengthmm);
    persist();
    // The key keeps its node templates as they are; nothing for the PC to fetch again.
    out.insert(QStringLiteral("RequestTemplates"), false);
}

void KeyProtocolEngine::onSettingsCalibrateRead(const QJsonObject &, QJsonObject &out)
{
    const Calibration &c = m_state->calibration;
    out.insert(QStringLiteral("nm"), c.nm);
    out.insert(QStringLiteral("offset"), c.offset);
    out.insert(QStringLiteral("amplify"), c.amplify);
    out.insert(QStringLiteral("right"), c.right);
    out.insert(QStringLiteral("left"), c.left);
    out.insert(QStringLiteral("nm2"), c.nm2);
    out.insert(QStringLiteral("right2"), c.right2);
    out.insert(QStringLiteral("left2"), c.left2);
    out.insert(QStringLiteral("used"), c.used);
    out.insert(QStringLiteral("nol"), c.nol);
    out.insert(QStringLiteral("gyrocorrection"), c.gyrocorrection);
    out.insert(QStringLiteral("gyrodeviation"), c.gyrodeviation);
    out.insert(QStringLiteral("anglecorrention"), c.anglecorrention);
    out.insert(QStringLiteral("headstandartmm"), c.headstandartmm);
    out.insert(QStringLiteral("keylengthmm"), c.keylengthmm);
}

void KeyProtocolEngine::onMenuLevelWrite(const QJsonObject &in, QJsonObject &)
{
    const char *f = "FE_MenuLevel_Write";
    int index = -1;
    if (!readInt(in, "Index", &index) || index < 0 || index >= KeyState::MenuLevelCount) {
        td::log(QStringLiteral("keysim: FE_MenuLevel_Write for no level 0..3 refused"));
        return;
    }
    MenuLevelState &l = m_state->menuLevels[size_t(index)];
    QString top = l.NameTop;
    QString bottom = l.NameBottom;
    takeText(in, f, "NameTop", 1024, top);
    takeText(in, f, "NameBottom", 1024, bottom);
    l.NameTop = cleanText(top, KeyState::NameMaxChars);
    l.NameBottom = cleanText(bottom, KeyState::NameMaxChars);
    int active = l.Active;
    if (readInt(in, "Active", &active))
        l.Active = active != 0 ? 1 : 0;
    takeInt(in, f, "Order", 1, 4, l.Order);
    persist();
}

void KeyProtocolEngine::onMenuLevelRead(const QJsonObject &in, QJsonObject &out)
{
    int index = -1;
    readInt(in, "Index", &index);
    out.insert(QStringLiteral("Index"), index);
    if (index < 0 || index >= KeyState::MenuLevelCount) {
        td::log(QStringLiteral("keysim: FE_MenuLevel_Read for no level 0..3: %1").arg(index));
        return;
    }
    const MenuLevelState &l = m_state->menuLevels[size_t(index)];
    out.insert(QStringLiteral("NameTop"), l.NameTop);
    out.insert(QStringLiteral("NameBottom"), l.NameBottom);
    out.insert(QStringLiteral("Active"), l.Active);
    out.insert(QStringLiteral("Order"), l.Order);
}

void KeyProtocolEngine::onKeyNameWrite(const QJsonObject &in, QJsonObject &)
{
    QString key = m_state->KeyName;
    QString op = m_state->OperatorName;
    takeText(in, "FE_KeyName_Write", "KeyName", 1024, key);
    takeText(in, "FE_KeyName_Write", "OperatorName", 1024, op);
    m_state->KeyName = cleanText(key, KeyState::NameMaxChars);
    m_state->OperatorName = cleanText(op, KeyState::NameMaxChars);
    persist();
}

void KeyProtocolEngine::onKeyNameRead(const QJsonObject &, QJsonObject &out)
{
    out.insert(QStringLiteral("KeyName"), m_state->KeyName);
    out.insert(QStringLiteral("OperatorName"), m_state->OperatorName);
}

void KeyProtocolEngine::onDeviceSettingWrite(const QJsonObject &in, QJsonObject &)
{
    const char *f = "FE_DeviceSetting_Write";
    DeviceSettings &d = m_state->device;
    takeInt(in, f, "Language", 0, 1, d.Language);
    takeInt(in, f, "TypeKey", 0, 4, d.TypeKey);
    takeInt(in, f, "TypePCConnection", 0, 2, d.TypePCConnection);
    takeInt(in, f, "DataBase", 0, 1, d.DataBase);
    takeInt(in, f, "DataTime", 0, 1, d.DataTime);
    takeInt(in, f, "AddAlgorithm", 0, 1, d.AddAlgorithm);
    takeInt(in, f, "Units", 0, 1, d.Units);
    takeInt(in, f, "WiFiEnable", 0, 1, d.WiFiEnable);
    takeInt(in, f, "PasswordWrEnable", 0, 65535, d.PasswordWrEnable);
    takeInt(in, f, "SleepTime", 0, 17, d.SleepTime);
    takeInt(in, f, "DisplayTime", 0, 15, d.DisplayTime);
    takeInt(in, f, "SoundEffects", 0, 1, d.SoundEffects);
    persist();
}

void KeyProtocolEngine::onDeviceSettingRead(const QJsonObject &, QJsonObject &out)
{
    const DeviceSettings &d = m_state->device;
    out.insert(QStringLiteral("Language"), d.Language);
    out.insert(QStringLiteral("TypeKey"), d.TypeKey);
    out.insert(QStringLiteral("TypePCConnection"), d.TypePCConnection);
    out.insert(QStringLiteral("DataBase"), d.DataBase);
    out.insert(QStringLiteral("DataTime"), d.DataTime);
    out.insert(QStringLiteral("AddAlgorithm"), d.AddAlgorithm);
    out.insert(QStringLiteral("Units"), d.Units);
    out.insert(QStringLiteral("WiFiEnable"), d.WiFiEnable);
    out.insert(QStringLiteral("SleepTime"), d.SleepTime);
    out.insert(QStringLiteral("DisplayTime"), d.DisplayTime);
    out.insert(QStringLiteral("SoundEffects"), d.SoundEffects);
    out.insert(QStringLiteral("VersionSW"), d.VersionSW);
    out.insert(QStringLiteral("SerialNo"), d.SerialNo);
}

void KeyProtocolEngine::onDateTimeWrite(const QJsonObject &in, QJsonObject &)
{
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    const bool all = readInt(in, "Year", &y) && readInt(in, "Month", &mo) && readInt(in, "Day", &d)
                     && readInt(in, "Hour", &h) && readInt(in, "Minutes", &mi)
                     && readInt(in, "Seconds", &s);
    // The key stores years as an offset from 2000 in 16 bits; keep to dates it can record.
    const QDate date(y, mo, d);
    const QTime time(h, mi, s);
    if (!all || y < 2000 || y > 2255 || !date.isValid() || !time.isValid()) {
        td::log(QStringLiteral("keysim: FE_DateTime_Write with no valid date and time, clock kept"));
        return;
    }
    m_state->setKeyClock(QDateTime(date, time));
    persist();
}

void KeyProtocolEngine::onDateTimeRead(const QJsonObject &, QJsonObject &out)
{
    const QDateTime now = m_state->keyClock();
    out.insert(QStringLiteral("Year"), now.date().year());
    out.insert(QStringLiteral("Month"), now.date().month());
    out.insert(QStringLiteral("Day"), now.date().day());
    out.insert(QStringLiteral("Hour"), now.time().hour());
    out.insert(QStringLiteral("Minutes"), now.time().minute());
    out.insert(QStringLiteral("Seconds"), now.time().second());
}

void KeyProtocolEngine::onWiFiSettingsWrite(const QJsonObject &in, QJsonObject &)
{
    const char *f = "FE_WiFiSettings_Write";
    WiFiSettings &w = m_state->wifi;
    // Field sizes of the key's Wi-Fi client; they also keep the read reply within one frame.
    takeText(in, f, "SSID", 32, w.SSID);
    takeText(in, f, "Password", 64, w.Password);
    takeText(in, f, "IP", 39, w.IP);
    takeInt(in, f, "PCPort", 0, 65535, w.PCPort);
    takeText(in, f, "UserLogin", 64, w.UserLogin);
    takeText(in, f, "UserPassword", 64, w.UserPassword);
    int wpa2 = w.WPA2Enterprise;
    if (readInt(in, "WPA2Enterprise", &wpa2))
        w.WPA2Enterprise = wpa2 != 0 ? 1 : 0;
    persist();
}

void KeyProtocolEngine::onWiFiSettingsRead(const QJsonObject &, QJsonObject &out)
{
    const WiFiSettings &w = m_state->wifi;
    out.insert(QStringLiteral("SSID"), w.SSID);
    out.insert(QStringLiteral("Password"), w.Password);
    out.insert(QStringLiteral("IP"), w.IP);
    out.insert(QStringLiteral("PCPort"), w.PCPort);
    out.insert(QStringLiteral("UserLogin"), w.UserLogin);
    out.insert(QStringLiteral("UserPassword"), w.UserPassword);
    out.insert(QStringLiteral("WPA2Enterprise"), w.WPA2Enterprise);
}

void KeyProtocolEngine::onStatus(const QJsonObject &in, QJsonObject &out)
{
    KeyStatus &s = m_state->status;
    int v = 0;
    if (readInt(in, "KeyInFocus", &v))
        s.KeyInFocus = v;
    if (readInt(in, "PCMenu", &v))
        s.PCMenu = v;
    out.insert(QStringLiteral("StateMachine"), s.StateMachine);
    out.insert(QStringLiteral("WifiBattery"), s.WifiBattery);
    out.insert(QStringLiteral("WifiRSSI"), s.WifiRSSI);
    out.insert(QStringLiteral("MeasureRotationStatus"), s.MeasureRotationStatus);
}

void KeyProtocolEngine::onMessageWrite(const QJsonObject &in, QJsonObject &)
{
    int type = -1;
    if (!readInt(in, "Type", &type) || type < 0 || type > 2) {
        td::log(QStringLiteral("keysim: FE_Message_Write with no Type 0..2 ignored"));
        return;
    }
    takeText(in, "FE_Message_Write", "Text", 4 * KeyState::MessageMaxChars, m_state->lastMessage);
    m_state->lastMessage = cleanText(m_state->lastMessage, KeyState::MessageMaxChars);
    m_state->lastMessageType = type;
    if (type == 1)
        m_state->locked = true;
    else if (type == 0)
        m_state->locked = false;
    td::log(QStringLiteral("keysim: message type %1: %2").arg(type).arg(m_state->lastMessage));
    persist();
}

void KeyProtocolEngine::onRebootWrite(const QJsonObject &in, QJsonObject &)
{
    int reset = 0;
    readInt(in, "WithResetToDefault", &reset);
    // A reboot of the emulated key keeps its folders and settings; only the count shows it.
    ++m_state->rebootCount;
    td::log(QStringLiteral("keysim: reboot requested, WithResetToDefault=%1").arg(reset));
    persist();
}

void KeyProtocolEngine::pageDelete(const QJsonObject &in)
{
    const QString records = KeyFileSystem::recordsFolder();
    int all = 0;
    readInt(in, "all", &all);
    if (all == 1) {
        const int removed = m_fs->removeAllRecords();
        if (removed < 0) {
            td::log(QStringLiteral("keysim: FE_Page_Delete could not delete every record"));
            return;
        }
        td::log(QStringLiteral("keysim: FE_Page_Delete deleted all %1 records").arg(removed));
        m_state->currentPage.clear();
        persist();
        notifyFileSystemChange(records, QString(), ChangeAllRecordsDeleted);
        return;
    }

    const QString page = in.value(QStringLiteral("pagenumber")).toString();
    switch (m_fs->removeRecord(page)) {
    case KeyFileSystem::Removal::Refused:
        td::log(QStringLiteral("keysim: FE_Page_Delete refused for \"%1\"").arg(page.left(64)));
        return;
    case KeyFileSystem::Removal::Failed:
        td::log(QStringLiteral("keysim: FE_Page_Delete could not delete %1").arg(page));
        return;
    case KeyFileSystem::Removal::Absent:
        // Nothing to delete, but the PC's copy is stale: telling it the record is gone keeps
        // its mirror the same as the key.
        td::log(QStringLiteral("keysim: FE_Page_Delete: no record %1").arg(page));
        break;
    case KeyFileSystem::Removal::Removed:
        td::log(QStringLiteral("keysim: FE_Page_Delete deleted %1").arg(page));
        break;
    }
    m_announced.remove(records + QLatin1Char('/') + page);
    if (m_state->currentPage == page) {
        m_state->currentPage.clear();
        persist();
    }
    notifyFileSystemChange(records, page, ChangeFileDeleted);
}

void KeyProtocolEngine::notifyFileSystemChange(const QString &dirName, const QString &fileName,
                                               int changeType)
{
    if (changeType == ChangeFileUpdated)
        m_announced.insert(dirName + QLatin1Char('/') + fileName);
    else if (changeType == ChangeAllRecordsDeleted)
        m_announced.clear();
    QJsonObject o;
    o.insert(QStringLiteral("function_name"), QStringLiteral("FE_FileSystem_Status"));
    o.insert(QStringLiteral("changetype"), changeType);
    o.insert(QStringLiteral("dirname"), dirName);
    o.insert(QStringLiteral("filename"), fileName);
    emit frameOut(jsonBody(o), false);
}

void KeyProtocolEngine::handleFile(const QByteArray &payload)
{
    KeyFileCommand c;
    QString why;
    const bool ok = KeyFileCommand::parse(payload, &c, &why);
    if (!ok) {
        td::log(QStringLiteral("keysim: bad file command: ") + why);
        c.status = KeyFileCommand::StatusError;
        c.notify = KeyFileCommand::NotifyNone;
        c.data.clear();
        replyFile(c);
        return;
    }
    switch (c.command) {
    case KeyFileCommand::FA_READ:
        fileRead(c);
        break;
    case KeyFileCommand::FA_WRITE:
        fileWrite(c);
        break;
    case KeyFileCommand::FA_READ_DIR:
        fileListDir(c);
        break;
    default:
        td::log(QStringLiteral("keysim: unknown file command %1").arg(c.command));
        c.status = KeyFileCommand::StatusError;
        c.data.clear();
        replyFile(c);
        break;
    }
}

QByteArray KeyProtocolEngine::hostileListing()
{
    QByteArray l;
    for (const char *name : {"..", "../escape.bin", "../../escape.bin", "..\\escape.bin", "/escape.bin",
                             "sub/../../escape.bin", "C:escape.bin", "escape\x01.bin", "", "."})
        l.append(name).append('\n');
    l.append(QByteArray(130, 'e')).append('\n'); // does not fit the name field
    l.append("..\r");                             // a folder, never descended into
    return l;
}

void KeyProtocolEngine::fileRead(KeyFileCommand &c)
{
    const QString recordsPrefix = QLatin1Char('/') + KeyFileSystem::recordsFolder() + QLatin1Char('/');
    if (m_beforeSecondRead && c.seek == 0 && c.path().startsWith(recordsPrefix)
        && ++m_readsFromStart[c.path()] == 2)
        m_beforeSecondRead(c.path().mid(recordsPrefix.size()));
    const KeyFileSystem::ReadResult r = m_fs->read(c.path(), c.seek);
    c.notify = KeyFileCommand::NotifyNone;
    if (!r.ok && m_hostileNames) {
        td::log(QStringLiteral("keysim: hostile key answers the refused read of ") + c.path());
        c.data = QByteArrayLiteral("written by a hostile key\n");
        c.status = KeyFileCommand::StatusDone;
        replyFile(c);
        return;
    }
    if (!r.ok) {
        c.status = KeyFileCommand::StatusError;
        c.data.clear();
        replyFile(c);
        return;
    }
    c.data = r.data;
    c.status = r.more ? KeyFileCommand::StatusMore : KeyFileCommand::StatusDone;
    if (!r.more) {
        // A file the key announced as changed goes to the PC's page at once.
        const QString key = folderOf(c.path());
        if (m_announced.remove(key))
            c.notify = KeyFileCommand::NotifyPage;
    }
    replyFile(c);
}

void KeyProtocolEngine::fileWrite(KeyFileCommand &c)
{
    const bool last = c.status != KeyFileCommand::StatusMore;
    if (c.status != KeyFileCommand::StatusMore && c.status != KeyFileCommand::StatusDone) {
        td::log(QStringLiteral("keysim: FA_WRITE with status %1 refused").arg(c.status));
        c.status = KeyFileCommand::StatusError;
        c.data.clear();
        replyFile(c);
        return;
    }
    const KeyFileSystem::WriteResult r = m_fs->write(c.path(), c.seek, c.data, last);
    c.data.clear();
    c.notify = KeyFileCommand::NotifyNone;
    if (!r.ok) {
        c.status = KeyFileCommand::StatusError;
        replyFile(c);
        return;
    }
    c.seek = qint32(r.nextSeek);
    if (!last) {
        c.status = KeyFileCommand::StatusMore; // the key wants the data at seek
        replyFile(c);
        return;
    }
    c.status = KeyFileCommand::StatusDone;
    // A record that arrives is handed to the PC's records page, which then makes it current.
    const QString key = folderOf(c.path());
    if (key.startsWith(KeyFileSystem::recordsFolder() + QLatin1Char('/')) && key.count(QLatin1Char('/')) == 1)
        c.notify = KeyFileCommand::NotifyPage;
    replyFile(c);
}

void KeyProtocolEngine::fileListDir(KeyFileCommand &c)
{
    // The PC asks for the next part by sending the last reply's header back, with or without
    // its length. The reply's seek therefore carries where the next part starts, so the
    // listing goes on correctly whichever way the header comes back.
    const KeyFileSystem::ListResult r = m_fs->list(c.path(), c.seek);
    c.notify = KeyFileCommand::NotifyNone;
    if (!r.ok) {
        c.status = KeyFileCommand::StatusError;
        c.seek = 0;
        c.length = 0;
        c.data.clear();
        replyFile(c);
        return;
    }
    c.seek = qint32(r.offset + r.data.size());
    c.data = r.data;
    c.status = r.more ? KeyFileCommand::StatusMore : KeyFileCommand::StatusDone;
    if (m_hostileNames && r.offset == 0) {
        // The hostile names go first; real names that no longer fit the part follow in the
        // next one, which starts where this part's seek says.
        const QByteArray bad = hostileListing();
        int keep = 0;
        for (int i = 0; i < r.data.size(); ++i) {
            const char ch = r.data.at(i);
            if ((ch == '\n' || ch == '\r') && bad.size() + i + 1 <= KeyFileCommand::MaxData)
                keep = i + 1;
        }
        c.data = bad + r.data.left(keep);
        c.seek = qint32(r.offset + keep);
        c.status = (r.more || keep < r.data.size()) ? KeyFileCommand::StatusMore
                                                    : KeyFileCommand::StatusDone;
    }
    replyFile(c);
}

} // namespace keysim
