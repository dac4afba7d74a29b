#pragma once

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

// The main window's widget tree: every page and every named container that the subsystems fill.
// Pages owned by later subsystems start as empty named containers with the object names the rest
// of the program looks up.
class MainWindowForm
{
    Q_DECLARE_TR_FUNCTIONS(MainWindowForm)

public:
    void setupUi(QMainWindow *window);
    void retranslateUi();

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

    // Index 0: measurement views.
    QWidget *page = nullptr;
    QStackedWidget *stMain = nullptr;

    // Index 1: settings with the left menu.
    QWidget *pageSettings = nullptr;
    QFrame *frLeftMenu = nullptr;
    QVBoxLayout *loLeftMenu = nullptr;
    QStackedWidget *swSettings = nullptr;
    QList<QPushButton *> leftMenuButtons;
    QList<QLabel *> leftMenuRoleLabels;
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

    // Index 2: logo, boot and no-key screen.
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

    // Index 3: the main form.
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
    QWidget *makeSettingsPage(QWidget *parent, const char *name);
    QFrame *makeFrame(QWidget *parent, const char *name, const QString &title);
};
