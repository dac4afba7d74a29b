// The pages of the settings stack and the level tree of the main form, made once by
// InitGraphics after the key link exists. Each block builds one page into its containers of
// the form and connects it to the session; the page classes hold the behaviour.
#include "ui/frame/MainWindow.h"

#include "base/cGlobalData.h"
#include "protocol/KeySession.h"
#include "protocol/FileExchange.h"
#include "protocol/KeyProtocol.h"
#include "ui/levels/LevelTree.h"
#include "records/MenuLevels.h"
#include "ui/levels/MenuLevelsPage.h"
#include "measures/MeasureMemory.h"
#include "ui/history/HistoryWiring.h"
#include "ui/measures/MemoryWiring.h"
#include "ui/reports/ReportActions.h"
#include "ui/records/RecordEditorPage.h"
#include "records/RecordList.h"
#include "records/TemplateListsModel.h"
#include "ui/records/RecordsFolderPanel.h"
#include "ui/reports/ReportsWiring.h"
#include "ui/publish/PublishWiring.h"
#include "ui/templates/TemplatesPage.h"
#include "ui/calibration/CalibrationWiring.h"
#include "ui/settings/SettingsWiring.h"

#include <QGridLayout>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>

void MainWindow::buildPages()
{
    // --- records page (record editor, records folder operations)
    {
        KeySession *s = m_session;
        RecordEditorPage::Widgets w;
        w.containers.textFields = ui.frTextFields_2;
        w.containers.ranges = ui.frRangesView_2;
        w.containers.newRecord = ui.frNewRecord;
        w.containers.memory = ui.frMemory_2;
        w.navigation = {ui.frLeftMenu, ui.pbSettings};
        auto *editor = new RecordEditorPage(w, recordList(), s->templateLists(), s->files(), s->protocol(),
                                            s->model(), this);
        editor->setObjectName(QStringLiteral("recordEditorPage"));
        editor->setPopups(m_popups);
        editor->setRecordsPageShownProvider([this] { return ui.mainPage() == MainPage::Settings; });
        connect(ui.stMainPages, &QStackedWidget::currentChanged, editor, [editor](int index) {
            if (MainPage(index) == MainPage::Settings)
                editor->refreshForRecordsPage();
        });
        connect(this, &MainWindow::recordTabsReset, editor, &RecordEditorPage::cancelOperation);
        connect(editor, &RecordEditorPage::messageRequested, this, &MainWindow::showMessage);
        connect(editor, &RecordEditorPage::statusMessage, this, &MainWindow::showStatus);
        MenuLevels *levels = s->menuLevels();
        connect(levels, &MenuLevels::changed, editor,
                [editor, levels](int level) { editor->setLevelCaption(level, levels->caption(level)); });

        auto *folder = new RecordsFolderPanel(ui.frEraseRecords, s->files(), s->protocol(), this);
        folder->setObjectName(QStringLiteral("recordsFolderPanel"));
        folder->setPopups(m_popups);
        connect(folder, &RecordsFolderPanel::messageRequested, this, &MainWindow::showMessage);
        connect(folder, &RecordsFolderPanel::statusMessage, this, &MainWindow::showStatus);
        installReports(this, editor);
    }

    // --- templates page
    {
        KeySession *s = m_session;
        TemplatesPage::Widgets w;
        w.tabs = ui.tabWheelUzel;
        w.fromJson = ui.pbTemplatesFromJson;
        w.save = ui.pbTemplatesSave;
        w.note = ui.lbTemplatesNote;
        w.service = ui.frOptions;
        w.rowsWhenIdle = true;
        auto *templates = new TemplatesPage(w, s->templateLists(), s->files(), s->model(), this);
        templates->setObjectName(QStringLiteral("templatesPage"));
        templates->setPopups(m_popups);
        connect(templates, &TemplatesPage::messageRequested, this, &MainWindow::showMessage);
        connect(templates, &TemplatesPage::statusMessage, this, &MainWindow::showStatus);
    }

    buildFirmwarePage();
    installKeySettings(this);
    installCalibrationPage(this);

    // --- menu levels (Parameters page) and the level tree of the main form
    {
        KeySession *s = m_session;
        auto *menuPage = new MenuLevelsPage(s->menuLevels(), s->protocol(), ui.frMenuLevels);
        menuPage->setObjectName(QStringLiteral("wMenuLevelsPage"));
        ui.frMenuLevels->layout()->addWidget(menuPage);
        connect(this, &MainWindow::settingsPageRequested, menuPage, &MenuLevelsPage::readFromKey);

        RecordList *records = recordList();
        // Record texts come from the same template lists the other pages show.
        TemplateListsModel *templateLists = s->templateLists();
        records->setTemplateSource([templateLists] { return templateLists->lists(); });
        connect(templateLists, &TemplateListsModel::changed, records,
                [records, templateLists] { records->setTemplates(templateLists->lists()); });
        connect(s->files(), &FileExchange::recordsRebuildRequested, records, QOverload<>::of(&RecordList::rebuild));
        connect(s->files(), &FileExchange::slot_files_got_dir, records, &RecordList::slot_files_got_dir);

        auto *tree = new LevelTree(ui.tabLevels, s->menuLevels(), records, s->protocol(), ui.pbSelectReport, this);
        tree->setObjectName(QStringLiteral("levelTree"));
        connect(s->protocol(), &KeyProtocol::menuLevelsComplete, tree, &LevelTree::applyCaptions);
        connect(this, &MainWindow::recordTabsReset, tree, &LevelTree::resetWalk);
        // Back from the settings page opens only the first active level's tab; the walk
        // starts over there (this runs after iBtnSettings_Click, connected first).
        connect(ui.pbSettings, &QPushButton::clicked, tree, [this, tree] {
            if (ui.mainPage() == MainPage::MainForm)
                tree->resetWalk();
        });
        setFirstActiveLevelProvider([tree] { return tree->firstActiveTab(); });
        installMemoryPage(this, tree);
        installHistory(this);
        // The CSV report writes what the memory table shows.
        auto *reports = findChild<ReportActions *>(QStringLiteral("reportActions"));
        auto *memory = findChild<MeasureMemory *>(QStringLiteral("measureMemory"));
        if (reports && memory)
            reports->setMemoryModel(memory->model());
        // The template tabs carry the names of the levels they fill (F.I.O., Wheel, Uzel).
        connect(tree, &LevelTree::captionsApplied, this, [this, s] {
            static const int levelOfTab[] = {0, 1, 3};
            for (int tab = 0; tab < 3 && tab < ui.tabWheelUzel->count(); ++tab) {
                const QString caption = s->menuLevels()->caption(levelOfTab[tab]);
                if (!caption.trimmed().isEmpty())
                    ui.tabWheelUzel->setTabText(tab, caption);
            }
        });
    }

    installPublishing(this);
}
