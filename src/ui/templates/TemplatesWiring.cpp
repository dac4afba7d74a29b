#include "ui/templates/TemplatesWiring.h"

#include "protocol/KeySession.h"

TemplatesPage *installTemplatesPage(const TemplatesPage::Widgets &widgets, KeySession *session, PopupHost *popups,
                                    QObject *owner)
{
    auto *templates = new TemplatesPage(widgets, session->templateLists(), session->files(), session->model(), owner);
    templates->setObjectName(QStringLiteral("templatesPage"));
    templates->setPopups(popups);
    return templates;
}
