#pragma once

#include "base/Timing.h"
#include "protocol/KeyConnection.h"
#include "ui/frame/WifiKeyCombo.h"

#include <QHostAddress>
#include <QList>
#include <QListWidget>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>

class KeyStatusDisplay;
class PopupHost;
class QBoxLayout;
class QLabel;
class QWidget;
class cGlobalData;

// The window's side of the key link: shows which link the key in use came over (icons, text,
// busy animation, the Wi-Fi key combo box), hands the user's key choice to the connection,
// and offers the PC's addresses for the Wi-Fi link to bind to. Every widget is optional, so
// tests drive the same logic without a window.
class WifiController : public QObject
{
    Q_OBJECT
public:
    struct Widgets
    {
        QBoxLayout *comboHost = nullptr; // the top bar's place for the key combo box
        QWidget *ipListFrame = nullptr;  // frIpList on the logo page
        QLabel *linkIcon = nullptr;      // the three status icons
        QLabel *linkLogo = nullptr;
        QLabel *spareIcon = nullptr;
        QLabel *connectText = nullptr;
        QWidget *busy = nullptr; // the exchange's busy animation
        PopupHost *popups = nullptr;
    };
    using AddressProvider = std::function<QList<QHostAddress>()>;

    // Follows the connection's key changes; arms the PC address list ipListDelayMs from now.
    WifiController(KeyConnection *connection, KeyStatusDisplay *status, const Widgets &widgets,
                   QObject *parent = nullptr, int ipListDelayMs = td::timing::ipListDelay);
    ~WifiController() override;

    WifiKeyCombo *keyCombo() const { return m_combo; }

    // The PC's addresses to offer (tests); the default asks the network interfaces.
    void setAddressProvider(AddressProvider provider);
    // The IPv4 addresses of all, without 127.0.0.1, in the order given.
    static QStringList offeredAddresses(const QList<QHostAddress> &all);
    // The question text shown above the address list.
    static QString addressQuestion();

    // Made by the first slot_iTimerShowIPList(); null before.
    QListWidget *ipList() const { return m_ipList; }

public slots:
    void slot_WiFi_combobox_added();
    void slot_WiFi_combobox_empty();
    // The user (or the list shrinking under the combo) chose the key at index.
    void iWiFiKeyID_Click(int index);
    void slot_iTimerShowIPList();
    void iLwIpList_onListDoubleClicked(QListWidgetItem *item);
    // A key became the key in use: the window shows its link; the read-out follows.
    void onKeyInUse(KeyConnection::Mode mode);

signals:
    void statusMessage(const QString &text);
    // A state that holds until it changes (empty: none), for a place that keeps it in view.
    void standingMessageChanged(const QString &text);
    void openMainFormRequested();
    void messageRequested(const QString &text, const QString &style);
    // A failure the user must acknowledge (the PC address could not be saved).
    void warningRequested(const QString &text, const QString &style);
    // The PC address was saved; the program is to close (it binds the new address at the
    // next start).
    void closeRequested();

private:
    void setIcons(const QString &a, const QString &b, const QString &c);

    cGlobalData *m_data;
    QPointer<KeyConnection> m_connection;
    QPointer<KeyStatusDisplay> m_status;
    QPointer<WifiKeyCombo> m_combo;
    Widgets m_w;
    AddressProvider m_addresses;
    QPointer<QListWidget> m_ipList;
};
