#include "reports/ReportDatabase.h"

#include "ReportSchema.h"
#include "base/Log.h"
#include "base/Paths.h"
#include "base/PlainText.h"
#include "measures/MeasureCells.h"
#include "measures/MeasureJudgement.h"
#include "records/MeasureAlgorithms.h"
#include "records/RecordHeader.h"
#include "records/TemplateLists.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <QThread>

#include <atomic>
#include <cmath>
#include <memory>

namespace {

const char *kInsertMeasure = "INSERT INTO records(date, time, level2, level4, count_con, count_total, range_low, "
                             "range_high, moment, result) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
const char *kInsertRecord = "INSERT INTO records(pagenumber, level1, level2, level3, level4, algorithm, head_mm, "
                            "count_con, count_total, range_low, range_high, angle_low, angle_high, angle, start_mom, "
                            "pitch_step) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)";
// Rows per multi-row measure insert: 10 values each, well inside SQLite's 999 parameters.
constexpr int kMeasureChunk = 64;
const char *kFindCodes = "SELECT * FROM codes WHERE barcode0=? AND barcode1=?";
const char *kInsertCodes = "INSERT INTO codes(barcode0, barcode1, record) VALUES(?, ?, ?)";

bool prepare(QSqlQuery &q, const char *sql, QString *error)
{
    if (q.prepare(QLatin1String(sql)))
        return true;
    *error = q.lastError().text();
    return false;
}

bool hasTables(const QSqlDatabase &db)
{
    const QStringList tables = db.tables();
    return tables.contains(QStringLiteral("records")) && tables.contains(QStringLiteral("codes"));
}

bool createTables(QSqlDatabase &db, QString *error)
{
    // The schema is plain statements separated by ";" with "--" comment lines.
    QStringList lines;
    for (const QString &line : QString::fromUtf8(td::reportSchema).split(QLatin1Char('\n'))) {
        if (!line.trimmed().startsWith(QLatin1String("--")))
            lines << line;
    }
    for (const QString &statement : lines.join(QLatin1Char('\n')).split(QLatin1Char(';'))) {
        if (statement.trimmed().isEmpty())
            continue;
        QSqlQuery q(db);
        if (!q.exec(statement)) {
            *error = q.lastError().text();
            return false;
        }
    }
    return true;
}

std::atomic<int> g_unnamed{0};

bool run(QSqlQuery &q, const QStringList &values)
{
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values.at(i));
    if (q.exec())
        return true;
    td::log(QStringLiteral("Report database: ") + q.lastError().text());
    return false;
}

QString fixed(float v, int decimals)
{
    return QString::number(v, 'f', decimals);
}

QString joined(const QString &a, const QString &b, const QString &c)
{
    return a + QLatin1Char(' ') + b + QLatin1Char(' ') + c;
}

} // namespace

// The prepared statements of the open connection; gone with it.
struct ReportDatabase::Statements
{
    QSqlQuery insertMeasure;
    QSqlQuery insertMeasureChunk;
    QSqlQuery insertRecord;
    QSqlQuery findCodes;
    QSqlQuery insertCodes;
    QSqlQuery clearRecords;
};

const QString ReportDatabase::stationConnection = QStringLiteral("report");

ReportDatabase::ReportDatabase(const QString &connectionName)
    : m_name(connectionName.isEmpty() ? QStringLiteral("report-%1").arg(++g_unnamed) : connectionName)
{
}

std::unique_ptr<ReportDatabase> ReportDatabase::openStation()
{
    auto db = std::make_unique<ReportDatabase>(stationConnection);
    db->open(Paths::reportDatabase());
    return db;
}

ReportDatabase::~ReportDatabase()
{
    close();
}

bool ReportDatabase::ensureTables(QSqlDatabase &db, QString *error)
{
    if (hasTables(db))
        return true;
    if (!createTables(db, error))
        return false;
    if (hasTables(db))
        return true;
    *error = QStringLiteral("the tables could not be created");
    return false;
}

QString ReportDatabase::insertRecordStatement()
{
    return QLatin1String(kInsertRecord);
}

// Opens and prepares; the connection handle stays inside so a failure can remove it.
bool ReportDatabase::openConnection(const QString &path)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    db.setDatabaseName(path);
    const bool existed = QFileInfo::exists(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        m_lastError = QStringLiteral("cannot make the folder of ") + path;
        return false;
    }
    if (!db.open()) {
        m_lastError = db.lastError().text();
        return false;
    }
    const bool had = hasTables(db);
    if (!ensureTables(db, &m_lastError))
        return false;
    if (!had)
        td::log(QStringLiteral("Report database %1: tables created from the schema (%2)")
                    .arg(path, existed ? QStringLiteral("the file held none") : QStringLiteral("no file")));
    auto s = std::make_unique<Statements>();
    for (QSqlQuery *q : {&s->insertMeasure, &s->insertMeasureChunk, &s->insertRecord, &s->findCodes,
                         &s->insertCodes, &s->clearRecords})
        *q = QSqlQuery(db);
    QString chunk = QLatin1String(kInsertMeasure);
    const QString oneRow = QStringLiteral(", (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    for (int i = 1; i < kMeasureChunk; ++i)
        chunk += oneRow;
    if (!s->insertMeasureChunk.prepare(chunk)) {
        m_lastError = s->insertMeasureChunk.lastError().text();
        return false;
    }
    if (!prepare(s->insertMeasure, kInsertMeasure, &m_lastError) || !prepare(s->insertRecord, kInsertRecord, &m_lastError)
        || !prepare(s->findCodes, kFindCodes, &m_lastError) || !prepare(s->insertCodes, kInsertCodes, &m_lastError)
        || !prepare(s->clearRecords, "DELETE FROM records", &m_lastError))
        return false;
    m_statements = std::move(s);
    return true;
}

bool ReportDatabase::open(const QString &path)
{
    close();
    m_lastError.clear();
    m_path = path;
    m_thread = QThread::currentThread();
    if (!openConnection(path)) {
        if (m_lastError.isEmpty())
            m_lastError = QStringLiteral("not opened");
        td::log(QStringLiteral("DB Report Not connected"));
        td::log(QStringLiteral("Report database %1: %2").arg(path, m_lastError));
        const QString why = m_lastError;
        close();
        m_lastError = why;
        return false;
    }
    td::log(QStringLiteral("DB Report connected"));
    return true;
}

void ReportDatabase::close()
{
    m_statements.reset();
    m_batchDepth = 0;
    m_thread = nullptr;
    if (!QSqlDatabase::contains(m_name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
}

bool ReportDatabase::isOpen() const
{
    return m_statements != nullptr;
}

bool ReportDatabase::onOwnThread() const
{
    if (!m_statements)
        return false;
    if (m_thread == QThread::currentThread())
        return true;
    td::log(QStringLiteral("Report database %1: used from a thread that did not open it; refused").arg(m_name));
    return false;
}

QStringList ReportDatabase::measureValues(const QString &recordName, int index, const MeasureEntry &e,
                                          const RecordHeader &record, const TemplateLists &templates)
{
    Q_UNUSED(recordName)
    const int uzel = record.uzelIndex;
    return {MeasureCells::dateText(e),
            MeasureCells::timeText(e),
            templates.wheelText(record.wheelIndex),
            joined(templates.uzelText(uzel, 0), templates.uzelText(uzel, 1), templates.uzelText(uzel, 2)),
            QString::number(index + 1),
            QString::number(record.countTotal),
            fixed(record.rangeLow, 2),
            fixed(record.rangeHigh, 2),
            fixed(std::fabs(e.moment), 2),
            MeasureJudgement::momentOk(e, record) ? QStringLiteral("OK") : QStringLiteral("NG")};
}

QStringList ReportDatabase::recordValues(const QString &recordName, const RecordHeader &record,
                                         const TemplateLists &templates)
{
    const int fio = record.fioIndex;
    const int uzel = record.uzelIndex;
    return {recordName,
            joined(templates.fioText(fio, 0), templates.fioText(fio, 1), templates.fioText(fio, 2)),
            templates.wheelText(record.wheelIndex),
            record.operationNumber(),
            joined(templates.uzelText(uzel, 0), templates.uzelText(uzel, 1), templates.uzelText(uzel, 2)),
            MeasureAlgorithms::name(record.algorithm),
            fixed(record.headMm, 0),
            QString::number(record.countCon),
            QString::number(record.countTotal),
            fixed(record.rangeLow, 2),
            fixed(record.rangeHigh, 2),
            fixed(record.angleLow, 1),
            fixed(record.angleHigh, 1),
            fixed(record.angle, 1),
            fixed(record.startMom, 2),
            fixed(record.pitchStep, 2)};
}

bool ReportDatabase::insertMeasure(const QStringList &values)
{
    return onOwnThread() && values.size() == 10 && run(m_statements->insertMeasure, values);
}

int ReportDatabase::insertMeasures(const QString &recordName, const RecordHeader &record,
                                   const QVector<MeasureEntry> &entries, const TemplateLists &templates,
                                   int firstIndex)
{
    if (entries.isEmpty() || !onOwnThread())
        return 0;
    // What every row of the record shares is made once.
    const QStringList shared = measureValues(recordName, firstIndex, entries.first(), record, templates);
    const QVariant level2 = shared.at(2), level4 = shared.at(3), total = shared.at(5), low = shared.at(6),
                   high = shared.at(7);
    auto bindRow = [&](QSqlQuery &q, int base, int i) {
        const MeasureEntry &e = entries.at(i);
        q.bindValue(base + 0, MeasureCells::dateText(e));
        q.bindValue(base + 1, MeasureCells::timeText(e));
        q.bindValue(base + 2, level2);
        q.bindValue(base + 3, level4);
        q.bindValue(base + 4, QString::number(firstIndex + i + 1));
        q.bindValue(base + 5, total);
        q.bindValue(base + 6, low);
        q.bindValue(base + 7, high);
        q.bindValue(base + 8, fixed(std::fabs(e.moment), 2));
        q.bindValue(base + 9, MeasureJudgement::momentOk(e, record) ? QStringLiteral("OK") : QStringLiteral("NG"));
    };
    int stored = 0;
    int i = 0;
    QSqlQuery &chunk = m_statements->insertMeasureChunk;
    for (; i + kMeasureChunk <= entries.size(); i += kMeasureChunk) {
        for (int r = 0; r < kMeasureChunk; ++r)
            bindRow(chunk, r * 10, i + r);
        if (chunk.exec())
            stored += kMeasureChunk;
        else
            td::log(QStringLiteral("Report database: ") + chunk.lastError().text());
    }
    QSqlQuery &single = m_statements->insertMeasure;
    for (; i < entries.size(); ++i) {
        bindRow(single, 0, i);
        if (single.exec())
            ++stored;
        else
            td::log(QStringLiteral("Report database: ") + single.lastError().text());
    }
    return stored;
}

bool ReportDatabase::insertRecord(const QStringList &values)
{
    return onOwnThread() && values.size() == 16 && run(m_statements->insertRecord, values);
}

bool ReportDatabase::clearRecords()
{
    return onOwnThread() && run(m_statements->clearRecords, {});
}

ReportDatabase::Batch::Batch(ReportDatabase *db) : m_db(db)
{
    if (!m_db || !m_db->onOwnThread())
        return;
    m_joined = true;
    if (m_db->m_batchDepth++ == 0) {
        m_owner = QSqlDatabase::database(m_db->m_name, false).transaction();
        if (!m_owner)
            td::log(QStringLiteral("Report database: no transaction, rows are committed one by one"));
    }
}

ReportDatabase::Batch::~Batch()
{
    // Closed in between: the transaction went with the connection.
    if (!m_joined || !m_db->isOpen())
        return;
    if (m_db->m_batchDepth > 0)
        --m_db->m_batchDepth;
    if (m_owner && !QSqlDatabase::database(m_db->m_name, false).commit())
        td::log(QStringLiteral("Report database: commit failed"));
}

QString ReportDatabase::findRecordByBarcodes(const QStringList &codes)
{
    for (int i = 0; i < codes.size(); ++i)
        td::log(QStringLiteral("BARCODE%1=").arg(i) + codes.at(i));
    if (codes.size() < 2 || !onOwnThread())
        return QString();
    QSqlQuery &q = m_statements->findCodes;
    for (const QStringList &pair : {QStringList{codes.at(0), codes.at(1)}, QStringList{codes.at(1), codes.at(0)}}) {
        if (!run(q, pair))
            continue;
        QString found;
        if (q.next())
            found = q.value(2).toString();
        q.finish();
        if (!found.isEmpty())
            return found;
    }
    return QString();
}

QStringList ReportDatabase::barcodesOfRecord(const QString &record)
{
    if (!onOwnThread())
        return {};
    QSqlQuery q(QSqlDatabase::database(m_name, false));
    q.prepare(QStringLiteral("SELECT barcode0, barcode1 FROM codes WHERE record = ?"));
    q.addBindValue(record);
    if (!q.exec() || !q.next())
        return {};
    // The file may come from an older program that stored codes as scanned.
    return {PlainText::clean(q.value(0).toString()), PlainText::clean(q.value(1).toString())};
}

ReportDatabase::AddCodes ReportDatabase::addBarcodes(const QString &scanned0, const QString &scanned1,
                                                     const QString &record)
{
    // A scanner sends what the code holds, separators and all.
    const QString c0 = PlainText::clean(scanned0);
    const QString c1 = PlainText::clean(scanned1);
    if (!onOwnThread()) {
        td::log(QStringLiteral("Barcodes not stored: the report database is not open (%1)").arg(m_lastError));
        return AddCodes::NotAvailable;
    }
    if (!findRecordByBarcodes({c0, c1}).isEmpty())
        return AddCodes::AlreadyExists;
    return run(m_statements->insertCodes, {c0, c1, record}) ? AddCodes::Added : AddCodes::Refused;
}
