// The About page with the firmware update, and the frame's part in it: the update may not be
// left silently, and it must stay reachable and in view while the key is in its DFU mode,
// where it is no serial key.
#include "ui/frame/MainWindow.h"

#include "base/Paths.h"
#include "base/SettingsFile.h"
#include "base/cGlobalData.h"
#include "protocol/KeySession.h"
#include "ui/firmware/FirmwarePage.h"

#include <QGridLayout>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

void MainWindow::buildFirmwarePage()
{
    FirmwareUpdater::Options options;
    options.dfuDir = Paths::dfuDir();
    // --firmware-server wins over the address stored on the page, for this run.
    options.serverBase = m_globalData->firmwareServer.isEmpty() ? m_settings.firmwareServer : m_globalData->firmwareServer;
    auto *firmware = new FirmwarePage(options, m_session->model(), ui.pageAbout);
    firmware->setObjectName(QStringLiteral("firmwarePage"));
    firmware->setPopups(m_popups);
    static_cast<QGridLayout *>(ui.pageAbout->layout())->addWidget(firmware, 1, 0);
    connect(firmware, &FirmwarePage::serverAddressApplied, this, [this, firmware](const QString &address) {
        m_globalData->firmwareServer.clear(); // what the page applies runs from now on
        m_settings.firmwareServer = address;
        // Read again first: the Wi-Fi address in the same file may have changed since start.
        AppSettings stored;
        SettingsFile::load(Paths::settingsIni(), stored);
        stored.firmwareServer = address;
        if (!SettingsFile::save(Paths::settingsIni(), stored))
            showWarning(tr("The firmware server address could not be saved in %1").arg(Paths::settingsIni()),
                        QStringLiteral("red"));
    });
    addLeaveGuard([firmware](const std::function<void()> &proceed) { return firmware->mayLeave(proceed); });
    setKeepSettingsPageProvider([firmware] { return firmware->isVisible(); });

    auto *open = new QPushButton(tr("Firmware update"), ui.frLogoFooter);
    open->setObjectName(QStringLiteral("pbOpenFirmware"));
    open->setAccessibleName(open->text());
    open->setMinimumHeight(48);
    // A secondary way in: outlined, so it does not compete with the search for the key.
    open->setStyleSheet(QStringLiteral(
        "QPushButton {background: transparent; color: rgb(70, 110, 170); border: 2px solid rgb(90, 140, 200);"
        " border-radius: 6px; padding: 0 18px; font-size: 12pt;}"
        " QPushButton:pressed {background: rgb(220, 230, 245);}"));
    auto *footer = static_cast<QVBoxLayout *>(ui.frLogoFooter->layout());
    footer->addWidget(open, 0, Qt::AlignHCenter);
    connect(open, &QPushButton::clicked, this, &MainWindow::openFirmwarePage);
}

void MainWindow::openFirmwarePage()
{
    if (ui.mainPage() != MainPage::Logo)
        return;
    m_settingsWithoutKey = true;
    setMainFormControlsVisible(false);
    ui.showMainPage(MainPage::Settings);
    ui.pbSettings->setText(tr("Back"));
    ui.pbSettings->setToolTip(tr("Back to main screen"));
    ui.pbSettings->setAccessibleName(tr("Back"));
    ui.leftMenuButtons.last()->click();
}
