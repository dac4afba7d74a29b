#include "ui/levels/LevelsWiring.h"

#include "protocol/FileExchange.h"
#include "protocol/KeyProtocol.h"
#include "protocol/KeySession.h"
#include "records/MenuLevels.h"
#include "records/RecordList.h"
#include "records/TemplateListsModel.h"
#include "ui/levels/LevelTree.h"
#include "ui/levels/MenuLevelsPage.h"

#include <QLayout>
#include <QTabWidget>

LevelsRoom installLevels(const LevelsWidgets &widgets, KeySession *session, RecordList *records, QObject *owner)
{
    LevelsRoom room;
    auto *menuPage = new MenuLevelsPage(session->menuLevels(), session->protocol(), widgets.menuLevelsHost);
    menuPage->setObjectName(QStringLiteral("wMenuLevelsPage"));
    widgets.menuLevelsHost->layout()->addWidget(menuPage);
    room.menu = menuPage;

    // Record texts come from the same template lists the other pages show.
    TemplateListsModel *templateLists = session->templateLists();
    records->setTemplateSource([templateLists] { return templateLists->lists(); });
    QObject::connect(templateLists, &TemplateListsModel::changed, records,
                     [records, templateLists] { records->setTemplates(templateLists->lists()); });
    QObject::connect(session->files(), &FileExchange::recordsRebuildRequested, records,
                     QOverload<>::of(&RecordList::rebuild));
    QObject::connect(session->files(), &FileExchange::slot_files_got_dir, records, &RecordList::slot_files_got_dir);

    auto *tree = new LevelTree(widgets.levelTabs, session->menuLevels(), records, session->protocol(),
                               widgets.selectReport, owner);
    tree->setObjectName(QStringLiteral("levelTree"));
    QObject::connect(session->protocol(), &KeyProtocol::menuLevelsComplete, tree, &LevelTree::applyCaptions);
    // The template tabs carry the names of the levels they fill (F.I.O., Wheel, Uzel).
    MenuLevels *levels = session->menuLevels();
    QTabWidget *templateTabs = widgets.templateTabs;
    QObject::connect(tree, &LevelTree::captionsApplied, templateTabs, [templateTabs, levels] {
        static const int levelOfTab[] = {0, 1, 3};
        for (int tab = 0; tab < 3 && tab < templateTabs->count(); ++tab) {
            const QString caption = levels->caption(levelOfTab[tab]);
            if (!caption.trimmed().isEmpty())
                templateTabs->setTabText(tab, caption);
        }
    });
    room.tree = tree;
    return room;
}
