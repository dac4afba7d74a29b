#pragma once

#include "base/Timing.h"
#include "link/LinkMode.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

class cGlobalData;
class KeyProtocol;

// The 1.5-second status exchange: tells each key which page the PC shows, counts the USB key's
// silent ticks and reports it lost when it stops answering, and reports when the Wi-Fi key
// list has run empty. Which link is in use it only reads; the key connection decides that.
class ConnectionSupervisor : public QObject
{
    Q_OBJECT
public:
    // One listed Wi-Fi key as a tick sees it.
    struct WifiTarget
    {
        QString id;
        bool focus = false;
        bool queueActive = false; // the key's queue still counts it alive
        int pendingCount = 0;     // elements waiting in its queue
    };

    ConnectionSupervisor(cGlobalData *globalData, KeyProtocol *protocol, QObject *parent = nullptr,
                         int tickMs = td::timing::statusExchangeTick,
                         int wifiReadyMs = td::timing::wifiReadyDelay, int rescanDelayMs = 1000);

    // The page index sent as PCMenu.
    void setPageIndexProvider(std::function<int()> provider) { m_pageIndex = std::move(provider); }
    // Called at each USB tick; true when the port is in error (the tick then sends nothing).
    void setPortErrorCheck(std::function<bool()> check) { m_portError = std::move(check); }
    // The Wi-Fi key list in list order.
    void setWifiTargets(std::function<QList<WifiTarget>()> targets) { m_wifiTargets = std::move(targets); }
    // The link in use; without a source no key is, and a tick sends nothing.
    void setModeSource(LinkModeSource source) { m_mode = std::move(source); }

    bool isRunning() const { return m_timer.isActive(); }
    QTimer *timer() { return &m_timer; }

public slots:
    void start();
    void stop();
    void slot_TmrGetJsonEvents();
    void slot_InterfaceChanged(int aInterface);
    void slot_iTmrTestConnectionWithKey();

signals:
    // The USB key stayed silent for more than five ticks; the link is to be closed and the
    // window goes back to the no-key page and the port scan.
    void usbKeyLost();
    // The Wi-Fi key in use and every other listed key are gone; supervision has stopped.
    void wifiKeysGone();
    // The Wi-Fi list ran empty: search for a key again (already delayed by rescanDelayMs).
    void rescanRequested();

private:
    cGlobalData *m_data;
    KeyProtocol *m_protocol;
    QTimer m_timer;
    QTimer m_wifiReadyTimer;
    int m_rescanDelayMs;
    std::function<int()> m_pageIndex;
    std::function<bool()> m_portError;
    std::function<QList<WifiTarget>()> m_wifiTargets;
    LinkModeSource m_mode;
};
