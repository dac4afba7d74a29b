#include "ui/history/HistoryWiring.h"

#include "base/Paths.h"
#include "base/PlainText.h"
#include "base/cGlobalData.h"
#include "history/HistorySettings.h"
#include "measures/MeasureMemory.h"
#include "protocol/KeySession.h"
#include "ui/frame/MainWindow.h"
#include "ui/history/HistoryPage.h"
#include "ui/history/HistoryService.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <memory>

namespace {

// The history's thread reads the report database's barcodes through a connection of its own:
// the window's default connection may not be used from another thread. The connection closes
// with the function, which the history's thread drops when it ends.
std::function<QStringList(const QString &)> reportCodesReader(const QString &path)
{
    struct Connection
    {
        QString name = QStringLiteral("history-report-codes");
        ~Connection()
        {
            if (!QSqlDatabase::contains(name))
                return;
            {
                QSqlDatabase db = QSqlDatabase::database(name, false);
                db.close();
            }
            QSqlDatabase::removeDatabase(name);
        }
    };
    auto connection = std::make_shared<Connection>();
    return [connection, path](const QString &record) -> QStringList {
        if (!QSqlDatabase::contains(connection->name)) {
            if (!QFileInfo::exists(path))
                return {};
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection->name);
            db.setDatabaseName(path);
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
            db.open();
        }
        QSqlQuery q(QSqlDatabase::database(connection->name, false));
        q.prepare(QStringLiteral("SELECT barcode0, barcode1 FROM codes WHERE record = ?"));
        q.addBindValue(record);
        if (!q.exec() || !q.next())
            return {};
        // The file may come from an older program that stored codes as scanned.
        return {PlainText::clean(q.value(0).toString()), PlainText::clean(q.value(1).toString())};
    };
}

} // namespace

HistoryPage *installHistory(MainWindow *window)
{
    KeySession *session = window->session();
    auto *service = new HistoryService(window);
    const QString url = window->globalData()->historyDb.isEmpty() ? HistorySettings::load().database
                                                                   : window->globalData()->historyDb;
    service->openDatabase(url);
    service->setBarcodeSource(reportCodesReader(Paths::reportDatabase()));
    service->follow(session);
    if (auto *memory = window->findChild<MeasureMemory *>(QStringLiteral("measureMemory"))) {
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

    MainWindowForm *ui = window->form();
    auto *page = new HistoryPage(service, ui->pageDB);
    static_cast<QGridLayout *>(ui->pageDB->layout())->addWidget(page, 1, 0);
    static_cast<QGridLayout *>(ui->pageDB->layout())->setRowStretch(1, 1);
    QObject::connect(page, &HistoryPage::messageRequested, window, &MainWindow::showMessage);
    QObject::connect(page, &HistoryPage::statusMessage, window, &MainWindow::showStatus);
    QObject::connect(service, &HistoryService::problem, window,
                     [window](const QString &text) { window->showMessage(text, QStringLiteral("red")); });
    return page;
}
