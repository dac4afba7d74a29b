#include "ui/templates/TemplatesWiring.h"

#include "protocol/KeySession.h"
#include "ui/frame/MainWindow.h"
#include "ui/frame/MainWindowForm.h"
#include "ui/templates/TemplatesPage.h"

#include <QFrame>

TemplatesPage *installTemplatesPage(MainWindow *window)
{
    KeySession *s = window->session();
    MainWindowForm *ui = window->form();
    TemplatesPage::Widgets w;
    w.tabs = ui->tabWheelUzel;
    w.fromJson = ui->pbTemplatesFromJson;
    w.save = ui->pbTemplatesSave;
    w.note = ui->lbTemplatesNote;
    w.service = ui->frOptions;
    w.rowsWhenIdle = true;
    auto *templates = new TemplatesPage(w, s->templateLists(), s->files(), s->model(), window);
    templates->setObjectName(QStringLiteral("templatesPage"));
    templates->setPopups(window->popups());
    QObject::connect(templates, &TemplatesPage::messageRequested, window, &MainWindow::showMessage);
    QObject::connect(templates, &TemplatesPage::statusMessage, window, &MainWindow::showStatus);
    return templates;
}
