#include "history/HistoryLocation.h"

#include "base/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QUrl>

bool HistoryLocation::parse(const QString &text, HistoryLocation *out, QString *error)
{
    const QString t = text.trimmed();
    HistoryLocation loc;
    if (t.isEmpty()) {
        *out = defaultSqlite();
        return true;
    }
    QString rest;
    for (const char *scheme : {"postgresql://", "postgres://"}) {
        if (t.startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
            rest = t.mid(int(qstrlen(scheme)));
    }
    if (rest.isNull()) {
        loc.engine = Engine::Sqlite;
        loc.path = t.startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive) ? t.mid(7) : t;
        if (loc.path.startsWith(QLatin1String("//")))
            loc.path = loc.path.mid(2);
        if (loc.path.isEmpty()) {
            *error = QCoreApplication::translate("HistoryLocation", "The history file has no name");
            return false;
        }
        *out = loc;
        return true;
    }
    loc.engine = Engine::Postgres;
    const int slash = rest.indexOf(QLatin1Char('/'));
    QString authority = slash < 0 ? rest : rest.left(slash);
    QString db = slash < 0 ? QString() : rest.mid(slash + 1);
    const int query = db.indexOf(QLatin1Char('?'));
    if (query >= 0)
        db = db.left(query);
    const int at = authority.lastIndexOf(QLatin1Char('@'));
    if (at >= 0) {
        const QString userInfo = authority.left(at);
        authority = authority.mid(at + 1);
        if (userInfo.contains(QLatin1Char(':'))) {
            *error = QCoreApplication::translate(
                "HistoryLocation", "A password does not belong in the address: put it in ~/.pgpass or PGPASSWORD");
            return false;
        }
        loc.user = QUrl::fromPercentEncoding(userInfo.toUtf8());
    }
    // The port follows the last colon unless the host is a bracketed IPv6 address.
    const int colon = authority.lastIndexOf(QLatin1Char(':'));
    if (colon >= 0 && colon > authority.lastIndexOf(QLatin1Char(']'))) {
        bool ok = false;
        const int port = authority.mid(colon + 1).toInt(&ok);
        if (!ok || port <= 0 || port > 65535) {
            *error = QCoreApplication::translate("HistoryLocation", "The server's port is not a number: %1")
                         .arg(authority.mid(colon + 1));
            return false;
        }
        loc.port = port;
        authority = authority.left(colon);
    }
    if (authority.startsWith(QLatin1Char('[')) && authority.endsWith(QLatin1Char(']')))
        authority = authority.mid(1, authority.size() - 2);
    loc.host = QUrl::fromPercentEncoding(authority.toUtf8());
    loc.database = QUrl::fromPercentEncoding(db.toUtf8());
    if (loc.database.isEmpty()) {
        *error = QCoreApplication::translate("HistoryLocation", "The address names no database");
        return false;
    }
    *out = loc;
    return true;
}

HistoryLocation HistoryLocation::defaultSqlite()
{
    HistoryLocation loc;
    loc.path = QDir(Paths::dataRoot()).filePath(QStringLiteral("history/history.db3"));
    return loc;
}

QString HistoryLocation::display() const
{
    if (engine == Engine::Sqlite)
        return path;
    QString host = this->host;
    if (host.contains(QLatin1Char('/')))
        host = QString::fromLatin1(QUrl::toPercentEncoding(host));
    return QStringLiteral("postgresql://") + (user.isEmpty() ? QString() : user + QLatin1Char('@')) + host
           + QLatin1Char(':') + QString::number(port) + QLatin1Char('/') + database;
}
