#pragma once

#include "base/Timing.h"
#include "link/LinkMode.h"
#include "link/RxDataBuffer.h"

#include <QObject>
#include <QString>

class ConnectionSupervisor;
class FileExchange;
class KeyPort;
class KeyProtocol;
class KeySession;
class UsbLink;
class WifiKeyListModel;
class cGlobalData;
class cWifi;

// The one owner of the connection to the key: the USB link with its port scan, the Wi-Fi
// link with its key list, the key session (models, file exchange, JSON protocol) and the
// supervision, wired once. The window, the command-line program, the test rigs and the
// benchmarks all build this object and only listen to it; nothing here paints.
//
// A key becomes the key in use in one place for both links: the port scan opens a USB key, or
// switches to the Wi-Fi key list once it is ready; keyInUse() lets a window show it, then the
// read-out starts. Choosing another Wi-Fi key while Wi-Fi is in use starts a read-out too.
//
// The connection mode is decided here and nowhere else. The links and the supervision only
// report what happened (port opened, key lost, no key anywhere, Wi-Fi list ready or run
// empty); this object makes the mode of those events, announces every change once through
// modeChanged(), and hands read-only sources of it to the links and the sender. A USB key
// whose port is open wins over the Wi-Fi list; a Wi-Fi event never takes USB's place.
class KeyConnection : public QObject
{
    Q_OBJECT
public:
    enum class Mode { None = int(LinkMode::None), Usb = int(LinkMode::Usb), Wifi = int(LinkMode::Wifi) };
    Q_ENUM(Mode)

    struct Options
    {
        KeyPort *port = nullptr; // null: the port in cGlobalData, else a serial port is made
        QString pcAddress;       // Wi-Fi sockets bind here; empty: cGlobalData's
        quint16 announcePort = 32555;
        quint16 tcpPort = 33333;
        int scanRearmMs = td::timing::portScanRearm;
        int statusTickMs = td::timing::statusExchangeTick;
        int wifiReadyMs = td::timing::wifiReadyDelay;
        int rescanDelayMs = 1000;
        int wifiSweepMs = td::timing::wifiOneSecondTick;
        int wifiPortRetryMs = td::timing::wifiPortRetry;
        int replyTimeoutMs = td::timing::queueReplyTimeout;
        int aliveTickMs = td::timing::queueAliveTick;
        int fileListTickMs = td::timing::fileListTick;
        int progressTickMs = td::timing::exchangeProgressTick;
    };

    explicit KeyConnection(cGlobalData *globalData, QObject *parent = nullptr);
    KeyConnection(cGlobalData *globalData, const Options &options, QObject *parent = nullptr);
    ~KeyConnection() override;

    // Binds the Wi-Fi sockets; false when one could not be bound (the link reports it).
    bool startWifi();
    // The first search for the key; the link re-arms it while no key is in use.
    void startScanning();

    Mode mode() const { return m_mode; }
    // A read-only view of the mode for objects below this one.
    LinkModeSource modeSource() const;
    // For rigs whose links are stand-ins or were opened by hand, and so report nothing: the
    // mode such a link's event would have led to. Announced like any other change.
    void setModeForTesting(Mode mode) { setMode(mode); }
    // Read-outs started since construction.
    int readOutCount() const { return m_readOuts; }

    cGlobalData *globalData() const { return m_data; }
    KeySession *session() const { return m_session; }
    KeyProtocol *protocol() const;
    FileExchange *files() const;
    UsbLink *usb() const { return m_usb; }
    cWifi *wifi() const { return m_wifi; }
    ConnectionSupervisor *supervisor() const { return m_supervisor; }
    // The listed Wi-Fi keys, for the key combo box.
    WifiKeyListModel *wifiKeys() const;

public slots:
    // The user chose the Wi-Fi key at index: it gets the focus and, while Wi-Fi is in use,
    // its read-out starts. Nothing happens for the key already chosen or an index past the
    // list.
    void iWiFiKeyID_Click(int index);
    void iReceiveWiFi_Click(RxDataBuffer aRxDataBuffer);

signals:
    void modeChanged(KeyConnection::Mode mode);
    // A key became the key in use; its read-out starts right after this signal.
    void keyInUse(KeyConnection::Mode mode);
    // A read-out starts (after keyInUse, or another Wi-Fi key was chosen).
    void readOutStarted(KeyConnection::Mode mode);
    // No key: the scan runs again.
    void noKey();

private:
    void build(const Options &options);
    // The only writer of the mode.
    void setMode(Mode mode);
    void onUsbKeyConnected();
    void onWifiOffered();
    void onUsbKeyLost();
    void onWifiKeysGone();
    void beginKey(Mode mode);
    void startReadOut(Mode mode);
    void onNoKey();

    cGlobalData *m_data;
    KeySession *m_session = nullptr;
    UsbLink *m_usb = nullptr;
    cWifi *m_wifi = nullptr;
    ConnectionSupervisor *m_supervisor = nullptr;
    Mode m_mode = Mode::None;
    int m_readOuts = 0;
};
