#include "ui/firmware/FirmwarePage.h"

#include "protocol/KeyModel.h"
#include "ui/popups/PopupHost.h"
#include "ui/widgets/cParameter.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHideEvent>
#include <QShowEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMovie>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

QLabel *label(QWidget *parent, const char *name, int points)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    QFont f = l->font();
    f.setPointSize(points);
    l->setFont(f);
    return l;
}

QString orDash(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("\u2014") : text;
}

} // namespace

FirmwarePage::FirmwarePage(const FirmwareUpdater::Options &options, KeyModel *keyModel, QWidget *parent)
    : QWidget(parent)
    , m_updater(new FirmwareUpdater(options, this))
    , m_keyModel(keyModel)
{
    build();
    retranslate();
    showKeyIdentity();

    connect(m_flash, &QPushButton::clicked, this, &FirmwarePage::iBtnGetRecords_Click);
    connect(m_updater, &FirmwareUpdater::statusChanged, this, &FirmwarePage::showStatus);
    connect(m_updater, &FirmwareUpdater::logCleared, m_log, &QPlainTextEdit::clear);
    connect(m_updater, &FirmwareUpdater::logAppended, this, &FirmwarePage::appendLog);
    connect(m_updater, &FirmwareUpdater::deviceWidgetsVisible, m_device, &QWidget::setVisible);
    connect(m_updater, &FirmwareUpdater::flashButtonEnabled, m_flash, &QWidget::setEnabled);
    connect(m_updater, &FirmwareUpdater::resultShown, m_result, &QWidget::show);
    connect(m_updater, &FirmwareUpdater::waitAnimation, this, &FirmwarePage::setWaiting);
    connect(m_updater, &FirmwareUpdater::busyChanged, this, &FirmwarePage::onBusyChanged);
    connect(m_updater, &FirmwareUpdater::downloadProgress, this, &FirmwarePage::onDownloadProgress);
    connect(m_updater, &FirmwareUpdater::flashProgress, this, &FirmwarePage::onFlashProgress);
    connect(m_updater, &FirmwareUpdater::dfu_checkdevice, this, [this](int status) {
        if (status == 0)
            m_lastSearch = QDateTime::currentDateTime();
        showSearchLine();
    });
    connect(m_serverApply, &QPushButton::clicked, this, &FirmwarePage::applyServerAddress);
    connect(m_server, &QLineEdit::returnPressed, this, &FirmwarePage::applyServerAddress);
    connect(m_server, &QLineEdit::textEdited, this, [this] { m_serverNote->clear(); });
    showServerAddress(options.serverBase);
    if (m_keyModel)
        connect(m_keyModel, &KeyModel::deviceSettingsChanged, this, &FirmwarePage::showKeyIdentity);
}

void FirmwarePage::build()
{
    auto *layout = new QVBoxLayout(this);

    auto *identity = new QGridLayout();
    m_appVersion = label(this, "lbAppVersion", 12);
    m_keyType = label(this, "lbKeyType", 12);
    m_keyVersion = label(this, "lbKeyVersion", 12);
    m_keySerial = label(this, "lbKeySerial", 12);
    identity->addWidget(m_appVersion, 0, 0);
    identity->addWidget(m_keyType, 0, 1);
    identity->addWidget(m_keyVersion, 1, 0);
    identity->addWidget(m_keySerial, 1, 1);
    layout->addLayout(identity);

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    layout->addWidget(line);

    m_firmwareTitle = label(this, "lbFirmwareTitle", 16);
    layout->addWidget(m_firmwareTitle);
    m_hint = label(this, "lbFirmwareHint", 10);
    m_hint->setWordWrap(true);
    layout->addWidget(m_hint);

    auto *serverRow = new QHBoxLayout();
    m_serverCaption = label(this, "lbFirmwareServer", 12);
    m_server = new QLineEdit(this);
    m_server->setObjectName(QStringLiteral("leFirmwareServer"));
    m_server->setPlaceholderText(QStringLiteral("https://server.example"));
    m_server->setMinimumHeight(40);
    QFont field = m_server->font();
    field.setPointSize(12);
    m_server->setFont(field);
    m_serverApply = new QPushButton(this);
    m_serverApply->setObjectName(QStringLiteral("pbFirmwareServerApply"));
    m_serverApply->setMinimumSize(120, 44);
    serverRow->addWidget(m_serverCaption);
    serverRow->addWidget(m_server, 1);
    serverRow->addWidget(m_serverApply);
    layout->addLayout(serverRow);
    m_serverNote = label(this, "lbFirmwareServerNote", 10);
    m_serverNote->setWordWrap(true);
    layout->addWidget(m_serverNote);

    // The device widgets show only while a key in DFU mode is found.
    m_device = new QFrame(this);
    m_device->setObjectName(QStringLiteral("frDfuDevice"));
    auto *deviceRow = new QHBoxLayout(m_device);
    deviceRow->setContentsMargins(0, 0, 0, 0);
    m_deviceText = label(m_device, "lbDfuDevice", 12);
    m_flash = new QPushButton(m_device);
    m_flash->setObjectName(QStringLiteral("pbFlashFirmware"));
    m_flash->setMinimumSize(200, 56);
    QFont big = m_flash->font();
    big.setPointSize(13);
    m_flash->setFont(big);
    m_flash->setEnabled(false);
    m_flash->setStyleSheet(QStringLiteral(
        "QPushButton {background-color: rgb(90, 140, 200); color: white; border-radius: 6px; padding: 0 18px;}"
        " QPushButton:pressed {background-color: rgb(70, 110, 170);}"
        " QPushButton:disabled {background-color: rgb(190, 200, 215); color: rgb(235, 238, 242);}"));
    deviceRow->addWidget(m_deviceText, 1);
    deviceRow->addWidget(m_flash);
    m_device->hide();
    layout->addWidget(m_device);

    m_result = new QFrame(this);
    m_result->setObjectName(QStringLiteral("frFirmwareResult"));
    auto *resultRow = new QHBoxLayout(m_result);
    resultRow->setContentsMargins(0, 0, 0, 0);
    m_icon = label(m_result, "lbFirmwareIcon", 10);
    m_icon->setFixedSize(64, 64);
    m_icon->setScaledContents(true);
    m_wait = label(m_result, "lbFirmwareWait", 10);
    m_waitMovie = new QMovie(QStringLiteral(":resource/images/wait.gif"), QByteArray(), this);
    if (m_waitMovie->isValid())
        m_wait->setMovie(m_waitMovie);
    m_wait->hide();
    m_status = label(m_result, "lbFirmwareStatus", 14);
    m_status->setWordWrap(true);
    m_progress = new QProgressBar(m_result);
    m_progress->setObjectName(QStringLiteral("pbFirmwareProgress"));
    m_progress->setMinimumWidth(220);
    m_progress->hide();
    resultRow->addWidget(m_icon);
    resultRow->addWidget(m_wait);
    resultRow->addWidget(m_status, 1);
    resultRow->addWidget(m_progress);
    m_result->hide();
    layout->addWidget(m_result);

    m_log = new QPlainTextEdit(this);
    m_log->setObjectName(QStringLiteral("teFirmwareLog"));
    m_log->setReadOnly(true);
    QFont mono(QStringLiteral("monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    mono.setPointSize(9);
    m_log->setFont(mono);
    layout->addWidget(m_log, 1);
}

void FirmwarePage::retranslate()
{
    m_firmwareTitle->setText(tr("Firmware update"));
    m_hint->setText(tr("Connect the key to the PC in its DFU mode. The key is searched for while this page is open."));
    m_deviceText->setText(tr("Key in DFU mode is connected."));
    m_flash->setText(tr("Update firmware"));
    m_flash->setAccessibleName(m_flash->text());
    m_log->setAccessibleName(tr("Firmware log"));
    m_progress->setAccessibleName(tr("Firmware progress"));
    m_serverCaption->setText(tr("Firmware server"));
    m_server->setAccessibleName(tr("Firmware server address"));
    m_serverApply->setText(tr("Apply"));
    m_serverApply->setAccessibleName(tr("Apply the firmware server address"));
    showKeyIdentity();
    showSearchLine();
}

void FirmwarePage::showServerAddress(const QString &address)
{
    m_server->setText(address);
    m_updater->setServerBase(address);
}

void FirmwarePage::applyServerAddress()
{
    const QString text = m_server->text().trimmed();
    if (!text.isEmpty() && !FirmwareUpdater::isServerAddress(text)) {
        m_serverNote->setStyleSheet(QStringLiteral("QLabel {color: red;}"));
        m_serverNote->setText(tr("Not a server address: %1 (an http:// or https:// address is needed)").arg(text));
        return;
    }
    m_updater->setServerBase(text);
    m_serverNote->setStyleSheet(QString());
    m_serverNote->setText(text.isEmpty() ? tr("No firmware server: the firmware cannot be downloaded.")
                                         : tr("Firmware is downloaded from %1").arg(text));
    emit serverAddressApplied(text);
}

void FirmwarePage::showSearchLine()
{
    // Shown in the empty log box: the search runs unseen otherwise, and a page that says
    // nothing for minutes looks hung.
    QString text = tr("Looking for a key in DFU mode…");
    if (m_lastSearch.isValid())
        text += QLatin1Char('\n')
                + tr("Last search at %1: no key in DFU mode found.").arg(m_lastSearch.toString(QStringLiteral("HH:mm:ss")));
    m_log->setPlaceholderText(text);
}

void FirmwarePage::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange && m_log)
        retranslate();
    QWidget::changeEvent(event);
}

void FirmwarePage::showKeyIdentity()
{
    const QString version = QCoreApplication::applicationVersion();
    m_appVersion->setText(tr("Program version: %1").arg(orDash(version)));
    QString type, firmware, serial;
    if (m_keyModel) {
        const DeviceSettings &d = m_keyModel->deviceSettings();
        QByteArray serialBytes = d.SerialNo;
        const int nul = serialBytes.indexOf('\0');
        if (nul >= 0)
            serialBytes.truncate(nul);
        serial = QString::fromUtf8(serialBytes);
        // All zero is what a key never read looks like.
        if (d.VersionSW != 0 || !serial.isEmpty()) {
            type = QString::number(d.TypeKey);
            firmware = QString::number(d.VersionSW);
        }
    }
    m_keyType->setText(tr("Key type: %1").arg(orDash(type)));
    m_keyVersion->setText(tr("Key firmware version: %1").arg(orDash(firmware)));
    m_keySerial->setText(tr("Key serial number: %1").arg(orDash(serial)));
}

void FirmwarePage::iBtnGetRecords_Click()
{
    m_updater->iBtnGetRecords_Click();
}

void FirmwarePage::showStatus(const QString &icon, const QString &text)
{
    m_result->show();
    if (!icon.isEmpty())
        m_icon->setPixmap(QPixmap(QStringLiteral(":resource/images/") + icon));
    m_status->setText(text);
    m_status->setAccessibleName(text);
}

void FirmwarePage::appendLog(const QString &text)
{
    m_log->moveCursor(QTextCursor::End);
    m_log->insertPlainText(text);
    m_log->verticalScrollBar()->setValue(m_log->verticalScrollBar()->maximum());
}

void FirmwarePage::setWaiting(bool running)
{
    m_wait->setVisible(running);
    m_icon->setVisible(!running);
    if (running)
        m_waitMovie->start();
    else
        m_waitMovie->stop();
}

void FirmwarePage::onBusyChanged(bool busy)
{
    m_progress->setVisible(busy);
    if (busy) {
        m_progress->setRange(0, 100);
        m_progress->setValue(0);
    }
}

void FirmwarePage::onDownloadProgress(qint64 received, qint64 total)
{
    // Without an announced length the bar only shows that something is happening.
    if (total <= 0) {
        m_progress->setRange(0, 0);
        return;
    }
    m_progress->setRange(0, 1000);
    m_progress->setValue(static_cast<int>(qBound<qint64>(0, received * 1000 / total, 1000)));
}

void FirmwarePage::onFlashProgress(int percent)
{
    m_progress->setRange(0, 100);
    m_progress->setValue(percent);
}

void FirmwarePage::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    m_updater->setRecheckStopped(false);
    if (m_updater->state() == FirmwareUpdater::State::Idle)
        m_updater->slot_ComandLine_CheckDevice();
}

void FirmwarePage::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    // A minimised window keeps searching; a page left behind does not.
    if (!event->spontaneous())
        m_updater->setRecheckStopped(true);
}

bool FirmwarePage::mayLeave(const std::function<void()> &proceed)
{
    if (!m_updater->isBusy())
        return true;
    if (!m_popups)
        return false;
    const bool flashing = m_updater->state() == FirmwareUpdater::State::Flashing;
    const QString text = flashing ? tr("The key is being flashed. Stopping now may leave the key without working "
                                       "firmware. Stop the flash?")
                                  : tr("The firmware is being downloaded. Stop the download?");
    cParameter question(text, true, QString(), QStringLiteral("red"));
    QPointer<FirmwarePage> self(this);
    m_popups->PopupQuestionWindow(&question, tr("Yes"), tr("No"),
                                  [self, proceed](QWidget *) {
                                      if (!self)
                                          return;
                                      self->m_updater->cancel();
                                      if (proceed)
                                          proceed();
                                  },
                                  iFuncWhenYes());
    return false;
}
