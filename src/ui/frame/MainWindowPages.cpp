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
        editor->setRecordsPageShownProvider([this] { return ui.stMainPages->currentIndex() == 1; });
        connect(ui.stMainPages, &QStackedWidget::currentChanged, editor, [editor](int index) {
            if (index == 1)
                editor->refreshForRecordsPage();
        });
        connect(this, SIGNAL(recordTabsReset()), editor, SLOT(cancelOperation()));
        connect(editor, SIGNAL(messageRequested(QString, QString)), this, SLOT(showMessage(QString, QString)));
        connect(editor, SIGNAL(statusMessage(QString)), this, SLOT(showStatus(QString)));
        MenuLevels *levels = s->menuLevels();
        connect(levels, &MenuLevels::changed, editor,
                [editor, levels](int level) { editor->setLevelCaption(level, levels->caption(level)); });

        auto *folder = new RecordsFolderPanel(ui.frEraseRecords, s->files(), s->protocol(), this);
        folder->setObjectName(QStringLiteral("recordsFolderPanel"));
        folder->setPopups(m_popups);
        connect(folder, SIGNAL(messageRequested(QString, QString)), this, SLOT(showMessage(QString, QString)));
        connect(folder, SIGNAL(statusMessage(QString)), this, SLOT(showStatus(QString)));
        installReports(this, editor);
    }

    // --- templates page
    {
        KeySession *s = m_session;
        auto *note = new QLabel(ui.pageTemplates);
        note->setObjectName(QStringLiteral("lbTemplatesNote"));
        note->setStyleSheet(QStringLiteral("QLabel {color: rgb(200, 110, 0); font-size: 12pt;}"));
        note->setWordWrap(true);
        static_cast<QGridLayout *>(ui.pageTemplates->layout())->addWidget(note, 1, 0);
        TemplatesPage::Widgets w;
        w.tabs = ui.tabWheelUzel;
        w.fromJson = ui.pbTemplatesFromJson;
        w.save = ui.pbTemplatesSave;
        w.note = note;
        w.service = ui.frOptions;
        auto *templates = new TemplatesPage(w, s->templateLists(), s->files(), s->model(), this);
        templates->setObjectName(QStringLiteral("templatesPage"));
        templates->setPopups(m_popups);
        connect(templates, SIGNAL(messageRequested(QString, QString)), this, SLOT(showMessage(QString, QString)));
        connect(templates, SIGNAL(statusMessage(QString)), this, SLOT(showStatus(QString)));
    }

    buildFirmwarePage();

    // --- menu levels (Parameters page) and the level tree of the main form
    {
        KeySession *s = m_session;
        auto *menuPage = new MenuLevelsPage(s->menuLevels(), s->protocol(), ui.frMenuLevels);
        menuPage->setObjectName(QStringLiteral("wMenuLevelsPage"));
        ui.frMenuLevels->layout()->addWidget(menuPage);
        connect(this, SIGNAL(settingsPageRequested()), menuPage, SLOT(readFromKey()));

        RecordList *records = recordList();
        // Record texts come from the same template lists the other pages show.
        TemplateListsModel *templateLists = s->templateLists();
        records->setTemplateSource([templateLists] { return templateLists->lists(); });
        connect(templateLists, &TemplateListsModel::changed, records,
                [records, templateLists] { records->setTemplates(templateLists->lists()); });
        connect(s->files(), SIGNAL(recordsRebuildRequested()), records, SLOT(rebuild()));
        connect(s->files(), SIGNAL(slot_files_got_dir(QString)), records, SLOT(slot_files_got_dir(QString)));

        auto *tree = new LevelTree(ui.tabLevels, s->menuLevels(), records, s->protocol(), ui.pbSelectReport, this);
        tree->setObjectName(QStringLiteral("levelTree"));
        connect(s->protocol(), SIGNAL(menuLevelsComplete()), tree, SLOT(applyCaptions()));
        connect(this, SIGNAL(recordTabsReset()), tree, SLOT(resetWalk()));
        // Back from the settings page opens only the first active level's tab; the walk
        // starts over there (this runs after iBtnSettings_Click, connected first).
        connect(ui.pbSettings, &QPushButton::clicked, tree, [this, tree] {
            if (ui.stMainPages->currentIndex() == 3)
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
