#include "ui/settings/SettingsWiring.h"

#include "protocol/KeySession.h"
#include "ui/settings/KeySettingsPage.h"
#include "ui/settings/ParametersPage.h"

KeySettingsPage *installKeySettings(KeySession *session, PopupHost *popups, ParametersPage *host,
                                    const KeyMessagePanel::Widgets &message)
{
    auto *page = new KeySettingsPage(host, session->model(), session->protocol(), popups, host);
    page->setObjectName(QStringLiteral("keySettingsPage"));
    host->addFullWidthRow(page);

    auto *panel = new KeyMessagePanel(message, session->protocol(), page);
    panel->setObjectName(QStringLiteral("keyMessagePanel"));
    return page;
}
