#include "protocol/KeyConnection.h"

#include "base/Log.h"
#include "base/cGlobalData.h"
#include "link/MyQueueTX.h"
#include "link/UsbLink.h"
#include "link/cWifi.h"
#include "protocol/ConnectionSupervisor.h"
#include "protocol/FileExchange.h"
#include "protocol/KeyProtocol.h"
#include "protocol/KeySender.h"
#include "protocol/KeySession.h"

KeyConnection::KeyConnection(cGlobalData *globalData, QObject *parent)
    : KeyConnection(globalData, Options(), parent)
{
}

KeyConnection::KeyConnection(cGlobalData *globalData, const Options &options, QObject *parent)
    : QObject(parent), m_data(globalData)
{
    qRegisterMetaType<KeyConnection::Mode>("KeyConnection::Mode");
    td::registerRxDataBufferType();
    build(options);
}

KeyConnection::~KeyConnection()
{
    // The links go before the session: their queues may still hand elements over, and the
    // session's sender points into the Wi-Fi link.
    m_session->setWifiDirectory(nullptr);
    m_session->followUsbLink(nullptr);
    if (m_data && m_data->wifi == m_wifi)
        m_data->wifi = nullptr;
    delete m_supervisor;
    delete m_wifi;
    delete m_usb;
    delete m_session;
}

void KeyConnection::build(const Options &o)
{
    m_session = new KeySession(m_data, this, o.fileListTickMs, o.progressTickMs);
    m_usb = new UsbLink(m_data, o.port, this, o.scanRearmMs, o.replyTimeoutMs, o.aliveTickMs);
    m_supervisor = new ConnectionSupervisor(m_data, m_session->protocol(), this, o.statusTickMs,
                                            o.wifiReadyMs, o.rescanDelayMs);
    const QString pcAddress = o.pcAddress.isEmpty() && m_data ? m_data->pcAddress : o.pcAddress;
    m_wifi = new cWifi(pcAddress, this, o.announcePort, o.tcpPort, o.wifiSweepMs,
                       o.replyTimeoutMs, o.aliveTickMs);
    m_wifi->setPortRetryInterval(o.wifiPortRetryMs);
    m_session->followUsbLink(m_usb);
    m_session->setWifiDirectory(m_wifi);
    if (m_data)
        m_data->wifi = m_wifi;

    KeyProtocol *protocol = m_session->protocol();
    const LinkModeSource source = modeSource();
    m_usb->setModeSource(source);
    m_supervisor->setModeSource(source);
    m_session->sender()->setModeSource(source);

    // USB. These connections come before anyone else's, so whoever hears of a lost key
    // finds the mode already changed.
    connect(m_usb, &UsbLink::frameReceived, protocol, &KeyProtocol::iReceiveUart_Click);
    connect(m_usb, &UsbLink::usbKeyConnected, this, &KeyConnection::onUsbKeyConnected);
    connect(m_usb, &UsbLink::wifiModeRequested, this, &KeyConnection::onWifiOffered);
    connect(m_usb, &UsbLink::keyLost, this, &KeyConnection::onUsbKeyLost);
    connect(m_usb, &UsbLink::enterNoKeyState, this, &KeyConnection::onNoKey);
    m_supervisor->setPortErrorCheck([this] { return m_usb->checkPortError(); });

    // Wi-Fi.
    connect(m_wifi, &cWifi::rx_data, this, &KeyConnection::iReceiveWiFi_Click);
    // A file request the selected key's queue gave up is asked again at once, as over USB; the
    // exchange ignores one that is not the request it still waits for.
    connect(m_wifi, &cWifi::commandGivenUp, this,
            [this](const QString &, quint8 packetClass, const QByteArray &payload) {
                if (packetClass == KeyProtocol::ClassFile)
                    m_session->files()->requestGivenUp(payload);
            });
    connect(m_wifi, &cWifi::interface_changed, m_supervisor,
            &ConnectionSupervisor::slot_InterfaceChanged);
    m_supervisor->setWifiTargets([this] {
        QList<ConnectionSupervisor::WifiTarget> targets;
        for (int i = 0; i < m_wifi->keyCount(); ++i) {
            ConnectionSupervisor::WifiTarget t;
            const KeyAddr key = m_wifi->key(i);
            t.id = key.identifier;
            t.focus = key.focus != 0;
            if (MyQueueTX *q = m_wifi->queue(i)) {
                t.queueActive = q->isActive();
                t.pendingCount = q->pendingCount();
            }
            targets.append(t);
        }
        return targets;
    });

    // Supervision.
    connect(protocol, &KeyProtocol::supervisionStartRequested, m_supervisor,
            &ConnectionSupervisor::start);
    connect(m_supervisor, &ConnectionSupervisor::usbKeyLost, m_usb, &UsbLink::Com_closeSerialPort);
    connect(m_supervisor, &ConnectionSupervisor::wifiKeysGone, this, &KeyConnection::onWifiKeysGone);
    connect(m_supervisor, &ConnectionSupervisor::rescanRequested, m_usb,
            &UsbLink::TmrCheckSerialPorts);
}

bool KeyConnection::startWifi()
{
    return m_wifi->start();
}

void KeyConnection::startScanning()
{
    m_usb->TmrCheckSerialPorts();
}

LinkModeSource KeyConnection::modeSource() const
{
    return [this] { return LinkMode(int(m_mode)); };
}

void KeyConnection::setMode(Mode mode)
{
    if (m_mode == mode)
        return;
    m_mode = mode;
    emit modeChanged(mode);
}

KeyProtocol *KeyConnection::protocol() const
{
    return m_session->protocol();
}

FileExchange *KeyConnection::files() const
{
    return m_session->files();
}

WifiKeyListModel *KeyConnection::wifiKeys() const
{
    return m_wifi->keyList();
}

void KeyConnection::onUsbKeyConnected()
{
    // An open port is the surest sign of a key there is; whatever else was in use yields.
    setMode(Mode::Usb);
    beginKey(Mode::Usb);
}

void KeyConnection::onWifiOffered()
{
    if (m_mode == Mode::Usb) {
        td::log(QStringLiteral("Wi-Fi offered while the USB key is in use: kept USB"));
        return;
    }
    // Offered again while in use, the same key list would only be read out a second time.
    if (m_mode == Mode::Wifi)
        return;
    setMode(Mode::Wifi);
    beginKey(Mode::Wifi);
}

void KeyConnection::onUsbKeyLost()
{
    if (m_mode == Mode::Usb)
        setMode(Mode::None);
}

void KeyConnection::onWifiKeysGone()
{
    if (m_mode == Mode::Wifi)
        setMode(Mode::None);
}

void KeyConnection::beginKey(Mode mode)
{
    // A new key starts with a clean supervision count.
    m_session->protocol()->resetMissedReplies();
    emit keyInUse(mode);
    startReadOut(mode);
}

void KeyConnection::startReadOut(Mode mode)
{
    ++m_readOuts;
    emit readOutStarted(mode);
    m_session->protocol()->ReadKeyOnConnect();
}

void KeyConnection::onNoKey()
{
    m_supervisor->stop();
    setMode(Mode::None);
    emit noKey();
}

void KeyConnection::iWiFiKeyID_Click(int index)
{
    if (!m_wifi->selectKey(index))
        return;
    // The list also moves when the selected key is forgotten; outside Wi-Fi mode that must
    // not start a read-out on whatever link is in use.
    if (mode() != Mode::Wifi) {
        td::log(QStringLiteral("Wi-Fi key %1 selected, no exchange outside Wi-Fi mode")
                    .arg(m_wifi->key(index).identifier));
        return;
    }
    startReadOut(Mode::Wifi);
    td::log(QStringLiteral("----- iWiFiKeyID_Click"));
}

void KeyConnection::iReceiveWiFi_Click(RxDataBuffer aRxDataBuffer)
{
    m_session->protocol()->iReceiveUart_Click(aRxDataBuffer);
}
