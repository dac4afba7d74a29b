#pragma once

#include <QHash>
#include <QObject>
#include <QString>

// Which keys this station has, and over which link, as the status topics tell the plant:
// "usb", "wifi" or "gone" per key serial number. A key is known by its serial only once its
// device settings were read; the links report losses by their own names (the USB link as a
// whole, a Wi-Fi key by its announced identifier), so both are kept per serial.
class KeyPresence : public QObject
{
    Q_OBJECT
public:
    enum Link { None = 0, Usb = 1, Wifi = 2 };

    explicit KeyPresence(QObject *parent = nullptr) : QObject(parent) {}

    // The key read over link (the window's connection mode) has this serial; wifiId is the
    // Wi-Fi key's identifier when link is Wifi.
    void keyIdentified(const QString &serial, int link, const QString &wifiId = QString());
    // The USB key went (port closed, silent key).
    void usbLost();
    // A Wi-Fi key was forgotten by the link.
    void wifiKeyRemoved(const QString &wifiId);

    QString statusOf(const QString &serial) const;
    // Every key's last status, gone ones included.
    QHash<QString, QString> statuses() const { return m_lastStatus; }

    static QString statusText(int link);

signals:
    void statusChanged(const QString &serial, const QString &status);

private:
    struct Entry
    {
        int link = None;
        QString wifiId;
    };
    void setGone(const QString &serial);

    QHash<QString, Entry> m_keys; // present keys only
    QHash<QString, QString> m_lastStatus;
};
