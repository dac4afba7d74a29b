#include "ui/records/RecordsWiring.h"

#include "protocol/KeySession.h"
#include "records/MenuLevels.h"
#include "ui/frame/MainWindow.h"
#include "ui/frame/MainWindowForm.h"
#include "ui/records/RecordEditorPage.h"
#include "ui/records/RecordsFolderPanel.h"
#include "ui/reports/ReportsWiring.h"

#include <QFrame>
#include <QPushButton>
#include <QStackedWidget>

RecordEditorPage *installRecordsPage(MainWindow *window)
{
    KeySession *s = window->session();
    MainWindowForm *ui = window->form();
    RecordEditorPage::Widgets w;
    w.containers.textFields = ui->frTextFields_2;
    w.containers.ranges = ui->frRangesView_2;
    w.containers.newRecord = ui->frNewRecord;
    w.containers.memory = ui->frMemory_2;
    w.navigation = {ui->frLeftMenu, ui->pbSettings};
    auto *editor = new RecordEditorPage(w, window->recordList(), s->templateLists(), s->files(), s->protocol(),
                                        s->model(), window);
    editor->setObjectName(QStringLiteral("recordEditorPage"));
    editor->setPopups(window->popups());
    editor->setRecordsPageShownProvider([ui] { return ui->mainPage() == MainPage::Settings; });
    QObject::connect(ui->stMainPages, &QStackedWidget::currentChanged, editor, [editor](int index) {
        if (MainPage(index) == MainPage::Settings)
            editor->refreshForRecordsPage();
    });
    QObject::connect(window, &MainWindow::recordTabsReset, editor, &RecordEditorPage::cancelOperation);
    QObject::connect(editor, &RecordEditorPage::messageRequested, window, &MainWindow::showMessage);
    QObject::connect(editor, &RecordEditorPage::statusMessage, window, &MainWindow::showStatus);
    MenuLevels *levels = s->menuLevels();
    QObject::connect(levels, &MenuLevels::changed, editor,
                     [editor, levels](int level) { editor->setLevelCaption(level, levels->caption(level)); });

    auto *folder = new RecordsFolderPanel(ui->frEraseRecords, s->files(), s->protocol(), window);
    folder->setObjectName(QStringLiteral("recordsFolderPanel"));
    folder->setPopups(window->popups());
    QObject::connect(folder, &RecordsFolderPanel::messageRequested, window, &MainWindow::showMessage);
    QObject::connect(folder, &RecordsFolderPanel::statusMessage, window, &MainWindow::showStatus);
    installReports(window);
    return editor;
}
