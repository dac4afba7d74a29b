#pragma once

#include "history/HistoryLocation.h"
#include "history/HistoryMeasure.h"
#include "history/HistoryPosition.h"
#include "history/RecordGenerations.h"

#include <QHash>
#include <QSqlDatabase>
#include <QVariant>
#include <QString>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>

class QSqlError;
class QSqlQuery;

// One connection to a history database, SQLite or PostgreSQL, with the same schema and the
// same statements on both. Every value is bound. Opening migrates the schema to the version
// this program knows; a database written by a newer program is refused rather than guessed at.
class HistoryDatabase
{
public:
    static constexpr int SchemaVersion = 5;
    // A transaction the server cancelled because of another one (SQLSTATE 40001, 40P01, 23505) is run
    // again this many times, RetryPauseMs times the attempt apart, before the rows wait in
    // the local queue like any others the server would not take now.
    static constexpr const char *SerializationFailure = "40001";
    static constexpr const char *DeadlockDetected = "40P01";
    // Another station archived the same tightenings between this one's look and its write.
    static constexpr const char *UniqueViolation = "23505";
    static constexpr int TransactionRetries = 4;
    static constexpr int RetryPauseMs = 20;
    // A server that holds a lock (VACUUM FULL, ALTER TABLE) or sits on a statement must not
    // hold the station: past these the statement fails as a lost connection would, and the
    // measures wait in the local queue.
    static constexpr int StatementTimeoutMs = 5000;
    static constexpr int LockTimeoutMs = 3000;
    // A read that streams a whole filter (an export, a joint's statistics) runs as long as the
    // rows take to arrive and be written, which is no sign of a stuck server; the connection's
    // TCP limits still catch a server that has gone.
    static constexpr int StreamingStatementTimeoutMs = 3600000;

    HistoryDatabase();
    ~HistoryDatabase();
    HistoryDatabase(const HistoryDatabase &) = delete;
    HistoryDatabase &operator=(const HistoryDatabase &) = delete;

    bool open(const HistoryLocation &location, QString *error);
    void close();
    bool isOpen() const;
    // A round trip: false when a server has gone away under an open connection.
    bool ping();
    const HistoryLocation &location() const { return m_location; }
    // The station whose rows this connection writes (rows that name none get it) and that
    // rows from before stations had names take when the history is migrated. Set before
    // open(); empty: StationName::current().
    void setStation(const QString &station) { m_station = station; }
    QString station() const { return m_station; }
    // The version stored in the database (0 when it has none).
    int storedVersion();

    // Why a write was turned away: the server could not be reached (try again later), or it
    // refused what it was given (trying again changes nothing).
    enum class Refusal { None, Connection, Data };

    // Appends the measures in one transaction (run again when the server cancels it for a
    // collision with another station, see TransactionRetries), each in its record's erase generation (see
    // RecordGenerations); a measure the history holds as the same tightening is skipped.
    // Returns the rows added, or -1 with *error when nothing was written; *refusal says which
    // kind of failure it was.
    int append(const QVector<HistoryMeasure> &measures, QString *error, Refusal *refusal = nullptr);

    qint64 count(const HistoryFilter &filter);
    // Newest first unless sort says otherwise; a column the table does not have sorts by time.
    QVector<HistoryMeasure> page(const HistoryFilter &filter, qint64 offset, int limit, const HistorySort &sort = {});
    // Oldest first (by record name first with Order::ByRecord), one row at a time, never the
    // whole answer in memory; the callback returns false to stop. False, with lastError(), when
    // the query failed, also part way through the rows.
    enum class Order { ByTime, ByRecord };
    bool forEach(const HistoryFilter &filter, const std::function<bool(const HistoryMeasure &)> &callback,
                 Order order = Order::ByTime);
    // The few columns statistics read, oldest first: cheaper than whole rows for a joint's
    // hundred thousand measures. What a joint holds once (its limits, its unit) is not read per
    // row but asked after the rows: limits: the newest row's; angle limits: the newest row whose
    // algorithm checks the angle; unit: the oldest row that names one.
    struct JointRow
    {
        double moment;
        bool ok;
        int algorithm;
        double angle;
    };
    struct JointLimits
    {
        double momentLow = 0, momentHigh = 0;
        bool angleChecked = false;
        double angleLow = 0, angleHigh = 0;
        QString unit;
    };
    bool forEachJointRow(const HistoryFilter &filter, const std::function<void(const JointRow &)> &callback,
                         JointLimits *limits);
    // What a joint's groups (by station, operator, key) are made of, oldest first.
    struct GroupRow
    {
        QString station, operatorText, operatorName, keySerial;
        double moment;
        bool ok;
        double momentLow, momentHigh;
    };
    bool forEachGroupRow(const HistoryFilter &filter, const std::function<void(const GroupRow &)> &callback);
    // The distinct values of a text column for the page's choices ("operator_text", "product",
    // "operation_number", "node", "key_serial", "record_name",
    // "station"). Keys, records and stations come from the whole history; the others from
    // its newest ChoiceRows measures.
    static constexpr int ChoiceRows = 200000;
    QStringList distinct(const QString &column, int limit = 500);
    // The same within a filter (the operators of one joint, say).
    QStringList distinct(const QString &column, const HistoryFilter &filter, int limit = 500);

    // For readers that follow the history as it grows (the publisher): rows after a position
    // in (tx, id) order, how many there are, and named positions kept in the database itself.
    // On a server measuresAfter returns only rows no open transaction can still add below:
    // what it returns once is never preceded by a row that shows up later.
    // station: only the rows that station archived (empty: every row).
    QVector<HistoryMeasure> measuresAfter(const HistoryPosition &after, int limit, const QString &station = QString());
    qint64 countAfter(const HistoryPosition &after, const QString &station = QString());
    // The stored position ({} when none is stored yet); nothing when it could not be read.
    std::optional<HistoryPosition> cursor(const QString &name);
    bool setCursor(const QString &name, const HistoryPosition &position);

    // Rows a server refused, kept whole with its reason (in the local queue's file).
    struct RefusedMeasure
    {
        HistoryMeasure measure;
        QString reason;
    };
    bool setAside(const QVector<RefusedMeasure> &rows, QString *error);
    qint64 setAsideCount();

    // The rows in id order, for moving a local queue to the server.
    QVector<HistoryMeasure> oldest(int limit);
    bool removeUpTo(qint64 id);

    QString lastError() const { return m_lastError; }
    // How an error of this connection's driver is to be taken. A statement or lock time-out
    // counts as a lost connection.
    Refusal classify(const QSqlError &error);
    static bool timedOut(const QSqlError &error);

    // The record was emptied on the key: its next measures are new tightenings whatever their
    // index. Returns the new generation, -1 with *error on failure.
    int bumpGeneration(const QString &keySerial, const QString &record, QString *error);
    // The key counts keyCount measures for the record (see RecordGenerations::noteCount).
    bool noteCount(const QString &keySerial, const QString &record, int keyCount, QString *error);
    // What the history holds of the record's current generation, and which of measures match.
    bool held(const QVector<HistoryMeasure> &measures, const QString &keySerial, const QString &record,
              RecordGenerations::Held *out, QString *error);
    // Everything committed so far survives a power cut once this returns true.
    bool makeDurable(QString *error);

private:
    bool migrate(QString *error);
    bool addStationColumn(QString *error);
    int appendOnce(const QVector<HistoryMeasure> &measures, bool staged, QString *error, Refusal *refusal,
                   QSqlError *failure);
    bool execAll(const QStringList &statements, QString *error);
    QSqlQuery *insertStatement(int rows, QString *error);
    int insertRows(const QVector<HistoryMeasure> &rows, QString *error, QSqlError *failure);
    int copyRows(const QVector<HistoryMeasure> &rows, bool staged, QString *error, QSqlError *failure);
    // Runs a query and hands its rows one by one to row, which reads their fields in order
    // (text(), number(), integer()) and returns false to stop: by COPY on a server.
    template <class Row>
    bool stream(const QString &statement, const QVariantList &values, Row &&row);
    QString where(const HistoryFilter &filter, QVariantList *values) const;
    void fail(const QSqlQuery &q);
    bool finished(const QSqlQuery &q);
    void setStatementTimeout(int ms);
    QString readableHorizon() const;

    HistoryLocation m_location;
    QString m_connection;
    QString m_lastError;
    QString m_station;
    QHash<int, std::shared_ptr<QSqlQuery>> m_inserts;
    // This session's staging table for COPY exists (it was made in a committed transaction),
    // and whether the running transaction made it.
    bool m_staging = false;
    bool m_stagingMade = false;
};
