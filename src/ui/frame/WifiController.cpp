#include "ui/frame/WifiController.h"

#include "base/Log.h"
#include "base/Paths.h"
#include "base/SettingsFile.h"
#include "base/cGlobalData.h"
#include "link/WifiKeyListModel.h"
#include "link/cWifi.h"
#include "ui/frame/KeyStatusDisplay.h"
#include "ui/frame/WifiKeyCombo.h"
#include "ui/popups/PopupHost.h"
#include "ui/widgets/cParameter.h"

#include <QBoxLayout>
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

WifiController::WifiController(KeyConnection *connection, KeyStatusDisplay *status,
                               const Widgets &widgets, QObject *parent, int ipListDelayMs)
    : QObject(parent)
    , m_data(connection->globalData())
    , m_connection(connection)
    , m_status(status)
    , m_w(widgets)
    , m_addresses(systemAddresses)
{
    cWifi *wifi = connection->wifi();
    connect(wifi, &cWifi::combobox_added, this, &WifiController::slot_WiFi_combobox_added);
    connect(wifi, &cWifi::combobox_empty, this, &WifiController::slot_WiFi_combobox_empty);
    connect(wifi, &cWifi::bindFailed, this, [this, wifi](const QString &text) {
        // Held ports get their own lasting word below; a blink of the port number adds nothing.
        if (!wifi->portsBusy())
            emit statusMessage(text);
    });
    connect(wifi, &cWifi::portsBusyChanged, this, [this](bool busy) {
        emit standingMessageChanged(busy ? tr("Wi-Fi keys are served by another TorqueDesk on this PC") : QString());
    });
    connect(connection, &KeyConnection::keyInUse, this, &WifiController::onKeyInUse);
    connect(connection, &KeyConnection::readOutStarted, this, [this] {
        // A new key shows its rotation again, whatever the last one showed.
        if (m_status)
            m_status->resetRotation();
    });

    // Without a top bar to live in, the combo is ours.
    m_combo = new WifiKeyCombo(connection->wifiKeys());
    if (m_w.comboHost)
        m_w.comboHost->addWidget(m_combo);
    slot_WiFi_combobox_added();

    QTimer::singleShot(ipListDelayMs, this, &WifiController::slot_iTimerShowIPList);
}

WifiController::~WifiController()
{
    // Without a frame to live in, the list is ours.
    if (m_ipList && !m_ipList->parent())
        delete m_ipList;
    if (m_combo && !m_combo->parent())
        delete m_combo;
}

void WifiController::setAddressProvider(AddressProvider provider)
{
    m_addresses = provider ? std::move(provider) : AddressProvider(systemAddresses);
}

void WifiController::slot_WiFi_combobox_added()
{
    if (m_combo)
        connect(m_combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                &WifiController::iWiFiKeyID_Click, Qt::UniqueConnection);
}

void WifiController::slot_WiFi_combobox_empty()
{
    if (!m_combo)
        return;
    disconnect(m_combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
               &WifiController::iWiFiKeyID_Click);
    // The rows are the link's and are gone already; only the combo's own look is left.
    m_combo->hide();
}

void WifiController::iWiFiKeyID_Click(int index)
{
    if (m_connection)
        m_connection->iWiFiKeyID_Click(index);
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

void WifiController::onKeyInUse(KeyConnection::Mode mode)
{
    const bool wifi = mode == KeyConnection::Mode::Wifi;
    if (m_w.busy)
        m_w.busy->show();
    if (wifi && m_w.ipListFrame)
        m_w.ipListFrame->hide();
    if (m_combo)
        m_combo->setVisible(wifi);
    if (wifi) {
        setIcons(QStringLiteral(":resource/images/wifi.png"),
                 QStringLiteral(":resource/images/logo_wifi.png"),
                 QStringLiteral(":resource/images/null.png"));
    } else {
        setIcons(QStringLiteral(":resource/images/usb.png"),
                 QStringLiteral(":resource/images/logo_usb.png"),
                 QStringLiteral(":resource/images/null.png"));
    }
    if (m_w.connectText)
        m_w.connectText->setText(wifi ? tr("Try to connect device to PC over Wi-Fi...")
                                      : tr("Try to connect device to PC over USB-miniUSB cable..."));
    if (m_w.popups)
        m_w.popups->closeMessage();
    emit openMainFormRequested();
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
    if (!m_connection || m_connection->mode() != KeyConnection::Mode::None)
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
        connect(m_ipList, &QListWidget::itemDoubleClicked, this,
                &WifiController::iLwIpList_onListDoubleClicked);
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
