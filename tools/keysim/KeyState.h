#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QString>

#include <array>

namespace keysim {

// The key's device settings as FE_DeviceSetting_Read reports them. VersionSW and SerialNo
// belong to the firmware and never change through a write.
struct DeviceSettings
{
    int Language = 1;
    int TypeKey = 2;
    int TypePCConnection = 1;
    int DataBase = 1;
    int DataTime = 1;
    int AddAlgorithm = 1;
    int Units = 0;
    int WiFiEnable = 0;
    int PasswordWrEnable = 0;
    int SleepTime = 3;
    int DisplayTime = 4;
    int SoundEffects = 1;
    int VersionSW = 12;
    QString SerialNo = QStringLiteral("2907K000001");
};

struct Calibration
{
    double nm = 340.0;
    int offset = 128;
    int amplify = 512;
    int right = 3100;
    int left = 980;
    double nm2 = 170.0;
    int right2 = 2600;
    int left2 = 1500;
    int used = 0;
    int nol = 2048;
    int gyrocorrection = 0;
    int gyrodeviation = 0;
    int anglecorrention = 100;
    double headstandartmm = 22.0;
    double keylengthmm = 600.0;
};

struct MenuLevelState
{
    QString NameTop;
    QString NameBottom;
    int Active = 1;
    int Order = 1;
};

struct WiFiSettings
{
    QString SSID = QStringLiteral("workshop");
    QString Password = QStringLiteral("torque-2907");
    QString IP = QStringLiteral("192.168.0.100");
    int PCPort = 32100;
    QString UserLogin;
    QString UserPassword;
    int WPA2Enterprise = 0;
};

// What the key reports in its answer to every FE_JsonNotification_Status, and what the PC
// told it last.
struct KeyStatus
{
    int StateMachine = 0;
    int WifiBattery = 4;
    int WifiRSSI = 3;
    int MeasureRotationStatus = 1;
    int KeyInFocus = 0;
    int PCMenu = 0;
};

// Everything the key remembers apart from its folders. Kept in one JSON file inside the key
// root so that a restarted emulator is the same key; written atomically after every change.
class KeyState
{
public:
    static constexpr int NameMaxChars = 50;
    static constexpr int MessageMaxChars = 200;
    static constexpr int MenuLevelCount = 4;
    // The state file sits in the key root but starts with a dot, which the key's file
    // commands never serve, list or overwrite.
    static QString stateFileName() { return QStringLiteral(".keystate.json"); }

    KeyState();

    // Reads the state file; a missing file leaves the defaults and returns true, a file that
    // is not a JSON object is logged and the defaults stay (returns false).
    bool load(const QString &filePath);
    // Writes the state file atomically; false (and a log line) when it cannot be written.
    bool save(const QString &filePath) const;

    QJsonObject toJson() const;
    // Takes every known key whose value has the right type; unknown or ill-typed keys keep
    // their present value.
    void fromJson(const QJsonObject &o);

    // The key's clock runs on from whatever FE_DateTime_Write last set, so it is kept as an
    // offset from the host clock.
    QDateTime keyClock() const;
    void setKeyClock(const QDateTime &keyNow);
    qint64 clockOffsetSeconds() const { return m_clockOffsetSeconds; }

    QString KeyName = QStringLiteral("Key 2907-1");
    QString OperatorName = QStringLiteral("Ivanov I.I.");
    DeviceSettings device;
    Calibration calibration;
    std::array<MenuLevelState, MenuLevelCount> menuLevels;
    WiFiSettings wifi;
    KeyStatus status;
    QString currentPage;   // record name last made current by FE_PageCurrent_Write
    QString lastMessage;   // last FE_Message_Write text
    int lastMessageType = 0;
    bool locked = false;   // FE_Message_Write Type 1 locks, Type 0 unlocks
    int rebootCount = 0;

private:
    qint64 m_clockOffsetSeconds = 0;
};

// Cuts text to at most maxChars characters without splitting a surrogate pair, and drops
// control characters (the key shows these texts on its display and sends them back in JSON).
QString cleanText(const QString &text, int maxChars);
// Same, bounded by UTF-8 bytes (for fields the key stores in fixed byte buffers).
QString cleanTextBytes(const QString &text, int maxBytes);

} // namespace keysim
