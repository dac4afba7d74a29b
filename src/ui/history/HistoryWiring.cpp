#include "ui/history/HistoryWiring.h"

#include "base/Log.h"
#include "base/cGlobalData.h"
#include "history/KeyContext.h"
#include "history/HistorySettings.h"
#include "measures/MeasureMemory.h"
#include "protocol/FileExchange.h"
#include "protocol/KeyModel.h"
#include "protocol/KeySession.h"
#include "records/TemplateListsModel.h"
#include "reports/ReportDatabase.h"
#include "ui/frame/MainWindow.h"
#include "ui/history/HistoryPage.h"
#include "ui/history/HistoryService.h"

#include <QGridLayout>

HistoryPage *installHistory(MainWindow *window)
{
    KeySession *session = window->session();
    auto *service = new HistoryService(window);
    const QString url = window->globalData()->historyDb.isEmpty() ? HistorySettings::load().database
                                                                   : window->globalData()->historyDb;
    QString error;
    if (!service->openDatabase(url, &error))
        td::log(QStringLiteral("History not available: %1").arg(error));

    KeyModel *key = session->model();
    // Until a key has told who it is, the mirror belongs to the last key that did.
    auto current = std::make_shared<HistoryArchiver::Context>(HistoryArchiver::Context::load());
    auto remember = [key, current] {
        const HistoryArchiver::Context c = keyContext(*key);
        if (c.keySerial.isEmpty() || c == *current)
            return;
        *current = c;
        QString e;
        if (!c.save(&e))
            td::log(e);
    };
    QObject::connect(key, &KeyModel::deviceSettingsChanged, service, remember);
    QObject::connect(key, &KeyModel::namesChanged, service, remember);
    QObject::connect(key, &KeyModel::calibrationChanged, service, remember);
    service->archiver()->setContextSource([current] { return *current; });
    TemplateListsModel *templates = session->templateLists();
    service->archiver()->setTemplatesSource([templates] { return templates->lists(); });
    // The station's report database belongs to the GUI thread, as the archiver does today.
    ReportDatabase *reports = window->reportDatabase();
    service->archiver()->setBarcodeSource([reports](const QString &record) { return reports->barcodesOfRecord(record); });

    QObject::connect(session->files(), &FileExchange::slot_files_got_file, service,
                     [service](const QStringList &folderAndFile) {
                         if (folderAndFile.size() == 2 && folderAndFile.at(0) == QLatin1String("dbsett"))
                             service->archiveRecord(folderAndFile.at(1));
                     });
    // A read-out fetches the folder without a notice per file: the folder's completion says
    // every record file is in the mirror.
    QObject::connect(session->files(), &FileExchange::slot_files_got_dir, service, [service](const QString &folder) {
        if (folder == QLatin1String("/dbsett") || folder == QLatin1String("dbsett"))
            service->archiveMirror();
    });
    if (auto *memory = window->findChild<MeasureMemory *>(QStringLiteral("measureMemory"))) {
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

    MainWindowForm *ui = window->form();
    auto *page = new HistoryPage(service, ui->pageDB);
    page->setReportDatabase(window->reportDatabase());
    static_cast<QGridLayout *>(ui->pageDB->layout())->addWidget(page, 1, 0);
    static_cast<QGridLayout *>(ui->pageDB->layout())->setRowStretch(1, 1);
    QObject::connect(page, &HistoryPage::messageRequested, window, &MainWindow::showMessage);
    QObject::connect(page, &HistoryPage::statusMessage, window, &MainWindow::showStatus);
    QObject::connect(service, &HistoryService::problem, window,
                     [window](const QString &text) { window->showMessage(text, QStringLiteral("red")); });
    return page;
}
