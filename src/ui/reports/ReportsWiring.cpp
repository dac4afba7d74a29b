#include "ui/reports/ReportsWiring.h"

#include "protocol/KeySession.h"
#include "reports/ReportIdentity.h"
#include "ui/frame/MainWindow.h"
#include "ui/records/RecordEditorPage.h"
#include "ui/reports/ReportActions.h"
#include "ui/reports/ReportButtons.h"

#include <QBoxLayout>
#include <QFrame>
#include <QPushButton>
#include <QPointer>

ReportActions *installReports(MainWindow *window, RecordEditorPage *editor)
{
    auto *actions = new ReportActions(window);
    actions->setObjectName(QStringLiteral("reportActions"));
    actions->setPopups(window->popups());
    QPointer<RecordEditorPage> page(editor);
    actions->setRecordNameProvider([page] { return page ? page->recordName() : QString(); });
    if (KeySession *s = window->session()) {
        actions->setTemplateLists(s->templateLists());
        ReportIdentity::keepUpdated(s->model(), s->menuLevels());
    }
    QObject::connect(actions, &ReportActions::messageRequested, window, &MainWindow::showMessage);

    MainWindowForm *form = window->form();
    auto *buttons = new ReportButtons(actions, form->frMainFormControls);
    buttons->setObjectName(QStringLiteral("reportButtons"));
    if (auto *bar = qobject_cast<QBoxLayout *>(form->frMainFormControls->layout())) {
        const int at = bar->indexOf(form->pbSelectReport);
        bar->insertWidget(at < 0 ? bar->count() : at, buttons);
    }
    return actions;
}
