#include "ui/frame/MainWindowForm.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

QLabel *makeLabel(QWidget *parent, const char *name, int pointSize = 0)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    if (pointSize > 0) {
        QFont f = label->font();
        f.setPointSize(pointSize);
        label->setFont(f);
    }
    return label;
}

QPushButton *makeButton(QWidget *parent, const char *name, int minHeight = 56)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setMinimumHeight(minHeight);
    return button;
}

const char *kLeftMenuStyle =
    "QPushButton {background-color: rgb(235, 235, 235); color: rgb(30, 30, 30); border: 1px solid "
    "rgb(190, 190, 190); border-radius: 6px; text-align: left; padding-left: 10px;}"
    "QPushButton:checked {background-color: rgb(90, 140, 200); color: rgb(255, 255, 255);}"
    "QPushButton:pressed {background-color: rgb(200, 210, 225);}";

const char *kHeaderButtonStyle =
    "QPushButton {background-color: rgb(90, 140, 200); color: rgb(255, 255, 255); border-radius: 6px;"
    " padding: 0 18px;} QPushButton:pressed {background-color: rgb(70, 110, 170);}"
    " QPushButton:disabled {background-color: rgb(190, 200, 215); color: rgb(235, 238, 242);}";

const char *kSelectGreenStyle =
    "QPushButton {background-color: rgb(100, 180, 100); color: rgb(255, 255, 255); border-width: 2px; "
    "border-radius: 5px; }             QPushButton:pressed {background-color: rgb(150, 200, 150);}";

} // namespace

QFrame *MainWindowForm::makeFrame(QWidget *parent, const char *name, const QString &title)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(QLatin1String(name));
    frame->setFrameShape(QFrame::StyledPanel);
    auto *layout = new QVBoxLayout(frame);
    layout->setContentsMargins(8, 8, 8, 8);
    if (!title.isEmpty()) {
        auto *heading = new QLabel(title, frame);
        heading->setObjectName(QLatin1String(name) + QStringLiteral("_title"));
        QFont f = heading->font();
        f.setPointSize(12);
        f.setBold(true);
        heading->setFont(f);
        layout->addWidget(heading);
    }
    return frame;
}

QWidget *MainWindowForm::makeSettingsPage(QWidget *parent, const char *name)
{
    auto *pageWidget = new QWidget(parent);
    pageWidget->setObjectName(QLatin1String(name));
    auto *layout = new QGridLayout(pageWidget);
    layout->setObjectName(QLatin1String(name) + QStringLiteral("_layout"));
    layout->setContentsMargins(6, 6, 6, 6);
    return pageWidget;
}

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

    // --- header
    frHeader = new QFrame(centralWidget);
    frHeader->setObjectName(QStringLiteral("frHeader"));
    frHeader->setFixedHeight(64);
    auto *header = new QHBoxLayout(frHeader);
    header->setContentsMargins(4, 2, 4, 2);
    lbStatusIcon1 = makeLabel(frHeader, "lbStatusIcon1");
    lbStatusIcon2 = makeLabel(frHeader, "lbStatusIcon2");
    lbStatusIcon3 = makeLabel(frHeader, "lbStatusIcon3");
    for (QLabel *icon : {lbStatusIcon1, lbStatusIcon2, lbStatusIcon3}) {
        icon->setFixedSize(48, 48);
        icon->setScaledContents(true);
        header->addWidget(icon);
    }
    lbKeyName = makeLabel(frHeader, "lbKeyName", 14);
    lbKeyName->setMinimumWidth(160);
    header->addWidget(lbKeyName, 1);
    loKeyCombo = new QHBoxLayout;
    loKeyCombo->setObjectName(QStringLiteral("loKeyCombo"));
    header->addLayout(loKeyCombo);
    lbWifiLevel = makeLabel(frHeader, "lbWifiLevel");
    lbBattery = makeLabel(frHeader, "lbBattery");
    for (QLabel *icon : {lbWifiLevel, lbBattery}) {
        icon->setFixedSize(48, 48);
        icon->setScaledContents(true);
        header->addWidget(icon);
    }
    pbSettings = makeButton(frHeader, "pbSettings", 52);
    pbSettings->setMinimumWidth(150);
    pbSettings->setStyleSheet(QLatin1String(kHeaderButtonStyle));
    header->addWidget(pbSettings);
    root->addWidget(frHeader);

    stMainPages = new QStackedWidget(centralWidget);
    stMainPages->setObjectName(QStringLiteral("stMainPages"));
    root->addWidget(stMainPages, 1);

    // --- index 0: measurement views
    page = new QWidget(stMainPages);
    page->setObjectName(QStringLiteral("page"));
    auto *pageLayout = new QVBoxLayout(page);
    stMain = new QStackedWidget(page);
    stMain->setObjectName(QStringLiteral("stMain"));
    pageLayout->addWidget(stMain);
    stMainPages->addWidget(page);

    // --- index 1: settings page with the left menu
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

    pageRecords = makeSettingsPage(swSettings, "pageRecords");
    pageTemplates = makeSettingsPage(swSettings, "pageTemplates");
    pageDB = makeSettingsPage(swSettings, "pageDB");
    page_Calibr = makeSettingsPage(swSettings, "page_Calibr");
    pageLevels = makeSettingsPage(swSettings, "pageLevels");
    pageAbout = makeSettingsPage(swSettings, "pageAbout");
    for (QWidget *p : {pageRecords, pageTemplates, pageDB, page_Calibr, pageLevels, pageAbout})
        swSettings->addWidget(p);

    static const char *const menuNames[] = {"pbMenuRecords", "pbMenuTemplates", "pbMenuDB",
                                            "pbMenuCalibrate", "pbMenuLevels", "pbMenuAbout"};
    static const char *const menuIcons[] = {":resource/images/records.png", ":resource/images/templates.png",
                                            ":resource/images/database.png", ":resource/images/calibrate.png",
                                            ":resource/images/menulevels.png", ":resource/images/about.png"};
    for (int i = 0; i < 6; ++i) {
        auto *button = makeButton(frLeftMenu, menuNames[i], 64);
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
        if (i < 5) {
            QLabel *roles = makeLabel(frLeftMenu, "lbMenuRoles", 8);
            roles->setObjectName(QStringLiteral("lbMenuRoles%1").arg(i));
            roles->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
            loLeftMenu->addWidget(roles);
            leftMenuRoleLabels.append(roles);
        }
    }
    loLeftMenu->addStretch(1);
    leftMenuButtons.first()->setChecked(true);
    swSettings->setCurrentIndex(0);

    // Records (viewer) page containers.
    auto *recordsGrid = static_cast<QGridLayout *>(pageRecords->layout());
    frTextFields_2 = makeFrame(pageRecords, "frTextFields_2", QString());
    frNewRecord = makeFrame(pageRecords, "frNewRecord", QString());
    frRangesView_2 = makeFrame(pageRecords, "frRangesView_2", QString());
    frMemory_2 = makeFrame(pageRecords, "frMemory_2", QString());
    frEraseRecords = makeFrame(pageRecords, "frEraseRecords", QString());
    frFiles = makeFrame(pageRecords, "frFiles", QString());
    leFind = new QLineEdit(pageRecords);
    leFind->setObjectName(QStringLiteral("leFind"));
    leFind->setMinimumHeight(40);
    recordsGrid->addWidget(leFind, 0, 0, 1, 2);
    recordsGrid->addWidget(frTextFields_2, 1, 0);
    recordsGrid->addWidget(frRangesView_2, 1, 1);
    recordsGrid->addWidget(frNewRecord, 2, 0);
    recordsGrid->addWidget(frMemory_2, 2, 1);
    recordsGrid->addWidget(frEraseRecords, 3, 0, 1, 2);
    recordsGrid->addWidget(frFiles, 4, 0, 1, 2);
    recordsGrid->setRowStretch(2, 1);
    recordsGrid->setColumnStretch(0, 4);
    recordsGrid->setColumnStretch(1, 5);
    frFiles->hide();

    // Templates page.
    auto *templatesGrid = static_cast<QGridLayout *>(pageTemplates->layout());
    tabWheelUzel = new QTabWidget(pageTemplates);
    tabWheelUzel->setObjectName(QStringLiteral("tabWheelUzel"));
    templatesGrid->addWidget(tabWheelUzel, 0, 0, 1, 3);
    pbTemplatesFromJson = makeButton(pageTemplates, "pbTemplatesFromJson");
    pbTemplatesSave = makeButton(pageTemplates, "pbTemplatesSave");
    templatesGrid->addWidget(pbTemplatesFromJson, 1, 1);
    templatesGrid->addWidget(pbTemplatesSave, 1, 2);
    templatesGrid->setRowStretch(0, 1);

    // Data base page.
    frDatabaseT = makeFrame(pageDB, "frDatabaseT", QString());
    static_cast<QGridLayout *>(pageDB->layout())->addWidget(frDatabaseT, 0, 0);

    // Calibration page.
    auto *calGrid = static_cast<QGridLayout *>(page_Calibr->layout());
    frSettingsHead = makeFrame(page_Calibr, "frSettingsHead", QString());
    frAmplifier = makeFrame(page_Calibr, "frAmplifier", QString());
    frAngleCorrection = makeFrame(page_Calibr, "frAngleCorrection", QString());
    frSettingsCalibrateRight = makeFrame(page_Calibr, "frSettingsCalibrateRight", QString());
    frCalFiles = makeFrame(page_Calibr, "frCalFiles", QString());
    calGrid->addWidget(frSettingsHead, 0, 0, 1, 2);
    calGrid->addWidget(frAmplifier, 1, 0);
    calGrid->addWidget(frAngleCorrection, 2, 0);
    calGrid->addWidget(frSettingsCalibrateRight, 1, 1, 2, 1);
    calGrid->addWidget(frCalFiles, 3, 0, 1, 2);

    // Parameters page.
    auto *levelsGrid = static_cast<QGridLayout *>(pageLevels->layout());
    frMenuLevels = makeFrame(pageLevels, "frMenuLevels", QString());
    frKeyName = makeFrame(pageLevels, "frKeyName", QString());
    frWiFi = makeFrame(pageLevels, "frWiFi", QString());
    frSetup = makeFrame(pageLevels, "frSetup", QString());
    frOptions = makeFrame(pageLevels, "frOptions", QString());
    levelsGrid->addWidget(frMenuLevels, 0, 0, 2, 1);
    levelsGrid->addWidget(frKeyName, 0, 1);
    levelsGrid->addWidget(frWiFi, 1, 1);
    levelsGrid->addWidget(frSetup, 2, 0);
    levelsGrid->addWidget(frOptions, 2, 1);
    frOptions->hide();

    // About page.
    lbAboutText = makeLabel(pageAbout, "lbAboutText", 14);
    lbAboutText->setWordWrap(true);
    lbAboutText->setAlignment(Qt::AlignCenter);
    static_cast<QGridLayout *>(pageAbout->layout())->addWidget(lbAboutText, 0, 0);

    stMainPages->addWidget(pageSettings);

    // --- index 2: logo, boot and no-key screen
    pageLogo = new QWidget(stMainPages);
    pageLogo->setObjectName(QStringLiteral("pageLogo"));
    auto *logoLayout = new QVBoxLayout(pageLogo);
    logoLayout->addStretch(1);
    lbLogo = makeLabel(pageLogo, "lbLogo");
    lbLogo->setAlignment(Qt::AlignCenter);
    logoLayout->addWidget(lbLogo);
    lbBusy = makeLabel(pageLogo, "lbBusy");
    lbBusy->setAlignment(Qt::AlignCenter);
    logoLayout->addWidget(lbBusy);
    lbBusy2 = makeLabel(pageLogo, "lbBusy2");
    lbBusy2->setAlignment(Qt::AlignCenter);
    lbBusy2->hide();
    logoLayout->addWidget(lbBusy2);
    lbBootText = makeLabel(pageLogo, "lbBootText", 14);
    lbBootText->setAlignment(Qt::AlignCenter);
    lbBootText->setWordWrap(true);
    logoLayout->addWidget(lbBootText);
    teBootInfo = new QTextEdit(pageLogo);
    teBootInfo->setObjectName(QStringLiteral("teBootInfo"));
    teBootInfo->setFixedSize(370, 590);
    QFont small = teBootInfo->font();
    small.setPointSize(8);
    teBootInfo->setFont(small);
    teBootInfo->hide();
    logoLayout->addWidget(teBootInfo, 0, Qt::AlignCenter);
    frIpList = new QFrame(pageLogo);
    frIpList->setObjectName(QStringLiteral("frIpList"));
    new QVBoxLayout(frIpList);
    frIpList->hide();
    logoLayout->addWidget(frIpList, 0, Qt::AlignCenter);
    frLogoFooter = new QFrame(pageLogo);
    frLogoFooter->setObjectName(QStringLiteral("frLogoFooter"));
    auto *footer = new QVBoxLayout(frLogoFooter);
    lbInitPicture = makeLabel(frLogoFooter, "lbInitPicture");
    lbInitPicture->setAlignment(Qt::AlignCenter);
    footer->addWidget(lbInitPicture);
    lbConnectText = makeLabel(frLogoFooter, "lbConnectText", 16);
    lbConnectText->setAlignment(Qt::AlignCenter);
    lbConnectText->setWordWrap(true);
    footer->addWidget(lbConnectText);
    frLogoFooter->hide();
    logoLayout->addWidget(frLogoFooter);
    logoLayout->addStretch(1);
    stMainPages->addWidget(pageLogo);

    // --- index 3: the main form
    page_menu = new QWidget(stMainPages);
    page_menu->setObjectName(QStringLiteral("page_menu"));
    auto *menuLayout = new QVBoxLayout(page_menu);
    menuLayout->setContentsMargins(0, 0, 0, 0);
    frLevels = new QFrame(page_menu);
    frLevels->setObjectName(QStringLiteral("frLevels"));
    auto *levelsLayout = new QVBoxLayout(frLevels);
    levelsLayout->setContentsMargins(0, 0, 0, 0);
    tabLevels = new QTabWidget(frLevels);
    tabLevels->setObjectName(QStringLiteral("tabLevels"));
    for (int i = 0; i < 5; ++i) {
        auto *tab = new QWidget(tabLevels);
        tab->setObjectName(QStringLiteral("tabLevel%1").arg(i));
        new QGridLayout(tab);
        tabLevels->addTab(tab, QString());
    }
    levelsLayout->addWidget(tabLevels);
    menuLayout->addWidget(frLevels, 1);

    frMainFormControls = new QFrame(page_menu);
    frMainFormControls->setObjectName(QStringLiteral("frMainFormControls"));
    auto *controls = new QHBoxLayout(frMainFormControls);
    controls->setContentsMargins(0, 0, 0, 0);
    lbRotation = makeLabel(frMainFormControls, "lbRotation");
    lbRotation->setFixedSize(64, 64);
    lbRotation->setScaledContents(true);
    controls->addWidget(lbRotation);
    frWarning = new QFrame(frMainFormControls);
    frWarning->setObjectName(QStringLiteral("frWarning"));
    auto *warning = new QHBoxLayout(frWarning);
    lbWarningPicture = makeLabel(frWarning, "lbWarningPicture");
    lbWarningPicture->setFixedSize(48, 48);
    lbWarningPicture->setScaledContents(true);
    lbWarningText = makeLabel(frWarning, "lbWarningText", 11);
    lbWarningText->setWordWrap(true);
    warning->addWidget(lbWarningPicture);
    warning->addWidget(lbWarningText, 1);
    frWarning->hide();
    controls->addWidget(frWarning, 1);
    leKeyMessage = new QLineEdit(frMainFormControls);
    leKeyMessage->setObjectName(QStringLiteral("leKeyMessage"));
    leKeyMessage->setMinimumHeight(48);
    leKeyMessage->setMinimumWidth(220);
    QFont msgFont = leKeyMessage->font();
    msgFont.setPointSize(14);
    leKeyMessage->setFont(msgFont);
    controls->addWidget(leKeyMessage, 1);
    pbLockKey = makeButton(frMainFormControls, "pbLockKey");
    pbUnlockKey = makeButton(frMainFormControls, "pbUnlockKey");
    pbSendMessage = makeButton(frMainFormControls, "pbSendMessage");
    pbLockKey->setIcon(QIcon(QStringLiteral(":resource/images/lock.png")));
    pbUnlockKey->setIcon(QIcon(QStringLiteral(":resource/images/unlock.png")));
    pbSendMessage->setIcon(QIcon(QStringLiteral(":resource/images/message1.png")));
    for (QPushButton *b : {pbLockKey, pbUnlockKey, pbSendMessage}) {
        b->setFixedSize(56, 56);
        b->setIconSize(QSize(40, 40));
        controls->addWidget(b);
    }
    pbSelectReport = makeButton(frMainFormControls, "pbSelectReport");
    pbSelectReport->setCheckable(true);
    pbSelectReport->setMinimumWidth(140);
    pbSelectReport->setStyleSheet(QLatin1String(kSelectGreenStyle));
    controls->addWidget(pbSelectReport);
    menuLayout->addWidget(frMainFormControls);
    stMainPages->addWidget(page_menu);

    // --- footer: status line and exchange progress
    auto *footerBar = new QHBoxLayout;
    lbStatusLine = makeLabel(centralWidget, "lbStatusLine", 10);
    lbStatusLine->setMinimumHeight(24);
    footerBar->addWidget(lbStatusLine, 1);
    lbWarningLine = makeLabel(centralWidget, "lbWarningLine", 10);
    lbWarningLine->setStyleSheet(QStringLiteral("color: rgb(200, 0, 0);"));
    footerBar->addWidget(lbWarningLine);
    lbExchangeBusy = makeLabel(centralWidget, "lbExchangeBusy");
    lbExchangeBusy->setFixedSize(32, 32);
    lbExchangeBusy->setScaledContents(true);
    lbExchangeBusy->hide();
    footerBar->addWidget(lbExchangeBusy);
    loProgress = new QHBoxLayout;
    loProgress->setObjectName(QStringLiteral("loProgress"));
    footerBar->addLayout(loProgress);
    root->addLayout(footerBar);

    window->setCentralWidget(centralWidget);
    retranslateUi();
}

void MainWindowForm::retranslateUi()
{
    pbSettings->setText(tr("Settings"));
    pbSettings->setToolTip(tr("Special key settings"));
    static const char *const captions[] = {QT_TRANSLATE_NOOP("MainWindowForm", "Viewer"),
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

    leFind->setPlaceholderText(tr("Type text for find"));
    leFind->setAccessibleName(tr("Type text for find"));
    pbTemplatesFromJson->setText(tr("From JSON"));
    pbTemplatesFromJson->setAccessibleName(tr("From JSON"));
    pbTemplatesSave->setText(tr("Save"));
    pbTemplatesSave->setAccessibleName(tr("Save"));
    leKeyMessage->setPlaceholderText(tr("Type text here"));
    leKeyMessage->setAccessibleName(tr("Message"));
    pbLockKey->setToolTip(tr("Lock key"));
    pbLockKey->setAccessibleName(tr("Lock key"));
    pbUnlockKey->setToolTip(tr("Unlock key"));
    pbUnlockKey->setAccessibleName(tr("Unlock key"));
    pbSendMessage->setToolTip(tr("Send text message to key"));
    pbSendMessage->setAccessibleName(tr("Send text message to key"));
    pbSelectReport->setText(tr("Select"));
    pbSelectReport->setToolTip(tr("Select elements for make report"));
    pbSelectReport->setAccessibleName(tr("Select"));
    pbSettings->setAccessibleName(tr("Settings"));
    lbBootText->setText(tr("The boot process. Preparing the equipment for work. Please wait ..."));
    lbAboutText->setText(tr("TorqueDesk\nDesktop companion of the dynamometric key"));
    for (int i = 0; i < tabLevels->count(); ++i)
        tabLevels->setTabText(i, i < 4 ? tr("Level %1").arg(i + 1) : tr("Report"));
}
