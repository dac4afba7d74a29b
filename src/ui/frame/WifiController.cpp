#include "ui/frame/WifiController.h"

#include "ui/frame/KeyStatusDisplay.h"
#include "base/Log.h"
#include "base/Paths.h"
#include "base/SettingsFile.h"
#include "base/cGlobalData.h"
#include "ui/popups/PopupHost.h"
#include "ui/widgets/cParameter.h"
#include "link/MyQueueTX.h"
#include "link/UsbLink.h"
#include "link/cWifi.h"
#include "protocol/ConnectionSupervisor.h"
#include "protocol/KeyProtocol.h"
#include "protocol/KeySession.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QNetworkInterface>
#include <QTimer>

namespace {

QList<QHostAddress> systemAddresses()
{
    return QNetworkInterface::allAddresses();
}

} // namespace

WifiController::WifiController(cGlobalData *globalData, cWifi *wifi, KeySession *session,
                               ConnectionSupervisor *supervisor, UsbLink *usb,
                               KeyStatusDisplay *status, const Widgets &widgets, QObject *parent,
                               int ipListDelayMs)
    : QObject(parent)
    , m_data(globalData)
    , m_wifi(wifi)
    , m_session(session)
    , m_status(status)
    , m_w(widgets)
    , m_addresses(systemAddresses)
{
    td::registerRxDataBufferType();
    m_session->setWifiDirectory(wifi);
    if (m_data)
        m_data->wifi = wifi;

    connect(wifi, SIGNAL(rx_data(RxDataBuffer)), this, SLOT(iReceiveWiFi_Click(RxDataBuffer)));
    connect(wifi, SIGNAL(combobox_added()), this, SLOT(slot_WiFi_combobox_added()));
    connect(wifi, SIGNAL(combobox_empty()), this, SLOT(slot_WiFi_combobox_empty()));
    connect(wifi, SIGNAL(bindFailed(QString)), this, SIGNAL(statusMessage(QString)));
    if (supervisor) {
        connect(wifi, SIGNAL(interface_changed(int)), supervisor, SLOT(slot_InterfaceChanged(int)));
        supervisor->setWifiTargets([this] {
            QList<ConnectionSupervisor::WifiTarget> targets;
            if (!m_wifi)
                return targets;
            for (int i = 0; i < m_wifi->keyCount(); ++i) {
                ConnectionSupervisor::WifiTarget t;
                t.id = m_wifi->key(i).identifier;
                t.focus = m_wifi->key(i).focus != 0;
                if (MyQueueTX *q = m_wifi->queue(i)) {
                    t.queueActive = q->isActive();
                    t.pendingCount = q->pendingCount();
                }
                targets.append(t);
            }
            return targets;
        });
    }
    if (usb) {
        connect(usb, SIGNAL(wifiModeRequested()), this, SLOT(switchToWifi()));
        connect(usb, SIGNAL(usbKeyConnected()), this, SLOT(onUsbKeyConnected()));
    }

    if (QComboBox *combo = wifi->comboBox()) {
        if (m_w.comboHost)
            m_w.comboHost->addWidget(combo);
        connect(combo, SIGNAL(currentIndexChanged(int)), this, SLOT(iWiFiKeyID_Click(int)),
                Qt::UniqueConnection);
    }

    QTimer::singleShot(ipListDelayMs, this, SLOT(slot_iTimerShowIPList()));
}

WifiController::~WifiController()
{
    // Without a frame to live in, the list is ours.
    if (m_ipList && !m_ipList->parent())
        delete m_ipList;
}

void WifiController::setAddressProvider(AddressProvider provider)
{
    m_addresses = provider ? std::move(provider) : AddressProvider(systemAddresses);
}

void WifiController::iReceiveWiFi_Click(RxDataBuffer aRxDataBuffer)
{
    if (m_session)
        m_session->protocol()->iReceiveUart_Click(aRxDataBuffer);
}

void WifiController::slot_WiFi_combobox_added()
{
    if (m_wifi && m_wifi->comboBox())
        connect(m_wifi->comboBox(), SIGNAL(currentIndexChanged(int)), this,
                SLOT(iWiFiKeyID_Click(int)), Qt::UniqueConnection);
}

void WifiController::slot_WiFi_combobox_empty()
{
    if (!m_wifi || !m_wifi->comboBox())
        return;
    QComboBox *combo = m_wifi->comboBox();
    disconnect(combo, SIGNAL(currentIndexChanged(int)), this, SLOT(iWiFiKeyID_Click(int)));
    combo->clear();
    combo->hide();
}

void WifiController::iWiFiKeyID_Click(int index)
{
    if (!m_wifi || !m_wifi->selectKey(index))
        return;
    // The combo also moves when the selected key is forgotten; outside Wi-Fi mode that must
    // not start a read-out on whatever link is in use.
    if (!m_data || m_data->currentInterface != 2) {
        td::log(QStringLiteral("Wi-Fi key %1 selected, no exchange outside Wi-Fi mode")
                    .arg(m_wifi->key(index).identifier));
        return;
    }
    if (m_status)
        m_status->resetRotation();
    if (m_session)
        m_session->protocol()->ReadKeyOnConnect();
    td::log(QStringLiteral("----- iWiFiKeyID_Click"));
}

void WifiController::setIcons(const QString &a, const QString &b, const QString &c)
{
    if (m_w.linkIcon)
        m_w.linkIcon->setPixmap(QPixmap(a));
    if (m_w.linkLogo)
        m_w.linkLogo->setPixmap(QPixmap(b));
    if (m_w.spareIcon)
        m_w.spareIcon->setPixmap(QPixmap(c));
}

void WifiController::switchToWifi()
{
    if (m_w.busy)
        m_w.busy->show();
    if (m_data)
        m_data->currentInterface = 2;
    if (m_w.ipListFrame)
        m_w.ipListFrame->hide();
    if (m_wifi && m_wifi->comboBox())
        m_wifi->comboBox()->show();
    if (m_session)
        m_session->protocol()->resetMissedReplies();
    if (m_status)
        m_status->resetRotation();
    setIcons(QStringLiteral(":resource/images/wifi.png"),
             QStringLiteral(":resource/images/logo_wifi.png"),
             QStringLiteral(":resource/images/null.png"));
    if (m_w.connectText)
        m_w.connectText->setText(tr("Try to connect device to PC over Wi-Fi..."));
    if (m_w.popups)
        m_w.popups->closeMessage();
    emit openMainFormRequested();
    if (m_session)
        m_session->protocol()->ReadKeyOnConnect();
}

void WifiController::onUsbKeyConnected()
{
    if (m_wifi && m_wifi->comboBox())
        m_wifi->comboBox()->hide();
}

QStringList WifiController::offeredAddresses(const QList<QHostAddress> &all)
{
    QStringList out;
    for (const QHostAddress &a : all) {
        if (a.protocol() != QAbstractSocket::IPv4Protocol)
            continue;
        const QString text = a.toString();
        if (text == QLatin1String("127.0.0.1") || out.contains(text))
            continue;
        out.append(text);
    }
    return out;
}

QString WifiController::addressQuestion()
{
    return tr("Select connection point") + QLatin1Char('\n') + tr("Please select IP address")
        + QLatin1Char('\n') + tr("of PC in network:") + QLatin1Char('\n')
        + tr("Then double click mouse left button") + QLatin1Char('\n')
        + tr("for apply and restart");
}

void WifiController::slot_iTimerShowIPList()
{
    // A key is connected already: the address in use works.
    if (!m_data || m_data->currentInterface != 0)
        return;
    const QStringList addresses = offeredAddresses(m_addresses());
    for (const QString &a : addresses)
        td::log(QStringLiteral("PC address ") + a);

    if (!m_ipList) {
        m_ipList = new QListWidget(m_w.ipListFrame);
        m_ipList->setObjectName(QStringLiteral("lwIpList"));
        m_ipList->setAccessibleName(tr("PC network addresses"));
        m_ipList->setStyleSheet(QStringLiteral(
            "QListWidget {font-size: 20pt; text-align: center; selection-background-color: red; "
            "background-color: rgb(255, 255, 255); color: rgb(0, 0, 0); border-radius: 0px;}"));
        if (m_w.ipListFrame && m_w.ipListFrame->layout())
            m_w.ipListFrame->layout()->addWidget(m_ipList);
        connect(m_ipList, SIGNAL(itemDoubleClicked(QListWidgetItem *)), this,
                SLOT(iLwIpList_onListDoubleClicked(QListWidgetItem *)));
    }
    m_ipList->clear();
    for (const QString &a : addresses) {
        auto *item = new QListWidgetItem(a, m_ipList);
        // What the style sheet's text-align means, which list items do not take from it.
        item->setTextAlignment(Qt::AlignCenter);
    }
    if (addresses.isEmpty())
        return;
    if (m_w.ipListFrame)
        m_w.ipListFrame->show();
    if (m_w.popups) {
        const QString question = addressQuestion();
        cParameter message(question, true, question, QStringLiteral("red"));
        m_w.popups->PopupQuestionWindow(&message, iFuncWhenYes(), iFuncWhenYes());
    }
}

void WifiController::iLwIpList_onListDoubleClicked(QListWidgetItem *item)
{
    if (!item)
        return;
    const QString address = item->text();
    const QString path = Paths::settingsIni();
    AppSettings settings;
    // The reserved values are kept as the file has them.
    SettingsFile::load(path, settings);
    settings.pcAddress = address;
    if (!SettingsFile::save(path, settings)) {
        // Closing now would lose the choice without a word.
        td::log(QStringLiteral("settings.ini can't be written: ") + path);
        emit warningRequested(tr("Warning! File 'settings.ini' can't create!"), QStringLiteral("red"));
        return;
    }
    if (m_data)
        m_data->pcAddress = address;
    td::log(QStringLiteral("PC address for Wi-Fi saved: ") + address);
    emit closeRequested();
}
