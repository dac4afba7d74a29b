#include "ui/records/RecordsWiring.h"

#include "protocol/KeySession.h"
#include "records/MenuLevels.h"
#include "ui/records/RecordsFolderPanel.h"

RecordsRoom installRecordsPage(const RecordEditorPage::Widgets &widgets, QWidget *eraseHost, KeySession *session,
                               RecordList *records, PopupHost *popups, QObject *owner)
{
    RecordsRoom room;
    auto *editor = new RecordEditorPage(widgets, records, session->templateLists(), session->files(),
                                        session->protocol(), session->model(), owner);
    editor->setObjectName(QStringLiteral("recordEditorPage"));
    editor->setPopups(popups);
    MenuLevels *levels = session->menuLevels();
    QObject::connect(levels, &MenuLevels::changed, editor,
                     [editor, levels](int level) { editor->setLevelCaption(level, levels->caption(level)); });
    room.editor = editor;

    auto *folder = new RecordsFolderPanel(eraseHost, session->files(), session->protocol(), owner);
    folder->setObjectName(QStringLiteral("recordsFolderPanel"));
    folder->setPopups(popups);
    room.folder = folder;
    return room;
}
