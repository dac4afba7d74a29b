#include "ui/history/HistoryWiring.h"

#include "history/HistoryService.h"
#include "measures/MeasureMemory.h"
#include "ui/history/HistoryPage.h"

HistoryPage *installHistory(HistoryService *service, MeasureMemory *memory, QWidget *parent)
{
    if (memory) {
        RecordEraser::Keeper keeper;
        // Asked, not called: a history server that takes its time holds the erase, not the window.
        keeper.ask = [service, memory](const QString &name, const RecordFile &fromKey, int keyCount,
                                       std::function<void(bool, const QString &)> done) {
            service->keepBeforeErase(name, fromKey, keyCount, memory, std::move(done));
        };
        keeper.erased = [service](const QString &name) { service->noteErased(name); };
        memory->setEraseKeeper(keeper);
        // What the erase kept shows on the history page once, not once per record.
        QObject::connect(memory, &MeasureMemory::eraseFinished, service, &HistoryService::historyChanged);
    }
    // What arrived before a crash (or while the program was not running) is kept first thing,
    // before the port opens: a key's read-out may replace the mirror's files, and the
    // history's thread takes the questions in the order they were asked.
    service->archiveMirror();

    return new HistoryPage(service, parent);
}
