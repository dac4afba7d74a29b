#pragma once

#include <QByteArray>
#include <QSqlError>
#include <QString>

#include <functional>
#include <string>
#include <vector>
#include <utility>

class QSqlDatabase;
struct pg_conn;

// COPY on the session Qt's PostgreSQL driver already holds, which the driver itself cannot do.
// Rows travel as the server's own text format instead of as literals inside a statement: a
// station's read-out goes in with a single parse per value, and an export streams out without
// a round trip, a result object and a QVariant per row. Being the driver's session, it shares
// its transaction, its time-outs and its TCP limits.
class PgBulk
{
public:
    explicit PgBulk(const QSqlDatabase &db);
    bool isValid() const { return m_conn != nullptr; }

    // A value for a statement's text, quoted and escaped by libpq for this session's encoding.
    QByteArray literal(const QString &value) const;
    // Runs one statement; the rows it changed, or -1 with error(). With value, also the first
    // row's first column (empty when there is none).
    qint64 exec(const QByteArray &statement, QByteArray *value = nullptr);
    // What the planner expects the whole of a SELECT to cost under the session's settings,
    // in its own units; -1 when it cannot say.
    double planCost(const QByteArray &select);
    // "COPY … FROM STDIN" fed with lines in the text format (see appendField).
    bool copyIn(const QByteArray &statement, const QByteArray &lines);
    // "COPY … TO STDOUT": each line without its newline, fields still escaped (see Fields).
    // The callback returns false to stop; the rest of the answer is then cancelled and
    // drained, so the session is ready for the next statement either way.
    bool copyOut(const QByteArray &statement, const std::function<bool(const char *line, int size)> &row);

    // The failure of the last call, SQLSTATE in nativeErrorCode(), ConnectionError when the
    // session itself is gone.
    const QSqlError &error() const { return m_error; }

    // A field in the text format, which puts a tab between fields and a newline after the row;
    // the escapes keep a value's own tabs, newlines and backslashes.
    static void appendField(QByteArray &line, const QString &value);
    static void appendNumber(QByteArray &line, double value);
    static void appendInteger(QByteArray &line, qint64 value);

    // Reads a received line's fields in order.
    class Fields
    {
    public:
        // Each column's last text, kept from one line to the next: a history's rows repeat
        // most of their texts (the key, the joint, the operator, the station), and a repeat
        // then costs a comparison where it cost a new string.
        using Memory = std::vector<std::pair<std::string, QString>>;
        Fields(const char *line, int size, Memory &memory) : m_at(line), m_end(line + size), m_memory(memory)
        {
        }
        QString text();
        double number();
        qint64 integer();

    private:
        // The next field's raw bytes; the reader moves past its tab.
        std::pair<const char *, int> next();
        static QString decoded(const char *p, int n);
        const char *m_at;
        const char *m_end;
        Memory &m_memory;
        size_t m_column = 0;
    };

private:
    bool failed(const QString &what, const char *sqlState, const QString &message);
    bool drained();
    // Sends a COPY statement; true once the server is ready to take (or give) its rows.
    bool startCopy(const QByteArray &statement, int direction);

    pg_conn *m_conn = nullptr;
    QSqlError m_error;
};
