#include "ui/settings/SettingsWiring.h"

#include "protocol/KeySession.h"
#include "ui/frame/MainWindow.h"
#include "ui/settings/KeyMessagePanel.h"
#include "ui/settings/KeySettingsPage.h"
#include "ui/settings/ParametersPage.h"

KeySettingsPage *installKeySettings(MainWindow *window)
{
    KeySession *s = window->session();
    auto *host = window->findChild<QWidget *>(QStringLiteral("pageLevels"));
    auto *page = new KeySettingsPage(host, s->model(), s->protocol(), window->popups(), host);
    page->setObjectName(QStringLiteral("keySettingsPage"));
    if (auto *parameters = qobject_cast<ParametersPage *>(host))
        parameters->addFullWidthRow(page);
    QObject::connect(window, &MainWindow::settingsPageRequested, page, &KeySettingsPage::readFromKey);

    auto *panel = new KeyMessagePanel(window, s->protocol(), window);
    panel->setObjectName(QStringLiteral("keyMessagePanel"));
    return page;
}
