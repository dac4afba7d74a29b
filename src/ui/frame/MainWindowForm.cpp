#include "ui/frame/MainWindowForm.h"

#include "ui/calibration/CalibratePage.h"
#include "ui/firmware/AboutPage.h"
#include "ui/frame/LogoPage.h"
#include "ui/levels/MainFormPage.h"
#include "ui/measures/MeasureViewsPage.h"
#include "ui/records/ViewerPage.h"
#include "ui/reports/DatabasePage.h"
#include "ui/settings/ParametersPage.h"
#include "ui/templates/TypesPage.h"
#include "ui/widgets/BusyLabel.h"
#include "ui/widgets/FormParts.h"

#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

const char *kLeftMenuStyle =
    "QPushButton {background-color: rgb(235, 235, 235); color: rgb(30, 30, 30); border: 1px solid "
    "rgb(190, 190, 190); border-radius: 6px; text-align: left; padding-left: 10px;}"
    "QPushButton:checked {background-color: rgb(90, 140, 200); color: rgb(255, 255, 255);}"
    "QPushButton:pressed {background-color: rgb(200, 210, 225);}";

const char *kHeaderButtonStyle =
    "QPushButton {background-color: rgb(90, 140, 200); color: rgb(255, 255, 255); border-radius: 6px;"
    " padding: 0 18px;} QPushButton:pressed {background-color: rgb(70, 110, 170);}"
    " QPushButton:disabled {background-color: rgb(190, 200, 215); color: rgb(235, 238, 242);}";

} // namespace

void MainWindowForm::setupUi(QMainWindow *window)
{
    window->setObjectName(QStringLiteral("MainWindow"));
    window->resize(1024, 720);
    window->setStyleSheet(QStringLiteral("QMainWindow {background-color: rgb(246, 246, 246);}"));

    centralWidget = new QWidget(window);
    centralWidget->setObjectName(QStringLiteral("centralWidget"));
    auto *root = new QVBoxLayout(centralWidget);
    root->setContentsMargins(6, 6, 6, 6);
    root->setSpacing(6);

    buildHeader(centralWidget);
    root->addWidget(frHeader);

    stMainPages = new QStackedWidget(centralWidget);
    stMainPages->setObjectName(QStringLiteral("stMainPages"));
    root->addWidget(stMainPages, 1);

    // In the order of MainPage.
    measureViews = new MeasureViewsPage(stMainPages);
    stMainPages->addWidget(measureViews);
    buildSettingsPage();
    stMainPages->addWidget(pageSettings);
    logo = new LogoPage(stMainPages);
    stMainPages->addWidget(logo);
    mainForm = new MainFormPage(stMainPages);
    stMainPages->addWidget(mainForm);

    buildFooter(centralWidget);

    takeShortcuts();
    window->setCentralWidget(centralWidget);
    retranslateUi();
}

void MainWindowForm::buildHeader(QWidget *parent)
{
    frHeader = new QFrame(parent);
    frHeader->setObjectName(QStringLiteral("frHeader"));
    frHeader->setFixedHeight(64);
    auto *header = new QHBoxLayout(frHeader);
    header->setContentsMargins(4, 2, 4, 2);
    lbStatusIcon1 = td::form::label(frHeader, "lbStatusIcon1");
    lbStatusIcon2 = td::form::label(frHeader, "lbStatusIcon2");
    lbStatusIcon3 = td::form::label(frHeader, "lbStatusIcon3");
    for (QLabel *icon : {lbStatusIcon1, lbStatusIcon2, lbStatusIcon3}) {
        icon->setFixedSize(48, 48);
        icon->setScaledContents(true);
        header->addWidget(icon);
    }
    lbKeyName = td::form::label(frHeader, "lbKeyName", 14);
    lbKeyName->setMinimumWidth(160);
    header->addWidget(lbKeyName, 1);
    loKeyCombo = new QHBoxLayout;
    loKeyCombo->setObjectName(QStringLiteral("loKeyCombo"));
    header->addLayout(loKeyCombo);
    lbWifiLevel = td::form::label(frHeader, "lbWifiLevel");
    lbBattery = td::form::label(frHeader, "lbBattery");
    for (QLabel *icon : {lbWifiLevel, lbBattery}) {
        icon->setFixedSize(48, 48);
        icon->setScaledContents(true);
        header->addWidget(icon);
    }
    pbSettings = td::form::button(frHeader, "pbSettings", 52);
    pbSettings->setMinimumWidth(150);
    pbSettings->setStyleSheet(QLatin1String(kHeaderButtonStyle));
    header->addWidget(pbSettings);
}

void MainWindowForm::buildSettingsPage()
{
    pageSettings = new QWidget(stMainPages);
    pageSettings->setObjectName(QStringLiteral("pageSettings"));
    auto *settingsLayout = new QHBoxLayout(pageSettings);
    settingsLayout->setContentsMargins(0, 0, 0, 0);
    frLeftMenu = new QFrame(pageSettings);
    frLeftMenu->setObjectName(QStringLiteral("frLeftMenu"));
    loLeftMenu = new QVBoxLayout(frLeftMenu);
    loLeftMenu->setObjectName(QStringLiteral("loLeftMenu"));
    loLeftMenu->setContentsMargins(0, 0, 0, 0);
    loLeftMenu->setSpacing(2);
    settingsLayout->addWidget(frLeftMenu);
    swSettings = new QStackedWidget(pageSettings);
    swSettings->setObjectName(QStringLiteral("swSettings"));
    settingsLayout->addWidget(swSettings, 1);

    // In the order of SettingsPage, which is the left menu's.
    viewer = new ViewerPage(swSettings);
    types = new TypesPage(swSettings);
    database = new DatabasePage(swSettings);
    calibrate = new CalibratePage(swSettings);
    parameters = new ParametersPage(swSettings);
    about = new AboutPage(swSettings);
    for (QWidget *p : std::initializer_list<QWidget *>{viewer, types, database, calibrate, parameters, about})
        swSettings->addWidget(p);

    static const char *const menuNames[settingsPageCount] = {"pbMenuRecords",   "pbMenuTemplates", "pbMenuDB",
                                                             "pbMenuCalibrate", "pbMenuLevels",    "pbMenuAbout"};
    static const char *const menuIcons[settingsPageCount] = {
        ":resource/images/records.png",   ":resource/images/templates.png",  ":resource/images/database.png",
        ":resource/images/calibrate.png", ":resource/images/menulevels.png", ":resource/images/about.png"};
    for (int i = 0; i < settingsPageCount; ++i) {
        auto *button = td::form::button(frLeftMenu, menuNames[i], 64);
        button->setFixedSize(211, 64);
        button->setCheckable(true);
        button->setIcon(QIcon(QLatin1String(menuIcons[i])));
        button->setIconSize(QSize(38, 38));
        button->setStyleSheet(QLatin1String(kLeftMenuStyle));
        QFont f = button->font();
        f.setPointSize(13);
        button->setFont(f);
        loLeftMenu->addWidget(button);
        leftMenuButtons.append(button);
        if (i != int(SettingsPage::About)) {
            QLabel *roles = td::form::label(frLeftMenu, "lbMenuRoles", 8);
            roles->setObjectName(QStringLiteral("lbMenuRoles%1").arg(i));
            roles->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            loLeftMenu->addWidget(roles);
            leftMenuRoleLabels.append(roles);
        }
    }
    loLeftMenu->addStretch(1);
    leftMenuButtons.first()->setChecked(true);
    showSettingsPage(SettingsPage::Records);
}

void MainWindowForm::buildFooter(QWidget *parent)
{
    auto *footerBar = new QHBoxLayout;
    lbStatusLine = td::form::label(parent, "lbStatusLine", 10);
    lbStatusLine->setMinimumHeight(24);
    footerBar->addWidget(lbStatusLine, 1);
    lbWarningLine = td::form::label(parent, "lbWarningLine", 10);
    lbWarningLine->setStyleSheet(QStringLiteral("color: rgb(200, 0, 0);"));
    footerBar->addWidget(lbWarningLine);
    lbExchangeBusy = new BusyLabel(QStringLiteral(":resource/images/wait.gif"), parent);
    lbExchangeBusy->setObjectName(QStringLiteral("lbExchangeBusy"));
    lbExchangeBusy->setFixedSize(32, 32);
    lbExchangeBusy->setScaledContents(true);
    lbExchangeBusy->hide();
    footerBar->addWidget(lbExchangeBusy);
    loProgress = new QHBoxLayout;
    loProgress->setObjectName(QStringLiteral("loProgress"));
    footerBar->addLayout(loProgress);
    static_cast<QVBoxLayout *>(parent->layout())->addLayout(footerBar);
}

void MainWindowForm::takeShortcuts()
{
    page = measureViews;
    stMain = measureViews->stMain;

    pageRecords = viewer;
    leFind = viewer->leFind;
    frTextFields_2 = viewer->frTextFields_2;
    frNewRecord = viewer->frNewRecord;
    frRangesView_2 = viewer->frRangesView_2;
    frMemory_2 = viewer->frMemory_2;
    frEraseRecords = viewer->frEraseRecords;
    frFiles = viewer->frFiles;

    pageTemplates = types;
    tabWheelUzel = types->tabWheelUzel;
    pbTemplatesFromJson = types->pbTemplatesFromJson;
    pbTemplatesSave = types->pbTemplatesSave;
    lbTemplatesNote = types->lbTemplatesNote;

    pageDB = database;
    frDatabaseT = database->frDatabaseT;

    page_Calibr = calibrate;
    frSettingsHead = calibrate->frSettingsHead;
    frAmplifier = calibrate->frAmplifier;
    frAngleCorrection = calibrate->frAngleCorrection;
    frSettingsCalibrateRight = calibrate->frSettingsCalibrateRight;
    frCalFiles = calibrate->frCalFiles;

    pageLevels = parameters;
    frMenuLevels = parameters->frMenuLevels;
    frKeyName = parameters->frKeyName;
    frWiFi = parameters->frWiFi;
    frSetup = parameters->frSetup;
    frOptions = parameters->frOptions;

    pageAbout = about;
    lbAboutText = about->lbAboutText;

    pageLogo = logo;
    lbLogo = logo->lbLogo;
    lbBusy = logo->lbBusy;
    lbBusy2 = logo->lbBusy2;
    teBootInfo = logo->teBootInfo;
    lbBootText = logo->lbBootText;
    lbInitPicture = logo->lbInitPicture;
    lbConnectText = logo->lbConnectText;
    frLogoFooter = logo->frLogoFooter;
    frIpList = logo->frIpList;

    page_menu = mainForm;
    frLevels = mainForm->frLevels;
    tabLevels = mainForm->tabLevels;
    frMainFormControls = mainForm->frMainFormControls;
    lbRotation = mainForm->lbRotation;
    frWarning = mainForm->frWarning;
    lbWarningPicture = mainForm->lbWarningPicture;
    lbWarningText = mainForm->lbWarningText;
    leKeyMessage = mainForm->leKeyMessage;
    pbLockKey = mainForm->pbLockKey;
    pbUnlockKey = mainForm->pbUnlockKey;
    pbSendMessage = mainForm->pbSendMessage;
    pbSelectReport = mainForm->pbSelectReport;
}

MainPage MainWindowForm::mainPage() const
{
    return MainPage(stMainPages->currentIndex());
}

void MainWindowForm::showMainPage(MainPage which)
{
    stMainPages->setCurrentIndex(int(which));
}

SettingsPage MainWindowForm::settingsPage() const
{
    return SettingsPage(swSettings->currentIndex());
}

void MainWindowForm::showSettingsPage(SettingsPage which)
{
    swSettings->setCurrentIndex(int(which));
}

void MainWindowForm::retranslateUi()
{
    pbSettings->setText(tr("Settings"));
    pbSettings->setToolTip(tr("Special key settings"));
    pbSettings->setAccessibleName(tr("Settings"));
    static const char *const captions[settingsPageCount] = {QT_TRANSLATE_NOOP("MainWindowForm", "Viewer"),
                                                            QT_TRANSLATE_NOOP("MainWindowForm", "Types"),
                                                            QT_TRANSLATE_NOOP("MainWindowForm", "Data Base"),
                                                            QT_TRANSLATE_NOOP("MainWindowForm", "Calibrate"),
                                                            QT_TRANSLATE_NOOP("MainWindowForm", "Parameters"),
                                                            QT_TRANSLATE_NOOP("MainWindowForm", "About")};
    const QString master = tr("Master");
    const QString operatorRole = tr("Operator");
    const QString metrolog = tr("Metrolog");
    const QStringList roles[] = {{master, operatorRole}, {master}, {master, operatorRole}, {metrolog}, {master}};
    for (int i = 0; i < leftMenuButtons.size(); ++i) {
        leftMenuButtons[i]->setText(tr(captions[i]));
        leftMenuButtons[i]->setAccessibleName(tr(captions[i]));
    }
    for (int i = 0; i < leftMenuRoleLabels.size(); ++i)
        leftMenuRoleLabels[i]->setText(QStringLiteral("(") + roles[i].join(QStringLiteral(", ")) + QStringLiteral(")"));

    logo->retranslateUi();
    mainForm->retranslateUi();
    viewer->retranslateUi();
    types->retranslateUi();
    about->retranslateUi();
}
