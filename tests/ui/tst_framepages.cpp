// The frame and its pages: what the user sees of a failed settings save and of a read-out,
// and the pages in their stacks under the names the rest of the program looks up.
#include "base/Paths.h"
#include "base/cGlobalData.h"
#include "protocol/KeyProtocol.h"
#include "protocol/KeySession.h"
#include "ui/frame/MainWindow.h"
#include "ui/frame/WifiController.h"
#include "ui/popups/PopupHost.h"
#include "ui/popups/PopupMsg.h"
#include "ui/widgets/BusyLabel.h"
#include "ui/widgets/cParameter.h"

#include <QFile>
#include <QLabel>
#include <QListWidgetItem>
#include <QMovie>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString kSettingsWarning = QStringLiteral("Warning! File 'settings.ini' can't create!");
}

class TstFramePages : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    cGlobalData m_data;
    MainWindow *m_window = nullptr;

    PopupMsg *message() { return m_window->popups()->message(); }
    bool warningShown() { return message()->isVisible() && message()->text() == kSettingsWarning; }
    void acknowledge()
    {
        auto *button = message()->findChild<QPushButton *>(QStringLiteral("pbButton"));
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
    }

private slots:
    void initTestCase()
    {
        // A file where the settings folder belongs: settings.ini can be neither read nor made.
        QFile blocker(m_root.filePath(QStringLiteral("settings")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        Paths::setDataRoot(m_root.path());
        m_window = new MainWindow(nullptr, &m_data);
        m_window->show();
        QTRY_VERIFY_WITH_TIMEOUT(m_window->findChild<QWidget *>(QStringLiteral("frLogoFooter"))->isVisible(), 3000);
    }

    void cleanupTestCase() { delete m_window; }

    void settingsWarningStaysUntilAcknowledged()
    {
        // Start-up went on to the no-key page, and the first scans have run.
        QVERIFY2(warningShown(), qPrintable(message()->text()));
        // It does not count itself away.
        QVERIFY(!message()->isCounting());
        // Scans without a key keep running; the warning outlives several of them.
        QTest::qWait(3 * td::timing::portScanRearm);
        QVERIFY(warningShown());
        // A key found or lost closes the message window; this message stays.
        m_window->popups()->closeMessage();
        QVERIFY(warningShown());

        // A message shown over it gives way to it again.
        m_window->showMessage(QStringLiteral("Something else"), QStringLiteral("red"));
        QCOMPARE(message()->text(), QStringLiteral("Something else"));
        m_window->popups()->closeMessage();
        QVERIFY(warningShown());

        acknowledge();
        QVERIFY(!message()->isVisible());
        m_window->popups()->closeMessage();
        QVERIFY(!message()->isVisible());
    }

    void failedAddressSaveStaysUntilAcknowledged()
    {
        QVERIFY(!message()->isVisible());
        QSignalSpy closing(m_window->wifiController(), &WifiController::closeRequested);
        QListWidgetItem item(QStringLiteral("192.168.7.20"));
        m_window->wifiController()->iLwIpList_onListDoubleClicked(&item);
        QVERIFY(closing.isEmpty()); // the choice was not saved: the program stays
        QVERIFY(warningShown());
        QTest::qWait(3 * td::timing::portScanRearm);
        m_window->popups()->closeMessage();
        QVERIFY(warningShown());
        acknowledge();
        QVERIFY(!message()->isVisible());
    }

    void exchangeBusyAnimationPlaysWhileShown()
    {
        auto *busy = m_window->findChild<QLabel *>(QStringLiteral("lbExchangeBusy"));
        QVERIFY(busy);
        QVERIFY(busy->isHidden());
        QVERIFY(busy->movie());
        QVERIFY(busy->movie()->isValid());

        emit m_window->session()->protocol()->waitAnimationRequested(true);
        QVERIFY(busy->isVisible());
        QCOMPARE(busy->movie()->state(), QMovie::Running);
        QVERIFY(!busy->movie()->currentPixmap().isNull());

        emit m_window->session()->protocol()->waitAnimationRequested(false);
        QVERIFY(busy->isHidden());
        QCOMPARE(busy->movie()->state(), QMovie::NotRunning);
    }

    void busyLabelAnimatesOnlyWhileShown()
    {
        QWidget host;
        BusyLabel busy(QStringLiteral(":resource/images/wait.gif"), &host);
        QVERIFY(busy.busyMovie());
        QCOMPARE(busy.movie(), busy.busyMovie());
        QCOMPARE(busy.busyMovie()->state(), QMovie::NotRunning);
        host.show();
        QSignalSpy frames(busy.busyMovie(), &QMovie::frameChanged);
        QVERIFY(frames.wait(2000));
        QVERIFY(frames.wait(2000)); // it goes on
        busy.hide();
        QCOMPARE(busy.busyMovie()->state(), QMovie::NotRunning);
        busy.show();
        QCOMPARE(busy.busyMovie()->state(), QMovie::Running);

        // A missing animation leaves an empty label, as a missing picture would.
        BusyLabel none(QStringLiteral(":resource/images/no-such.gif"), &host);
        QVERIFY(!none.busyMovie());
        QVERIFY(!none.movie());
        none.show();
    }

    void pagesSitInTheirStacksUnderTheirNames()
    {
        auto *main = m_window->findChild<QStackedWidget *>(QStringLiteral("stMainPages"));
        auto *settings = m_window->findChild<QStackedWidget *>(QStringLiteral("swSettings"));
        const QStringList mainNames = {"page", "pageSettings", "pageLogo", "page_menu"};
        const QStringList settingsNames = {"pageRecords", "pageTemplates", "pageDB",
                                           "page_Calibr", "pageLevels",    "pageAbout"};
        QCOMPARE(main->count(), mainNames.size());
        for (int i = 0; i < main->count(); ++i)
            QCOMPARE(main->widget(i)->objectName(), mainNames[i]);
        QCOMPARE(settings->count(), settingsNames.size());
        for (int i = 0; i < settings->count(); ++i)
            QCOMPARE(settings->widget(i)->objectName(), settingsNames[i]);
        QCOMPARE(main->widget(int(MainPage::MainForm)), m_window->form()->page_menu);
        QCOMPARE(settings->widget(int(SettingsPage::About)), m_window->form()->pageAbout);

        // Access codes and tests find controls by name: each name is there exactly once, on
        // the page it belongs to.
        const QList<QPair<QString, QStringList>> owned = {
            {"pageRecords",
             {"leFind", "frTextFields_2", "frNewRecord", "frRangesView_2", "frMemory_2", "frEraseRecords", "frFiles"}},
            {"pageTemplates", {"tabWheelUzel", "pbTemplatesFromJson", "pbTemplatesSave", "lbTemplatesNote"}},
            {"pageDB", {"frDatabaseT"}},
            {"page_Calibr", {"frSettingsHead", "frAmplifier", "frAngleCorrection", "frSettingsCalibrateRight", "frCalFiles"}},
            {"pageLevels", {"frMenuLevels", "frKeyName", "frWiFi", "frSetup", "frOptions"}},
            {"pageAbout", {"lbAboutText"}},
            {"pageLogo",
             {"lbLogo", "lbBusy", "lbBusy2", "teBootInfo", "lbBootText", "lbInitPicture", "lbConnectText",
              "frLogoFooter", "frIpList"}},
            {"page_menu",
             {"frLevels", "tabLevels", "frMainFormControls", "lbRotation", "frWarning", "lbWarningPicture",
              "lbWarningText", "leKeyMessage", "pbLockKey", "pbUnlockKey", "pbSendMessage", "pbSelectReport"}},
            {"page", {"stMain"}},
        };
        for (const auto &[pageName, names] : owned) {
            auto *page = m_window->findChild<QWidget *>(pageName);
            QVERIFY2(page, qPrintable(pageName));
            for (const QString &name : names) {
                QCOMPARE(m_window->findChildren<QWidget *>(name).size(), 1);
                QVERIFY2(page->isAncestorOf(m_window->findChild<QWidget *>(name)), qPrintable(name));
            }
        }
    }
};

QTEST_MAIN(TstFramePages)
#include "tst_framepages.moc"
