#pragma once

#include "link/LinkMode.h"

#include <QByteArray>
#include <QString>

class cGlobalData;
class KeyTransport;
class WifiKeyDirectory;

// Decides which link (and which Wi-Fi key) a command goes to and how often the queue may
// send it, from the connection mode and the Wi-Fi key list. JSON requests and file commands
// both leave through here, so they are always addressed alike.
class KeySender
{
public:
    static constexpr quint8 AttemptsUsb = 3;
    static constexpr quint8 AttemptsFocusedWifi = 8;
    static constexpr quint8 AttemptsNamedKey = 3;

    explicit KeySender(cGlobalData *globalData);

    void setUsbTransport(KeyTransport *transport) { m_usb = transport; }
    void setWifiDirectory(WifiKeyDirectory *directory) { m_wifi = directory; }
    KeyTransport *usbTransport() const { return m_usb; }
    WifiKeyDirectory *wifiDirectory() const { return m_wifi; }
    cGlobalData *globalData() const { return m_global; }
    // The link in use, as the key connection decided it. Without a source no link is in use
    // and send() takes nothing; a session on one ComSlip of its own speaks USB.
    void setModeSource(LinkModeSource source) { m_mode = std::move(source); }
    LinkMode mode() const { return m_mode ? m_mode() : LinkMode::None; }

    // True for the names under which the USB link's frames arrive ("" or "USB").
    static bool isUsbName(const QString &interfaceName);

    // To the key in use. Returns false when no link took the command.
    bool send(quint8 packetClass, quint8 subCode, const QByteArray &payload, int noReply);
    // To one Wi-Fi key named by its identity.
    bool sendTo(const QString &id, quint8 packetClass, quint8 subCode, const QByteArray &payload,
                int noReply);

    // A frame arrived from interfaceName: release the queue waiting for it.
    void AckReply(const QString &interfaceName);

    // Whether frames from interfaceName come from the key in use: the USB link always, a
    // Wi-Fi key only while it is the selected one.
    bool isAcceptedSender(const QString &interfaceName) const;

private:
    cGlobalData *m_global;
    KeyTransport *m_usb = nullptr;
    WifiKeyDirectory *m_wifi = nullptr;
    LinkModeSource m_mode;
};
