#pragma once

#include "protocol/KeyModel.h"

#include <QDateTime>
#include <QStringList>
#include <QWidget>

class KeyProtocol;
class PopupHost;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class cParameter;
class cSwitcher;

// The key's own settings on the Parameters page. The page fills the groups the main form
// provides by name (frKeyName: names; frWiFi: the key's Wi-Fi client; frSetup: device
// settings) so the access codes that unlock those frames unlock these controls. The widget
// itself shows the key configuration while the service options (frOptions) are shown, and
// the key's identity and its clock, which need no code. Values shown are the key's last replies; nothing here
// is stored on the PC.
class KeySettingsPage : public QWidget
{
    Q_OBJECT
public:
    // settingsPage holds the named frames; protocol may be null (nothing is sent).
    KeySettingsPage(QWidget *settingsPage, KeyModel *model, KeyProtocol *protocol,
                    PopupHost *popups, QWidget *parent = nullptr);

    // The controls, for the window's tests and for screen readers' names.
    QComboBox *unitsCombo() const { return m_units; }
    QComboBox *sleepCombo() const { return m_sleep; }
    QComboBox *displayCombo() const { return m_display; }
    QComboBox *languageCombo() const { return m_language; }
    cSwitcher *soundSwitch() const { return m_sound; }
    cSwitcher *wifiSwitch() const { return m_wifiEnable; }
    QComboBox *typeKeyCombo() const { return m_typeKey; }
    QComboBox *connectionCombo() const { return m_connection; }
    QComboBox *dataBaseCombo() const { return m_dataBase; }
    QComboBox *dataTimeCombo() const { return m_dataTime; }
    QComboBox *algorithmCombo() const { return m_algorithm; }
    QLabel *identityLabel() const { return m_identity; }
    QLineEdit *serialLine() const { return m_serial; }
    QLineEdit *keyNameEdit() const { return m_keyName; }
    QLineEdit *operatorNameEdit() const { return m_operatorName; }
    QLineEdit *ssidEdit() const { return m_ssid; }
    QLineEdit *routerPasswordEdit() const { return m_routerPassword; }
    QLineEdit *ipEdit() const { return m_ip; }
    cParameter *pcPort() const { return m_pcPort; }
    cSwitcher *wpa2Switch() const { return m_wpa2; }
    QLineEdit *userLoginEdit() const { return m_userLogin; }
    QLineEdit *userPasswordEdit() const { return m_userPassword; }
    QLabel *keyDateLabel() const { return m_keyDate; }
    QLabel *keyTimeLabel() const { return m_keyTime; }
    QLabel *pcDateLabel() const { return m_pcDate; }
    QLabel *pcTimeLabel() const { return m_pcTime; }

    // The device settings as the controls show them now.
    DeviceSettings settingsOnPage() const;

public slots:
    void iBtnSetupApply_Click();
    void iBtnWriteConfigKey_Click();
    void WriteDeviceSettings();
    void iBtnKeyName_Click();
    void iBtnWiFiApply_Click();
    void iSwWPA2Ent_Click();
    void iBtnDateTimeSync_Click();
    // The settings page was opened: the names and the calibration are read again.
    void readFromKey();

    void showDeviceSettings();
    void showNames();
    void showWifiSettings();
    void showClock(const QDateTime &pcTime);
    void retranslate();

protected:
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildSetup(QFrame *frame);
    void buildConfig(QFrame *frame);
    void buildNames(QFrame *frame);
    void buildWifi(QFrame *frame);
    void buildClock();
    void fillCombos();
    void applyWpa2(bool on);
    // Apply is offered only for an address the key can use; the note says why not.
    void checkIp();

    KeyModel *m_model;
    KeyProtocol *m_protocol;
    PopupHost *m_popups;

    QLabel *m_setupHeading = nullptr;
    QLabel *m_unitsLabel = nullptr;
    QLabel *m_sleepLabel = nullptr;
    QLabel *m_displayLabel = nullptr;
    QLabel *m_languageLabel = nullptr;
    QLabel *m_soundLabel = nullptr;
    QLabel *m_wifiEnableLabel = nullptr;
    QComboBox *m_units = nullptr;
    QComboBox *m_sleep = nullptr;
    QComboBox *m_display = nullptr;
    QComboBox *m_language = nullptr;
    cSwitcher *m_sound = nullptr;
    cSwitcher *m_wifiEnable = nullptr;
    QPushButton *m_setupApply = nullptr;

    QFrame *m_options = nullptr;
    QFrame *m_configFrame = nullptr;
    QLabel *m_configHeading = nullptr;
    QComboBox *m_typeKey = nullptr;
    QComboBox *m_connection = nullptr;
    QComboBox *m_dataBase = nullptr;
    QComboBox *m_dataTime = nullptr;
    QComboBox *m_algorithm = nullptr;
    QPushButton *m_upgrade = nullptr;

    QLabel *m_identity = nullptr;
    QLineEdit *m_serial = nullptr;

    QLabel *m_keyNameLabel = nullptr;
    QLabel *m_operatorNameLabel = nullptr;
    QLineEdit *m_keyName = nullptr;
    QLineEdit *m_operatorName = nullptr;
    QPushButton *m_namesApply = nullptr;

    QLabel *m_wifiHeading = nullptr;
    QLabel *m_ssidLabel = nullptr;
    QLabel *m_routerPasswordLabel = nullptr;
    QLabel *m_ipLabel = nullptr;
    QLabel *m_pcPortLabel = nullptr;
    QLabel *m_wpa2Label = nullptr;
    QLabel *m_userLoginLabel = nullptr;
    QLabel *m_userPasswordLabel = nullptr;
    QLineEdit *m_ssid = nullptr;
    QLineEdit *m_routerPassword = nullptr;
    QLineEdit *m_ip = nullptr;
    cParameter *m_pcPort = nullptr;
    cSwitcher *m_wpa2 = nullptr;
    QLineEdit *m_userLogin = nullptr;
    QLineEdit *m_userPassword = nullptr;
    QPushButton *m_wifiApply = nullptr;
    QLabel *m_wifiNote = nullptr; // why Apply is refused, or what it sent last
    QStringList m_wifiSent; // router, PC address and port Apply sent last

    QLabel *m_clockKeyCaption = nullptr;
    QLabel *m_clockPcCaption = nullptr;
    QLabel *m_keyDate = nullptr;
    QLabel *m_keyTime = nullptr;
    QLabel *m_pcDate = nullptr;
    QLabel *m_pcTime = nullptr;
    QPushButton *m_sync = nullptr;
};
