#include "ui/measures/MemoryWiring.h"

#include "base/Log.h"
#include "measures/MeasureMemory.h"
#include "protocol/FileExchange.h"
#include "protocol/KeyModel.h"
#include "protocol/KeySession.h"
#include "records/MenuLevels.h"
#include "records/RecordList.h"
#include "ui/frame/MainWindow.h"
#include "ui/levels/LevelTree.h"
#include "ui/levels/cRecord.h"
#include "ui/measures/MemoryPage.h"

#include <QGridLayout>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>

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

MemoryPage *installMemoryPage(MainWindow *window, LevelTree *tree)
{
    KeySession *session = window->session();
    MainWindowForm *ui = window->form();
    RecordList *records = window->recordList();

    auto *memory = new MeasureMemory(records, window);
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
    memory->setReportDatabase(window->reportDatabase());
    MenuLevels *levels = session->menuLevels();
    applyLevels(memory, levels);
    QObject::connect(levels, &MenuLevels::changed, memory, [memory, levels] { applyLevels(memory, levels); });
    QObject::connect(key, &KeyModel::deviceSettingsChanged, memory, [memory, levels] { applyLevels(memory, levels); });

    QWidget *recordTab = ui->tabLevels->widget(LevelTree::RecordTab);
    auto *page = new MemoryPage(memory, recordTab);
    page->setPopups(window->popups());
    page->setReportDatabase(window->reportDatabase());
    auto *grid = static_cast<QGridLayout *>(recordTab->layout());
    grid->addWidget(page, 2, 0);
    grid->setRowStretch(1, 0);
    grid->setRowStretch(2, 1);
    QObject::connect(page, &MemoryPage::messageRequested, window, &MainWindow::showMessage);
    QObject::connect(page, &MemoryPage::statusMessage, window, &MainWindow::showStatus);
    page->setCurrentRecordProvider([tree] {
        const RecordItem *item = tree->record()->findSelectedItem();
        return item ? item->name : QString();
    });

    // A record file from the key while the record tab of the main form is shown.
    QObject::connect(session->files(), &FileExchange::slot_files_got_file, memory,
                     [memory, ui](const QStringList &folderAndFile) {
                         if (folderAndFile.size() != 2 || folderAndFile.at(0) != QLatin1String("dbsett"))
                             return;
                         td::log(QStringLiteral("RX FILE: ") + folderAndFile.at(1) + QStringLiteral(" got from DIR: ")
                                 + folderAndFile.at(0));
                         if (ui->mainPage() == MainPage::MainForm
                             && ui->tabLevels->currentIndex() == LevelTree::RecordTab)
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
    return page;
}
