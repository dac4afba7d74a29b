#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

struct MeasureEntry;
struct RecordHeader;
class QSqlDatabase;
class QThread;
class TemplateLists;

// The local SQLite database beside the program: the report scratch table "records" and the
// barcode pairs of table "codes".
//
// An object holds one named connection of its own, opened and used on one thread (the one
// that opened it; Qt's SQL connections belong to their thread). The station makes one for the
// GUI thread and hands it to the pages that need it; work on another thread opens its own
// ReportDatabase on the same file (path()) from that thread, under another name.
//
// Every value is bound, never pasted into the statement, so a quote in an operator's name or a
// scanned code is stored as it stands. Each statement is prepared once per opening. A file that
// is missing or holds no tables (deleted by a user, a fresh data root) is given the tables of
// the schema the program ships with, so barcodes do not stay broken for good.
class ReportDatabase
{
public:
    // The connection name of the station's own database.
    static const QString stationConnection;

    // connectionName must be unique among the open connections of the process; empty: a
    // fresh one is made up.
    explicit ReportDatabase(const QString &connectionName = QString());
    // The station's own: the data root's file under stationConnection, opened on the calling
    // thread (isOpen() says whether that worked). The window and the command line both
    // make theirs here.
    static std::unique_ptr<ReportDatabase> openStation();
    ~ReportDatabase();
    ReportDatabase(const ReportDatabase &) = delete;
    ReportDatabase &operator=(const ReportDatabase &) = delete;

    // Opens the connection on path and creates missing tables. Logs
    // "DB Report connected" or "DB Report Not connected" with the reason.
    bool open(const QString &path);
    void close();
    bool isOpen() const;
    // Why the last open failed; empty after a good one.
    QString lastError() const { return m_lastError; }
    QString path() const { return m_path; }
    QString connectionName() const { return m_name; }

    // Gives db (open) the tables of the shipped schema where they are missing. Used for
    // this file and for the QR list's private scratch database.
    static bool ensureTables(QSqlDatabase &db, QString *error);

    // The ten columns of a measure row, in statement order, as text.
    static QStringList measureValues(const QString &recordName, int index, const MeasureEntry &e,
                                     const RecordHeader &record, const TemplateLists &templates);
    // The sixteen columns of a record row (the QR list), in statement order, as text.
    static QStringList recordValues(const QString &recordName, const RecordHeader &record,
                                    const TemplateLists &templates);
    // The statement that stores recordValues.
    static QString insertRecordStatement();

    bool insertMeasure(const QStringList &values);
    // The rows of one record's entries, as measureValues makes them (first connection index
    // firstIndex), sent many rows to a statement. Returns the rows stored.
    int insertMeasures(const QString &recordName, const RecordHeader &record, const QVector<MeasureEntry> &entries,
                       const TemplateLists &templates, int firstIndex = 0);
    bool insertRecord(const QStringList &values);
    // "DELETE FROM records".
    bool clearRecords();

    // One transaction around many inserts: a thousand single-row commits would each wait for
    // the disk. Nested scopes join the outer one; a null or closed database makes it a no-op.
    class Batch
    {
    public:
        explicit Batch(ReportDatabase *db);
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;

    private:
        ReportDatabase *m_db;
        bool m_joined = false;
        bool m_owner = false;
    };

    // The record a pair of codes was attached to, in either order; empty when none is.
    QString findRecordByBarcodes(const QStringList &codes);

    // The pair attached to record, empty when it has none (or the database is not open).
    QStringList barcodesOfRecord(const QString &record);

    enum class AddCodes { Added, AlreadyExists, Refused, NotAvailable };
    // Attaches (c0, c1) to record. AlreadyExists: the pair (in either order) belongs to a
    // record already; Refused: the database would not take the row (the record has a pair);
    // NotAvailable: the database is not open.
    AddCodes addBarcodes(const QString &c0, const QString &c1, const QString &record);

    struct Statements;

private:
    bool openConnection(const QString &path);
    // False (and logged) when called from a thread other than the one that opened it.
    bool onOwnThread() const;

    QString m_name;
    QString m_path;
    QString m_lastError;
    QThread *m_thread = nullptr;
    std::unique_ptr<Statements> m_statements;
    int m_batchDepth = 0;
};
