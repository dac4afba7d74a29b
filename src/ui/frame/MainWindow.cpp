#include "ui/frame/MainWindow.h"

#include "ui/frame/AccessCodes.h"
#include "ui/frame/KeyStatusDisplay.h"
#include "ui/frame/LogoPage.h"
#include "ui/popups/PopupA.h"
#include "ui/popups/PopupHost.h"
#include "ui/popups/PopupMsg.h"
#include "ui/popups/PopupWait.h"
#include "ui/widgets/cParameter.h"
#include "link/RxDataBuffer.h"
#include "link/UsbLink.h"
#include "link/cWifi.h"
#include "protocol/ConnectionSupervisor.h"
#include "ui/exchange/ExchangeProgressWidget.h"
#include "protocol/FileExchange.h"
#include "ui/exchange/FileExchangePanel.h"
#include "protocol/KeyConnection.h"
#include "protocol/KeyModel.h"
#include "protocol/KeyProtocol.h"
#include "protocol/KeySession.h"
#include "base/Log.h"
#include "base/Paths.h"
#include "ui/frame/StatusLine.h"
#include "ui/frame/WifiController.h"
#include "base/Timing.h"
#include "base/cGlobalData.h"
#include "records/RecordList.h"
#include "station/Station.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFontDatabase>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMovie>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>

static void initTorqueDeskResources()
{
    Q_INIT_RESOURCE(torquedesk);
}

void MainWindow::initResources()
{
    static bool done = false;
    if (!done) {
        initTorqueDeskResources();
        done = true;
    }
}

void MainWindow::useApplicationFont()
{
    initResources();
    const int fontId = QFontDatabase::addApplicationFont(QStringLiteral(":resource/fonts/Roboto-Light.ttf"));
    if (fontId < 0)
        return;
    const QStringList families = QFontDatabase::applicationFontFamilies(fontId);
    if (!families.isEmpty())
        QApplication::setFont(QFont(families.first()));
}

MainWindow::MainWindow(QWidget *parent, cGlobalData *globalData)
    : MainWindow(parent, new Station(globalData))
{
    m_station->setParent(this);
}

MainWindow::MainWindow(QWidget *parent, Station *station)
    : QMainWindow(parent)
    , m_station(station)
    , m_globalData(station->options())
{
    initResources();
    ui.setupUi(this);
    m_popups = new PopupHost(this);
    connect(m_popups, &PopupHost::closeRequested, this, &MainWindow::iBtnClose_Click);
    connect(this, &MainWindow::messageRequested, this, &MainWindow::showMessage);

    m_globalData->reset();

    setWindowFlags(Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                   | Qt::CustomizeWindowHint);
    setWindowTitle(tr("Dynamometric key"));
    placeOnScreen();
    buildBootScreen();

    connect(ui.pbSettings, &QPushButton::clicked, this, &MainWindow::iBtnSettings_Click);
    // The page follows the buttons' state, not their clicks: a screen reader's only action
    // on a checkable button is a toggle, which clicks nothing. The group keeps one checked.
    auto *menu = new QButtonGroup(this);
    menu->setExclusive(true);
    for (QPushButton *button : ui.leftMenuButtons) {
        menu->addButton(button);
        connect(button, &QPushButton::toggled, this, &MainWindow::iBtnLeftMenu_Click);
    }

    QTimer::singleShot(td::timing::initGraphicsDelay, this, &MainWindow::InitGraphics);
}

MainWindow::~MainWindow() = default;

void MainWindow::placeOnScreen()
{
    // A touch panel may be smaller than the design size: shrink to fit, never leave the screen.
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize wanted(qMin(1024, area.width()), qMin(720, area.height() - 40));
    setMinimumSize(qMin(800, wanted.width()), qMin(560, wanted.height()));
    resize(wanted);
    const QSize frame = frameSize();
    move(area.center().x() - frame.width() / 2 + 1, area.center().y() - frame.height() / 2 + 1);
    QPoint pos = this->pos();
    pos.setX(qBound(area.left(), pos.x(), qMax(area.left(), area.right() - frame.width())));
    pos.setY(qBound(area.top(), pos.y(), qMax(area.top(), area.bottom() - frame.height())));
    move(pos);
}

void MainWindow::buildBootScreen()
{
    m_busyMovie = new QMovie(QStringLiteral(":resource/images/wait.gif"), QByteArray(), this);
    if (m_busyMovie->isValid()) {
        ui.lbBusy->setMovie(m_busyMovie);
        m_busyMovie->start();
    }
    m_rocketMovie = new QMovie(QStringLiteral(":resource/images/rocket.gif"), QByteArray(), this);
    if (m_rocketMovie->isValid())
        ui.lbBusy2->setMovie(m_rocketMovie);
    ui.lbBusy2->hide();
    ui.teBootInfo->hide();
    ui.lbStatusLine->clear();
    m_statusLine = new StatusLine(ui.lbStatusLine, td::timing::statusLineHold, this);
    ui.lbLogo->setPixmap(QPixmap(QStringLiteral(":resource/images/logo_trevonics_red3.png")));
    ui.lbBootText->show();
    ui.frLogoFooter->hide();
    setStatusIcons(QStringLiteral(":resource/images/null.png"), QStringLiteral(":resource/images/null.png"),
                   QStringLiteral(":resource/images/null.png"));
    setMainFormControlsVisible(false);
    ui.showMainPage(MainPage::Logo);
}

void MainWindow::loadSettings()
{
    const QString path = Paths::settingsIni();
    const SettingsFile::LoadResult result = SettingsFile::load(path, m_settings);
    if (result != SettingsFile::LoadResult::Loaded) {
        // Missing or damaged: write the defaults back so the next start finds a sound file.
        if (!SettingsFile::save(path, m_settings)) {
            td::log(QStringLiteral("settings.ini can't be written: ") + path);
            showWarning(tr("Warning! File 'settings.ini' can't create!"), QStringLiteral("red"));
        }
    }
    m_globalData->pcAddress = m_settings.pcAddress;
}

void MainWindow::InitGraphics()
{
    if (m_graphicsBuilt)
        return;
    m_graphicsBuilt = true;
    loadSettings();
    buildKeyLink();
    connect(m_wifiController, &WifiController::warningRequested, this, &MainWindow::showWarning);
    // Logs "DB Report connected" / "DB Report Not connected" with the reason itself.
    m_station->reports();
    buildPages();
    if (m_globalData->openHistory)
        openHistoryWindow();
    emit graphicsReady();
    emit scanRequested();
    m_connection->startScanning();
}

UsbLink *MainWindow::usbLink() const
{
    return m_connection ? m_connection->usb() : nullptr;
}

ConnectionSupervisor *MainWindow::supervisor() const
{
    return m_connection ? m_connection->supervisor() : nullptr;
}

cWifi *MainWindow::wifi() const
{
    return m_connection ? m_connection->wifi() : nullptr;
}

void MainWindow::buildKeyLink()
{
    // The Wi-Fi link binds to the PC address loaded from settings.ini just before.
    m_connection = m_station->connection();
    m_session = m_connection->session();
    ConnectionSupervisor *supervisor = m_connection->supervisor();
    supervisor->setPageIndexProvider([this] { return ui.stMainPages->currentIndex(); });

    KeyStatusDisplay::Widgets w;
    w.warningPanel = ui.frWarning;
    w.warningPicture = ui.lbWarningPicture;
    w.warningText = ui.lbWarningText;
    w.rotation = ui.lbRotation;
    w.battery = ui.lbBattery;
    w.wifiLevel = ui.lbWifiLevel;
    w.warningLine = ui.lbWarningLine;
    w.pages = ui.stMainPages;
    w.reportSelection = ui.pbSelectReport;
    m_keyStatus = new KeyStatusDisplay(m_connection->modeSource(), w, this);

    KeyProtocol *protocol = m_session->protocol();
    FileExchange *files = m_session->files();
    connect(m_connection, &KeyConnection::noKey, this, &MainWindow::onNoKey);
    connect(m_connection, &KeyConnection::keyInUse, this, [this] {
        m_keyInUse = true;
        ui.logo->lbKeyLost->hide();
    });
    connect(protocol, &KeyProtocol::statusMessage, this, &MainWindow::showStatus);
    connect(files, &FileExchange::statusMessage, this, &MainWindow::showStatus);
    connect(protocol, &KeyProtocol::windowTitleChanged, this, &MainWindow::setWindowTitle);
    connect(protocol, &KeyProtocol::keyStatusReceived, m_keyStatus, &KeyStatusDisplay::ShowKeyStatus);
    connect(protocol, &KeyProtocol::waitAnimationRequested, this, &MainWindow::onWaitAnimation);
    connect(files, &FileExchange::waitAnimationRequested, this, &MainWindow::onWaitAnimation);
    connect(m_session->model(), &KeyModel::namesChanged, this, &MainWindow::onKeyNamesChanged);

    WifiController::Widgets wifiWidgets;
    wifiWidgets.comboHost = ui.loKeyCombo;
    wifiWidgets.ipListFrame = ui.frIpList;
    wifiWidgets.linkIcon = ui.lbStatusIcon1;
    wifiWidgets.linkLogo = ui.lbStatusIcon2;
    wifiWidgets.spareIcon = ui.lbStatusIcon3;
    wifiWidgets.connectText = ui.lbConnectText;
    wifiWidgets.busy = ui.lbExchangeBusy;
    wifiWidgets.popups = m_popups;
    m_wifiController = new WifiController(m_connection, m_keyStatus, wifiWidgets, this);
    connect(m_wifiController, &WifiController::statusMessage, this, &MainWindow::showStatus);
    connect(m_wifiController, &WifiController::standingMessageChanged, m_statusLine, &StatusLine::setStandingText);
    connect(m_wifiController, &WifiController::openMainFormRequested, this,
            &MainWindow::slot_TmrOpenMainForm);
    connect(m_wifiController, &WifiController::messageRequested, this, &MainWindow::showMessage);
    connect(m_wifiController, &WifiController::closeRequested, this, &MainWindow::iBtnClose_Click);
    m_connection->startWifi();

    m_progress = new ExchangeProgressWidget(ui.centralWidget);
    m_progress->setObjectName(QStringLiteral("wExchangeProgress"));
    m_progress->attach(files);
    ui.loProgress->addWidget(m_progress);

    m_filePanel = new FileExchangePanel(files, ui.frFiles);
    m_filePanel->setObjectName(QStringLiteral("wFileExchangePanel"));
    ui.frFiles->layout()->addWidget(m_filePanel);
}

void MainWindow::onNoKey()
{
    // The connection has stopped the supervision and set the mode to 0.
    setWindowTitle(tr("Dynamometric key"));
    ui.lbKeyName->clear();
    onWaitAnimation(false);
    // The scan says "no key" twice a second; only the first after a key was in use is a loss.
    if (m_keyInUse) {
        m_keyInUse = false;
        ui.logo->lbKeyLost->show();
    }
    ShowNoKeyState();
    m_popups->closeMessage();
}

void MainWindow::onKeyNamesChanged()
{
    const KeyNames &names = m_session->model()->names();
    ui.lbKeyName->setText(names.operatorName.isEmpty() ? names.keyName
                                                       : names.keyName + QStringLiteral(" / ") + names.operatorName);
}

void MainWindow::onWaitAnimation(bool show)
{
    ui.lbExchangeBusy->setVisible(show);
}

void MainWindow::PopupMessageWindow(cParameter *aPar) { m_popups->PopupMessageWindow(aPar); }
void MainWindow::PopupMessageWindowFormat(cParameter *aPar) { m_popups->PopupMessageWindowFormat(aPar); }
void MainWindow::PopupMessageWindowNotUSB(cParameter *aPar) { m_popups->PopupMessageWindowNotUSB(aPar); }
void MainWindow::PopupWaitWindow() { m_popups->PopupWaitWindow(); }
void MainWindow::PopupQuestionWindow(cParameter *aPar, iFuncWhenYes aFunc, iFuncWhenYes aFuncNo)
{
    m_popups->PopupQuestionWindow(aPar, std::move(aFunc), std::move(aFuncNo));
}

void MainWindow::showMessage(const QString &text, const QString &style)
{
    cParameter message(text, true, text, style);
    m_popups->PopupMessageWindow(&message);
}

void MainWindow::showWarning(const QString &text, const QString &style)
{
    cParameter message(text, true, text, style);
    m_popups->PopupMessageWindowUntilAcknowledged(&message);
}

void MainWindow::setMainFormControlsVisible(bool visible)
{
    ui.frMainFormControls->setVisible(visible);
}

void MainWindow::setStatusIcons(const QString &a, const QString &b, const QString &c)
{
    ui.lbStatusIcon1->setPixmap(QPixmap(a));
    ui.lbStatusIcon2->setPixmap(QPixmap(b));
    ui.lbStatusIcon3->setPixmap(QPixmap(c));
}

void MainWindow::iBtnLeftMenu_Click(bool checked)
{
    auto *sender = qobject_cast<QPushButton *>(this->sender());
    const int index = ui.leftMenuButtons.indexOf(sender);
    // The button the group unchecks says nothing; the one checked names the page.
    if (index < 0 || !checked)
        return;
    const auto wanted = SettingsPage(index);
    if (wanted == ui.settingsPage())
        return;
    if (!mayLeave([sender] { sender->setChecked(true); })) {
        ui.leftMenuButtons.at(int(ui.settingsPage()))->setChecked(true);
        return;
    }
    ui.showSettingsPage(wanted);
}

void MainWindow::iBtnSettings_Click()
{
    const MainPage shown = ui.mainPage();
    if (shown == MainPage::MainForm) {
        emit settingsPageRequested();
        ui.showMainPage(MainPage::Settings);
        ui.pbSettings->setText(tr("Back"));
        ui.pbSettings->setToolTip(tr("Back to main screen"));
        ui.pbSettings->setAccessibleName(tr("Back"));
        setMainFormControlsVisible(false);
        ui.pbSelectReport->setChecked(false);
        ui.pbSelectReport->setText(tr("Select"));
        ui.pbSelectReport->setToolTip(tr("Select elements for make report"));
        // A code that worked is not left on screen for the next person at the station.
        if (AccessCodes::apply(this, ui.leKeyMessage->text()))
            ui.leKeyMessage->clear();
    } else if (shown == MainPage::Settings) {
        if (!mayLeave([this] { ui.pbSettings->click(); }))
            return;
        if (m_settingsWithoutKey) {
            m_settingsWithoutKey = false;
            ui.showMainPage(MainPage::Logo);
            ShowNoKeyState();
            return;
        }
        ui.showMainPage(MainPage::MainForm);
        ui.pbSettings->setText(tr("Settings"));
        ui.pbSettings->setToolTip(tr("Special key settings"));
        ui.pbSettings->setAccessibleName(tr("Settings"));
        setMainFormControlsVisible(true);
        const int first = m_firstActiveLevel ? m_firstActiveLevel() : 0;
        for (int i = 0; i < 5 && i < ui.tabLevels->count(); ++i)
            ui.tabLevels->setTabEnabled(i, i == first);
    }
    // On the boot and no-key pages the button does nothing.
}

void MainWindow::slot_TmrOpenMainForm()
{
    m_settingsWithoutKey = false;
    setMainFormControlsVisible(true);
    ui.showMainPage(MainPage::MainForm);
    emit recordTabsReset();
}

void MainWindow::ShowNoKeyState()
{
    setMainFormControlsVisible(false);
    ui.tabLevels->setCurrentIndex(0);
    ui.lbInitPicture->setPixmap(QPixmap(QStringLiteral(":resource/images/init_find.png")));
    setStatusIcons(QStringLiteral(":resource/images/null.png"), QStringLiteral(":resource/images/null.png"),
                   QStringLiteral(":resource/images/null.png"));
    // What the last key reported (its battery, signal, rotation, warnings) is no one's now.
    for (QLabel *icon : {ui.lbBattery, ui.lbWifiLevel, ui.lbRotation})
        icon->clear();
    ui.lbWarningLine->clear();
    if (m_keyStatus)
        m_keyStatus->resetRotation();
    ui.lbConnectText->setText(tr("Try to connect device to PC..."));
    ui.lbBootText->hide();
    ui.frLogoFooter->show();
    const bool keepSettings = ui.mainPage() == MainPage::Settings && m_keepSettingsPage && m_keepSettingsPage();
    if (keepSettings)
        m_settingsWithoutKey = true;
    else
        ui.showMainPage(MainPage::Logo);
    // The record tabs reset first: it brings the report button back for the main form, which
    // has no place without a key.
    emit recordTabsReset();
    ui.pbSelectReport->setChecked(false);
    ui.pbSelectReport->hide();
    if (keepSettings)
        return;
    ui.pbSettings->setText(tr("Settings"));
    ui.pbSettings->setToolTip(tr("Special key settings"));
}

RecordList *MainWindow::recordList()
{
    return m_station->records();
}

bool MainWindow::mayLeave(const std::function<void()> &proceed) const
{
    for (const LeaveGuard &guard : m_leaveGuards) {
        if (!guard(proceed))
            return false;
    }
    return true;
}

void MainWindow::showStatus(const QString &text)
{
    m_statusLine->showMessage(text);
}

void MainWindow::iBtnClose_Click()
{
    // A refused close (a flash the user lets finish) keeps the program running.
    if (close())
        QApplication::quit();
}

void MainWindow::slot_iTimerClose()
{
    iBtnClose_Click();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!mayLeave([this] { iBtnClose_Click(); })) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void MainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui.retranslateUi();
        retranslateHistoryWindowButton();
    }
    QMainWindow::changeEvent(event);
}

void MainWindow::retranslateHistoryWindowButton()
{
    if (!m_historyWindowButton)
        return;
    m_historyWindowButton->setText(tr("History"));
    m_historyWindowButton->setAccessibleName(tr("History"));
    m_historyWindowButton->setToolTip(tr("The history and its statistics in a window of their own"));
}
