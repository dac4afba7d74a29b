#include "ui/reports/ReportsWiring.h"

#include "protocol/KeySession.h"
#include "reports/ReportIdentity.h"
#include "ui/reports/ReportActions.h"
#include "ui/reports/ReportButtons.h"

ReportsRoom installReports(KeySession *session, PopupHost *popups, QWidget *controls, QObject *owner)
{
    ReportsRoom room;
    auto *actions = new ReportActions(owner);
    actions->setObjectName(QStringLiteral("reportActions"));
    actions->setPopups(popups);
    if (session) {
        actions->setTemplateLists(session->templateLists());
        ReportIdentity::keepUpdated(session->model(), session->menuLevels());
    }
    room.actions = actions;
    room.buttons = new ReportButtons(actions, controls);
    room.buttons->setObjectName(QStringLiteral("reportButtons"));
    return room;
}
