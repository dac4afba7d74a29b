#include "ui/frame/AccessCodes.h"
#include "ui/frame/MainWindow.h"
#include "base/Paths.h"
#include "ui/frame/StatusLine.h"
#include "base/cGlobalData.h"
#include "protocol/KeyConnection.h"
#include "protocol/KeyProtocol.h"
#include "protocol/KeySession.h"

#include <QAccessible>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QScreen>
#include <QTranslator>
#include <QtTest>

#include <memory>

class TstMainWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_root;
    cGlobalData m_data;
    MainWindow *m_window = nullptr;

    QWidget *find(const char *name) { return m_window->findChild<QWidget *>(QLatin1String(name)); }
    QStackedWidget *pages() { return m_window->findChild<QStackedWidget *>(QStringLiteral("stMainPages")); }
    QPushButton *settingsButton() { return m_window->findChild<QPushButton *>(QStringLiteral("pbSettings")); }

    void pressSettingsWithCode(const QString &code)
    {
        auto *message = m_window->findChild<QLineEdit *>(QStringLiteral("leKeyMessage"));
        QVERIFY(message);
        message->setText(code);
        QTest::mouseClick(settingsButton(), Qt::LeftButton);
    }

    // Enabled state of every control an access code can unlock.
    QStringList enabledGuarded()
    {
        QStringList on;
        for (const QString &name : AccessCodes::guardedObjects()) {
            QWidget *w = m_window->findChild<QWidget *>(name);
            if (w && w->isEnabled() && !w->isHidden())
                on << name;
        }
        on.sort();
        return on;
    }

private slots:
    void initTestCase()
    {
        Paths::setDataRoot(m_root.path());
        m_window = new MainWindow(nullptr, &m_data);
        m_window->show();
        QCOMPARE(pages()->currentIndex(), 2); // boot screen
        // InitGraphics runs 500 ms after construction and, without a key, shows the no-key page.
        QTRY_VERIFY_WITH_TIMEOUT(find("frLogoFooter")->isVisible(), 3000);
    }

    void cleanupTestCase() { delete m_window; }

    void firstStartWritesDefaultSettings()
    {
        QVERIFY(QFile::exists(Paths::settingsIni()));
        QCOMPARE(m_data.pcAddress, QStringLiteral("127.0.0.1"));
    }

    void settingsDoesNothingWithoutAKey()
    {
        QCOMPARE(pages()->currentIndex(), 2);
        QTest::mouseClick(settingsButton(), Qt::LeftButton);
        QCOMPARE(pages()->currentIndex(), 2);
        QCOMPARE(settingsButton()->text(), QStringLiteral("Settings"));
    }

    void accessCodesUnlockTheirSetOnly()
    {
        m_window->slot_TmrOpenMainForm();
        QCOMPARE(pages()->currentIndex(), 3);

        pressSettingsWithCode(QStringLiteral("493"));
        QCOMPARE(pages()->currentIndex(), 1);
        QCOMPARE(settingsButton()->text(), QStringLiteral("Back"));
        QStringList calibration = {"frAmplifier", "frAngleCorrection", "frCalFiles", "frSettingsCalibrateRight",
                                   "frSettingsHead"};
        QCOMPARE(enabledGuarded(), calibration);

        QTest::mouseClick(settingsButton(), Qt::LeftButton); // back to the main form
        QCOMPARE(pages()->currentIndex(), 3);
        pressSettingsWithCode(QStringLiteral("5729"));
        // Once it unlocked, the code is not left for the next person at the station to read.
        QCOMPARE(m_window->findChild<QLineEdit *>(QStringLiteral("leKeyMessage"))->text(), QString());
        QStringList master = {"frDatabaseT", "frEraseRecords", "frKeyName", "frMemory_2", "frMenuLevels",
                              "frNewRecord", "frRangesView_2", "frSetup", "frTextFields_2", "frWiFi", "leFind",
                              "pbTemplatesFromJson", "pbTemplatesSave", "tabWheelUzel"};
        QCOMPARE(enabledGuarded(), master); // the 493 set is locked again

        QTest::mouseClick(settingsButton(), Qt::LeftButton);
        pressSettingsWithCode(QStringLiteral("9417"));
        QStringList fitter = {"frEraseRecords", "frMemory_2", "frNewRecord", "frTextFields_2"};
        QCOMPARE(enabledGuarded(), fitter);

        QTest::mouseClick(settingsButton(), Qt::LeftButton);
        pressSettingsWithCode(QStringLiteral("00493700"));
        QVERIFY(!find("frOptions")->isHidden());
        QVERIFY(!find("frFiles")->isHidden());

        QTest::mouseClick(settingsButton(), Qt::LeftButton);
        pressSettingsWithCode(QStringLiteral("5729 ")); // trailing space: no code
        QVERIFY(enabledGuarded().isEmpty());
        // No code: a message for the key, kept.
        QCOMPARE(m_window->findChild<QLineEdit *>(QStringLiteral("leKeyMessage"))->text(), QStringLiteral("5729 "));
        QVERIFY(find("frOptions")->isHidden());
        QTest::mouseClick(settingsButton(), Qt::LeftButton);
        QCOMPARE(pages()->currentIndex(), 3);
        QCOMPARE(settingsButton()->text(), QStringLiteral("Settings"));
    }

    void leftMenuChecksOneButton()
    {
        m_window->slot_TmrOpenMainForm();
        QTest::mouseClick(settingsButton(), Qt::LeftButton);
        auto *sw = m_window->findChild<QStackedWidget *>(QStringLiteral("swSettings"));
        const auto buttons = m_window->form()->leftMenuButtons;
        QCOMPARE(buttons.size(), 6);
        QTest::mouseClick(buttons[2], Qt::LeftButton); // Data Base
        QCOMPARE(sw->currentWidget()->objectName(), QStringLiteral("pageDB"));
        for (int i = 0; i < buttons.size(); ++i)
            QCOMPARE(buttons[i]->isChecked(), i == 2);
        QTest::mouseClick(buttons[5], Qt::LeftButton);
        QCOMPARE(sw->currentWidget()->objectName(), QStringLiteral("pageAbout"));
        QVERIFY(!buttons[2]->isChecked());
        QTest::mouseClick(buttons[5], Qt::LeftButton); // a second click keeps it checked
        QVERIFY(buttons[5]->isChecked());
        QTest::mouseClick(settingsButton(), Qt::LeftButton);
    }

    // Each page that may hold a leave is asked, in turn, whatever other page added one before
    // it (the firmware page's is first); the first that holds keeps the page in view.
    void everyLeaveGuardIsAsked()
    {
        m_window->slot_TmrOpenMainForm();
        QTest::mouseClick(settingsButton(), Qt::LeftButton);
        auto *sw = m_window->findChild<QStackedWidget *>(QStringLiteral("swSettings"));
        const auto buttons = m_window->form()->leftMenuButtons;
        QTest::mouseClick(buttons[0], Qt::LeftButton);
        auto held = std::make_shared<bool>(true);
        auto asked = std::make_shared<QStringList>();
        m_window->addLeaveGuard([asked](const std::function<void()> &) {
            *asked << QStringLiteral("first");
            return true;
        });
        m_window->addLeaveGuard([asked, held](const std::function<void()> &) {
            *asked << QStringLiteral("second");
            return !*held;
        });

        QTest::mouseClick(buttons[2], Qt::LeftButton);
        QCOMPARE(*asked, QStringList({QStringLiteral("first"), QStringLiteral("second")}));
        QCOMPARE(sw->currentWidget()->objectName(), QStringLiteral("pageRecords"));
        QVERIFY(buttons[0]->isChecked() && !buttons[2]->isChecked());

        *held = false;
        asked->clear();
        QTest::mouseClick(buttons[2], Qt::LeftButton);
        QCOMPARE(asked->size(), 2);
        QCOMPARE(sw->currentWidget()->objectName(), QStringLiteral("pageDB"));
        QTest::mouseClick(settingsButton(), Qt::LeftButton);
        QCOMPARE(pages()->currentIndex(), int(MainPage::MainForm));
    }

    // A screen reader's only action on a checkable button is "Toggle", which clicks nothing.
    void checkableControlsFollowTheirState()
    {
        m_window->slot_TmrOpenMainForm();
        QTest::mouseClick(settingsButton(), Qt::LeftButton);
        auto *sw = m_window->findChild<QStackedWidget *>(QStringLiteral("swSettings"));
        const auto buttons = m_window->form()->leftMenuButtons;
        QAccessibleInterface *parameters = QAccessible::queryAccessibleInterface(buttons[4]);
        QVERIFY(parameters && parameters->actionInterface());
        const QStringList actions = parameters->actionInterface()->actionNames();
        QVERIFY(actions.contains(QAccessibleActionInterface::toggleAction()));
        QVERIFY(!actions.contains(QAccessibleActionInterface::pressAction()));
        parameters->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QCOMPARE(sw->currentWidget()->objectName(), QStringLiteral("pageLevels"));
        for (int i = 0; i < buttons.size(); ++i)
            QCOMPARE(buttons[i]->isChecked(), i == 4);
        // Toggled again it stays: some page is always shown, and it is the one lit.
        parameters->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QVERIFY(buttons[4]->isChecked());
        QCOMPARE(sw->currentWidget()->objectName(), QStringLiteral("pageLevels"));
        buttons[0]->setChecked(true);
        QCOMPARE(sw->currentWidget()->objectName(), QStringLiteral("pageRecords"));
        QVERIFY(!buttons[4]->isChecked());
        QTest::mouseClick(settingsButton(), Qt::LeftButton);

        auto *view = m_window->findChild<QPushButton *>(QStringLiteral("pbMessageView"));
        auto *message = m_window->findChild<QLineEdit *>(QStringLiteral("leKeyMessage"));
        QVERIFY(view && view->isChecked() && !message->isHidden());
        view->toggle();
        QVERIFY(message->isHidden());
        QTest::mouseClick(view, Qt::LeftButton);
        QVERIFY(!message->isHidden() && view->isChecked());
    }

    // The PC address is kept as typed; Apply waits for a sound one and says why beside it.
    void pcAddressIsRefusedNotRewritten()
    {
        m_window->slot_TmrOpenMainForm();
        pressSettingsWithCode(QStringLiteral("5729"));
        QTest::mouseClick(m_window->form()->leftMenuButtons[4], Qt::LeftButton);
        auto *ip = m_window->findChild<QLineEdit *>(QStringLiteral("lePcIp"));
        auto *apply = m_window->findChild<QPushButton *>(QStringLiteral("pbWiFiApply"));
        auto *note = m_window->findChild<QLabel *>(QStringLiteral("lbWifiNote"));
        QVERIFY(ip && apply && note);
        ip->clear();
        QTest::keyClicks(ip, QStringLiteral("300.1.1.1"));
        QCOMPARE(ip->text(), QStringLiteral("300.1.1.1"));
        QVERIFY(!apply->isEnabled());
        QVERIFY2(apply->toolTip().contains(QLatin1String("IP address")), qPrintable(apply->toolTip()));
        QCOMPARE(note->text(), apply->toolTip());
        QVERIFY(note->isVisible());
        // The reason is read whole beside the field, not cut by the frame.
        QTRY_VERIFY2(note->height() >= note->heightForWidth(note->width()),
                     qPrintable(QStringLiteral("%1 high, needs %2").arg(note->height()).arg(note->heightForWidth(note->width()))));
        QTest::mouseClick(settingsButton(), Qt::LeftButton);
    }

    void noKeyStateResetsTheFrame()
    {
        m_window->slot_TmrOpenMainForm();
        m_window->ShowNoKeyState();
        QCOMPARE(pages()->currentIndex(), 2);
        QVERIFY(find("frMainFormControls")->isHidden());
        QVERIFY(find("pbSelectReport")->isHidden());
        auto *text = m_window->findChild<QLabel *>(QStringLiteral("lbConnectText"));
        QCOMPARE(text->text(), QStringLiteral("Try to connect device to PC..."));
    }

    // A key that goes away is said to have gone until a key is found again, and what it last
    // reported (its battery) is not left in the header.
    void lostKeyIsSaidAndItsIconsCleared()
    {
        auto hasPicture = [](const char *name, MainWindow *w) {
            return !w->findChild<QLabel *>(QLatin1String(name))->pixmap(Qt::ReturnByValue).isNull();
        };
        auto *lost = m_window->findChild<QLabel *>(QStringLiteral("lbKeyLost"));
        QVERIFY(lost);
        QVERIFY(lost->isHidden()); // nothing was lost at start
        emit m_window->connection()->keyInUse(KeyConnection::Mode::Usb);
        emit m_window->session()->protocol()->keyStatusReceived(1, 4, 3, 1);
        QVERIFY(hasPicture("lbBattery", m_window));
        emit m_window->connection()->noKey();
        QCOMPARE(pages()->currentIndex(), 2);
        QVERIFY(lost->isVisible());
        QCOMPARE(lost->text(), QStringLiteral("The key was disconnected"));
        QVERIFY(!hasPicture("lbBattery", m_window));
        QVERIFY(!hasPicture("lbRotation", m_window));
        emit m_window->connection()->noKey(); // the scan goes on: the word stays
        QVERIFY(lost->isVisible());
        emit m_window->connection()->keyInUse(KeyConnection::Mode::Usb);
        QVERIFY(lost->isHidden());
        emit m_window->connection()->noKey();
    }

    void statusLineKeepsTheLastMessageForTheHoldTime()
    {
        QLabel label;
        StatusLine line(&label, 150);
        QElapsedTimer clock;
        clock.start();
        line.showMessage(QStringLiteral("first"));
        QTest::qWait(100);
        line.showMessage(QStringLiteral("second"));
        const qint64 secondAt = clock.elapsed();
        QCOMPARE(label.text(), QStringLiteral("second"));
        QTRY_VERIFY_WITH_TIMEOUT(label.text().isEmpty(), 2000);
        // Cleared no earlier than the hold time after the second message, not after the first.
        QVERIFY2(clock.elapsed() - secondAt >= 140, qPrintable(QString::number(clock.elapsed() - secondAt)));

        // A standing state shows between messages and comes back after each.
        line.setStandingText(QStringLiteral("ports held"));
        QCOMPARE(label.text(), QStringLiteral("ports held"));
        line.showMessage(QStringLiteral("third"));
        QCOMPARE(label.text(), QStringLiteral("third"));
        QTRY_COMPARE_WITH_TIMEOUT(label.text(), QStringLiteral("ports held"), 2000);
        line.setStandingText(QString());
        QVERIFY(label.text().isEmpty());
    }

    void windowFitsOnASmallScreen()
    {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(m_window->width() <= area.width());
        QVERIFY(m_window->height() <= area.height());
        QVERIFY(area.contains(m_window->geometry().topLeft()));
    }

    void russianTranslationLoads()
    {
        QTranslator translator;
        QVERIFY(translator.load(QString::fromLocal8Bit(qgetenv("TD_BUILD_DIR")) + QStringLiteral("/language_ru.qm")));
        const QPair<const char *, const char *> samples[] = {
            {"MainWindow", "Try to connect device to PC..."},
            {"MainWindow", "Back to main screen"},
            {"MainWindowForm", "Settings"},
            {"MainWindowForm", "Data Base"},
            {"MainWindowForm", "The boot process. Preparing the equipment for work. Please wait ..."}};
        for (const auto &[context, sample] : samples) {
            const QString ru = translator.translate(context, sample);
            QVERIFY2(!ru.isEmpty() && ru != QLatin1String(sample), sample);
            // Russian text, not a copy of the English.
            QVERIFY2(ru.contains(QRegularExpression(QStringLiteral("[\\x{0400}-\\x{04FF}]"))), sample);
        }
        qApp->installTranslator(&translator);
        QTRY_COMPARE(settingsButton()->text(), translator.translate("MainWindowForm", "Settings"));
        // The Viewer's button deletes the record and must say so; the keypad's "Delete"
        // (of a typed digit) is another text.
        QCOMPARE(m_window->findChild<QPushButton *>(QStringLiteral("pbNewRecordDelete"))->text(),
                 QString::fromUtf8("Удалить"));
        QCOMPARE(translator.translate("PopupA", "Delete"), QString::fromUtf8("Очистить"));
        qApp->removeTranslator(&translator);
        QTRY_COMPARE(settingsButton()->text(), QStringLiteral("Settings"));
    }
};

QTEST_MAIN(TstMainWindow)
#include "tst_mainwindow.moc"
