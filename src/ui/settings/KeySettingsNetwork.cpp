// The key's names and Wi-Fi client settings, and the texts of the whole page.
#include "ui/settings/KeySettingsPage.h"

#include "config/DeviceSettingsRules.h"
#include "protocol/KeyProtocol.h"
#include "ui/popups/PopupHost.h"
#include "ui/settings/KeySettingsStyle.h"
#include "ui/widgets/cParameter.h"
#include "ui/widgets/cSwitcher.h"

#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

using namespace td::settingsui;
using R = DeviceSettingsRules;

namespace {


// Shows text in edit; the edit's own limit would otherwise cut a longer text silently. A text
// longer than the field shows from its start, as it is read, not scrolled to its end.
void showText(QLineEdit *edit, const QString &text)
{
    edit->setText(text);
    edit->setCursorPosition(0);
}

} // namespace

void KeySettingsPage::buildNames(QFrame *frame)
{
    QVBoxLayout *outer = contentLayout(frame);
    auto *grid = new QGridLayout;
    m_keyNameLabel = makeLabel(frame, "lbKeyName");
    m_operatorNameLabel = makeLabel(frame, "lbOperatorName");
    m_keyName = makeEdit(frame, "leKeyName");
    m_operatorName = makeEdit(frame, "leOperatorName");
    // QLineEdit's own limit counts UTF-16 units and may split a character; typing is held
    // to 50 characters here instead, and a longer text set otherwise is cut on Apply.
    for (QLineEdit *e : {m_keyName, m_operatorName}) {
        connect(e, &QLineEdit::textEdited, e, [e](const QString &text) {
            const QString cut = R::cutName(text);
            if (cut.size() != text.size())
                e->setText(cut);
        });
    }
    grid->addWidget(m_keyNameLabel, 0, 0);
    grid->addWidget(m_keyName, 0, 1);
    grid->addWidget(m_operatorNameLabel, 1, 0);
    grid->addWidget(m_operatorName, 1, 1);
    // Half the page is narrow for the usual padding: the width goes to the names instead.
    m_namesApply = makeApplyButton(frame, "pbKeyNameApply", 48, 8);
    grid->addWidget(m_namesApply, 0, 2, 2, 1, Qt::AlignVCenter);
    grid->setColumnStretch(1, 1);
    // Room for a short name at least; the column's spare width goes to the fields.
    for (QLineEdit *e : {m_keyName, m_operatorName})
        e->setMinimumWidth(e->fontMetrics().averageCharWidth() * 12);
    outer->addLayout(grid);
    outer->addStretch(1);
    connect(m_namesApply, &QPushButton::clicked, this, &KeySettingsPage::iBtnKeyName_Click);
}

void KeySettingsPage::buildWifi(QFrame *frame)
{
    QVBoxLayout *outer = contentLayout(frame);
    m_wifiHeading = makeLabel(frame, "lbWifiHeading", 12, true);
    auto *grid = new QGridLayout;
    grid->setVerticalSpacing(2);
    m_ssidLabel = makeLabel(frame, "lbSSID");
    m_routerPasswordLabel = makeLabel(frame, "lbRouterPassword");
    m_ipLabel = makeLabel(frame, "lbPcIp");
    m_wpa2Label = makeLabel(frame, "lbWPA2");
    m_userLoginLabel = makeLabel(frame, "lbUserLogin");
    m_userPasswordLabel = makeLabel(frame, "lbUserPassword");
    m_ssid = makeEdit(frame, "leSSID");
    m_routerPassword = makeEdit(frame, "leRouterPassword");
    m_routerPassword->setEchoMode(QLineEdit::PasswordEchoOnEdit);
    m_ip = makeEdit(frame, "lePcIp");
    // No validator: it would drop a keystroke and turn "300.1.1.1" into another address
    // without a word. The text stays as typed and Apply waits for a sound one.
    m_ip->setText(QStringLiteral("192.168.0.100"));
    connect(m_ip, &QLineEdit::textChanged, this, &KeySettingsPage::checkIp);
    m_pcPortLabel = makeLabel(frame, "lbPcPort");
    // No caption of its own: the label above it names it like the other fields.
    m_pcPort = new cParameter(QString(), false, 0.0, QLatin1String(fieldStyle()), 0);
    m_pcPort->setMinimum(32000);
    m_pcPort->setMaximum(32500);
    m_pcPort->button()->setObjectName(QStringLiteral("parPcPort"));
    m_pcPort->button()->setMinimumWidth(100);
    if (m_popups)
        connect(m_pcPort, &cParameter::click_button, m_popups, &PopupHost::showKeypad);
    m_wpa2 = new cSwitcher(QString(), QString(), true, false, false);
    m_wpa2->setSize(48, 40);
    m_wpa2->setCaptionFontSize(9);
    m_wpa2->button()->setObjectName(QStringLiteral("swWPA2Ent"));
    connect(m_wpa2, &cSwitcher::click_button, this, &KeySettingsPage::iSwWPA2Ent_Click);
    m_userLogin = makeEdit(frame, "leUserLogin");
    m_userPassword = makeEdit(frame, "leUserPassword");

    for (QLabel *l : {m_ssidLabel, m_routerPasswordLabel, m_ipLabel, m_pcPortLabel, m_wpa2Label, m_userLoginLabel,
                      m_userPasswordLabel})
        setPoints(l, 10);
    // An address of four three-digit parts stays whole.
    m_ip->setMinimumWidth(m_ip->fontMetrics().horizontalAdvance(QStringLiteral("255.255.255.255")) + 16);
    m_wifiApply = makeApplyButton(frame, "pbWiFiApply");
    outer->addLayout(headingRow(m_wifiHeading, m_wifiApply));
    // Captions above their fields, three to a row: the router, then the enterprise login
    // the WPA2 switch turns on, then where the key finds the PC.
    placeCaptioned(grid, m_ssidLabel, m_ssid, 0, 0);
    placeCaptioned(grid, m_routerPasswordLabel, m_routerPassword, 0, 1);
    placeCaptioned(grid, m_wpa2Label, m_wpa2, 0, 2);
    placeCaptioned(grid, m_userLoginLabel, m_userLogin, 1, 0);
    placeCaptioned(grid, m_userPasswordLabel, m_userPassword, 1, 1);
    placeCaptioned(grid, m_ipLabel, m_ip, 2, 0);
    placeCaptioned(grid, m_pcPortLabel, m_pcPort, 2, 1);
    m_wifiNote = makeLabel(frame, "lbWifiNote", 9);
    m_wifiNote->setWordWrap(true);
    grid->addWidget(m_wifiNote, 4, 2, 2, 1, Qt::AlignVCenter);
    grid->setHorizontalSpacing(8);
    for (int c = 0; c < 3; ++c)
        grid->setColumnStretch(c, 1);
    outer->addLayout(grid);
    outer->addStretch(1);
    connect(m_wifiApply, &QPushButton::clicked, this, &KeySettingsPage::iBtnWiFiApply_Click);
    applyWpa2(false);
    checkIp();
}

void KeySettingsPage::checkIp()
{
    if (!m_ip || !m_wifiApply)
        return;
    const QString ip = m_ip->text().trimmed();
    const bool valid = QRegularExpression(R::ipPattern()).match(ip).hasMatch();
    m_ip->setProperty("invalid", !valid);
    m_ip->setStyleSheet(valid ? QString() : QStringLiteral("QLineEdit {border: 2px solid rgb(220, 0, 0);}"));
    m_wifiApply->setEnabled(valid);
    if (valid) {
        m_wifiApply->setToolTip(tr("Setup Wi-Fi settings in key"));
        m_wifiNote->setText(m_wifiSent.size() == 3 ? tr("Sent to the key: router \"%1\", PC %2, port %3")
                                                          .arg(m_wifiSent.at(0), m_wifiSent.at(1), m_wifiSent.at(2))
                                                    : QString());
        m_wifiNote->setStyleSheet(QStringLiteral("QLabel {color: rgb(0, 110, 0);}"));
        m_ip->setAccessibleDescription(QString());
        return;
    }
    // The typed text stays in the field beside it; the note is short enough for the narrowest window.
    const QString why = ip.isEmpty() ? tr("Type the PC IP: four numbers from 0 to 255 with dots between them.")
                                     : tr("Not an IP address: four numbers from 0 to 255 with dots between them.");
    m_wifiApply->setToolTip(why);
    m_wifiNote->setText(why);
    m_wifiNote->setStyleSheet(QStringLiteral("QLabel {color: rgb(200, 0, 0);}"));
    m_ip->setAccessibleDescription(why);
}

void KeySettingsPage::iBtnKeyName_Click()
{
    if (!m_keyName)
        return;
    m_keyName->setText(R::cutName(m_keyName->text()));
    m_operatorName->setText(R::cutName(m_operatorName->text()));
    if (!m_protocol)
        return;
    m_protocol->FE_KeyName_Write(m_keyName->text(), m_operatorName->text());
    m_protocol->FE_KeyName_Read();
}

void KeySettingsPage::iBtnWiFiApply_Click()
{
    if (!m_ssid || !m_protocol)
        return;
    WifiSettings w;
    w.SSID = m_ssid->text();
    w.Password = m_routerPassword->text();
    w.IP = m_ip->text().trimmed();
    w.PCPort = quint16(qBound(0.0, m_pcPort->value(), 65535.0));
    w.UserLogin = m_userLogin->text();
    w.UserPassword = m_userPassword->text();
    w.WPA2Enterprise = m_wpa2->checked() ? 1 : 0;
    if (!QRegularExpression(R::ipPattern()).match(w.IP).hasMatch()) {
        checkIp();
        return;
    }
    m_protocol->FE_WiFiSettings_Write(w);
    // Said where it stays: the key keeps this until the next Apply, the status line would not.
    m_wifiSent = QStringList{w.SSID, w.IP, QString::number(w.PCPort)};
    checkIp();
}

void KeySettingsPage::iSwWPA2Ent_Click()
{
    if (m_wpa2)
        applyWpa2(m_wpa2->checked());
}

void KeySettingsPage::applyWpa2(bool on)
{
    m_userLogin->setEnabled(on);
    m_userPassword->setEnabled(on);
    m_routerPassword->setEnabled(!on);
}

void KeySettingsPage::showNames()
{
    if (!m_keyName || !m_model)
        return;
    showText(m_keyName, m_model->names().keyName);
    showText(m_operatorName, m_model->names().operatorName);
}

void KeySettingsPage::showWifiSettings()
{
    if (!m_ssid || !m_model)
        return;
    const WifiSettings &w = m_model->wifiSettings();
    showText(m_ssid, w.SSID);
    showText(m_routerPassword, w.Password);
    // The validator does not apply to texts set by the program; a key reporting no address
    // keeps the field's present one.
    if (!w.IP.isEmpty())
        showText(m_ip, w.IP);
    // A port outside 32000..32500 (none read yet) is refused by the field and leaves it as is.
    m_pcPort->setValue(w.PCPort);
    m_wpa2->setChecked(w.WPA2Enterprise != 0);
    showText(m_userLogin, w.UserLogin);
    showText(m_userPassword, w.UserPassword);
    applyWpa2(w.WPA2Enterprise != 0);
}

void KeySettingsPage::retranslate()
{
    fillCombos();
    auto name = [](QWidget *w, const QString &text) {
        if (w)
            w->setAccessibleName(text);
    };
    if (m_setupHeading) {
        m_setupHeading->setText(tr("Device settings:"));
        m_unitsLabel->setText(tr("Units:"));
        m_sleepLabel->setText(tr("Power Off:"));
        m_displayLabel->setText(tr("Display Off:"));
        m_languageLabel->setText(tr("Language:"));
        m_soundLabel->setText(tr("Sound incrise:"));
        m_wifiEnableLabel->setText(tr("Wi-Fi net:"));
        m_sound->setCaption(tr("Enable/disable"));
        m_wifiEnable->setCaption(tr("Enable/disable"));
        name(m_units, tr("Units:"));
        name(m_sleep, tr("Power Off:"));
        name(m_display, tr("Display Off:"));
        name(m_language, tr("Language:"));
        name(m_sound->button(), tr("Sound incrise:"));
        name(m_wifiEnable->button(), tr("Wi-Fi net:"));
        m_setupApply->setText(tr("Apply"));
        m_setupApply->setToolTip(tr("Setup additional settings in key"));
        name(m_setupApply, tr("Apply"));
    }
    if (m_configHeading) {
        m_configHeading->setText(tr("Key configuration:"));
        name(m_typeKey, tr("Key type"));
        name(m_connection, tr("Connection"));
        name(m_dataBase, tr("Data Base"));
        name(m_dataTime, tr("Date and time"));
        name(m_algorithm, tr("Algorithm"));
        m_upgrade->setText(tr("Upgrade"));
        name(m_upgrade, tr("Upgrade"));
    }
    if (m_keyName) {
        m_keyNameLabel->setText(tr("Key Name:"));
        m_operatorNameLabel->setText(tr("Operator Name:"));
        m_keyName->setToolTip(tr("The Key Name is displayed in the key selection list, when connected via WiFi"));
        m_operatorName->setToolTip(tr("The Operator Name is displayed in the report"));
        name(m_keyName, tr("Key Name:"));
        name(m_operatorName, tr("Operator Name:"));
        m_namesApply->setText(tr("Apply"));
        m_namesApply->setToolTip(tr("Change name of key and operator"));
        name(m_namesApply, tr("Apply"));
    }
    if (m_ssid) {
        m_wifiHeading->setText(tr("WI-Fi connection:"));
        m_ssidLabel->setText(tr("Router SSID:"));
        m_routerPasswordLabel->setText(tr("Router Password:"));
        m_ipLabel->setText(tr("PC IP:"));
        m_pcPortLabel->setText(tr("PC Port:"));
        m_wpa2Label->setText(tr("WPA2 Enterprise:"));
        m_wpa2->setCaption(tr("Enable/disable"));
        m_userLoginLabel->setText(tr("User Login:"));
        m_userPasswordLabel->setText(tr("User Password:"));
        name(m_ssid, tr("Router SSID:"));
        name(m_routerPassword, tr("Router Password:"));
        name(m_ip, tr("PC IP:"));
        name(m_pcPort->button(), tr("PC Port:"));
        name(m_wpa2->button(), tr("WPA2 Enterprise:"));
        name(m_userLogin, tr("User Login:"));
        name(m_userPassword, tr("User Password:"));
        m_wifiApply->setText(tr("Apply"));
        name(m_wifiApply, tr("Apply"));
        m_wifiNote->setAccessibleName(tr("Wi-Fi settings note"));
        checkIp();
    }
    m_clockKeyCaption->setText(tr("Clock Key"));
    m_clockPcCaption->setText(tr("Clock PC"));
    m_sync->setText(tr("Syncronization"));
    m_sync->setToolTip(tr("Sent PC Date&Time to key"));
    name(m_sync, tr("Syncronization"));
    name(m_serial, tr("Serial number"));
    showDeviceSettings();
}
