#include "ui/history/HistoryWiring.h"

#include "base/Log.h"
#include "history/HistoryService.h"
#include "measures/MeasureMemory.h"
#include "protocol/FileExchange.h"
#include "ui/history/HistoryPage.h"

HistoryPage *installHistory(HistoryService *service, FileExchange *files, MeasureMemory *memory, QWidget *parent)
{
    QObject::connect(files, &FileExchange::slot_files_got_file, service, [service](const QStringList &folderAndFile) {
        if (folderAndFile.size() == 2 && folderAndFile.at(0) == QLatin1String("dbsett"))
            service->archiveRecord(folderAndFile.at(1));
    });
    // A read-out fetches the folder without a notice per file: the folder's completion says
    // every record file is in the mirror.
    QObject::connect(files, &FileExchange::slot_files_got_dir, service, [service](const QString &folder) {
        if (folder == QLatin1String("/dbsett") || folder == QLatin1String("dbsett"))
            service->archiveMirror();
    });
    if (memory) {
        RecordEraser::Keeper keeper;
        keeper.keep = [service](const QString &name, const RecordFile &fromKey, int keyCount, QString *why) {
            return service->archiver()->keepBeforeErase(name, fromKey, keyCount, why);
        };
        keeper.erased = [service](const QString &name) {
            QString why;
            if (!service->archiver()->noteErased(name, &why))
                td::log(QStringLiteral("History: erase of %1 not noted: %2").arg(name, why));
        };
        memory->setEraseKeeper(keeper);
        // What the erase kept shows on the history page once, not once per record.
        QObject::connect(memory, &MeasureMemory::eraseFinished, service, &HistoryService::historyChanged);
    }
    // What arrived before a crash (or while the program was not running) is kept first thing,
    // before the port opens: a key's read-out may replace the mirror's files.
    service->archiveMirror();

    return new HistoryPage(service, parent);
}
