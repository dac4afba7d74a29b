#include "DfuRoot.h"
#include "HttpStub.h"

#include "base/Paths.h"
#include "base/SettingsFile.h"
#include "base/cGlobalData.h"
#include "ui/firmware/FirmwarePage.h"
#include "ui/frame/MainWindow.h"
#include "ui/popups/PopupHost.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QtTest>

#include <memory>

namespace {
const QByteArray kImage = QByteArray("IMAGE").repeated(400);
}

class TstFirmwarePage : public QObject
{
    Q_OBJECT

    template <typename T> static T *child(QObject *parent, const char *name)
    {
        T *w = parent->findChild<T *>(QLatin1String(name));
        if (!w)
            qWarning("no child %s", name);
        return w;
    }
    static QString status(QObject *page) { return child<QLabel>(page, "lbFirmwareStatus")->text(); }

private slots:
    void initTestCase() { MainWindow::initResources(); }

    void pageSearchesWhileShownAndFlashes()
    {
        DfuRoot root;
        QVERIFY(root.install());
        root.setMode("device");
        HttpStub server;
        server.serveImage(kImage);
        FirmwareUpdater::Options o;
        o.dfuDir = root.dfuDir();
        o.serverBase = server.base();
        o.researchDelayMs = 100;

        QStackedWidget stack;
        auto *other = new QWidget(&stack);
        stack.addWidget(other);
        auto *page = new FirmwarePage(o, nullptr, &stack);
        stack.addWidget(page);
        stack.show();
        QVERIFY(QTest::qWaitForWindowExposed(&stack));
        auto *flash = child<QPushButton>(page, "pbFlashFirmware");
        QVERIFY(!flash->isVisible());

        stack.setCurrentWidget(page);
        QTRY_VERIFY_WITH_TIMEOUT(flash->isVisible() && flash->isEnabled(), 10000);
        QCOMPARE(status(page), QStringLiteral("Key was found!"));
        QCOMPARE(flash->accessibleName(), flash->text());

        QTest::mouseClick(flash, Qt::LeftButton);
        QVERIFY(!flash->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(status(page), QStringLiteral("Flash finished OK!"), 15000);
        auto *log = child<QPlainTextEdit>(page, "teFirmwareLog");
        QVERIFY(log->toPlainText().contains("Verify successful !"));
        QVERIFY(!child<QProgressBar>(page, "pbFirmwareProgress")->isVisible());
        QVERIFY(!QFile::exists(root.image()));

        // Left: the key is no longer looked for.
        root.setMode("nodevice");
        stack.setCurrentWidget(other);
        QVERIFY(page->updater()->recheckStopped());
        QTest::qWait(400);
        QVERIFY(!page->updater()->researchPending());
        QCOMPARE(page->updater()->state(), FirmwareUpdater::State::Idle);
        // One image and the checksum beside it, fetched once.
        QCOMPARE(server.paths,
                 (QList<QByteArray>{"/download/firmware/vx.txt", "/download/firmware/vx.txt.sha256"}));
    }

    // The window: the page is reached without a key, stays in view when the key goes, and
    // neither leaving it nor closing the program stops a running download unasked.
    void windowAsksBeforeLeavingARunningUpdate()
    {
        DfuRoot root;
        QVERIFY(root.install());
        root.setMode("device");
        HttpStub server;
        server.setReply({QByteArray(), true, false}); // a download that never ends
        Paths::setDataRoot(root.tmp.path());
        cGlobalData data;
        data.firmwareServer = server.base();
        auto window = std::make_unique<MainWindow>(nullptr, &data);
        window->show();
        QPushButton *open = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((open = window->findChild<QPushButton *>("pbOpenFirmware")) && open->isVisible(),
                                 5000);
        QCOMPARE(open->accessibleName(), QStringLiteral("Firmware update"));

        QTest::mouseClick(open, Qt::LeftButton);
        auto *pages = window->form()->stMainPages;
        auto *settings = window->form()->swSettings;
        QCOMPARE(pages->currentIndex(), 1);
        QCOMPARE(settings->currentWidget()->objectName(), QStringLiteral("pageAbout"));
        auto *page = child<FirmwarePage>(window.get(), "firmwarePage");
        QVERIFY(page->isVisible());
        auto *flash = child<QPushButton>(page, "pbFlashFirmware");
        QTRY_VERIFY_WITH_TIMEOUT(flash->isVisible() && flash->isEnabled(), 10000);

        window->ShowNoKeyState(); // the no-key scan may run meanwhile: it must not take the page away
        QCOMPARE(pages->currentIndex(), 1);

        QTest::mouseClick(flash, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(page->updater()->isBusy(), 10000);
        QTRY_VERIFY(child<QProgressBar>(page, "pbFirmwareProgress")->isVisible());

        // Leaving asks; "No" stays.
        QPushButton *dataBase = window->form()->leftMenuButtons[2];
        QTest::mouseClick(dataBase, Qt::LeftButton);
        PopupQ *question = window->popups()->question();
        QTRY_VERIFY(question->isVisible());
        QVERIFY(question->text().contains("download"));
        QCOMPARE(settings->currentWidget(), window->form()->pageAbout);
        QVERIFY(!dataBase->isChecked());
        QTest::mouseClick(question->noButton(), Qt::LeftButton);
        QVERIFY(page->updater()->isBusy());

        // Closing asks too.
        QVERIFY(!window->close());
        QTRY_VERIFY(question->isVisible());
        QTest::mouseClick(question->noButton(), Qt::LeftButton);
        QVERIFY(window->isVisible());

        // "Yes" stops the download and goes where the user wanted.
        QTest::mouseClick(dataBase, Qt::LeftButton);
        QTRY_VERIFY(question->isVisible());
        QTest::mouseClick(question->yesButton(), Qt::LeftButton);
        QCOMPARE(settings->currentWidget(), window->form()->pageDB);
        QVERIFY(!page->updater()->isBusy());
        QCOMPARE(status(page), QStringLiteral("Can't download firmware!"));
        QVERIFY(!QFile::exists(root.image()));

        // Opened without a key, Back returns to the no-key page.
        QTest::mouseClick(window->form()->pbSettings, Qt::LeftButton);
        QCOMPARE(pages->currentIndex(), 2);
        window.reset();
        Paths::setDataRoot(QString());
    }

    // The search shows while it runs, and the server address is the About page's to set: kept
    // in settings.ini, used for the download, and overridden by --firmware-server.
    void searchIsShownAndServerIsSetOnThePage()
    {
        DfuRoot root;
        QVERIFY(root.install());
        root.setMode("nodevice");
        HttpStub server;
        server.serveImage(kImage);
        Paths::setDataRoot(root.tmp.path());
        AppSettings stored;
        stored.firmwareServer = QStringLiteral("http://127.0.0.1:1/stored");
        QVERIFY(SettingsFile::save(Paths::settingsIni(), stored));
        cGlobalData data;
        auto window = std::make_unique<MainWindow>(nullptr, &data);
        window->show();
        QPushButton *open = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((open = window->findChild<QPushButton *>("pbOpenFirmware")) && open->isVisible(),
                                 5000);
        QTest::mouseClick(open, Qt::LeftButton);
        auto *page = child<FirmwarePage>(window.get(), "firmwarePage");
        auto *log = child<QPlainTextEdit>(page, "teFirmwareLog");
        QTRY_VERIFY_WITH_TIMEOUT(log->placeholderText().contains(QStringLiteral("Last search at")), 10000);
        QVERIFY(log->placeholderText().startsWith(QStringLiteral("Looking for a key in DFU mode")));
        QVERIFY(log->toPlainText().isEmpty());

        auto *field = child<QLineEdit>(page, "leFirmwareServer");
        auto *apply = child<QPushButton>(page, "pbFirmwareServerApply");
        QVERIFY(field && apply);
        QCOMPARE(field->text(), stored.firmwareServer);
        QVERIFY(!field->accessibleName().isEmpty());
        field->setText(QStringLiteral("ftp://127.0.0.1/x"));
        QTest::mouseClick(apply, Qt::LeftButton);
        QVERIFY(child<QLabel>(page, "lbFirmwareServerNote")->text().contains(QStringLiteral("Not a server address")));
        AppSettings back;
        QCOMPARE(SettingsFile::load(Paths::settingsIni(), back), SettingsFile::LoadResult::Loaded);
        QCOMPARE(back.firmwareServer, stored.firmwareServer);

        field->setText(server.base());
        QTest::mouseClick(apply, Qt::LeftButton);
        QCOMPARE(SettingsFile::load(Paths::settingsIni(), back), SettingsFile::LoadResult::Loaded);
        QCOMPARE(back.firmwareServer, server.base());
        QCOMPARE(back.pcAddress, stored.pcAddress);
        root.setMode("device");
        auto *flash = child<QPushButton>(page, "pbFlashFirmware");
        QTRY_VERIFY_WITH_TIMEOUT(flash->isVisible() && flash->isEnabled(), 15000);
        QTest::mouseClick(flash, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(status(page), QStringLiteral("Flash finished OK!"), 15000);
        QCOMPARE(server.paths.size(), 2); // the image and its (absent) checksum file
        window.reset();

        // The command line's address wins for its run.
        data.firmwareServer = QStringLiteral("http://127.0.0.1:2/override");
        window = std::make_unique<MainWindow>(nullptr, &data);
        window->show();
        QTRY_VERIFY_WITH_TIMEOUT((page = window->findChild<FirmwarePage *>("firmwarePage")), 5000);
        QCOMPARE(child<QLineEdit>(page, "leFirmwareServer")->text(), data.firmwareServer);
        window.reset();
        Paths::setDataRoot(QString());
    }
};

QTEST_MAIN(TstFirmwarePage)
#include "tst_firmwarepage.moc"
