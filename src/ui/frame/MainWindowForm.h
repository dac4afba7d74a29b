#pragma once

#include "ui/frame/Pages.h"

#include <QCoreApplication>
#include <QList>

class QFrame;
class QLabel;
class QLineEdit;
class QMainWindow;
class QPushButton;
class QStackedWidget;
class QTabWidget;
class QTextEdit;
class QVBoxLayout;
class QHBoxLayout;
class QWidget;
class AboutPage;
class CalibratePage;
class DatabasePage;
class LogoPage;
class MainFormPage;
class MeasureViewsPage;
class ParametersPage;
class TypesPage;
class ViewerPage;

// The main window's frame: the header, the page stack, the settings page's left menu and the
// footer. Each page is a widget of its own room that builds its own content; the pointers below
// the pages are shortcuts to their named controls for the frame's wiring.
class MainWindowForm
{
    Q_DECLARE_TR_FUNCTIONS(MainWindowForm)

public:
    void setupUi(QMainWindow *window);
    void retranslateUi();

    MainPage mainPage() const;
    void showMainPage(MainPage page);
    SettingsPage settingsPage() const;
    void showSettingsPage(SettingsPage page);

    QWidget *centralWidget = nullptr;

    // Header bar, visible on every page.
    QFrame *frHeader = nullptr;
    QLabel *lbStatusIcon1 = nullptr; // link kind (usb / wifi / null)
    QLabel *lbStatusIcon2 = nullptr; // link logo
    QLabel *lbStatusIcon3 = nullptr; // spare
    QLabel *lbKeyName = nullptr;
    QHBoxLayout *loKeyCombo = nullptr; // the Wi-Fi key combo box goes here
    QLabel *lbBattery = nullptr;
    QLabel *lbWifiLevel = nullptr;
    QPushButton *pbSettings = nullptr;

    QStackedWidget *stMainPages = nullptr;

    // The settings page: left menu and its stack.
    QWidget *pageSettings = nullptr;
    QFrame *frLeftMenu = nullptr;
    QVBoxLayout *loLeftMenu = nullptr;
    QStackedWidget *swSettings = nullptr;
    QList<QPushButton *> leftMenuButtons;
    QList<QLabel *> leftMenuRoleLabels;

    // The pages, by their place in the stacks.
    MeasureViewsPage *measureViews = nullptr; // MainPage::Measures
    LogoPage *logo = nullptr;                 // MainPage::Logo
    MainFormPage *mainForm = nullptr;         // MainPage::MainForm
    ViewerPage *viewer = nullptr;             // SettingsPage::Records
    TypesPage *types = nullptr;               // SettingsPage::Templates
    DatabasePage *database = nullptr;         // SettingsPage::Database
    CalibratePage *calibrate = nullptr;       // SettingsPage::Calibrate
    ParametersPage *parameters = nullptr;     // SettingsPage::Parameters
    AboutPage *about = nullptr;               // SettingsPage::About

    // Shortcuts to the pages and their named controls.
    QWidget *page = nullptr;
    QStackedWidget *stMain = nullptr;
    QWidget *pageRecords = nullptr;
    QWidget *pageTemplates = nullptr;
    QWidget *pageDB = nullptr;
    QWidget *page_Calibr = nullptr;
    QWidget *pageLevels = nullptr;
    QWidget *pageAbout = nullptr;

    // Containers the access codes unlock (filled by their pages).
    QFrame *frTextFields_2 = nullptr;
    QFrame *frNewRecord = nullptr;
    QFrame *frRangesView_2 = nullptr;
    QFrame *frMemory_2 = nullptr;
    QFrame *frEraseRecords = nullptr;
    QFrame *frFiles = nullptr;
    QLineEdit *leFind = nullptr;
    QTabWidget *tabWheelUzel = nullptr;
    QPushButton *pbTemplatesFromJson = nullptr;
    QPushButton *pbTemplatesSave = nullptr;
    QFrame *frDatabaseT = nullptr;
    QFrame *frAmplifier = nullptr;
    QFrame *frAngleCorrection = nullptr;
    QFrame *frSettingsHead = nullptr;
    QFrame *frSettingsCalibrateRight = nullptr;
    QFrame *frCalFiles = nullptr;
    QFrame *frMenuLevels = nullptr;
    QFrame *frKeyName = nullptr;
    QFrame *frWiFi = nullptr;
    QFrame *frSetup = nullptr;
    QFrame *frOptions = nullptr;
    QLabel *lbAboutText = nullptr;
    QLabel *lbTemplatesNote = nullptr;

    // Logo, boot and no-key screen.
    QWidget *pageLogo = nullptr;
    QLabel *lbLogo = nullptr;
    QLabel *lbBusy = nullptr;       // busy animation
    QLabel *lbBusy2 = nullptr;      // second animation, hidden
    QTextEdit *teBootInfo = nullptr; // hidden text box
    QLabel *lbBootText = nullptr;
    QLabel *lbInitPicture = nullptr;
    QLabel *lbConnectText = nullptr;
    QFrame *frLogoFooter = nullptr;
    QFrame *frIpList = nullptr;

    // The main form.
    QWidget *page_menu = nullptr;
    QFrame *frLevels = nullptr;
    QTabWidget *tabLevels = nullptr;
    QFrame *frMainFormControls = nullptr; // hidden on the settings and no-key pages
    QLabel *lbRotation = nullptr;
    QFrame *frWarning = nullptr;
    QLabel *lbWarningPicture = nullptr;
    QLabel *lbWarningText = nullptr;
    QLineEdit *leKeyMessage = nullptr;
    QPushButton *pbLockKey = nullptr;
    QPushButton *pbUnlockKey = nullptr;
    QPushButton *pbSendMessage = nullptr;
    QPushButton *pbSelectReport = nullptr;

    // Footer.
    QLabel *lbStatusLine = nullptr;
    QLabel *lbWarningLine = nullptr;  // battery / signal warnings of the key
    QLabel *lbExchangeBusy = nullptr; // small busy animation while the key is read out
    QHBoxLayout *loProgress = nullptr; // exchange progress widget goes here

private:
    void buildHeader(QWidget *parent);
    void buildSettingsPage();
    void buildFooter(QWidget *parent);
    void takeShortcuts();
};
