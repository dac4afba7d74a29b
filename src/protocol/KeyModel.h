#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>

// Plain values of the key's state as its replies report them. Field names follow the
// JSON keys so the code that fills and sends them reads like the wire texts.

struct DeviceSettings
{
    quint16 Language = 0;
    quint16 TypeKey = 0;
    quint16 TypePCConnection = 0;
    quint16 DataBase = 0;
    quint16 DataTime = 0;
    quint16 AddAlgorithm = 0;
    quint16 Units = 0; // 0 N·m, 1 kgf·m
    quint16 WiFiEnable = 0;
    quint16 SleepTime = 0;
    quint16 DisplayTime = 0;
    quint16 SoundEffects = 0;
    qint32 VersionSW = 0;
    QByteArray SerialNo; // UTF-8 bytes as the key sent them
};

struct KeyNames
{
    QString keyName;
    QString operatorName;
};

struct WifiSettings
{
    QString SSID;
    QString Password;
    QString IP;
    quint16 PCPort = 0;
    QString UserLogin;
    QString UserPassword;
    qint32 WPA2Enterprise = 0;
};

struct KeyClock
{
    quint16 Year = 0;
    quint8 Month = 0;
    quint8 Day = 0;
    quint8 Hour = 0;
    quint8 Minutes = 0;
    quint8 Seconds = 0;
};

struct CalibrationValues
{
    double nm = 0.0;
    qint32 offset = 0;
    qint32 amplify = 0;
    qint32 right = 0;
    qint32 left = 0;
    double nm2 = 0.0;
    qint32 right2 = 0;
    qint32 left2 = 0;
    qint32 used = 0;
    qint32 nol = 0;
    qint32 gyrocorrection = 0;
    qint32 gyrodeviation = 0;
    qint32 anglecorrention = 0;
    double headstandartmm = 0.0;
    double keylengthmm = 0.0;
};

// The key's state as last read, shared by the protocol layer (which fills it) and the
// settings and calibration pages (which render it and listen to the signals).
class KeyModel : public QObject
{
    Q_OBJECT
public:
    explicit KeyModel(QObject *parent = nullptr);

    const DeviceSettings &deviceSettings() const { return m_device; }
    const KeyNames &names() const { return m_names; }
    const WifiSettings &wifiSettings() const { return m_wifi; }
    const KeyClock &clock() const { return m_clock; }
    const CalibrationValues &calibration() const { return m_calibration; }
    // The JSON text of the last calibration reply exactly as received; what a ".clb" file holds.
    const QByteArray &calibrationText() const { return m_calibrationText; }
    // "nm" in the key's unit: N·m as received, kgf·m converted.
    double nominalMoment() const { return m_nominalMoment; }

    void setDeviceSettings(const DeviceSettings &value);
    void setNames(const KeyNames &value);
    void setWifiSettings(const WifiSettings &value);
    void setClock(const KeyClock &value, const QDateTime &pcTime);
    // Keeps text and values and recomputes the nominal moment from the current units.
    void setCalibration(const CalibrationValues &values, const QByteArray &text);

    // The nominal moment for a raw "nm" under the given unit setting.
    static double nominalFor(double nm, quint16 units);
    // Main window title for a nominal moment under the given unit setting.
    static QString windowTitleFor(double nominal, quint16 units);

    // Everything back to "nothing read yet" (a key was lost or another was chosen).
    void reset();

signals:
    void deviceSettingsChanged();
    void namesChanged();
    void wifiSettingsChanged();
    // The key's clock as read, with the PC's time at the moment the reply arrived.
    void clockRead(const QDateTime &pcTime);
    void calibrationChanged();

private:
    DeviceSettings m_device;
    KeyNames m_names;
    WifiSettings m_wifi;
    KeyClock m_clock;
    CalibrationValues m_calibration;
    QByteArray m_calibrationText;
    double m_nominalMoment = 0.0;
};
