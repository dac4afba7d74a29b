#include "reports/QrListReport.h"

#include "base/Log.h"
#include "records/RecordFile.h"
#include "records/RecordMirror.h"
#include "reports/QrReportEngine.h"
#include "reports/ReportDatabase.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <atomic>

namespace {

std::atomic<int> g_scratch{0};

// An in-memory SQLite connection under a name of its own, removed when the scope ends; the
// QSqlDatabase handles must be gone by then, so the holder keeps the only long-lived one.
class ScratchDatabase
{
public:
    ScratchDatabase() : m_name(QStringLiteral("qrlist-%1").arg(++g_scratch))
    {
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        m_db.setDatabaseName(QStringLiteral(":memory:"));
    }
    ~ScratchDatabase()
    {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    QSqlDatabase &db() { return m_db; }
    const QString &name() const { return m_name; }

private:
    QString m_name;
    QSqlDatabase m_db;
};

} // namespace

QStringList QrListReport::recordFiles(const QString &folder)
{
    return QDir(folder).entryList(QStringList{QStringLiteral("*")}, QDir::Files, QDir::Name);
}

QString QrListReport::refusal(const QString &folder)
{
    return recordFiles(folder).isEmpty() ? tr("Warning! Folder is empty!") : QString();
}

int QrListReport::fillRecordsTable(QSqlDatabase &db, const QString &folder, const TemplateLists &lists,
                                   QString *error, const Progress &progress)
{
    auto refused = [error](const QString &why) {
        if (error)
            *error = tr("The report database refused: %1").arg(why);
        return -1;
    };
    if (!db.isOpen()) {
        if (error)
            *error = tr("The report database is not open.");
        return -1;
    }
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("DELETE FROM records")))
        return refused(q.lastError().text());
    // One transaction: a thousand records are one write to the disk, not a thousand.
    db.transaction();
    if (!q.prepare(ReportDatabase::insertRecordStatement())) {
        db.rollback();
        return refused(q.lastError().text());
    }
    const QStringList names = recordFiles(folder);
    int written = 0;
    for (int n = 0; n < names.size(); ++n) {
        const QString &name = names.at(n);
        if (progress && !progress(n, names.size())) {
            db.rollback();
            if (error)
                *error = tr("Cancelled.");
            return -1;
        }
        QFile f(folder + QLatin1Char('/') + name);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        // Only the header is listed; a file of any length is read no further than that.
        const RecordFile::ReadResult read = RecordFile::read(f.read(RecordHeader::Size));
        if (!read.headerComplete) {
            td::log(QStringLiteral("QR list: skipped ") + name + QStringLiteral(" (no whole record header)"));
            continue;
        }
        const QStringList values = ReportDatabase::recordValues(name, read.record.header, lists);
        for (int i = 0; i < values.size(); ++i)
            q.bindValue(i, values.at(i));
        if (!q.exec()) {
            const QString why = q.lastError().text();
            db.rollback();
            return refused(why);
        }
        ++written;
    }
    if (!db.commit())
        return refused(db.lastError().text());
    return written;
}

QString QrListReport::noRecordsRead(const QString &folder)
{
    return tr("No record could be read from %1").arg(QDir::toNativeSeparators(folder));
}

QString QrListReport::proposedPath(const DateTimeStamp &stamp)
{
    return ReportPaths::qrcodesDir() + QStringLiteral("/qr_list(") + stamp.file + QStringLiteral(").pdf");
}

bool QrListReport::print(QrReportEngine *engine, const ReportIdentity &identity, const DateTimeStamp &stamp,
                         const QString &outPath, QString *error)
{
    engine->dataManager()->setReportVariable(QStringLiteral("protocol"), stamp.file);
    for (int i = 0; i < 4; ++i)
        engine->dataManager()->setReportVariable(QStringLiteral("level%1").arg(i + 1), identity.levelCaptions.value(i));
    engine->dataManager()->setReportVariable(QStringLiteral("units"), identity.unitsText());
    if (engine->printToPDF(outPath))
        return true;
    if (error)
        *error = engine->lastError();
    return false;
}

bool QrListReport::make(const Request &request, QString *error, int *rows, const Progress &progress)
{
    auto failed = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    const QString empty = refusal(request.folder);
    if (!empty.isEmpty())
        return failed(empty);
    auto notSaved = [&](const QString &why) { return failed(tr("The QR-codes list was not saved: %1").arg(why)); };

    ScratchDatabase scratch;
    QString why;
    if (!scratch.db().open() || !ReportDatabase::ensureTables(scratch.db(), &why))
        return notSaved(why.isEmpty() ? scratch.db().lastError().text() : why);
    // Reading the files and drawing the rows are the two halves of the work.
    qint64 files = 0;
    const Progress reading = [&](qint64 done, qint64 total) {
        files = total;
        return !progress || progress(done, 2 * total);
    };
    const int written = fillRecordsTable(scratch.db(), request.folder, request.lists, &why, reading);
    if (written < 0)
        return notSaved(why);
    if (written == 0) // a list of headers only would pass for a list of nothing to label
        return notSaved(noRecordsRead(request.folder));

    QrReportEngine engine;
    if (!engine.loadFromFile(request.templatePath, false))
        return notSaved(engine.lastError());
    engine.setConnectionName(scratch.name());
    if (progress)
        engine.setRowSink([&](int done, int total) { return progress(files + files * done / qMax(1, total), 2 * files); });
    if (!print(&engine, request.identity, request.stamp, request.outPath, &why))
        return notSaved(why);
    if (rows)
        *rows = written;
    return true;
}

bool QrListReport::make(const QString &outPath, const TemplateLists &lists, const ReportIdentity &identity,
                        QString *error)
{
    Request r;
    r.folder = RecordMirror::folder();
    r.templatePath = ReportPaths::qrTemplate();
    r.outPath = outPath;
    r.lists = lists;
    r.identity = identity;
    r.stamp = dateTimeStamp();
    return make(r, error);
}
