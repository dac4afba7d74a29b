#pragma once

#include "ui/frame/MainWindowForm.h"
#include "base/SettingsFile.h"

#include "ui/popups/PopupQ.h"

#include <QMainWindow>
#include <functional>
#include <vector>

class ConnectionSupervisor;
class ExchangeProgressWidget;
class FileExchangePanel;
class HistoryWindow;
class KeyConnection;
class KeySession;
class KeyStatusDisplay;
class PopupHost;
class RecordList;
class Station;
class QPushButton;
class QMovie;
class QTimer;
class StatusLine;
class UsbLink;
class WifiController;
class cGlobalData;
class cWifi;
class cParameter;

// The frame: places the pages each room returns and connects them to the frame's own parts
// (the popups, the status line, the page stacks). The services come from the station; the
// frame hands each room the ones it needs. The slots here are the frame's own.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    MainWindow(QWidget *parent, Station *station);
    // A window on a station of its own (tests, benchmarks).
    MainWindow(QWidget *parent, cGlobalData *globalData);
    ~MainWindow() override;

    // The compiled-in pictures and font live in the core library; call once before use.
    static void initResources();
    // The window's own font (Roboto Light from the resources) for the whole application.
    static void useApplicationFont();

    MainWindowForm *form() { return &ui; }
    cGlobalData *globalData() const { return m_globalData; }
    StatusLine *statusLine() const { return m_statusLine; }
    const AppSettings &settings() const { return m_settings; }
    PopupHost *popups() const { return m_popups; }
    // Made by InitGraphics; null before.
    KeyConnection *connection() const { return m_connection; }
    UsbLink *usbLink() const;
    KeySession *session() const { return m_session; }
    ConnectionSupervisor *supervisor() const;
    KeyStatusDisplay *keyStatus() const { return m_keyStatus; }
    cWifi *wifi() const;
    WifiController *wifiController() const { return m_wifiController; }
    Station *station() const { return m_station; }
    RecordList *recordList();
    // The history's own window, once it was opened (null before).
    HistoryWindow *historyWindow() const { return m_historyWindow; }

    // The index of the first menu level whose enabled flag is set (0 until the key says).
    void setFirstActiveLevelProvider(std::function<int()> provider) { m_firstActiveLevel = std::move(provider); }

    // A page that must not be left silently (a firmware flash running) answers whether leaving
    // may go on now; when not, it asks the user itself and runs proceed on yes. Every page's
    // guard is asked, in the order they were added, until one holds the leave.
    using LeaveGuard = std::function<bool(const std::function<void()> &proceed)>;
    void addLeaveGuard(LeaveGuard guard) { m_leaveGuards.push_back(std::move(guard)); }
    bool mayLeave(const std::function<void()> &proceed) const;
    // True while the settings page must stay up when the key goes away: a key switched into its
    // DFU mode leaves the serial link, and its firmware page has to stay in view.
    void setKeepSettingsPageProvider(std::function<bool()> provider) { m_keepSettingsPage = std::move(provider); }

    // Shows or hides the controls that belong to the main form only.
    void setMainFormControlsVisible(bool visible);

public slots:
    void InitGraphics();
    // A left-menu button was checked or unchecked, by a click or by a screen reader's toggle.
    void iBtnLeftMenu_Click(bool checked);
    void iBtnSettings_Click();
    void iBtnClose_Click();
    void slot_iTimerClose();
    void slot_TmrOpenMainForm();
    // No key: the no-key page, scanning again (the link re-arms its scan).
    void ShowNoKeyState();
    void showStatus(const QString &text);
    // The About page with the firmware update, reachable without a key (a key in DFU mode is
    // no serial key); Back returns to the no-key page.
    void openFirmwarePage();
    // The history in its own window; needs no key and leaves this window's page alone.
    void openHistoryWindow();

    // The five ways every part of the program talks to the user.
    void PopupMessageWindow(cParameter *aPar);
    void PopupMessageWindowFormat(cParameter *aPar);
    void PopupMessageWindowNotUSB(cParameter *aPar);
    void PopupWaitWindow();
    void PopupQuestionWindow(cParameter *aPar, iFuncWhenYes aFunc, iFuncWhenYes aFuncNo);
    // A message popup for a plain text in a cParameter colour ("red", ...).
    void showMessage(const QString &text, const QString &style);
    // The same for a failure the user has to see: no count-down, and the key coming or going
    // does not close it; only its button does.
    void showWarning(const QString &text, const QString &style);

private slots:
    void onNoKey();
    void onKeyNamesChanged();
    void onWaitAnimation(bool show);

signals:
    // The settings page was opened from the main form: the key is asked for its settings.
    void settingsPageRequested();
    // The record tabs are to be reset (records page and level tree listen).
    void recordTabsReset();
    // InitGraphics has built every page; later subsystems finish their wiring here.
    void graphicsReady();
    // The first search for the key (the link runs TmrCheckSerialPorts).
    void scanRequested();
    // A message for the user (text, cParameter colour name such as "red").
    void messageRequested(const QString &text, const QString &style);

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildBootScreen();
    void buildKeyLink();
    void buildPages();
    template<class Page> void showMessagesOf(Page *page);
    void buildFirmwarePage();
    void loadSettings();
    void placeOnScreen();
    void setStatusIcons(const QString &a, const QString &b, const QString &c);

    MainWindowForm ui;
    Station *m_station;
    cGlobalData *m_globalData;
    AppSettings m_settings;
    StatusLine *m_statusLine = nullptr;
    QMovie *m_busyMovie = nullptr;
    QMovie *m_rocketMovie = nullptr;
    bool m_graphicsBuilt = false;
    std::function<int()> m_firstActiveLevel;
    std::vector<LeaveGuard> m_leaveGuards;
    std::function<bool()> m_keepSettingsPage;
    bool m_keyInUse = false;           // a key was found and has not been lost since
    bool m_settingsWithoutKey = false; // the settings page was opened from the no-key page
    PopupHost *m_popups = nullptr;
    KeyConnection *m_connection = nullptr;
    KeySession *m_session = nullptr; // the connection's
    KeyStatusDisplay *m_keyStatus = nullptr;
    WifiController *m_wifiController = nullptr;
    ExchangeProgressWidget *m_progress = nullptr;
    FileExchangePanel *m_filePanel = nullptr;
    HistoryWindow *m_historyWindow = nullptr;
    QPushButton *m_historyWindowButton = nullptr; // on the Data Base page
    void retranslateHistoryWindowButton();
};
