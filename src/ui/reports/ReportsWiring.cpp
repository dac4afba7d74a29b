#include "ui/reports/ReportsWiring.h"

#include "protocol/KeySession.h"
#include "reports/ReportIdentity.h"
#include "ui/frame/MainWindow.h"
#include "ui/levels/LevelTree.h"
#include "ui/records/RecordEditorPage.h"
#include "ui/reports/ReportActions.h"
#include "ui/reports/ReportButtons.h"
#include "ui/widgets/JobProgressWidget.h"

#include <QBoxLayout>
#include <QFrame>
#include <QPushButton>
#include <QPointer>
#include <QTabWidget>

ReportActions *installReports(MainWindow *window)
{
    auto *actions = new ReportActions(window);
    actions->setObjectName(QStringLiteral("reportActions"));
    actions->setPopups(window->popups());
    if (KeySession *s = window->session()) {
        actions->setTemplateLists(s->templateLists());
        ReportIdentity::keepUpdated(s->model(), s->menuLevels());
    }
    QObject::connect(actions, &ReportActions::messageRequested, window, &MainWindow::showMessage);
    QObject::connect(actions, &ReportActions::statusMessage, window, &MainWindow::showStatus);

    MainWindowForm *form = window->form();
    // Under the file transfers' bar, as long work of the window is shown.
    auto *progress = new JobProgressWidget(form->centralWidget);
    form->loProgress->addWidget(progress);
    QObject::connect(progress, &JobProgressWidget::messageRequested, window, &MainWindow::showMessage);
    actions->setProgressWidget(progress);

    auto *buttons = new ReportButtons(actions, form->frMainFormControls);
    buttons->setObjectName(QStringLiteral("reportButtons"));
    if (auto *bar = qobject_cast<QBoxLayout *>(form->frMainFormControls->layout())) {
        const int at = bar->indexOf(form->pbSelectReport);
        bar->insertWidget(at < 0 ? bar->count() : at, buttons);
    }
    return actions;
}

void offerReportRecords(ReportActions *actions, MainWindow *window, RecordEditorPage *editor, LevelTree *tree)
{
    MainWindowForm *ui = window->form();
    QPointer<RecordEditorPage> page(editor);
    QPointer<LevelTree> levels(tree);
    actions->setRecordNamesProvider([ui, page, levels] {
        QStringList names;
        if (ui->mainPage() == MainPage::Settings && ui->settingsPage() == SettingsPage::Records) {
            if (page && !page->recordName().isEmpty())
                names << page->recordName();
            return names;
        }
        // A walk taken back to an earlier level closes the record tab; what it showed is stale.
        if (!levels || !ui->tabLevels->isTabEnabled(LevelTree::RecordTab))
            return names;
        for (const RecordItem &item : levels->shownRecords())
            names << item.name;
        return names;
    });
}
