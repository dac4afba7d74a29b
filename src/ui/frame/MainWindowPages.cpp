// The pages of the settings stack and the level tree of the main form, made once by
// InitGraphics after the key link exists. Each room builds its page from the services it is
// handed and returns it; the frame places it and connects it to the frame's own parts. What one
// room needs of another (the memory's erase waits on the history, the reports read what the
// memory and the editor show) is passed here, in the open.
#include "ui/frame/MainWindow.h"

#include "base/Log.h"
#include "history/HistoryService.h"
#include "measures/MeasureMemory.h"
#include "protocol/KeySession.h"
#include "publish/PublishStation.h"
#include "station/Station.h"
#include "ui/calibration/CalibrationPage.h"
#include "ui/calibration/CalibrationWiring.h"
#include "ui/history/HistoryPage.h"
#include "ui/history/HistoryWiring.h"
#include "ui/history/HistoryWindow.h"
#include "ui/frame/LogoPage.h"
#include "ui/levels/LevelTree.h"
#include "ui/levels/LevelsWiring.h"
#include "ui/levels/MenuLevelsPage.h"
#include "ui/measures/MemoryPage.h"
#include "ui/measures/MemoryWiring.h"
#include "ui/publish/PublishSettingsPanel.h"
#include "ui/publish/PublishWiring.h"
#include "ui/records/RecordsFolderPanel.h"
#include "ui/records/RecordsWiring.h"
#include "ui/reports/ReportActions.h"
#include "ui/reports/ReportButtons.h"
#include "ui/reports/ReportsWiring.h"
#include "ui/settings/KeySettingsPage.h"
#include "ui/settings/SettingsWiring.h"
#include "ui/templates/TemplatesWiring.h"
#include "ui/widgets/JobProgressWidget.h"

#include <QBoxLayout>
#include <QFrame>
#include <QGridLayout>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>

template<class Page> void MainWindow::showMessagesOf(Page *page)
{
    connect(page, &Page::messageRequested, this, &MainWindow::showMessage);
    connect(page, &Page::statusMessage, this, &MainWindow::showStatus);
}

void MainWindow::buildPages()
{
    KeySession *s = m_session;

    RecordEditorPage::Widgets editorWidgets;
    editorWidgets.containers.textFields = ui.frTextFields_2;
    editorWidgets.containers.ranges = ui.frRangesView_2;
    editorWidgets.containers.newRecord = ui.frNewRecord;
    editorWidgets.containers.memory = ui.frMemory_2;
    editorWidgets.navigation = {ui.frLeftMenu, ui.pbSettings};
    const RecordsRoom records = installRecordsPage(editorWidgets, ui.frEraseRecords, s, recordList(), m_popups, this);
    RecordEditorPage *editor = records.editor;
    editor->setRecordsPageShownProvider([this] { return ui.mainPage() == MainPage::Settings; });
    connect(ui.stMainPages, &QStackedWidget::currentChanged, editor, [editor](int index) {
        if (MainPage(index) == MainPage::Settings)
            editor->refreshForRecordsPage();
    });
    connect(this, &MainWindow::recordTabsReset, editor, &RecordEditorPage::cancelOperation);
    showMessagesOf(editor);
    showMessagesOf(records.folder);

    const ReportsRoom reports = installReports(s, m_popups, ui.frMainFormControls, this);
    if (auto *bar = qobject_cast<QBoxLayout *>(ui.frMainFormControls->layout())) {
        const int at = bar->indexOf(ui.pbSelectReport);
        bar->insertWidget(at < 0 ? bar->count() : at, reports.buttons);
    }
    showMessagesOf(reports.actions);
    // Under the file transfers' bar, where the window shows its long work.
    auto *jobProgress = new JobProgressWidget(ui.centralWidget);
    ui.loProgress->addWidget(jobProgress);
    connect(jobProgress, &JobProgressWidget::messageRequested, this, &MainWindow::showMessage);
    reports.actions->setProgressWidget(jobProgress);

    TemplatesPage::Widgets templateWidgets;
    templateWidgets.tabs = ui.tabWheelUzel;
    templateWidgets.fromJson = ui.pbTemplatesFromJson;
    templateWidgets.save = ui.pbTemplatesSave;
    templateWidgets.note = ui.lbTemplatesNote;
    templateWidgets.service = ui.frOptions;
    templateWidgets.rowsWhenIdle = true;
    showMessagesOf(installTemplatesPage(templateWidgets, s, m_popups, this));

    buildFirmwarePage();

    KeyMessagePanel::Widgets message;
    message.text = ui.leKeyMessage;
    message.lock = ui.pbLockKey;
    message.unlock = ui.pbUnlockKey;
    message.send = ui.pbSendMessage;
    KeySettingsPage *keySettings = installKeySettings(s, m_popups, ui.parameters, message);
    connect(this, &MainWindow::settingsPageRequested, keySettings, &KeySettingsPage::readFromKey);

    CalibrationPage *calibration = installCalibrationPage(s, m_popups, ui.page_Calibr);
    if (auto *grid = qobject_cast<QGridLayout *>(ui.page_Calibr->layout()))
        grid->addWidget(calibration, grid->rowCount(), 0, 1, 2);
    showMessagesOf(calibration);

    LevelsWidgets levelWidgets;
    levelWidgets.menuLevelsHost = ui.frMenuLevels;
    levelWidgets.levelTabs = ui.tabLevels;
    levelWidgets.selectReport = ui.pbSelectReport;
    levelWidgets.templateTabs = ui.tabWheelUzel;
    const LevelsRoom levels = installLevels(levelWidgets, s, recordList(), this);
    LevelTree *tree = levels.tree;
    connect(this, &MainWindow::settingsPageRequested, levels.menu, &MenuLevelsPage::readFromKey);
    connect(this, &MainWindow::recordTabsReset, tree, &LevelTree::resetWalk);
    // Back from the settings page opens only the first active level's tab; the walk
    // starts over there (this runs after iBtnSettings_Click, connected first).
    connect(ui.pbSettings, &QPushButton::clicked, tree, [this, tree] {
        if (ui.mainPage() == MainPage::MainForm)
            tree->resetWalk();
    });
    setFirstActiveLevelProvider([tree] { return tree->firstActiveTab(); });

    QWidget *recordTab = ui.tabLevels->widget(LevelTree::RecordTab);
    const MemoryRoom memory = installMemoryPage(s, m_station->reports(), recordList(), tree, m_popups, recordTab, [this] {
        return ui.mainPage() == MainPage::MainForm && ui.tabLevels->currentIndex() == LevelTree::RecordTab;
    }, this);
    auto *recordGrid = static_cast<QGridLayout *>(recordTab->layout());
    recordGrid->addWidget(memory.page, 2, 0);
    recordGrid->setRowStretch(1, 0);
    recordGrid->setRowStretch(2, 1);
    showMessagesOf(memory.page);

    HistoryService *history = m_station->history();
    connect(history, &HistoryService::opened, this, [](bool ok, const QString &error) {
        if (!ok)
            td::log(QStringLiteral("History not available: %1").arg(error));
    });
    m_station->openHistory();
    HistoryPage *historyPage = installHistory(history, memory.memory, ui.pageDB);
    historyPage->setReportDatabase(m_station->reports());
    historyPage->setProgressWidget(jobProgress);
    auto *dbGrid = static_cast<QGridLayout *>(ui.pageDB->layout());
    dbGrid->addWidget(historyPage, 1, 0);
    dbGrid->setRowStretch(1, 1);
    showMessagesOf(historyPage);
    auto *openHistory = new QPushButton(historyPage);
    openHistory->setObjectName(QStringLiteral("pbHistoryWindow"));
    openHistory->setMinimumHeight(48);
    m_historyWindowButton = openHistory;
    retranslateHistoryWindowButton();
    historyPage->addAction(openHistory);
    connect(openHistory, &QPushButton::clicked, this, &MainWindow::openHistoryWindow);
    connect(ui.logo->pbHistory, &QPushButton::clicked, this, &MainWindow::openHistoryWindow);
    connect(history, &HistoryService::problem, this, [this](const QString &text) { showMessage(text, QStringLiteral("red")); });

    // The CSV report writes what the memory table shows; the workbook is made of the record the
    // person is looking at: on the Viewer page the record being edited, elsewhere the records
    // the main form's record tab shows (none while that tab is closed).
    reports.actions->setMemoryModel(memory.memory->model());
    QPointer<RecordEditorPage> page(editor);
    QPointer<LevelTree> walk(tree);
    reports.actions->setRecordNamesProvider([this, page, walk] {
        QStringList names;
        if (ui.mainPage() == MainPage::Settings && ui.settingsPage() == SettingsPage::Records) {
            if (page && !page->recordName().isEmpty())
                names << page->recordName();
            return names;
        }
        // A walk taken back to an earlier level closes the record tab; what it showed is stale.
        if (!walk || !ui.tabLevels->isTabEnabled(LevelTree::RecordTab))
            return names;
        for (const RecordItem &item : walk->shownRecords())
            names << item.name;
        return names;
    });

    PublishStation *publishing = m_station->publishing();
    PublishSettingsPanel *publishPanel =
        installPublishing(publishing, m_globalData, ui.pageDB);
    dbGrid->addWidget(publishPanel, dbGrid->rowCount(), 0);
    connect(history, &HistoryService::opened, publishPanel, [publishPanel](bool ok) {
        if (!ok)
            publishPanel->showProblem(PublishSettingsPanel::tr("The history is not open: nothing can be published."));
    });
}

void MainWindow::openHistoryWindow()
{
    // The history service is opened with the pages.
    if (!m_graphicsBuilt)
        return;
    if (!m_historyWindow)
        m_historyWindow = new HistoryWindow(m_station->history(), m_station->reports(), this);
    m_historyWindow->present();
}
