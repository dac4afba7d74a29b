#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

struct MeasureEntry;
struct RecordHeader;
class TemplateLists;

// The local SQLite database beside the program (default connection): the report scratch table
// "records" and the barcode pairs of table "codes".
//
// Every value is bound, never pasted into the statement, so a quote in an operator's name or a
// scanned code is stored as it stands. Each statement is prepared once per opening. A file that
// is missing or holds no tables (deleted by a user, a fresh data root) is given the tables of
// the schema the program ships with, so barcodes do not stay broken for good.
class ReportDatabase
{
public:
    // Opens the default connection on path and creates missing tables. Logs
    // "DB Report connected" or "DB Report Not connected" with the reason.
    static bool open(const QString &path);
    static void close();
    static bool isOpen();
    // Why the last open failed; empty after a good one.
    static QString lastError();

    // The ten columns of a measure row, in statement order, as text.
    static QStringList measureValues(const QString &recordName, int index, const MeasureEntry &e,
                                     const RecordHeader &record, const TemplateLists &templates);
    // The sixteen columns of a record row (the QR list), in statement order, as text.
    static QStringList recordValues(const QString &recordName, const RecordHeader &record,
                                    const TemplateLists &templates);

    static bool insertMeasure(const QStringList &values);
    // The rows of one record's entries, as measureValues makes them (first connection index
    // firstIndex), sent many rows to a statement. Returns the rows stored.
    static int insertMeasures(const QString &recordName, const RecordHeader &record,
                              const QVector<MeasureEntry> &entries, const TemplateLists &templates,
                              int firstIndex = 0);
    static bool insertRecord(const QStringList &values);
    // "DELETE FROM records".
    static bool clearRecords();

    // One transaction around many inserts: a thousand single-row commits would each wait for
    // the disk. Nested scopes join the outer one.
    class Batch
    {
    public:
        Batch();
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;

    private:
        bool m_owner = false;
    };

    // The record a pair of codes was attached to, in either order; empty when none is.
    static QString findRecordByBarcodes(const QStringList &codes);

    // The pair attached to record, empty when it has none (or there is no open database).
    static QStringList barcodesOfRecord(const QString &record);

    enum class AddCodes { Added, AlreadyExists, Refused, NotAvailable };
    // Attaches (c0, c1) to record. AlreadyExists: the pair (in either order) belongs to a
    // record already; Refused: the database would not take the row (the record has a pair);
    // NotAvailable: there is no open database.
    static AddCodes addBarcodes(const QString &c0, const QString &c1, const QString &record);
};
