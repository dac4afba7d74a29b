#include "ui/settings/KeySettingsPage.h"

#include "base/Log.h"
#include "config/DeviceSettingsRules.h"
#include "protocol/KeyProtocol.h"
#include "ui/settings/KeySettingsStyle.h"
#include "ui/widgets/cParameter.h"
#include "ui/widgets/cSwitcher.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace td::settingsui;
using R = DeviceSettingsRules;

namespace {

cSwitcher *makeSwitch(const char *name)
{
    auto *s = new cSwitcher(QString(), QString(), true, false, false);
    s->setSize(48, 40);
    s->setCaptionFontSize(9);
    s->button()->setObjectName(QLatin1String(name));
    return s;
}

// Shows index in combo; a value the combo has no item for leaves it without a choice rather
// than showing another setting.
void showIndex(QComboBox *combo, int index) { combo->setCurrentIndex(index < combo->count() ? index : -1); }

quint16 indexOf(const QComboBox *combo) { return quint16(qMax(0, combo->currentIndex())); }

} // namespace

KeySettingsPage::KeySettingsPage(QWidget *settingsPage, KeyModel *model, KeyProtocol *protocol,
                                 PopupHost *popups, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_protocol(protocol)
    , m_popups(popups)
{
    if (QFrame *f = namedFrame(settingsPage, "frSetup", "Key settings"))
        buildSetup(f);
    m_options = namedFrame(settingsPage, "frOptions", "Key settings");
    if (QFrame *f = namedFrame(settingsPage, "frKeyName", "Key settings"))
        buildNames(f);
    if (QFrame *f = namedFrame(settingsPage, "frWiFi", "Key settings"))
        buildWifi(f);
    buildClock();
    if (m_options) {
        // The key configuration is a service option: it shows exactly while the service
        // options do. It has a row of its own below them, where the page has the width.
        m_options->installEventFilter(this);
        m_configFrame->setVisible(!m_options->isHidden());
    } else {
        m_configFrame->hide();
    }
    retranslate();
    showDeviceSettings();
    showNames();
    showWifiSettings();
    if (m_model) {
        connect(m_model, &KeyModel::deviceSettingsChanged, this, &KeySettingsPage::showDeviceSettings);
        connect(m_model, &KeyModel::namesChanged, this, &KeySettingsPage::showNames);
        connect(m_model, &KeyModel::wifiSettingsChanged, this, &KeySettingsPage::showWifiSettings);
        connect(m_model, &KeyModel::clockRead, this, &KeySettingsPage::showClock);
    }
}

void KeySettingsPage::buildSetup(QFrame *frame)
{
    QVBoxLayout *outer = contentLayout(frame);
    m_setupHeading = makeLabel(frame, "lbSetupHeading", 12, true);
    m_setupApply = makeApplyButton(frame, "pbSetupApply");
    outer->addLayout(headingRow(m_setupHeading, m_setupApply));
    m_unitsLabel = makeLabel(frame, "lbUnits");
    m_sleepLabel = makeLabel(frame, "lbPowerOff");
    m_displayLabel = makeLabel(frame, "lbDisplayOff");
    m_languageLabel = makeLabel(frame, "lbLanguage");
    m_soundLabel = makeLabel(frame, "lbSound");
    m_wifiEnableLabel = makeLabel(frame, "lbWifiNet");
    m_units = makeCombo(frame, "cbUnits");
    m_sleep = makeCombo(frame, "cbPowerOff");
    m_display = makeCombo(frame, "cbDisplayOff");
    m_language = makeCombo(frame, "cbLanguage");
    m_sound = makeSwitch("swSound");
    m_wifiEnable = makeSwitch("swWifiNet");
    // Captions above their controls: in half the page a caption beside its combo left the
    // combo too narrow for its items, and the Russian captions are the longer ones.
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(2);
    placeCaptioned(grid, m_unitsLabel, m_units, 0, 0);
    placeCaptioned(grid, m_sleepLabel, m_sleep, 0, 1);
    placeCaptioned(grid, m_displayLabel, m_display, 0, 2);
    placeCaptioned(grid, m_languageLabel, m_language, 1, 0);
    placeCaptioned(grid, m_soundLabel, m_sound, 1, 1);
    placeCaptioned(grid, m_wifiEnableLabel, m_wifiEnable, 1, 2);
    for (int c = 0; c < 3; ++c)
        grid->setColumnStretch(c, 1);
    outer->addLayout(grid);
    outer->addStretch(1);
    connect(m_setupApply, &QPushButton::clicked, this, &KeySettingsPage::iBtnSetupApply_Click);
}

void KeySettingsPage::buildConfig(QFrame *frame)
{
    // The heading shares its line with Upgrade, so the five combos have the whole width below.
    auto *outer = new QVBoxLayout(frame);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(4);
    m_configHeading = makeLabel(frame, "lbConfigHeading", 12, true);
    m_upgrade = makeApplyButton(frame, "pbWriteConfigKey");
    outer->addLayout(headingRow(m_configHeading, m_upgrade));
    auto *row = new QHBoxLayout;
    row->setSpacing(6);
    outer->addLayout(row);
    m_typeKey = makeCombo(frame, "cbTypeKey");
    m_connection = makeCombo(frame, "cbTypePCConnection");
    m_dataBase = makeCombo(frame, "cbDataBase");
    m_dataTime = makeCombo(frame, "cbDataTime");
    m_algorithm = makeCombo(frame, "cbAddAlgorithm");
    for (QComboBox *c : {m_typeKey, m_connection, m_dataBase, m_dataTime, m_algorithm})
        row->addWidget(c, 1);
    connect(m_upgrade, &QPushButton::clicked, this, &KeySettingsPage::iBtnWriteConfigKey_Click);
}

bool KeySettingsPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_options && (event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent))
        m_configFrame->setVisible(event->type() == QEvent::ShowToParent);
    return QWidget::eventFilter(watched, event);
}

void KeySettingsPage::buildClock()
{
    auto *outer = new QVBoxLayout(this);
    // The page's grid has the margins; in Russian the lines use all of its width.
    outer->setContentsMargins(0, 2, 0, 2);
    m_configFrame = new QFrame(this);
    m_configFrame->setObjectName(QStringLiteral("frKeyConfig"));
    buildConfig(m_configFrame);
    outer->addWidget(m_configFrame);
    // One line: the key's type and serial number beside each other, then the two clocks and
    // the button that sets the key's clock; the panels above need the height.
    auto *row = new QHBoxLayout;
    row->setSpacing(6);
    outer->addLayout(row);
    m_identity = makeLabel(this, "lbKeyIdentity", 12, true);
    m_serial = new QLineEdit(this);
    m_serial->setObjectName(QStringLiteral("leSerialNo"));
    m_serial->setReadOnly(true);
    m_serial->setMinimumHeight(36);
    setPoints(m_serial, 11);
    m_serial->setMinimumWidth(m_serial->fontMetrics().horizontalAdvance(QStringLiteral("S/N: 0000K000000")) + 16);
    row->addWidget(m_identity);
    row->addWidget(m_serial, 2);
    row->addSpacing(8);

    auto *clock = new QGridLayout;
    m_clockKeyCaption = makeLabel(this, "lbClockKey", 11, true);
    m_clockPcCaption = makeLabel(this, "lbClockPC", 11, true);
    m_keyDate = makeLabel(this, "lbKeyDate", 12);
    m_keyTime = makeLabel(this, "lbKeyTime", 12);
    m_pcDate = makeLabel(this, "lbPcDate", 12);
    m_pcTime = makeLabel(this, "lbPcTime", 12);
    m_keyDate->setText(QStringLiteral("00.00.00"));
    m_pcDate->setText(QStringLiteral("00.00.00"));
    m_keyTime->setText(QStringLiteral("00:00:00"));
    m_pcTime->setText(QStringLiteral("00:00:00"));
    clock->addWidget(m_clockKeyCaption, 0, 0);
    clock->addWidget(m_keyDate, 0, 1);
    clock->addWidget(m_keyTime, 0, 2);
    clock->addWidget(m_clockPcCaption, 1, 0);
    clock->addWidget(m_pcDate, 1, 1);
    clock->addWidget(m_pcTime, 1, 2);
    clock->setVerticalSpacing(0);
    row->addLayout(clock, 1);
    m_sync = makeApplyButton(this, "pbDateTimeSync");
    row->addWidget(m_sync);
    connect(m_sync, &QPushButton::clicked, this, &KeySettingsPage::iBtnDateTimeSync_Click);
}

void KeySettingsPage::fillCombos()
{
    const struct
    {
        QComboBox *combo;
        QStringList items;
    } combos[] = {{m_units, R::unitItems()},           {m_sleep, R::sleepTimeItems()},
                  {m_display, R::displayTimeItems()},  {m_language, R::languageItems()},
                  {m_typeKey, R::typeKeyItems()},      {m_connection, R::connectionItems()},
                  {m_dataBase, R::dataBaseItems()},    {m_dataTime, R::dataTimeItems()},
                  {m_algorithm, R::algorithmItems()}};
    for (const auto &c : combos) {
        if (!c.combo)
            continue;
        const int index = c.combo->currentIndex();
        c.combo->clear();
        c.combo->addItems(c.items);
        c.combo->setCurrentIndex(index);
    }
}

DeviceSettings KeySettingsPage::settingsOnPage() const
{
    DeviceSettings s = m_model ? m_model->deviceSettings() : DeviceSettings();
    if (m_units) {
        s.Units = indexOf(m_units);
        s.SleepTime = indexOf(m_sleep);
        s.DisplayTime = indexOf(m_display);
        s.Language = indexOf(m_language);
        s.SoundEffects = m_sound->checked() ? 1 : 0;
        s.WiFiEnable = m_wifiEnable->checked() ? 1 : 0;
    }
    if (m_typeKey) {
        s.TypeKey = indexOf(m_typeKey);
        s.TypePCConnection = indexOf(m_connection);
        s.DataBase = indexOf(m_dataBase);
        s.DataTime = indexOf(m_dataTime);
        s.AddAlgorithm = indexOf(m_algorithm);
    }
    return s;
}

void KeySettingsPage::WriteDeviceSettings()
{
    if (m_protocol)
        m_protocol->FE_DeviceSetting_Write(settingsOnPage(), R::PasswordWrEnable);
}

void KeySettingsPage::iBtnSetupApply_Click()
{
    const DeviceSettings stored = m_model ? m_model->deviceSettings() : DeviceSettings();
    const int reboot = R::rebootAfterSetup(stored, settingsOnPage());
    WriteDeviceSettings();
    if (reboot != R::NoReboot && m_protocol)
        m_protocol->FE_Reboot_Write(reboot);
}

void KeySettingsPage::iBtnWriteConfigKey_Click()
{
    const DeviceSettings stored = m_model ? m_model->deviceSettings() : DeviceSettings();
    const int reboot = R::rebootAfterUpgrade(stored, settingsOnPage());
    WriteDeviceSettings();
    if (m_protocol)
        m_protocol->FE_Reboot_Write(reboot);
}

void KeySettingsPage::iBtnDateTimeSync_Click()
{
    if (!m_protocol)
        return;
    m_protocol->FE_DateTime_Write(QDateTime::currentDateTime());
    // Read back so both clocks are shown side by side as the key now has it.
    m_protocol->FE_DateTime_Read();
}

void KeySettingsPage::readFromKey()
{
    if (!m_protocol)
        return;
    m_protocol->FE_KeyName_Read();
    m_protocol->FE_SettingsCalibrate_Read();
    m_protocol->FE_DateTime_Read();
}

void KeySettingsPage::showDeviceSettings()
{
    const DeviceSettings s = m_model ? m_model->deviceSettings() : DeviceSettings();
    if (m_units) {
        showIndex(m_units, s.Units);
        showIndex(m_sleep, s.SleepTime);
        showIndex(m_display, s.DisplayTime);
        showIndex(m_language, s.Language);
        m_sound->setChecked(s.SoundEffects != 0);
        m_wifiEnable->setChecked(s.WiFiEnable != 0);
    }
    if (m_typeKey) {
        showIndex(m_typeKey, s.TypeKey);
        showIndex(m_connection, s.TypePCConnection);
        showIndex(m_dataBase, s.DataBase);
        showIndex(m_dataTime, s.DataTime);
        showIndex(m_algorithm, s.AddAlgorithm);
    }
    m_identity->setText(R::identity(s.TypeKey, s.VersionSW));
    m_serial->setText(R::serialLine(s.SerialNo));
}

void KeySettingsPage::showClock(const QDateTime &pcTime)
{
    const KeyClock c = m_model ? m_model->clock() : KeyClock();
    m_keyDate->setText(R::dateText(c.Day, c.Month, c.Year));
    m_keyTime->setText(R::timeText(c.Hour, c.Minutes, c.Seconds));
    const QDate d = pcTime.date();
    const QTime t = pcTime.time();
    m_pcDate->setText(R::dateText(d.day(), d.month(), d.year()));
    m_pcTime->setText(R::timeText(t.hour(), t.minute(), t.second()));
}

void KeySettingsPage::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}
