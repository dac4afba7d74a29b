#include "history/PgBulk.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>

#include <libpq-fe.h>

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// Bytes handed to libpq per CopyData message: large enough that the calls do not count,
// small enough that the line buffer stays a few hundred kilobytes.
constexpr int kCopyPiece = 256 * 1024;

struct ResultDeleter
{
    void operator()(PGresult *r) const { PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

} // namespace

PgBulk::PgBulk(const QSqlDatabase &db)
{
    // The driver hands out its session as a typed pointer; anything else (another driver, a
    // closed connection) leaves this object invalid and the caller on its ordinary path.
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (handle.isValid() && qstrcmp(handle.typeName(), "PGconn*") == 0)
        m_conn = *static_cast<pg_conn *const *>(handle.data());
    if (m_conn && PQstatus(m_conn) != CONNECTION_OK)
        m_conn = nullptr;
}

QByteArray PgBulk::literal(const QString &value) const
{
    const QByteArray utf8 = value.toUtf8();
    char *quoted = m_conn ? PQescapeLiteral(m_conn, utf8.constData(), size_t(utf8.size())) : nullptr;
    if (!quoted)
        return QByteArrayLiteral("NULL"); // matches nothing, where a wrong text might match something
    QByteArray out(quoted);
    PQfreemem(quoted);
    return out;
}

bool PgBulk::failed(const QString &what, const char *sqlState, const QString &message)
{
    const bool gone = !m_conn || PQstatus(m_conn) != CONNECTION_OK;
    m_error = QSqlError(what, message.trimmed(), gone ? QSqlError::ConnectionError : QSqlError::StatementError,
                        QString::fromLatin1(sqlState ? sqlState : ""));
    return false;
}

// Reads the results of the statement until the session is idle again; false with error() when
// one of them failed.
bool PgBulk::drained()
{
    bool ok = true;
    while (PGresult *raw = PQgetResult(m_conn)) {
        Result r(raw);
        const ExecStatusType status = PQresultStatus(raw);
        if (ok && status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
            ok = failed(QStringLiteral("COPY"), PQresultErrorField(raw, PG_DIAG_SQLSTATE),
                        QString::fromUtf8(PQresultErrorMessage(raw)));
    }
    return ok;
}

qint64 PgBulk::exec(const QByteArray &statement, QByteArray *value)
{
    m_error = QSqlError();
    if (!m_conn) {
        failed(QStringLiteral("exec"), nullptr, QStringLiteral("no session"));
        return -1;
    }
    Result r(PQexec(m_conn, statement.constData()));
    const ExecStatusType status = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        failed(QStringLiteral("exec"), r ? PQresultErrorField(r.get(), PG_DIAG_SQLSTATE) : nullptr,
               QString::fromUtf8(r ? PQresultErrorMessage(r.get()) : PQerrorMessage(m_conn)));
        return -1;
    }
    if (value)
        *value = PQntuples(r.get()) > 0 && PQnfields(r.get()) > 0 ? QByteArray(PQgetvalue(r.get(), 0, 0)) : QByteArray();
    return std::atoll(PQcmdTuples(r.get()));
}

double PgBulk::planCost(const QByteArray &select)
{
    QByteArray plan;
    if (exec("EXPLAIN (FORMAT JSON) " + select, &plan) < 0)
        return -1;
    const QJsonValue cost = QJsonDocument::fromJson(plan).array().at(0)[QLatin1String("Plan")][QLatin1String("Total Cost")];
    return cost.isDouble() ? cost.toDouble() : -1;
}

bool PgBulk::startCopy(const QByteArray &statement, int direction)
{
    m_error = QSqlError();
    if (!m_conn)
        return failed(QStringLiteral("COPY"), nullptr, QStringLiteral("no session"));
    Result r(PQexec(m_conn, statement.constData()));
    if (r && PQresultStatus(r.get()) == direction)
        return true;
    return failed(QStringLiteral("COPY"), r ? PQresultErrorField(r.get(), PG_DIAG_SQLSTATE) : nullptr,
                  QString::fromUtf8(r ? PQresultErrorMessage(r.get()) : PQerrorMessage(m_conn)));
}

bool PgBulk::copyIn(const QByteArray &statement, const QByteArray &lines)
{
    if (!startCopy(statement, PGRES_COPY_IN))
        return false;
    bool sent = true;
    for (int at = 0; sent && at < lines.size(); at += kCopyPiece)
        sent = PQputCopyData(m_conn, lines.constData() + at, qMin(kCopyPiece, lines.size() - at)) == 1;
    // Ending the copy with an error message makes the server drop what it got so far; either
    // way the session goes back to idle through the results that follow.
    const QString why = QString::fromUtf8(PQerrorMessage(m_conn));
    if (PQputCopyEnd(m_conn, sent ? nullptr : "the rows could not be sent") != 1 || !sent) {
        drained();
        return failed(QStringLiteral("COPY"), nullptr, why);
    }
    return drained();
}

bool PgBulk::copyOut(const QByteArray &statement, const std::function<bool(const char *, int)> &row)
{
    if (!startCopy(statement, PGRES_COPY_OUT))
        return false;
    bool wanted = true;
    for (;;) {
        char *buffer = nullptr;
        const int size = PQgetCopyData(m_conn, &buffer, 0);
        if (size < 0)
            break; // -1: the copy is complete, -2: it failed; the result says which
        if (wanted) {
            const int length = size > 0 && buffer[size - 1] == '\n' ? size - 1 : size;
            wanted = row(buffer, length);
            if (!wanted) {
                // The reader has what it needs: the server stops sending, and what is
                // already on its way is read and dropped below.
                if (PGcancel *cancel = PQgetCancel(m_conn)) {
                    char why[256];
                    PQcancel(cancel, why, int(sizeof why));
                    PQfreeCancel(cancel);
                }
            }
        }
        PQfreemem(buffer);
    }
    const bool complete = drained();
    return complete || !wanted;
}

void PgBulk::appendField(QByteArray &line, const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    for (const char c : utf8) {
        switch (c) {
        case '\\': line += "\\\\"; break;
        case '\n': line += "\\n"; break;
        case '\r': line += "\\r"; break;
        case '\t': line += "\\t"; break;
        default: line += c;
        }
    }
}

void PgBulk::appendNumber(QByteArray &line, double value)
{
    // The shortest text that reads back to the same bits (the identity of a tightening holds
    // its moment); "nan" and "inf" are read by the server as NaN and Infinity.
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    line.append(text, int(end - text));
}

void PgBulk::appendInteger(QByteArray &line, qint64 value)
{
    line += QByteArray::number(value);
}

std::pair<const char *, int> PgBulk::Fields::next()
{
    const char *start = m_at;
    const char *tab = static_cast<const char *>(std::memchr(start, '\t', size_t(m_end - start)));
    const char *stop = tab ? tab : m_end;
    m_at = tab ? tab + 1 : m_end;
    ++m_column;
    return {start, int(stop - start)};
}

QString PgBulk::Fields::text()
{
    const size_t column = m_column;
    const auto [p, n] = next();
    if (m_memory.size() <= column)
        m_memory.resize(column + 1);
    auto &[raw, value] = m_memory[column];
    if (raw.size() != size_t(n) || std::memcmp(raw.data(), p, size_t(n)) != 0) {
        raw.assign(p, size_t(n));
        value = decoded(p, n);
    }
    return value;
}

QString PgBulk::Fields::decoded(const char *p, int n)
{
    if (!std::memchr(p, '\\', size_t(n)))
        return QString::fromUtf8(p, n);
    if (n == 2 && p[1] == 'N')
        return QString(); // SQL NULL
    QByteArray out;
    out.reserve(n);
    for (int i = 0; i < n; ++i) {
        if (p[i] != '\\' || i + 1 == n) {
            out += p[i];
            continue;
        }
        const char c = p[++i];
        auto digits = [&](int base, int most) {
            int v = 0, used = 0;
            while (used < most && i + 1 < n) {
                const char d = p[i + 1];
                const int x = d >= '0' && d <= '9' ? d - '0'
                              : base == 16 && d >= 'a' && d <= 'f' ? d - 'a' + 10
                              : base == 16 && d >= 'A' && d <= 'F' ? d - 'A' + 10
                                                                   : -1;
                if (x < 0 || x >= base)
                    break;
                v = v * base + x;
                ++i;
                ++used;
            }
            return v;
        };
        switch (c) {
        case 'b': out += '\b'; break;
        case 'f': out += '\f'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'v': out += '\v'; break;
        case 'x': out += char(digits(16, 2)); break;
        default:
            if (c >= '0' && c <= '7') {
                --i;
                out += char(digits(8, 3));
            } else {
                out += c;
            }
        }
    }
    return QString::fromUtf8(out);
}

double PgBulk::Fields::number()
{
    const auto [p, n] = next();
    double v = 0;
    if (std::from_chars(p, p + n, v).ec == std::errc())
        return v;
    // from_chars takes no sign before "Infinity" on every library; the server writes one.
    return QByteArray(p, n).toDouble();
}

qint64 PgBulk::Fields::integer()
{
    const auto [p, n] = next();
    long long v = 0;
    std::from_chars(p, p + n, v);
    return qint64(v);
}
