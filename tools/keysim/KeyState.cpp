#include "KeyState.h"

#include "base/Log.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

namespace keysim {

namespace {

void takeInt(const QJsonObject &o, const char *key, int &field)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isDouble())
        field = v.toInt(field);
}

void takeDouble(const QJsonObject &o, const char *key, double &field)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isDouble())
        field = v.toDouble(field);
}

void takeString(const QJsonObject &o, const char *key, QString &field, int maxChars)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (v.isString())
        field = cleanText(v.toString(), maxChars);
}

} // namespace

QString cleanText(const QString &text, int maxChars)
{
    QString out;
    out.reserve(qMin(text.size(), maxChars));
    for (int i = 0; i < text.size() && out.size() < maxChars; ++i) {
        const QChar c = text.at(i);
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            continue;
        if (c.isHighSurrogate()) {
            if (i + 1 >= text.size() || !text.at(i + 1).isLowSurrogate())
                continue; // a lone half of a pair is no character
            if (out.size() + 2 > maxChars)
                break;
            out.append(c);
            out.append(text.at(++i));
            continue;
        }
        if (c.isLowSurrogate())
            continue;
        out.append(c);
    }
    return out;
}

QString cleanTextBytes(const QString &text, int maxBytes)
{
    QString out = cleanText(text, text.size());
    while (out.toUtf8().size() > maxBytes) {
        int cut = out.size() - 1;
        if (cut > 0 && out.at(cut).isLowSurrogate())
            --cut;
        out.truncate(cut);
    }
    return out;
}

KeyState::KeyState()
{
    static const char *const tops[MenuLevelCount] = {"Operator", "Product", "Operation", "Node"};
    static const char *const bottoms[MenuLevelCount] = {"name", "number", "number", "type"};
    for (int i = 0; i < MenuLevelCount; ++i) {
        menuLevels[size_t(i)].NameTop = QLatin1String(tops[i]);
        menuLevels[size_t(i)].NameBottom = QLatin1String(bottoms[i]);
        menuLevels[size_t(i)].Active = 1;
        menuLevels[size_t(i)].Order = i + 1;
    }
}

QDateTime KeyState::keyClock() const
{
    return QDateTime::currentDateTime().addSecs(m_clockOffsetSeconds);
}

void KeyState::setKeyClock(const QDateTime &keyNow)
{
    if (keyNow.isValid())
        m_clockOffsetSeconds = QDateTime::currentDateTime().secsTo(keyNow);
}

QJsonObject KeyState::toJson() const
{
    QJsonObject o;
    o.insert(QStringLiteral("KeyName"), KeyName);
    o.insert(QStringLiteral("OperatorName"), OperatorName);

    QJsonObject d;
    d.insert(QStringLiteral("Language"), device.Language);
    d.insert(QStringLiteral("TypeKey"), device.TypeKey);
    d.insert(QStringLiteral("TypePCConnection"), device.TypePCConnection);
    d.insert(QStringLiteral("DataBase"), device.DataBase);
    d.insert(QStringLiteral("DataTime"), device.DataTime);
    d.insert(QStringLiteral("AddAlgorithm"), device.AddAlgorithm);
    d.insert(QStringLiteral("Units"), device.Units);
    d.insert(QStringLiteral("WiFiEnable"), device.WiFiEnable);
    d.insert(QStringLiteral("PasswordWrEnable"), device.PasswordWrEnable);
    d.insert(QStringLiteral("SleepTime"), device.SleepTime);
    d.insert(QStringLiteral("DisplayTime"), device.DisplayTime);
    d.insert(QStringLiteral("SoundEffects"), device.SoundEffects);
    d.insert(QStringLiteral("VersionSW"), device.VersionSW);
    d.insert(QStringLiteral("SerialNo"), device.SerialNo);
    o.insert(QStringLiteral("device"), d);

    QJsonObject c;
    c.insert(QStringLiteral("nm"), calibration.nm);
    c.insert(QStringLiteral("offset"), calibration.offset);
    c.insert(QStringLiteral("amplify"), calibration.amplify);
    c.insert(QStringLiteral("right"), calibration.right);
    c.insert(QStringLiteral("left"), calibration.left);
    c.insert(QStringLiteral("nm2"), calibration.nm2);
    c.insert(QStringLiteral("right2"), calibration.right2);
    c.insert(QStringLiteral("left2"), calibration.left2);
    c.insert(QStringLiteral("used"), calibration.used);
    c.insert(QStringLiteral("nol"), calibration.nol);
    c.insert(QStringLiteral("gyrocorrection"), calibration.gyrocorrection);
    c.insert(QStringLiteral("gyrodeviation"), calibration.gyrodeviation);
    c.insert(QStringLiteral("anglecorrention"), calibration.anglecorrention);
    c.insert(QStringLiteral("headstandartmm"), calibration.headstandartmm);
    c.insert(QStringLiteral("keylengthmm"), calibration.keylengthmm);
    o.insert(QStringLiteral("calibration"), c);

    QJsonArray levels;
    for (const MenuLevelState &l : menuLevels) {
        QJsonObject lo;
        lo.insert(QStringLiteral("NameTop"), l.NameTop);
        lo.insert(QStringLiteral("NameBottom"), l.NameBottom);
        lo.insert(QStringLiteral("Active"), l.Active);
        lo.insert(QStringLiteral("Order"), l.Order);
        levels.append(lo);
    }
    o.insert(QStringLiteral("menuLevels"), levels);

    QJsonObject w;
    w.insert(QStringLiteral("SSID"), wifi.SSID);
    w.insert(QStringLiteral("Password"), wifi.Password);
    w.insert(QStringLiteral("IP"), wifi.IP);
    w.insert(QStringLiteral("PCPort"), wifi.PCPort);
    w.insert(QStringLiteral("UserLogin"), wifi.UserLogin);
    w.insert(QStringLiteral("UserPassword"), wifi.UserPassword);
    w.insert(QStringLiteral("WPA2Enterprise"), wifi.WPA2Enterprise);
    o.insert(QStringLiteral("wifi"), w);

    QJsonObject s;
    s.insert(QStringLiteral("StateMachine"), status.StateMachine);
    s.insert(QStringLiteral("WifiBattery"), status.WifiBattery);
    s.insert(QStringLiteral("WifiRSSI"), status.WifiRSSI);
    s.insert(QStringLiteral("MeasureRotationStatus"), status.MeasureRotationStatus);
    o.insert(QStringLiteral("status"), s);

    o.insert(QStringLiteral("currentPage"), currentPage);
    o.insert(QStringLiteral("lastMessage"), lastMessage);
    o.insert(QStringLiteral("lastMessageType"), lastMessageType);
    o.insert(QStringLiteral("locked"), locked);
    o.insert(QStringLiteral("rebootCount"), rebootCount);
    o.insert(QStringLiteral("clockOffsetSeconds"), double(m_clockOffsetSeconds));
    return o;
}

void KeyState::fromJson(const QJsonObject &o)
{
    takeString(o, "KeyName", KeyName, NameMaxChars);
    takeString(o, "OperatorName", OperatorName, NameMaxChars);

    const QJsonObject d = o.value(QStringLiteral("device")).toObject();
    takeInt(d, "Language", device.Language);
    takeInt(d, "TypeKey", device.TypeKey);
    takeInt(d, "TypePCConnection", device.TypePCConnection);
    takeInt(d, "DataBase", device.DataBase);
    takeInt(d, "DataTime", device.DataTime);
    takeInt(d, "AddAlgorithm", device.AddAlgorithm);
    takeInt(d, "Units", device.Units);
    takeInt(d, "WiFiEnable", device.WiFiEnable);
    takeInt(d, "PasswordWrEnable", device.PasswordWrEnable);
    takeInt(d, "SleepTime", device.SleepTime);
    takeInt(d, "DisplayTime", device.DisplayTime);
    takeInt(d, "SoundEffects", device.SoundEffects);
    takeInt(d, "VersionSW", device.VersionSW);
    if (d.value(QStringLiteral("SerialNo")).isString())
        device.SerialNo = cleanTextBytes(d.value(QStringLiteral("SerialNo")).toString(), 31);

    const QJsonObject c = o.value(QStringLiteral("calibration")).toObject();
    takeDouble(c, "nm", calibration.nm);
    takeInt(c, "offset", calibration.offset);
    takeInt(c, "amplify", calibration.amplify);
    takeInt(c, "right", calibration.right);
    takeInt(c, "left", calibration.left);
    takeDouble(c, "nm2", calibration.nm2);
    takeInt(c, "right2", calibration.right2);
    takeInt(c, "left2", calibration.left2);
    takeInt(c, "used", calibration.used);
    takeInt(c, "nol", calibration.nol);
    takeInt(c, "gyrocorrection", calibration.gyrocorrection);
    takeInt(c, "gyrodeviation", calibration.gyrodeviation);
    takeInt(c, "anglecorrention", calibration.anglecorrention);
    takeDouble(c, "headstandartmm", calibration.headstandartmm);
    takeDouble(c, "keylengthmm", calibration.keylengthmm);

    const QJsonArray levels = o.value(QStringLiteral("menuLevels")).toArray();
    for (int i = 0; i < MenuLevelCount && i < levels.size(); ++i) {
        const QJsonObject lo = levels.at(i).toObject();
        MenuLevelState &l = menuLevels[size_t(i)];
        takeString(lo, "NameTop", l.NameTop, NameMaxChars);
        takeString(lo, "NameBottom", l.NameBottom, NameMaxChars);
        takeInt(lo, "Active", l.Active);
        takeInt(lo, "Order", l.Order);
    }

    const QJsonObject w = o.value(QStringLiteral("wifi")).toObject();
    takeString(w, "SSID", wifi.SSID, 64);
    takeString(w, "Password", wifi.Password, 64);
    takeString(w, "IP", wifi.IP, 64);
    takeInt(w, "PCPort", wifi.PCPort);
    takeString(w, "UserLogin", wifi.UserLogin, 64);
    takeString(w, "UserPassword", wifi.UserPassword, 64);
    takeInt(w, "WPA2Enterprise", wifi.WPA2Enterprise);

    const QJsonObject s = o.value(QStringLiteral("status")).toObject();
    takeInt(s, "StateMachine", status.StateMachine);
    takeInt(s, "WifiBattery", status.WifiBattery);
    takeInt(s, "WifiRSSI", status.WifiRSSI);
    takeInt(s, "MeasureRotationStatus", status.MeasureRotationStatus);

    takeString(o, "currentPage", currentPage, 64);
    takeString(o, "lastMessage", lastMessage, MessageMaxChars);
    takeInt(o, "lastMessageType", lastMessageType);
    if (o.value(QStringLiteral("locked")).isBool())
        locked = o.value(QStringLiteral("locked")).toBool();
    takeInt(o, "rebootCount", rebootCount);
    const QJsonValue offset = o.value(QStringLiteral("clockOffsetSeconds"));
    if (offset.isDouble())
        m_clockOffsetSeconds = qint64(offset.toDouble());
}

bool KeyState::load(const QString &filePath)
{
    QFile f(filePath);
    if (!f.exists())
        return true;
    if (!f.open(QIODevice::ReadOnly)) {
        td::log(QStringLiteral("keysim: cannot read key state ") + filePath);
        return false;
    }
    // The state file is ours, but a hand-edited or truncated one must not take the key down.
    const QByteArray text = f.read(1 << 20);
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(text, &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject()) {
        td::log(QStringLiteral("keysim: key state is not a JSON object, defaults kept: ") + filePath);
        return false;
    }
    fromJson(doc.object());
    return true;
}

bool KeyState::save(const QString &filePath) const
{
    QSaveFile f(filePath);
    if (!f.open(QIODevice::WriteOnly)) {
        td::log(QStringLiteral("keysim: cannot write key state ") + filePath);
        return false;
    }
    f.write(QJsonDocument(toJson()).toJson(QJsonDocument::Indented));
    if (!f.commit()) {
        td::log(QStringLiteral("keysim: cannot write key state ") + filePath);
        return false;
    }
    return true;
}

} // namespace keysim
