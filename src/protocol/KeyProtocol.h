#pragma once

#include "protocol/KeyModel.h"
#include "protocol/RequestFormat.h"

#include <QByteArray>
#include <QDateTime>
#include <QHostAddress>
#include <QJsonObject>
#include <QObject>
#include <QString>

class cGlobalData;
class FileExchange;
class KeySender;
class MenuLevels;
struct RxDataBuffer;

// The key's JSON function calls: one sending operation per request the PC makes, the
// receive handler every link's frames go through, and the dispatcher that turns the key's
// objects into model updates and follow-up requests. It reaches no widget; pages listen to
// the models and to the signals below.
class KeyProtocol : public QObject
{
    Q_OBJECT
public:
    static constexpr quint8 ClassJson = 0x30;
    static constexpr quint8 SubCodeJson = 0x01;
    static constexpr quint8 ClassFile = 0x31;

    KeyProtocol(cGlobalData *globalData, KeySender *sender, FileExchange *files, KeyModel *model,
                MenuLevels *menuLevels, QObject *parent = nullptr);

    KeySender *sender() const { return m_sender; }
    FileExchange *files() const { return m_files; }
    KeyModel *model() const { return m_model; }
    MenuLevels *menuLevels() const { return m_menuLevels; }

    // Supervision: ticks without any frame from the USB key.
    quint8 missedReplyCount() const { return m_missedReplies; }
    void countMissedReply() { ++m_missedReplies; }
    void resetMissedReplies() { m_missedReplies = 0; }

    void ParseJsonRx(const QByteArray &text, const QString &interfaceName,
                     const QHostAddress &hostAddress, quint16 port);
    void AckReply(const QString &interfaceName);

    // Requests. Each returns true when the request was handed to a link.
    bool FE_PageCurrent_Write(const QString &pagenumber);
    // Which record the key measures into; answered by currentPageReported.
    bool FE_PageCurrent_Read();
    // all = 1 erases every record (pagenumber then empty). Not answered by the key.
    bool FE_Page_Delete(const QString &pagenumber, int all);
    bool FE_SettingsCalibrate_Write(const CalibrationValues &v);
    bool FE_SettingsCalibrate_Read();
    bool FE_MenuLevel_Write(const QString &nameTop, const QString &nameBottom, int active,
                            int order, int index);
    bool FE_MenuLevel_Read(int index);
    bool FE_KeyName_Write(const QString &keyName, const QString &operatorName);
    bool FE_KeyName_Read();
    bool FE_DeviceSetting_Write(const DeviceSettings &s, int passwordWrEnable);
    bool FE_DeviceSetting_Read();
    bool FE_DateTime_Write(const QDateTime &localTime);
    // The key's clock, answered by FE_DateTime_Read (shown on the settings page).
    bool FE_DateTime_Read();
    bool FE_WiFiSettings_Write(const WifiSettings &s);
    bool FE_WiFiSettings_Read();
    // To the key in use.
    bool FE_JsonNotification_Status(int keyInFocus, int pcMenu, int testConnectCounter = 10);
    // To one Wi-Fi key named by its identity.
    bool FE_JsonNotification_StatusTo(const QString &id, int keyInFocus, int pcMenu,
                                      int testConnectCounter = 10);
    bool FE_Message_Write(const QString &text, int type);
    bool FE_Reboot_Write(int withResetToDefault);
    // The answer to a key's announcement; to that key only, not answered.
    bool FE_WiFi_I_Am_Here(const QString &id, int testConnectCounter = 10);

public slots:
    // Every frame of every link arrives here (a USB frame with an empty interface name).
    void iReceiveUart_Click(const RxDataBuffer &rx);
    // The read-out after a key was chosen: names, settings, calibration, menu levels,
    // Wi-Fi settings, the PC clock, then the folders "templates" and "dbsett".
    void ReadKeyOnConnect();

signals:
    // A short text for the status line.
    void statusMessage(const QString &text);
    void windowTitleChanged(const QString &title);
    // An accepted status of the key in use (or of a listed Wi-Fi key when selected).
    void keyStatusReceived(quint8 stateMachine, quint8 wifiBattery, quint8 wifiRssi,
                           quint8 measureRotationStatus);
    void waitAnimationRequested(bool show);
    // The read-out empties the three template lists before the key sends them again.
    void templateListsResetRequested();
    // The read-out has queued everything; supervision takes over.
    void supervisionStartRequested();
    // Level 3 was read: every level caption is current.
    void menuLevelsComplete();
    // The key named the record it measures into (its answer to FE_PageCurrent_Read).
    void currentPageReported(const QString &pagenumber);

private:
    bool sendRequest(const char *name, const char *format, const QVector<td::request::Arg> &args,
                     int noReply, const QString &toKey = QString());
    void dispatch(const QString &name, const QJsonObject &o, const QByteArray &text,
                  const QString &interfaceName, const QHostAddress &hostAddress, quint16 port);
    void onCalibrationRead(const QJsonObject &o, const QByteArray &text);

    cGlobalData *m_global;
    KeySender *m_sender;
    FileExchange *m_files;
    KeyModel *m_model;
    MenuLevels *m_menuLevels;
    quint8 m_missedReplies = 0;
};
