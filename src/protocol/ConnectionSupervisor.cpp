#include "protocol/ConnectionSupervisor.h"

#include "base/Log.h"
#include "base/cGlobalData.h"
#include "protocol/KeyProtocol.h"

ConnectionSupervisor::ConnectionSupervisor(cGlobalData *globalData, KeyProtocol *protocol, QObject *parent,
                                           int tickMs, int wifiReadyMs, int rescanDelayMs)
    : QObject(parent)
    , m_data(globalData)
    , m_protocol(protocol)
    , m_rescanDelayMs(rescanDelayMs)
{
    m_timer.setInterval(tickMs);
    connect(&m_timer, &QTimer::timeout, this, &ConnectionSupervisor::slot_TmrGetJsonEvents);
    m_wifiReadyTimer.setSingleShot(true);
    m_wifiReadyTimer.setInterval(wifiReadyMs);
    connect(&m_wifiReadyTimer, &QTimer::timeout, this,
            &ConnectionSupervisor::slot_iTmrTestConnectionWithKey);
}

void ConnectionSupervisor::start()
{
    m_timer.start();
}

void ConnectionSupervisor::stop()
{
    m_timer.stop();
}

void ConnectionSupervisor::slot_InterfaceChanged(int aInterface)
{
    // The Wi-Fi link says so on every announcement, also on the no-key page before any key
    // was chosen. It is no mode: taken as one, it would make the port scan pass over a USB
    // key that is plugged in meanwhile. Wi-Fi becomes the mode only when the scan switches
    // to it.
    // Keys announce themselves every second. Restarting the 3 s wait on each announcement
    // would postpone the flag for as long as any key is present; the wait runs from the
    // first switch, and a switch after it fired arms it afresh.
    if (aInterface == 2 && !m_wifiReadyTimer.isActive())
        m_wifiReadyTimer.start();
}

void ConnectionSupervisor::slot_iTmrTestConnectionWithKey()
{
    m_data->wifiReady = true;
}

void ConnectionSupervisor::slot_TmrGetJsonEvents()
{
    const int pcMenu = m_pageIndex ? m_pageIndex() : 0;
    const LinkMode mode = m_mode ? m_mode() : LinkMode::None;
    const bool usb = mode == LinkMode::Usb;
    const bool wifi = mode == LinkMode::Wifi;

    if (usb) {
        // A port in error is the link's to handle; it is not a silent key.
        if (m_portError && m_portError())
            return;
        m_protocol->countMissedReply();
        m_protocol->FE_JsonNotification_Status(1, pcMenu, 10);
    }

    const QList<WifiTarget> targets = m_wifiTargets ? m_wifiTargets() : QList<WifiTarget>();
    if (wifi && m_data->wifiReady && !targets.isEmpty()) {
        for (const WifiTarget &key : targets) {
            // A busy queue would only push the status behind file transfers: skip this tick.
            if (key.queueActive && key.pendingCount == 0)
                m_protocol->FE_JsonNotification_StatusTo(key.id, key.focus ? 1 : 0, pcMenu, 10);
        }
    }

    if (wifi && targets.isEmpty()) {
        m_timer.stop();
        m_data->wifiReady = false;
        emit wifiKeysGone();
        QTimer::singleShot(m_rescanDelayMs, this, &ConnectionSupervisor::rescanRequested);
        return;
    }

    if (usb && m_protocol->missedReplyCount() > 5) {
        m_timer.stop();
        m_protocol->resetMissedReplies();
        td::log(QStringLiteral("USB key does not answer: connection closed"));
        // Without closing the link the window would stay on the main form with a dead key
        // and never scan again.
        emit usbKeyLost();
    }
}
