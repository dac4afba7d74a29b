#include "history/HistoryDatabase.h"

#include "base/Log.h"
#include "history/PgBulk.h"
#include "history/RecordGenerations.h"
#include "history/StationName.h"
#include "measures/MeasureJudgement.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QDateTime>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlField>
#include <QScopeGuard>
#include <QSet>
#include <QThread>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include <algorithm>
#include <cmath>

namespace {

QAtomicInt g_connections;

// Columns in statement order; the id is the database's.
const char *const kColumns[] = {
    "key_serial",       "key_name",    "record_name",   "connection_index", "measured_at",      "moment",
    "defect",           "angle",       "verdict",       "moment_low",       "moment_high",      "angle_low",
    "angle_high",       "algorithm",   "operator_text", "product",          "operation_number", "node",
    "operator_name",    "calibration_nominal", "calibration_file", "unit", "barcode1", "barcode2", "received_at",
    "erase_generation", "station"};
constexpr int kColumnCount = int(sizeof(kColumns) / sizeof(kColumns[0]));
// Rows per insert statement.
constexpr int kChunk = 100;
// Rows per COPY to a server (see copyRows): a few megabytes of text at most.
constexpr int kServerChunk = 5000;

// A measure's values in kColumns order, to whatever takes them: bound values, COPY text, JSON.
template <class Sink>
void writeMeasure(Sink &&to, const HistoryMeasure &m)
{
    to.text(m.keySerial);
    to.text(m.keyName);
    to.text(m.recordName);
    to.integer(m.connectionIndex);
    to.text(m.measuredAt);
    to.number(m.moment);
    to.number(m.defect);
    to.number(m.angle);
    to.text(m.ok ? QStringLiteral("OK") : QStringLiteral("NG"));
    to.number(m.momentLow);
    to.number(m.momentHigh);
    to.number(m.angleLow);
    to.number(m.angleHigh);
    to.integer(m.algorithm);
    to.text(m.operatorText);
    to.text(m.product);
    to.text(m.operationNumber);
    to.text(m.node);
    to.text(m.operatorName);
    to.number(m.calibrationNominal);
    to.text(m.calibrationFile);
    to.text(m.unit);
    to.text(m.barcode1);
    to.text(m.barcode2);
    to.text(m.receivedAt);
    to.integer(m.eraseGeneration);
    to.text(m.station);
}

// The other way round, from the select list's columns: id, tx, then kColumns.
template <class Source>
HistoryMeasure readMeasure(Source &&from)
{
    HistoryMeasure m;
    m.id = from.integer();
    m.tx = from.integer();
    m.keySerial = from.text();
    m.keyName = from.text();
    m.recordName = from.text();
    m.connectionIndex = int(from.integer());
    m.measuredAt = from.text();
    m.moment = from.number();
    m.defect = from.number();
    m.angle = from.number();
    m.ok = from.text() == QLatin1String("OK");
    m.momentLow = from.number();
    m.momentHigh = from.number();
    m.angleLow = from.number();
    m.angleHigh = from.number();
    m.algorithm = int(from.integer());
    m.operatorText = from.text();
    m.product = from.text();
    m.operationNumber = from.text();
    m.node = from.text();
    m.operatorName = from.text();
    m.calibrationNominal = from.number();
    m.calibrationFile = from.text();
    m.unit = from.text();
    m.barcode1 = from.text();
    m.barcode2 = from.text();
    m.receivedAt = from.text();
    m.eraseGeneration = int(from.integer());
    m.station = from.text();
    return m;
}

// A null QString would bind as SQL NULL, which the NOT NULL columns (and the unique key) refuse.
QString text(const QString &s)
{
    return s.isNull() ? QString(QLatin1String("")) : s;
}

struct BindSink
{
    QSqlQuery &q;
    void text(const QString &v) { q.addBindValue(::text(v)); }
    void number(double v) { q.addBindValue(v); }
    void integer(int v) { q.addBindValue(v); }
};

struct CopySink
{
    QByteArray &line;
    bool first = true;
    void text(const QString &v) { PgBulk::appendField(next(), v); }
    void number(double v) { PgBulk::appendNumber(next(), v); }
    void integer(int v) { PgBulk::appendInteger(next(), v); }
    QByteArray &next()
    {
        if (!first)
            line += '\t';
        first = false;
        return line;
    }
};

struct JsonSink
{
    QJsonObject &o;
    int column = 0;
    void text(const QString &v) { o.insert(QLatin1String(kColumns[column++]), v); }
    void number(double v) { o.insert(QLatin1String(kColumns[column++]), v); }
    void integer(int v) { o.insert(QLatin1String(kColumns[column++]), v); }
};

struct QueryFields
{
    const QSqlQuery &q;
    int column = 0;
    QString text() { return q.value(column++).toString(); }
    double number() { return q.value(column++).toDouble(); }
    qint64 integer() { return q.value(column++).toLongLong(); }
};

QString columnList()
{
    QStringList names;
    for (const char *c : kColumns)
        names << QLatin1String(c);
    return names.join(QStringLiteral(", "));
}

// A refused row as it was, every field named, control characters escaped: readable with any
// SQLite tool and complete enough to archive again by hand.
QString measureJson(const HistoryMeasure &m)
{
    QJsonObject o;
    writeMeasure(JsonSink{o}, m);
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

// Qt runs a query whose prepare failed all the same, as a server statement with no name
// ("EXECUTE  (...)"); the server's syntax error would hide why the prepare failed (a lock or
// statement time-out, a lost connection) and read as a refusal of the rows. The prepare's own
// error stays in q.lastError() instead.
bool prepared(QSqlQuery &q, const QString &statement, const QVariantList &values = {})
{
    if (!q.prepare(statement))
        return false;
    for (const QVariant &v : values)
        q.addBindValue(v);
    return true;
}

// The text columns whose values the page and the statistics' groups offer.
const QStringList &distinctAllowed()
{
    static const QStringList allowed = {QStringLiteral("operator_text"),    QStringLiteral("product"),
                                        QStringLiteral("operation_number"), QStringLiteral("node"),
                                        QStringLiteral("key_serial"),       QStringLiteral("record_name"),
                                        QStringLiteral("operator_name"),    QStringLiteral("station")};
    return allowed;
}

QString selectList() { return QStringLiteral("id, tx, ") + columnList(); }

// Migration steps, one list of statements per version. "%ID%" is the engine's own
// auto-numbered key; everything else is the same text on both engines unless server says.
QStringList migrationSteps(int toVersion, bool server)
{
    switch (toVersion) {
    case 1:
        return {
            QStringLiteral("CREATE TABLE IF NOT EXISTS measures (id %ID%, "
                           "key_serial TEXT NOT NULL, key_name TEXT NOT NULL, record_name TEXT NOT NULL, "
                           "connection_index INTEGER NOT NULL, measured_at TEXT NOT NULL, "
                           "moment DOUBLE PRECISION NOT NULL, defect DOUBLE PRECISION NOT NULL, "
                           "angle DOUBLE PRECISION NOT NULL, verdict TEXT NOT NULL, "
                           "moment_low DOUBLE PRECISION NOT NULL, moment_high DOUBLE PRECISION NOT NULL, "
                           "angle_low DOUBLE PRECISION NOT NULL, angle_high DOUBLE PRECISION NOT NULL, "
                           "algorithm INTEGER NOT NULL, operator_text TEXT NOT NULL, product TEXT NOT NULL, "
                           "operation_number TEXT NOT NULL, node TEXT NOT NULL, operator_name TEXT NOT NULL, "
                           "calibration_nominal DOUBLE PRECISION NOT NULL, calibration_file TEXT NOT NULL, unit TEXT NOT NULL, "
                           "barcode1 TEXT NOT NULL, barcode2 TEXT NOT NULL, received_at TEXT NOT NULL, "
                           "CONSTRAINT measures_once UNIQUE (key_serial, record_name, connection_index, "
                           "measured_at, moment))"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS measures_time ON measures(measured_at, id)"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS measures_record ON measures(record_name, measured_at, id)"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS measures_barcode1 ON measures(barcode1)"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS measures_barcode2 ON measures(barcode2)"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS cursors (name TEXT PRIMARY KEY, position BIGINT NOT NULL)"),
        };
    case 2: {
        // Readers follow the history in (tx, id) order. A server hands out ids when rows are
        // written but shows them when their transaction commits, so a reader going by id alone
        // passes over a row that commits late; the writing transaction's id lets it wait for
        // exactly the transactions still open. Rows and positions from before keep tx 0: a
        // stored position (0, id) still means "everything up to id was read", and every row
        // written from now on sorts after it. SQLite writers take turns, so there tx stays 0.
        // Rows the server refused (a text it cannot store) wait beside the local queue, whole
        // and with the reason, instead of blocking every row behind them.
        QStringList steps{
            QStringLiteral("ALTER TABLE measures ADD COLUMN tx BIGINT NOT NULL DEFAULT 0"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS measures_publish ON measures(tx, id)"),
            QStringLiteral("ALTER TABLE cursors ADD COLUMN tx BIGINT NOT NULL DEFAULT 0"),
            QStringLiteral("CREATE TABLE IF NOT EXISTS set_aside (id %ID%, set_aside_at TEXT NOT NULL, "
                           "reason TEXT NOT NULL, key_serial TEXT NOT NULL, record_name TEXT NOT NULL, "
                           "connection_index INTEGER NOT NULL, measure TEXT NOT NULL)"),
        };
        if (server)
            steps << QStringLiteral("ALTER TABLE measures ALTER COLUMN tx SET DEFAULT (pg_current_xact_id()::text::bigint)");
        return steps;
    }
    case 4:
        // Rows carry the station that archived them (the column itself is added by migrate(),
        // which knows the station's name). A station reads what it has to publish through
        // (station, tx, id), so the index of every station's rows in (tx, id) order goes; a
        // local queue is read by id, its rowid. The plant's questions come per station over a
        // time span; a server counts a station's month for one operator from the index alone
        // (the operator columns ride along in it) instead of visiting every row of the month.
        return {
            QStringLiteral("DROP INDEX IF EXISTS measures_publish"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS measures_station_publish ON measures(station, tx, id)"),
            QStringLiteral("CREATE INDEX IF NOT EXISTS measures_station_time ON measures(station, measured_at, id)")
                + (server ? QStringLiteral(" INCLUDE (operator_text, operator_name)") : QString()),
        };
    case 5: {
        // A joint's rows had two indexes, one in time order and one per station, and every
        // row of every station paid for both: eight stations archived about a sixth faster
        // with one. The station rides at the end of the joint's own index instead, where a
        // joint at one station is still found in the index (the rows of other stations are
        // passed over there, not fetched) and a joint's rows still come in time order.
        QStringList steps{QStringLiteral("DROP INDEX IF EXISTS measures_record_station"),
                          QStringLiteral("DROP INDEX IF EXISTS measures_record")};
        // The columns the indexes are built on compare byte by byte, as SQLite compares
        // them: times in ISO form, serials, names a program wrote. A server's own language
        // rules cost every row a dozen comparisons per index in each of its trees (8 % of a
        // plant's archiving rate), and sorted the same history differently from a station's
        // file. The indexes over them are rebuilt once, the table is not rewritten.
        if (server)
            steps << QStringLiteral("ALTER TABLE measures ALTER COLUMN measured_at TYPE TEXT COLLATE \"C\", "
                                    "ALTER COLUMN key_serial TYPE TEXT COLLATE \"C\", "
                                    "ALTER COLUMN record_name TYPE TEXT COLLATE \"C\", "
                                    "ALTER COLUMN station TYPE TEXT COLLATE \"C\", "
                                    "ALTER COLUMN barcode1 TYPE TEXT COLLATE \"C\", "
                                    "ALTER COLUMN barcode2 TYPE TEXT COLLATE \"C\"");
        steps << QStringLiteral("CREATE INDEX IF NOT EXISTS measures_joint ON measures(record_name, measured_at, id, station)");
        return steps;
    }
    default:
        return {};
    }
}

bool isRetryable(const QSqlError &e)
{
    const QString code = e.nativeErrorCode();
    return code == QLatin1String(HistoryDatabase::SerializationFailure)
           || code == QLatin1String(HistoryDatabase::DeadlockDetected)
           || code == QLatin1String(HistoryDatabase::UniqueViolation);
}

} // namespace

HistoryDatabase::HistoryDatabase()
    : m_connection(QStringLiteral("history-%1").arg(g_connections.fetchAndAddRelaxed(1)))
{
}

HistoryDatabase::~HistoryDatabase()
{
    close();
}

bool HistoryDatabase::open(const HistoryLocation &location, QString *error)
{
    close();
    m_location = location;
    {
        QSqlDatabase db;
        if (location.engine == HistoryLocation::Engine::Sqlite) {
            if (!QDir().mkpath(QFileInfo(location.path).absolutePath())) {
                *error = QCoreApplication::translate("HistoryDatabase", "Cannot make the folder of %1").arg(location.path);
                return false;
            }
            db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
            db.setDatabaseName(location.path);
            db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        } else {
            db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_connection);
            db.setHostName(location.host);
            db.setPort(location.port);
            db.setUserName(location.user);
            db.setDatabaseName(location.database);
            // A station must not hang on a server that is gone: it queues locally instead.
            // connect_timeout bounds the connection; a server that drops off the network
            // later (a cable, a switch) would leave a query waiting for TCP's own time-out
            // of many minutes, so unanswered data and a silent peer give up within seconds.
            db.setConnectOptions(QStringLiteral("connect_timeout=3;tcp_user_timeout=5000;keepalives=1;"
                                                "keepalives_idle=10;keepalives_interval=3;keepalives_count=3"));
        }
        if (!db.isValid()) {
            *error = QCoreApplication::translate("HistoryDatabase", "The database driver is missing");
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_connection);
            return false;
        }
        if (!db.open()) {
            *error = db.lastError().text();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_connection);
            return false;
        }
    }
    if (location.engine == HistoryLocation::Engine::Sqlite) {
        // WAL: the page reads while the archiver writes, and a commit costs no full sync.
        // A larger page cache keeps an archiving transaction's index pages in memory until it
        // commits, instead of spilling them to the log page by page.
        if (!execAll({QStringLiteral("PRAGMA journal_mode=WAL"), QStringLiteral("PRAGMA synchronous=NORMAL"),
                      QStringLiteral("PRAGMA cache_size=-32768")},
                     error)) {
            close();
            return false;
        }
    }
    // A lock another session holds fails a statement within seconds from the start, the
    // migration's included; the statement limit comes after it, since rewriting a large
    // history's rows once may take longer than any ordinary statement should.
    // The server's notices (an index already there, a constraint not yet there) are no news
    // to a person: libpq would print them on the terminal of every command.
    if (location.isServer()
        && !execAll({QStringLiteral("SET lock_timeout = %1").arg(LockTimeoutMs),
                     QStringLiteral("SET client_min_messages = warning")},
                    error)) {
        close();
        return false;
    }
    // Every question this program asks is an index range; compiling it to machine code costs
    // more than it saves (25-35 ms of a 70 ms joint at 10 M rows). A server without JIT does
    // not know the setting, which is no reason to refuse it.
    if (location.isServer())
        QSqlQuery(QSqlDatabase::database(m_connection, false)).exec(QStringLiteral("SET jit = off"));
    if (!migrate(error)) {
        close();
        return false;
    }
    if (location.isServer()
        && !execAll({QStringLiteral("SET statement_timeout = %1").arg(StatementTimeoutMs)}, error)) {
        close();
        return false;
    }
    return true;
}

void HistoryDatabase::setStatementTimeout(int ms)
{
    if (!m_location.isServer())
        return;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    if (!q.exec(QStringLiteral("SET statement_timeout = %1").arg(ms)))
        td::log(QStringLiteral("History: statement time-out not set (%1)").arg(q.lastError().text()));
}

void HistoryDatabase::close()
{
    m_inserts.clear();
    m_staging = false;
    if (!QSqlDatabase::contains(m_connection))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
}

bool HistoryDatabase::isOpen() const
{
    return QSqlDatabase::contains(m_connection) && QSqlDatabase::database(m_connection, false).isOpen();
}

bool HistoryDatabase::execAll(const QStringList &statements, QString *error)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    for (const QString &s : statements) {
        QSqlQuery q(db);
        if (!q.exec(s)) {
            *error = q.lastError().text();
            return false;
        }
    }
    return true;
}

bool HistoryDatabase::ping()
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    return q.exec(QStringLiteral("SELECT 1")) && q.next();
}

int HistoryDatabase::storedVersion()
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT value FROM history_meta WHERE name = 'schema_version'")) || !q.next())
        return 0;
    return q.value(0).toInt();
}

bool HistoryDatabase::migrate(QString *error)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (m_station.isEmpty())
        m_station = StationName::current();
    const int stored = storedVersion();
    if (stored == 0
        && !execAll({QStringLiteral("CREATE TABLE IF NOT EXISTS history_meta (name TEXT PRIMARY KEY, value TEXT NOT NULL)")},
                    error))
        return false;
    if (stored > SchemaVersion) {
        *error = QCoreApplication::translate("HistoryDatabase",
                                             "The history has schema version %1; this program knows up to %2")
                     .arg(stored)
                     .arg(SchemaVersion);
        return false;
    }
    const QString id = m_location.isServer() ? QStringLiteral("BIGSERIAL PRIMARY KEY")
                                             : QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    for (int v = stored + 1; v <= SchemaVersion; ++v) {
        // A queue file is opened by its writer's thread and its drainer's at once: SQLite's
        // write lock taken up front makes the second opener wait, then find the step done.
        if (m_location.isServer() ? !db.transaction() : !execAll({QStringLiteral("BEGIN IMMEDIATE")}, error)) {
            if (m_location.isServer())
                *error = db.lastError().text();
            return false;
        }
        if (storedVersion() >= v) {
            db.commit();
            continue;
        }
        QStringList steps;
        for (const QString &s : migrationSteps(v, m_location.isServer()))
            steps << QString(s).replace(QStringLiteral("%ID%"), id);
        QSqlQuery q(db);
        // Version 4's indexes name the column its own step adds first.
        bool ok = v == 4 || execAll(steps, error);
        // Version 3: a tightening's identity takes its record's erase generation in.
        if (ok && v == 3)
            ok = RecordGenerations::migrate(db, m_location.isServer(), error);
        if (ok && v == 4)
            ok = addStationColumn(error) && execAll(steps, error);
        if (ok) {
            ok = prepared(q,
                          QStringLiteral("INSERT INTO history_meta(name, value) VALUES('schema_version', ?) "
                                         "ON CONFLICT(name) DO UPDATE SET value = excluded.value"),
                          {QString::number(v)})
                 && q.exec();
            if (!ok)
                *error = q.lastError().text();
        }
        if (!ok || !db.commit()) {
            if (ok)
                *error = db.lastError().text();
            db.rollback();
            return false;
        }
        td::log(QStringLiteral("History schema now at version %1 (%2)").arg(v).arg(m_location.display()));
    }
    return true;
}

bool HistoryDatabase::addStationColumn(QString *error)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (db.record(QStringLiteral("measures")).contains(QStringLiteral("station")))
        return true;
    // Rows from before stations had names were archived by whoever opens the history first
    // with this program: they all take that station's name, through the column's default
    // (a server keeps the one value for the table instead of rewriting every row). A station's
    // own file and its local queue never held another station's rows.
    QSqlField name(QStringLiteral("station"), QVariant::String);
    name.setValue(m_station);
    const QString literal = db.driver()->formatValue(name);
    if (!execAll({QStringLiteral("ALTER TABLE measures ADD COLUMN station TEXT NOT NULL DEFAULT ") + literal}, error))
        return false;
    // From here on every row names its station itself; a row that did not would be a fault.
    return !m_location.isServer()
           || execAll({QStringLiteral("ALTER TABLE measures ALTER COLUMN station DROP DEFAULT")}, error);
}

bool HistoryDatabase::finished(const QSqlQuery &q)
{
    // next() says false both at the end of the rows and when reading them failed (a damaged
    // page, a server gone mid-query): only the error tells the two apart.
    if (q.lastError().type() == QSqlError::NoError)
        return true;
    fail(q);
    return false;
}

bool HistoryDatabase::timedOut(const QSqlError &e)
{
    // query_canceled (the statement time-out) and lock_not_available (the lock time-out).
    const QString code = e.nativeErrorCode();
    return code == QLatin1String("57014") || code == QLatin1String("55P03");
}

HistoryDatabase::Refusal HistoryDatabase::classify(const QSqlError &e)
{
    if (e.type() == QSqlError::NoError)
        return Refusal::None;
    if (e.type() == QSqlError::ConnectionError)
        return Refusal::Connection;
    const QString code = e.nativeErrorCode();
    if (m_location.isServer()) {
        // SQLSTATE classes of a server that is away, busy, short of something or broken
        // itself: the same rows go through later. Anything else is about what was sent.
        // 25 holds a server that is read-only for now (a standby) and a transaction an earlier
        // failure left aborted, neither a verdict on the rows.
        static const QStringList transientClasses = {QStringLiteral("08"), QStringLiteral("25"),
                                                     QStringLiteral("40"), QStringLiteral("53"),
                                                     QStringLiteral("55"), QStringLiteral("57"), QStringLiteral("58"),
                                                     QStringLiteral("XX")};
        if (code.size() != 5 || transientClasses.contains(code.left(2)))
            return Refusal::Connection;
    } else {
        // SQLite result codes: busy, locked, out of memory, I/O, full, cannot open.
        static const QStringList transient = {QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"),
                                              QStringLiteral("10"), QStringLiteral("13"), QStringLiteral("14")};
        if (transient.contains(code))
            return Refusal::Connection;
    }
    // A refusal on a connection that has meanwhile gone is no verdict on the rows.
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.isOpen() || !ping())
        return Refusal::Connection;
    return Refusal::Data;
}

void HistoryDatabase::fail(const QSqlQuery &q)
{
    m_lastError = q.lastError().text();
    td::log(QStringLiteral("History query failed: %1").arg(m_lastError));
}

QSqlQuery *HistoryDatabase::insertStatement(int rows, QString *error)
{
    auto found = m_inserts.find(rows);
    if (found != m_inserts.end())
        return found->get();
    QStringList one;
    for (int i = 0; i < kColumnCount; ++i)
        one << QStringLiteral("?");
    const QString tuple = QLatin1Char('(') + one.join(QStringLiteral(", ")) + QLatin1Char(')');
    QStringList tuples;
    for (int r = 0; r < rows; ++r)
        tuples << tuple;
    auto q = std::make_shared<QSqlQuery>(QSqlDatabase::database(m_connection, false));
    if (!q->prepare(QStringLiteral("INSERT INTO measures(%1) VALUES %2 ON CONFLICT DO NOTHING")
                        .arg(columnList(), tuples.join(QStringLiteral(", "))))) {
        *error = q->lastError().text();
        return nullptr;
    }
    m_inserts.insert(rows, q);
    return q.get();
}

int HistoryDatabase::append(const QVector<HistoryMeasure> &measures, QString *error, Refusal *refusal)
{
    // Stations writing at once may each wait on a row the other holds (a key that moved
    // between them, both archiving its record); the server then cancels one of them. The
    // transaction went back whole, so running it again is safe, and a few times settles it.
    QVector<HistoryMeasure> stamped = measures;
    for (HistoryMeasure &m : stamped) {
        if (m.station.isEmpty())
            m.station = m_station;
    }
    // Every station takes the rows of a key in one order, key by key and record by record:
    // two that archive the same key then queue behind each other instead of each holding a
    // row the other waits for. The order within a record stays as it came.
    if (m_location.isServer())
        std::stable_sort(stamped.begin(), stamped.end(), [](const HistoryMeasure &x, const HistoryMeasure &y) {
            return x.keySerial != y.keySerial ? x.keySerial < y.keySerial : x.recordName < y.recordName;
        });
    QSqlError failure;
    bool staged = false;
    for (int attempt = 1;; ++attempt) {
        failure = QSqlError();
        const int added = appendOnce(stamped, staged, error, refusal, &failure);
        if (added >= 0 || !isRetryable(failure) || attempt > TransactionRetries)
            return added;
        // Only a station that archived the same tightenings between this one's look at the
        // history and its write makes the unique key fail; the next attempt lets the key skip them.
        staged = staged || failure.nativeErrorCode() == QLatin1String(UniqueViolation);
        td::log(QStringLiteral("History: the server cancelled a write (%1), attempt %2 of %3")
                    .arg(failure.nativeErrorCode())
                    .arg(attempt + 1)
                    .arg(TransactionRetries + 1));
        // Spread out, so the two that collided do not meet again at once.
        QThread::msleep(RetryPauseMs * attempt + (quintptr(this) >> 4) % RetryPauseMs);
    }
}

int HistoryDatabase::insertRows(const QVector<HistoryMeasure> &rows, QString *error, QSqlError *failure)
{
    int added = 0;
    for (int first = 0; first < rows.size(); first += kChunk) {
        const int count = qMin(kChunk, rows.size() - first);
        QSqlQuery *q = insertStatement(count, error);
        if (!q)
            return -1;
        for (int i = first; i < first + count; ++i)
            writeMeasure(BindSink{*q}, rows.at(i));
        if (!q->exec()) {
            *failure = q->lastError();
            *error = failure->text();
            q->finish();
            return -1;
        }
        added += qMax(0, q->numRowsAffected());
        q->finish();
    }
    return added;
}

int HistoryDatabase::copyRows(const QVector<HistoryMeasure> &rows, bool staged, QString *error, QSqlError *failure)
{
    // The rows are those the history did not hold when this transaction looked (see
    // RecordGenerations::resolve), so they go straight into it by COPY and the unique key
    // only stands guard: a station that archived the same tightenings in the meantime makes
    // the transaction fail whole (UniqueViolation). Run again, staged, the rows go to a table
    // of this session first and into the history in one statement that lets the key skip what
    // is there. A staging table's rows come back in the order they were copied (a session's
    // own table is never scanned from the middle), so the sorted order that keeps stations
    // from deadlocking holds either way.
    PgBulk pg(QSqlDatabase::database(m_connection, false));
    auto refused = [&] {
        *failure = pg.error();
        // The staging table went with its session (a pooler handing out another, DISCARD):
        // no verdict on the rows; the next transaction makes it again.
        if (failure->nativeErrorCode() == QLatin1String("42P01")) {
            m_staging = false;
            *failure = QSqlError(failure->driverText(), failure->databaseText(), QSqlError::ConnectionError,
                                 failure->nativeErrorCode());
        }
        *error = failure->databaseText().isEmpty() ? failure->driverText() : failure->databaseText();
        return -1;
    };
    if (!pg.isValid()) {
        *failure = QSqlError(QStringLiteral("COPY"), QStringLiteral("no session"), QSqlError::ConnectionError);
        *error = failure->databaseText();
        return -1;
    }
    const QByteArray columns = columnList().toLatin1();
    if (staged && !m_staging) {
        if (pg.exec("CREATE TEMP TABLE IF NOT EXISTS measures_incoming ON COMMIT DELETE ROWS AS SELECT " + columns
                    + " FROM measures WITH NO DATA")
            < 0)
            return refused();
        m_stagingMade = true;
    }
    // A read-out may name one tightening twice; the key keeps the first, as it would skip the second.
    QSet<QString> seen;
    seen.reserve(rows.size());
    const QByteArray copy =
        "COPY " + QByteArray(staged ? "measures_incoming" : "measures") + "(" + columns + ") FROM STDIN";
    QByteArray lines;
    int copied = 0;
    for (int first = 0; first < rows.size(); first += kServerChunk) {
        lines.clear();
        const int end = qMin(rows.size(), first + kServerChunk);
        for (int i = first; i < end; ++i) {
            const HistoryMeasure &m = rows.at(i);
            const QString identity = m.keySerial + QLatin1Char('\x1f') + m.recordName + QLatin1Char('\x1f')
                                     + QString::number(m.connectionIndex) + QLatin1Char('\x1f')
                                     + QString::number(m.eraseGeneration);
            if (!seen.contains(identity)) {
                seen.insert(identity);
                writeMeasure(CopySink{lines}, m);
                lines += '\n';
                ++copied;
            }
        }
        if (!pg.copyIn(copy, lines))
            return refused();
    }
    if (!staged)
        return copied;
    const qint64 added = pg.exec("INSERT INTO measures(" + columns + ") SELECT " + columns
                                 + " FROM measures_incoming ON CONFLICT DO NOTHING");
    if (added < 0)
        return refused();
    return int(added);
}

int HistoryDatabase::appendOnce(const QVector<HistoryMeasure> &measures, bool staged, QString *error, Refusal *refusal,
                                QSqlError *failureOut)
{
    if (refusal)
        *refusal = Refusal::None;
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    // Judged after the rollback: a server answers nothing else inside a failed transaction.
    auto lost = [&](const QSqlError &e) {
        *failureOut = e;
        if (refusal)
            *refusal = classify(e);
        if (timedOut(e))
            *error = QCoreApplication::translate("HistoryDatabase", "The history server did not answer in time (%1)")
                         .arg(e.text().trimmed());
    };
    if (!db.isOpen()) {
        *error = QCoreApplication::translate("HistoryDatabase", "The history is not open");
        if (refusal)
            *refusal = Refusal::Connection;
        return -1;
    }
    if (measures.isEmpty())
        return 0;
    if (!db.transaction()) {
        *error = db.lastError().text();
        lost(db.lastError());
        return -1;
    }
    m_stagingMade = false;
    QVector<HistoryMeasure> rows = measures;
    QSqlError resolveFailure;
    if (!RecordGenerations::resolve(db, &rows, error, &resolveFailure)) {
        db.rollback();
        lost(resolveFailure);
        m_inserts.clear();
        return -1;
    }
    const int added = m_location.isServer() ? copyRows(rows, staged, error, failureOut) : insertRows(rows, error, failureOut);
    if (added < 0) {
        db.rollback();
        if (failureOut->type() == QSqlError::NoError) {
            if (refusal)
                *refusal = Refusal::Connection; // not even prepared: no verdict on the rows
        } else {
            lost(*failureOut);
        }
        // A statement prepared on a lost connection cannot be reused on the next one.
        m_inserts.clear();
        return -1;
    }
    if (!db.commit()) {
        const QSqlError failure = db.lastError();
        *error = failure.text();
        db.rollback();
        lost(failure);
        m_inserts.clear();
        return -1;
    }
    m_staging = m_staging || m_stagingMade;
    return added;
}

QString HistoryDatabase::where(const HistoryFilter &f, QVariantList *values) const
{
    QStringList parts;
    auto equal = [&](const char *column, const QString &value) {
        if (value.isEmpty())
            return;
        parts << QString::fromLatin1(column) + QStringLiteral(" = ?");
        *values << value;
    };
    if (!f.since.isEmpty()) {
        parts << QStringLiteral("measured_at >= ?");
        *values << f.since;
    }
    if (!f.until.isEmpty()) {
        // A bare day takes the whole day in.
        parts << QStringLiteral("measured_at <= ?");
        *values << (f.until.size() == 10 ? f.until + QStringLiteral(" 23:59:59") : f.until);
    }
    equal("key_serial", f.keySerial);
    if (!f.operatorText.isEmpty()) {
        parts << QStringLiteral("(operator_text = ? OR operator_name = ?)");
        *values << f.operatorText << f.operatorText;
    }
    equal("product", f.product);
    equal("operation_number", f.operationNumber);
    equal("node", f.node);
    equal("record_name", f.recordName);
    QStringList stations;
    for (const QString &s : f.stations) {
        if (!s.isEmpty() && !stations.contains(s))
            stations << s;
    }
    if (!stations.isEmpty()) {
        QString marks = QStringLiteral("?");
        for (int i = 1; i < stations.size(); ++i)
            marks += QStringLiteral(",?");
        parts << QStringLiteral("station IN (%1)").arg(marks);
        for (const QString &s : qAsConst(stations))
            *values << s;
    }
    if (f.verdict != HistoryFilter::Verdict::Any) {
        parts << QStringLiteral("verdict = ?");
        *values << (f.verdict == HistoryFilter::Verdict::Ok ? QStringLiteral("OK") : QStringLiteral("NG"));
    }
    QStringList codes;
    for (const QString &c : f.barcodes) {
        if (!c.trimmed().isEmpty())
            codes << c.trimmed();
    }
    if (!codes.isEmpty()) {
        QString match;
        if (codes.size() >= 2) {
            match = QStringLiteral("((barcode1 = ? AND barcode2 = ?) OR (barcode1 = ? AND barcode2 = ?))");
            *values << codes.at(0) << codes.at(1) << codes.at(1) << codes.at(0);
        } else {
            match = QStringLiteral("(barcode1 = ? OR barcode2 = ?)");
            *values << codes.at(0) << codes.at(0);
        }
        if (!f.recordOfBarcodes.isEmpty()) {
            match = QStringLiteral("(%1 OR record_name = ?)").arg(match);
            *values << f.recordOfBarcodes;
        }
        parts << match;
    }
    return parts.isEmpty() ? QString() : QStringLiteral(" WHERE ") + parts.join(QStringLiteral(" AND "));
}

qint64 HistoryDatabase::count(const HistoryFilter &filter)
{
    QVariantList values;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    const QString statement = QStringLiteral("SELECT COUNT(*) FROM measures") + where(filter, &values);
    if (!prepared(q, statement, values) || !q.exec() || !q.next()) {
        fail(q);
        return -1;
    }
    return q.value(0).toLongLong();
}

QVector<HistoryMeasure> HistoryDatabase::page(const HistoryFilter &filter, qint64 offset, int limit,
                                              const HistorySort &sort)
{
    QVector<HistoryMeasure> rows;
    QVariantList values;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    // A column name cannot be bound: only the table's own names reach the statement.
    QString column = QStringLiteral("measured_at");
    for (const char *c : kColumns) {
        if (sort.column == QLatin1String(c))
            column = sort.column;
    }
    // The table shows the moment's size; the sign only says the direction.
    if (column == QLatin1String("moment"))
        column = QStringLiteral("ABS(moment)");
    const QString direction = sort.descending ? QStringLiteral(" DESC") : QString();
    const QString statement = QStringLiteral("SELECT %1 FROM measures%2 ORDER BY %3%4, id%4 LIMIT ? OFFSET ?")
                                  .arg(selectList(), where(filter, &values), column, direction);
    values << limit << offset;
    if (!prepared(q, statement, values) || !q.exec()) {
        fail(q);
        return rows;
    }
    rows.reserve(limit);
    while (q.next())
        rows << readMeasure(QueryFields{q});
    return rows;
}

template <class Row>
bool HistoryDatabase::stream(const QString &statement, const QVariantList &values, Row &&row)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!m_location.isServer()) {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (!prepared(q, statement, values) || !q.exec()) {
            fail(q);
            return false;
        }
        while (q.next()) {
            QueryFields fields{q};
            if (!row(fields))
                return true;
        }
        return finished(q);
    }
    // A server sends the rows by COPY, which takes no parameters: each value goes in as a
    // literal libpq quoted for this session.
    PgBulk pg(db);
    QByteArray select;
    int next = 0;
    for (const QChar c : statement) {
        if (c != QLatin1Char('?')) {
            select += char(c.unicode());
            continue;
        }
        const QVariant &v = values.value(next++);
        select += v.type() == QVariant::String ? pg.literal(v.toString()) : QByteArray::number(v.toLongLong());
    }
    // The planner prices the whole answer, and for a wide range it sorts every matching row
    // before it sends the first. This side reads as the rows come, so a plan that walks an
    // index in the asked order streams from its first row and overlaps the server's work
    // with this side's: worth it up to twice the price (a million rows: 1.5 s of server time
    // instead of 2.3-2.6 s, and no temporary files). Where no index gives the order, or only
    // at a far higher price (a filter the index walk would mostly skip), the server sorts.
    const double sorted = pg.planCost(select);
    bool inOrder = sorted > 0 && pg.exec("SET enable_sort = off") >= 0;
    if (inOrder) {
        const double streamed = pg.planCost(select);
        inOrder = streamed > 0 && streamed <= 2 * sorted;
        if (!inOrder)
            pg.exec("RESET enable_sort");
    }
    const auto reset = qScopeGuard([&] {
        if (inOrder)
            pg.exec("RESET enable_sort");
    });
    const QByteArray sql = "COPY (" + select + ") TO STDOUT";
    bool stopped = false;
    PgBulk::Fields::Memory memory;
    const bool read = pg.copyOut(sql, [&](const char *line, int size) {
        PgBulk::Fields fields(line, size, memory);
        stopped = !row(fields);
        return !stopped;
    });
    if (!read && !stopped) {
        m_lastError = pg.error().text();
        td::log(QStringLiteral("History query failed: %1").arg(m_lastError));
    }
    return read;
}

bool HistoryDatabase::forEach(const HistoryFilter &filter, const std::function<bool(const HistoryMeasure &)> &callback,
                              Order order)
{
    setStatementTimeout(StreamingStatementTimeoutMs);
    const auto restore = qScopeGuard([this] { setStatementTimeout(StatementTimeoutMs); });
    QVariantList values;
    const QString statement =
        QStringLiteral("SELECT %1 FROM measures%2 ORDER BY %3measured_at, id")
            .arg(selectList(), where(filter, &values),
                 order == Order::ByRecord ? QStringLiteral("record_name, ") : QString());
    return stream(statement, values, [&](auto &fields) { return callback(readMeasure(fields)); });
}

bool HistoryDatabase::forEachJointRow(const HistoryFilter &filter, const std::function<void(const JointRow &)> &callback,
                                      JointLimits *limits)
{
    setStatementTimeout(StreamingStatementTimeoutMs);
    const auto restore = qScopeGuard([this] { setStatementTimeout(StatementTimeoutMs); });
    QVariantList values;
    const QString where = this->where(filter, &values);
    // The driver turns every column of every row into a variant, and a text column into UTF-16
    // on top: the verdict comes as a number, and what a joint holds once is asked once below.
    const QString statement =
        QStringLiteral("SELECT moment, CASE WHEN verdict = 'OK' THEN 1 ELSE 0 END, algorithm, angle FROM measures%1 "
                       "ORDER BY measured_at, id")
            .arg(where);
    QList<int> angleAlgorithms;
    JointRow r;
    const bool read = stream(statement, values, [&](auto &fields) {
        r.moment = fields.number();
        r.ok = fields.integer() == 1;
        r.algorithm = int(fields.integer());
        r.angle = fields.number();
        if (MeasureJudgement::checksAngle(r.algorithm) && !angleAlgorithms.contains(r.algorithm))
            angleAlgorithms << r.algorithm;
        callback(r);
        return true;
    });
    if (!read)
        return false;
    if (!limits)
        return true;
    *limits = JointLimits();
    const QString also = where.isEmpty() ? QStringLiteral(" WHERE ") : where + QStringLiteral(" AND ");
    // Each walks the (record, time) index from one end and stops at its first row.
    const auto first = [&](const QString &columns, const QString &condition, const QVariantList &more, bool newest,
                           const std::function<void(const QSqlQuery &)> &take) {
        QSqlQuery one(QSqlDatabase::database(m_connection, false));
        one.setForwardOnly(true);
        const QString sql =
            QStringLiteral("SELECT %1 FROM measures%2 ORDER BY measured_at%3, id%3 LIMIT 1")
                .arg(columns, condition.isEmpty() ? where : also + condition,
                     newest ? QStringLiteral(" DESC") : QString());
        if (!prepared(one, sql, values + more) || !one.exec()) {
            fail(one);
            return false;
        }
        if (one.next())
            take(one);
        return finished(one);
    };
    if (!first(QStringLiteral("moment_low, moment_high"), QString(), {}, true, [&](const QSqlQuery &one) {
            limits->momentLow = one.value(0).toDouble();
            limits->momentHigh = one.value(1).toDouble();
        }))
        return false;
    if (!angleAlgorithms.isEmpty()) {
        limits->angleChecked = true;
        QStringList marks;
        QVariantList codes;
        for (int a : qAsConst(angleAlgorithms)) {
            marks << QStringLiteral("?");
            codes << a;
        }
        if (!first(QStringLiteral("angle_low, angle_high"),
                   QStringLiteral("algorithm IN (%1)").arg(marks.join(QLatin1Char(','))), codes, true,
                   [&](const QSqlQuery &one) {
                       limits->angleLow = one.value(0).toDouble();
                       limits->angleHigh = one.value(1).toDouble();
                   }))
            return false;
    }
    return first(QStringLiteral("unit"), QStringLiteral("unit <> ''"), {}, false,
                 [&](const QSqlQuery &one) { limits->unit = one.value(0).toString(); });
}

bool HistoryDatabase::forEachGroupRow(const HistoryFilter &filter, const std::function<void(const GroupRow &)> &callback)
{
    setStatementTimeout(StreamingStatementTimeoutMs);
    const auto restore = qScopeGuard([this] { setStatementTimeout(StatementTimeoutMs); });
    QVariantList values;
    const QString statement =
        QStringLiteral("SELECT station, operator_text, operator_name, key_serial, moment, "
                       "CASE WHEN verdict = 'OK' THEN 1 ELSE 0 END, moment_low, moment_high FROM measures%1 "
                       "ORDER BY measured_at, id")
            .arg(where(filter, &values));
    GroupRow r;
    return stream(statement, values, [&](auto &fields) {
        r.station = fields.text();
        r.operatorText = fields.text();
        r.operatorName = fields.text();
        r.keySerial = fields.text();
        r.moment = fields.number();
        r.ok = fields.integer() == 1;
        r.momentLow = fields.number();
        r.momentHigh = fields.number();
        callback(r);
        return true;
    });
}

QStringList HistoryDatabase::distinct(const QString &column, int limit)
{
    QStringList out;
    if (!distinctAllowed().contains(column))
        return out;
    // A column that leads an index is walked from one value to the next, a step per value:
    // a plant's handful of stations out of a hundred million rows costs a few index probes,
    // where DISTINCT reads every row.
    // A column no index leads (an operator, a product) would be read from every row: seconds
    // per column on a plant's ten million, with every question behind it waiting on the
    // history's thread. Those choices come from the newest ChoiceRows measures instead, read
    // back along the primary key; an older value can still be typed into the filter.
    static const QStringList indexed = {QStringLiteral("key_serial"), QStringLiteral("record_name"),
                                        QStringLiteral("station")};
    const QString statement =
        indexed.contains(column)
            ? QStringLiteral("WITH RECURSIVE walk(v) AS (SELECT MIN(%1) FROM measures UNION ALL "
                             "SELECT (SELECT MIN(%1) FROM measures WHERE %1 > walk.v) FROM walk WHERE walk.v IS NOT NULL) "
                             "SELECT v FROM walk WHERE v IS NOT NULL LIMIT ?")
            : QStringLiteral("SELECT DISTINCT %1 FROM (SELECT %1 FROM measures ORDER BY id DESC LIMIT ")
                  + QString::number(ChoiceRows) + QStringLiteral(") AS newest ORDER BY %1 LIMIT ?");
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    if (!prepared(q, statement.arg(column), {limit}) || !q.exec()) {
        fail(q);
        return out;
    }
    while (q.next())
        out << q.value(0).toString();
    return out;
}

QStringList HistoryDatabase::distinct(const QString &column, const HistoryFilter &filter, int limit)
{
    QStringList out;
    if (!distinctAllowed().contains(column))
        return out;
    QVariantList values;
    const QString statement = QStringLiteral("SELECT DISTINCT %1 FROM measures%2 ORDER BY %1 LIMIT ?")
                                  .arg(column, where(filter, &values));
    values << limit;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    if (!prepared(q, statement, values) || !q.exec()) {
        fail(q);
        return out;
    }
    while (q.next())
        out << q.value(0).toString();
    return out;
}

QString HistoryDatabase::readableHorizon() const
{
    // Every transaction that can still add rows has an id at or above the oldest one open
    // now; whatever lies below that is final and lies before anything yet to come.
    return m_location.isServer() ? QStringLiteral(" AND tx < pg_snapshot_xmin(pg_current_snapshot())::text::bigint")
                                 : QString();
}

QVector<HistoryMeasure> HistoryDatabase::measuresAfter(const HistoryPosition &after, int limit, const QString &station)
{
    QVector<HistoryMeasure> rows;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    // Two halves, each an index range: SQLite walks "(tx, id) > (?, ?)" from the first row of
    // tx onwards, which on a history of millions of rows (all of tx 0 there) costs a scan a page.
    const QString own = station.isEmpty() ? QString() : QStringLiteral(" AND station = ?");
    const QString statement =
        QStringLiteral("SELECT * FROM (SELECT %1 FROM measures WHERE tx = ? AND id > ?%2%3 ORDER BY id LIMIT ?) AS this_tx "
                       "UNION ALL SELECT * FROM (SELECT %1 FROM measures WHERE tx > ?%2%3 ORDER BY tx, id LIMIT ?) AS later_tx "
                       "ORDER BY tx, id LIMIT ?")
            .arg(selectList(), readableHorizon(), own);
    QVariantList values{after.tx, after.id};
    if (!station.isEmpty())
        values << station;
    values << limit << after.tx;
    if (!station.isEmpty())
        values << station;
    values << limit << limit;
    if (!prepared(q, statement, values) || !q.exec()) {
        fail(q);
        return rows;
    }
    while (q.next())
        rows << readMeasure(QueryFields{q});
    if (!finished(q))
        rows.clear();
    return rows;
}

qint64 HistoryDatabase::countAfter(const HistoryPosition &after, const QString &station)
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    const QString own = station.isEmpty() ? QString() : QStringLiteral(" AND station = ?");
    QVariantList values{after.tx, after.id};
    if (!station.isEmpty())
        values << station;
    values << after.tx;
    if (!station.isEmpty())
        values << station;
    if (!prepared(q,
                  QStringLiteral("SELECT (SELECT COUNT(*) FROM measures WHERE tx = ? AND id > ?%1) "
                                 "+ (SELECT COUNT(*) FROM measures WHERE tx > ?%1)")
                      .arg(own),
                  values)
        || !q.exec() || !q.next()) {
        fail(q);
        return -1;
    }
    return q.value(0).toLongLong();
}

std::optional<HistoryPosition> HistoryDatabase::cursor(const QString &name)
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    if (!prepared(q, QStringLiteral("SELECT tx, position FROM cursors WHERE name = ?"), {name}) || !q.exec()) {
        fail(q);
        return std::nullopt;
    }
    HistoryPosition p;
    if (q.next()) {
        p.tx = q.value(0).toLongLong();
        p.id = q.value(1).toLongLong();
    } else if (!finished(q)) {
        return std::nullopt;
    }
    return p;
}

bool HistoryDatabase::setCursor(const QString &name, const HistoryPosition &position)
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    if (!prepared(q,
                  QStringLiteral("INSERT INTO cursors(name, tx, position) VALUES(?, ?, ?) "
                                 "ON CONFLICT(name) DO UPDATE SET tx = excluded.tx, position = excluded.position"),
                  {name, position.tx, position.id})
        || !q.exec()) {
        fail(q);
        return false;
    }
    return true;
}

QVector<HistoryMeasure> HistoryDatabase::oldest(int limit)
{
    return measuresAfter(HistoryPosition(), limit);
}

bool HistoryDatabase::removeUpTo(qint64 id)
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    if (!prepared(q, QStringLiteral("DELETE FROM measures WHERE id <= ?"), {id}) || !q.exec()) {
        fail(q);
        return false;
    }
    return true;
}

bool HistoryDatabase::setAside(const QVector<RefusedMeasure> &rows, QString *error)
{
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.transaction()) {
        *error = db.lastError().text();
        return false;
    }
    const QString now = QDateTime::currentDateTime().toString(QLatin1String(HistoryMeasure::TimeFormat));
    QSqlQuery q(db);
    bool ok = q.prepare(QStringLiteral("INSERT INTO set_aside(set_aside_at, reason, key_serial, record_name, "
                                       "connection_index, measure) VALUES(?, ?, ?, ?, ?, ?)"));
    for (const RefusedMeasure &r : rows) {
        if (!ok)
            break;
        q.addBindValue(now);
        q.addBindValue(text(r.reason));
        q.addBindValue(text(r.measure.keySerial));
        q.addBindValue(text(r.measure.recordName));
        q.addBindValue(r.measure.connectionIndex);
        q.addBindValue(measureJson(r.measure));
        ok = q.exec();
    }
    if (!ok) {
        *error = q.lastError().text();
        db.rollback();
        return false;
    }
    if (!db.commit()) {
        *error = db.lastError().text();
        db.rollback();
        return false;
    }
    return true;
}

qint64 HistoryDatabase::setAsideCount()
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM set_aside")) || !q.next()) {
        fail(q);
        return -1;
    }
    return q.value(0).toLongLong();
}

int HistoryDatabase::bumpGeneration(const QString &keySerial, const QString &record, QString *error)
{
    return RecordGenerations::bump(QSqlDatabase::database(m_connection, false), keySerial, record, error);
}

bool HistoryDatabase::noteCount(const QString &keySerial, const QString &record, int keyCount, QString *error)
{
    return RecordGenerations::noteCount(QSqlDatabase::database(m_connection, false), keySerial, record, keyCount, error);
}

bool HistoryDatabase::held(const QVector<HistoryMeasure> &measures, const QString &keySerial, const QString &record,
                           RecordGenerations::Held *out, QString *error)
{
    return RecordGenerations::held(QSqlDatabase::database(m_connection, false), measures, keySerial, record, out, error);
}

bool HistoryDatabase::makeDurable(QString *error)
{
    // A server's committed transaction is on its disk already. SQLite in WAL mode with
    // synchronous=NORMAL syncs only at a checkpoint, so a commit could still vanish with the
    // power; a full checkpoint writes and syncs it into the database file itself.
    if (m_location.isServer())
        return true;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    if (!q.exec(QStringLiteral("PRAGMA wal_checkpoint(FULL)")) || !q.next()) {
        *error = q.lastError().text();
        return false;
    }
    if (q.value(0).toInt() != 0) {
        *error = QCoreApplication::translate("HistoryDatabase", "the history is busy and could not be written to disk");
        return false;
    }
    return true;
}
