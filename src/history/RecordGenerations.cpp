#include "history/RecordGenerations.h"

#include "base/Log.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

namespace RecordGenerations {

namespace {

// The last failure on this thread, for resolve's caller.
thread_local QSqlError t_failure;

bool failed(const QSqlQuery &q, QString *error)
{
    t_failure = q.lastError();
    *error = t_failure.text();
    return false;
}

bool run(QSqlQuery &q, QString *error)
{
    return q.exec() || failed(q, error);
}

// Qt runs a query whose prepare failed all the same, as a server statement with no name; the
// server's "syntax error" would then hide why the prepare failed (a lock or statement
// time-out, a lost connection) and read as a refusal of the rows.
bool run(QSqlQuery &q, const QString &statement, const QVariantList &values, QString *error)
{
    if (!q.prepare(statement))
        return failed(q, error);
    for (const QVariant &v : values)
        q.addBindValue(v);
    return run(q, error);
}

bool exec(QSqlDatabase db, const QString &statement, QString *error)
{
    QSqlQuery q(db);
    if (q.exec(statement))
        return true;
    *error = q.lastError().text();
    return false;
}

// Index -> the reading held there, for one generation of a record.
bool readings(QSqlDatabase db, const QString &keySerial, const QString &record, int generation,
              QHash<int, HistoryMeasure> *out, QString *error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!run(q,
             QStringLiteral("SELECT connection_index, measured_at, moment, defect, angle FROM measures "
                            "WHERE key_serial = ? AND record_name = ? AND erase_generation = ?"),
             {keySerial, record, generation}, error))
        return false;
    out->clear();
    while (q.next()) {
        HistoryMeasure m;
        m.measuredAt = q.value(1).toString();
        m.moment = q.value(2).toDouble();
        m.defect = q.value(3).toDouble();
        m.angle = q.value(4).toDouble();
        out->insert(q.value(0).toInt(), m);
    }
    return true;
}

bool setGeneration(QSqlDatabase db, const QString &keySerial, const QString &record, int generation, QString *error)
{
    QSqlQuery q(db);
    return run(q,
               QStringLiteral("INSERT INTO record_generations(key_serial, record_name, generation) VALUES(?, ?, ?) "
                              "ON CONFLICT(key_serial, record_name) DO UPDATE SET generation = excluded.generation"),
               {keySerial, record, generation}, error);
}

} // namespace

int current(QSqlDatabase db, const QString &keySerial, const QString &record, QString *error)
{
    QSqlQuery q(db);
    if (!run(q, QStringLiteral("SELECT generation FROM record_generations WHERE key_serial = ? AND record_name = ?"),
             {keySerial, record}, error))
        return -1;
    return q.next() ? q.value(0).toInt() : 0;
}

int bump(QSqlDatabase db, const QString &keySerial, const QString &record, QString *error)
{
    const int now = current(db, keySerial, record, error);
    if (now < 0 || !setGeneration(db, keySerial, record, now + 1, error))
        return -1;
    td::log(QStringLiteral("History: record %1 of key %2 is in erase generation %3").arg(record, keySerial).arg(now + 1));
    return now + 1;
}

bool noteCount(QSqlDatabase db, const QString &keySerial, const QString &record, int keyCount, QString *error)
{
    const int generation = current(db, keySerial, record, error);
    if (generation < 0)
        return false;
    QSqlQuery q(db);
    if (!run(q,
             QStringLiteral("SELECT COUNT(*) FROM measures WHERE key_serial = ? AND record_name = ? AND "
                            "erase_generation = ?"),
             {keySerial, record, generation}, error)
        || !q.next())
        return false;
    if (keyCount >= q.value(0).toInt())
        return true;
    return bump(db, keySerial, record, error) >= 0;
}

static bool resolveRuns(QSqlDatabase db, QVector<HistoryMeasure> *measures, QString *error);

bool resolve(QSqlDatabase db, QVector<HistoryMeasure> *measures, QString *error, QSqlError *failure)
{
    t_failure = QSqlError();
    const bool ok = resolveRuns(db, measures, error);
    if (!ok && failure)
        *failure = t_failure;
    return ok;
}

static bool resolveRuns(QSqlDatabase db, QVector<HistoryMeasure> *measures, QString *error)
{
    QVector<HistoryMeasure> kept;
    kept.reserve(measures->size());
    QHash<int, HistoryMeasure> held;
    int first = 0;
    while (first < measures->size()) {
        const HistoryMeasure &lead = measures->at(first);
        int end = first + 1;
        int highest = lead.connectionIndex;
        while (end < measures->size() && measures->at(end).keySerial == lead.keySerial
               && measures->at(end).recordName == lead.recordName
               && measures->at(end).eraseGeneration == lead.eraseGeneration) {
            highest = qMax(highest, measures->at(end).connectionIndex);
            ++end;
        }
        int generation = current(db, lead.keySerial, lead.recordName, error);
        if (generation < 0 || !readings(db, lead.keySerial, lead.recordName, generation, &held, error))
            return false;
        const int keyCount = lead.recordCount >= 0 ? lead.recordCount : highest + 1;
        bool emptied = keyCount < held.size();
        for (int i = first; i < end && !emptied; ++i) {
            const auto found = held.constFind(measures->at(i).connectionIndex);
            emptied = found != held.constEnd() && !found->sameReading(measures->at(i));
        }
        if (emptied) {
            td::log(QStringLiteral("History: record %1 of key %2 was emptied since it was last read (%3 measures "
                                   "held, the key counts %4)")
                        .arg(lead.recordName, lead.keySerial)
                        .arg(held.size())
                        .arg(keyCount));
            generation = bump(db, lead.keySerial, lead.recordName, error);
            if (generation < 0)
                return false;
            held.clear();
        }
        for (int i = first; i < end; ++i) {
            if (held.contains(measures->at(i).connectionIndex))
                continue;
            kept << measures->at(i);
            kept.last().eraseGeneration = generation;
        }
        first = end;
    }
    *measures = kept;
    return true;
}

bool held(QSqlDatabase db, const QVector<HistoryMeasure> &measures, const QString &keySerial, const QString &record,
          Held *out, QString *error)
{
    *out = Held();
    out->generation = current(db, keySerial, record, error);
    QHash<int, HistoryMeasure> rows;
    if (out->generation < 0 || !readings(db, keySerial, record, out->generation, &rows, error))
        return false;
    out->rows = rows.size();
    for (const HistoryMeasure &m : measures) {
        const auto found = rows.constFind(m.connectionIndex);
        if (m.keySerial == keySerial && m.recordName == record && found != rows.constEnd() && found->sameReading(m))
            ++out->matching;
    }
    return true;
}

bool migrate(QSqlDatabase db, bool server, QString *error)
{
    // A step run again over its own work (a history put back to an older version by hand)
    // finds what it made and goes on.
    const bool hasColumn = db.record(QStringLiteral("measures")).contains(QStringLiteral("erase_generation"));
    if ((!hasColumn
         && !exec(db, QStringLiteral("ALTER TABLE measures ADD COLUMN erase_generation INTEGER NOT NULL DEFAULT 0"), error))
        || !exec(db, QStringLiteral("CREATE TABLE IF NOT EXISTS record_generations (key_serial TEXT NOT NULL, "
                                    "record_name TEXT NOT NULL, generation INTEGER NOT NULL, "
                                    "PRIMARY KEY (key_serial, record_name))"),
                 error))
        return false;

    QSqlQuery rows(db);
    rows.setForwardOnly(true);
    if (!rows.exec(QStringLiteral("SELECT id, key_serial, record_name, connection_index FROM measures "
                                  "ORDER BY key_serial, record_name, id"))) {
        *error = rows.lastError().text();
        return false;
    }
    QVector<QPair<qint64, int>> later; // id -> generation, for rows past a record's first filling
    QVector<std::pair<QStringList, int>> records;
    QString serial, record;
    QSet<int> seen;
    int generation = 0;
    bool any = false;
    while (rows.next()) {
        const QString s = rows.value(1).toString();
        const QString r = rows.value(2).toString();
        const int index = rows.value(3).toInt();
        if (!any || s != serial || r != record) {
            if (any && generation > 0)
                records.push_back({{serial, record}, generation});
            any = true;
            serial = s;
            record = r;
            generation = 0;
            seen.clear();
        }
        if (seen.contains(index)) {
            ++generation;
            seen.clear();
        }
        seen.insert(index);
        if (generation > 0)
            later << qMakePair(rows.value(0).toLongLong(), generation);
    }
    if (rows.lastError().isValid()) {
        *error = rows.lastError().text();
        return false;
    }
    if (any && generation > 0)
        records.push_back({{serial, record}, generation});
    rows.finish();

    QSqlQuery update(db);
    if (!update.prepare(QStringLiteral("UPDATE measures SET erase_generation = ? WHERE id = ?")))
        return failed(update, error);
    for (const auto &row : qAsConst(later)) {
        update.addBindValue(row.second);
        update.addBindValue(row.first);
        if (!run(update, error))
            return false;
    }
    for (const auto &r : records) {
        if (!setGeneration(db, r.first.at(0), r.first.at(1), r.second, error))
            return false;
    }

    const QString identity =
        QStringLiteral("CONSTRAINT measures_identity UNIQUE (key_serial, record_name, connection_index, erase_generation)");
    if (server)
        return exec(db, QStringLiteral("ALTER TABLE measures DROP CONSTRAINT IF EXISTS measures_once"), error)
               && exec(db, QStringLiteral("ALTER TABLE measures DROP CONSTRAINT IF EXISTS measures_identity"), error)
               && exec(db, QStringLiteral("ALTER TABLE measures ADD ") + identity, error);

    // SQLite cannot drop a table constraint: the table is made again from its own text with the
    // new key, every column (whoever added it) and every row copied, its indexes made again and
    // its id sequence kept, so no id is ever handed out twice.
    QSqlQuery q(db);
    QString table;
    QStringList indexes;
    QStringList columns;
    qint64 sequence = -1;
    if (!q.exec(QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = 'measures'")) || !q.next()) {
        *error = q.lastError().text();
        return false;
    }
    table = q.value(0).toString();
    if (!q.exec(QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'index' AND tbl_name = 'measures' "
                               "AND sql IS NOT NULL"))) {
        *error = q.lastError().text();
        return false;
    }
    while (q.next())
        indexes << q.value(0).toString();
    if (!q.exec(QStringLiteral("PRAGMA table_info(measures)"))) {
        *error = q.lastError().text();
        return false;
    }
    while (q.next())
        columns << q.value(1).toString();
    if (q.exec(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = 'measures'")) && q.next())
        sequence = q.value(0).toLongLong();
    q.finish();
    const QRegularExpression once(QStringLiteral("CONSTRAINT\\s+measures_once\\s+UNIQUE\\s*\\([^)]*\\)"),
                                  QRegularExpression::CaseInsensitiveOption);
    const QRegularExpression name(QStringLiteral("^CREATE TABLE\\s+(IF NOT EXISTS\\s+)?\"?measures\"?"),
                                  QRegularExpression::CaseInsensitiveOption);
    if (table.contains(QLatin1String("measures_identity")))
        return true;
    if (!table.contains(once) || !table.contains(name)) {
        *error = QStringLiteral("the measures table has no key this program knows: %1").arg(table.left(200));
        return false;
    }
    table.replace(once, identity).replace(name, QStringLiteral("CREATE TABLE measures_rebuilt"));
    const QString list = columns.join(QStringLiteral(", "));
    if (!exec(db, table, error)
        || !exec(db, QStringLiteral("INSERT INTO measures_rebuilt(%1) SELECT %1 FROM measures").arg(list), error)
        || !exec(db, QStringLiteral("DROP TABLE measures"), error)
        || !exec(db, QStringLiteral("ALTER TABLE measures_rebuilt RENAME TO measures"), error))
        return false;
    for (const QString &index : qAsConst(indexes)) {
        if (!exec(db, index, error))
            return false;
    }
    if (sequence >= 0) {
        QSqlQuery seq(db);
        if (!run(seq, QStringLiteral("UPDATE sqlite_sequence SET seq = MAX(seq, ?) WHERE name = 'measures'"), {sequence},
                 error))
            return false;
        if (seq.numRowsAffected() == 0
            && !run(seq, QStringLiteral("INSERT INTO sqlite_sequence(name, seq) VALUES('measures', ?)"), {sequence}, error))
            return false;
    }
    return true;
}

} // namespace RecordGenerations
