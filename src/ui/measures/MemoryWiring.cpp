#include "ui/measures/MemoryWiring.h"

#include "base/Log.h"
#include "measures/MeasureMemory.h"
#include "protocol/FileExchange.h"
#include "protocol/KeyModel.h"
#include "protocol/KeySession.h"
#include "records/MenuLevels.h"
#include "records/RecordList.h"
#include "ui/levels/LevelTree.h"
#include "ui/levels/cRecord.h"
#include "ui/measures/MemoryPage.h"

#include <array>

namespace {

void applyLevels(MeasureMemory *memory, MenuLevels *levels)
{
    std::array<bool, 4> used{};
    std::array<QString, 4> captions;
    for (int i = 0; i < MenuLevels::Count; ++i) {
        used[size_t(i)] = levels->isActive(i);
        captions[size_t(i)] = levels->caption(i);
    }
    memory->setLevels(used, captions);
}

} // namespace

MemoryRoom installMemoryPage(KeySession *session, ReportDatabase *reports, RecordList *records, LevelTree *tree, PopupHost *popups,
                             QWidget *parent, std::function<bool()> recordTabShown, QObject *owner)
{
    auto *memory = new MeasureMemory(records, owner);
    memory->setObjectName(QStringLiteral("measureMemory"));
    KeyModel *key = session->model();
    memory->setSettingsSource([key] {
        MeasureMemory::Settings s;
        s.dataTimeOn = key->deviceSettings().DataTime == 1;
        s.kgsm = key->deviceSettings().Units == 1;
        s.operatorName = key->names().operatorName;
        return s;
    });
    memory->setKeyLink(session->files(), session->protocol());
    memory->setReportDatabase(reports);
    MenuLevels *levels = session->menuLevels();
    applyLevels(memory, levels);
    QObject::connect(levels, &MenuLevels::changed, memory, [memory, levels] { applyLevels(memory, levels); });
    QObject::connect(key, &KeyModel::deviceSettingsChanged, memory, [memory, levels] { applyLevels(memory, levels); });

    auto *page = new MemoryPage(memory, parent);
    page->setPopups(popups);
    page->setReportDatabase(reports);
    page->setCurrentRecordProvider([tree] {
        const RecordItem *item = tree->record()->findSelectedItem();
        return item ? item->name : QString();
    });

    // A record file from the key while the record tab of the main form is shown.
    QObject::connect(session->files(), &FileExchange::slot_files_got_file, memory,
                     [memory, recordTabShown](const QStringList &folderAndFile) {
                         if (folderAndFile.size() != 2 || folderAndFile.at(0) != QLatin1String("dbsett"))
                             return;
                         td::log(QStringLiteral("RX FILE: ") + folderAndFile.at(1) + QStringLiteral(" got from DIR: ")
                                 + folderAndFile.at(0));
                         if (recordTabShown())
                             memory->loadRecordMeasures(folderAndFile.at(1), true);
                     });
    // A walk that reached one record (the key was told to show it).
    QObject::connect(tree, &LevelTree::recordSelected, memory,
                     [memory](const QString &name) { memory->loadRecordMeasures(name, true); });
    // The record tab opened for a report: every record with measures, or the chosen ones.
    QObject::connect(tree, &LevelTree::reportRequested, memory, [memory, tree, records](const QVector<RecordItem> &items) {
        QStringList names;
        const QVector<RecordItem> &from = tree->isMultiSelect() ? items : records->items();
        for (const RecordItem &item : from) {
            if (item.countCon != 0)
                names << item.name;
        }
        memory->loadRecords(names);
    });
    return {memory, page};
}
