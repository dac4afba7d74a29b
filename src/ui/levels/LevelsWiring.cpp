#include "ui/levels/LevelsWiring.h"

#include "protocol/FileExchange.h"
#include "protocol/KeyProtocol.h"
#include "protocol/KeySession.h"
#include "records/MenuLevels.h"
#include "records/RecordList.h"
#include "records/TemplateListsModel.h"
#include "ui/frame/MainWindow.h"
#include "ui/frame/MainWindowForm.h"
#include "ui/levels/LevelTree.h"
#include "ui/levels/MenuLevelsPage.h"

#include <QFrame>
#include <QLayout>
#include <QPushButton>
#include <QTabWidget>

LevelTree *installLevels(MainWindow *window)
{
    KeySession *s = window->session();
    MainWindowForm *ui = window->form();
    auto *menuPage = new MenuLevelsPage(s->menuLevels(), s->protocol(), ui->frMenuLevels);
    menuPage->setObjectName(QStringLiteral("wMenuLevelsPage"));
    ui->frMenuLevels->layout()->addWidget(menuPage);
    QObject::connect(window, &MainWindow::settingsPageRequested, menuPage, &MenuLevelsPage::readFromKey);

    RecordList *records = window->recordList();
    // Record texts come from the same template lists the other pages show.
    TemplateListsModel *templateLists = s->templateLists();
    records->setTemplateSource([templateLists] { return templateLists->lists(); });
    QObject::connect(templateLists, &TemplateListsModel::changed, records,
                     [records, templateLists] { records->setTemplates(templateLists->lists()); });
    QObject::connect(s->files(), &FileExchange::recordsRebuildRequested, records,
                     QOverload<>::of(&RecordList::rebuild));
    QObject::connect(s->files(), &FileExchange::slot_files_got_dir, records, &RecordList::slot_files_got_dir);

    auto *tree = new LevelTree(ui->tabLevels, s->menuLevels(), records, s->protocol(), ui->pbSelectReport, window);
    tree->setObjectName(QStringLiteral("levelTree"));
    QObject::connect(s->protocol(), &KeyProtocol::menuLevelsComplete, tree, &LevelTree::applyCaptions);
    QObject::connect(window, &MainWindow::recordTabsReset, tree, &LevelTree::resetWalk);
    // Back from the settings page opens only the first active level's tab; the walk
    // starts over there (this runs after iBtnSettings_Click, connected first).
    QObject::connect(ui->pbSettings, &QPushButton::clicked, tree, [ui, tree] {
        if (ui->mainPage() == MainPage::MainForm)
            tree->resetWalk();
    });
    window->setFirstActiveLevelProvider([tree] { return tree->firstActiveTab(); });
    // The template tabs carry the names of the levels they fill (F.I.O., Wheel, Uzel).
    MenuLevels *levels = s->menuLevels();
    QObject::connect(tree, &LevelTree::captionsApplied, window, [ui, levels] {
        static const int levelOfTab[] = {0, 1, 3};
        for (int tab = 0; tab < 3 && tab < ui->tabWheelUzel->count(); ++tab) {
            const QString caption = levels->caption(levelOfTab[tab]);
            if (!caption.trimmed().isEmpty())
                ui->tabWheelUzel->setTabText(tab, caption);
        }
    });
    return tree;
}
