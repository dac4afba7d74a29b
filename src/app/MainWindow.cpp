#include "app/MainWindow.h"

#include "app/AccessCodes.h"
#include "app/Log.h"
#include "app/Paths.h"
#include "app/StatusLine.h"
#include "app/Timing.h"
#include "app/cGlobalData.h"
#include "reports/ReportDatabase.h"

#include <QApplication>
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

MainWindow::MainWindow(QWidget *parent, cGlobalData *globalData)
    : QMainWindow(parent)
    , m_globalData(globalData)
{
    initResources();
    ui.setupUi(this);

    m_globalData->reset();
    m_globalData->statusLineLabel = ui.lbStatusLine;
    m_globalData->keyNameLabel = ui.lbKeyName;
    m_globalData->busyAnimationLabel = ui.lbBusy;

    setWindowFlags(Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint
                   | Qt::CustomizeWindowHint);
    setWindowTitle(tr("Dynamometric key"));
    placeOnScreen();
    buildBootScreen();

    connect(ui.pbSettings, SIGNAL(clicked()), this, SLOT(iBtnSettings_Click()));
    for (QPushButton *button : ui.leftMenuButtons)
        connect(button, SIGNAL(clicked()), this, SLOT(iBtnLeftMenu_Click()));

    QTimer::singleShot(td::timing::initGraphicsDelay, this, SLOT(InitGraphics()));
}

MainWindow::~MainWindow()
{
    ReportDatabase::close();
}

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
    ui.stMainPages->setCurrentIndex(2);
}

void MainWindow::loadSettings()
{
    const QString path = Paths::settingsIni();
    const SettingsFile::LoadResult result = SettingsFile::load(path, m_settings);
    if (result != SettingsFile::LoadResult::Loaded) {
        // Missing or damaged: write the defaults back so the next start finds a sound file.
        if (!SettingsFile::save(path, m_settings)) {
            td::log(QStringLiteral("settings.ini can't be written: ") + path);
            emit messageRequested(tr("Warning! File 'settings.ini' can't create!"), QStringLiteral("red"));
        }
    }
    m_globalData->pcAddress = m_settings.pcAddress;
}

void MainWindow::openReportDatabase()
{
    if (ReportDatabase::open(Paths::reportDatabase()))
        td::log(QStringLiteral("DB Report connected"));
    else
        td::log(QStringLiteral("DB Report Not connected"));
}

void MainWindow::InitGraphics()
{
    if (m_graphicsBuilt)
        return;
    m_graphicsBuilt = true;
    loadSettings();
    emit graphicsReady();
    openReportDatabase();
    // The link (serial port, first scan) is wired by the subsystems listening to graphicsReady;
    // without one the window shows the no-key page.
    if (!m_globalData->serialPort)
        ShowNoKeyState();
    emit scanRequested();
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

void MainWindow::iBtnLeftMenu_Click()
{
    auto *sender = qobject_cast<QPushButton *>(this->sender());
    const int index = ui.leftMenuButtons.indexOf(sender);
    if (index < 0)
        return;
    for (QPushButton *button : ui.leftMenuButtons)
        button->setChecked(button == sender);
    ui.swSettings->setCurrentIndex(index);
}

void MainWindow::iBtnSettings_Click()
{
    const int pageIndex = ui.stMainPages->currentIndex();
    if (pageIndex == 3) {
        emit settingsPageRequested();
        ui.stMainPages->setCurrentIndex(1);
        ui.pbSettings->setText(tr("Back"));
        ui.pbSettings->setToolTip(tr("Back to main screen"));
        ui.pbSettings->setAccessibleName(tr("Back"));
        setMainFormControlsVisible(false);
        ui.pbSelectReport->setChecked(false);
        ui.pbSelectReport->setText(tr("Select"));
        ui.pbSelectReport->setToolTip(tr("Select elements for make report"));
        AccessCodes::apply(this, ui.leKeyMessage->text());
    } else if (pageIndex == 1) {
        ui.stMainPages->setCurrentIndex(3);
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
    setMainFormControlsVisible(true);
    ui.stMainPages->setCurrentIndex(3);
    emit recordTabsReset();
}

void MainWindow::ShowNoKeyState()
{
    setMainFormControlsVisible(false);
    ui.tabLevels->setCurrentIndex(0);
    ui.lbInitPicture->setPixmap(QPixmap(QStringLiteral(":resource/images/init_find.png")));
    setStatusIcons(QStringLiteral(":resource/images/null.png"), QStringLiteral(":resource/images/null.png"),
                   QStringLiteral(":resource/images/null.png"));
    ui.lbConnectText->setText(tr("Try to connect device to PC..."));
    ui.lbBootText->hide();
    ui.frLogoFooter->show();
    ui.stMainPages->setCurrentIndex(2);
    ui.pbSelectReport->setChecked(false);
    ui.pbSelectReport->hide();
    ui.pbSettings->setText(tr("Settings"));
    ui.pbSettings->setToolTip(tr("Special key settings"));
    emit recordTabsReset();
}

void MainWindow::showStatus(const QString &text)
{
    m_statusLine->showMessage(text);
}

void MainWindow::iBtnClose_Click()
{
    close();
    QApplication::quit();
}

void MainWindow::slot_iTimerClose()
{
    iBtnClose_Click();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    QMainWindow::closeEvent(event);
}

void MainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui.retranslateUi();
    QMainWindow::changeEvent(event);
}
