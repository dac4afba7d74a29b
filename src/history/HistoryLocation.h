#pragma once

#include <QString>

// Where the history lives: a SQLite file (the station's own) or a PostgreSQL server shared by
// the plant's stations, written as postgresql://user@host:port/dbname. A host that is a folder
// (percent-encoded, "%2Fvar%2Frun%2Fpostgresql") means the server's socket in that folder.
//
// The password never travels in the address: libpq finds it in ~/.pgpass or PGPASSWORD, so it
// stays out of the command line, the settings file and the log.
struct HistoryLocation
{
    enum class Engine { Sqlite, Postgres };

    Engine engine = Engine::Sqlite;
    QString path; // SQLite file
    QString host;
    int port = 5432;
    QString user;
    QString database;

    // text: empty (the default file), a postgresql:// address, "sqlite:PATH" or a file path.
    // False with *error for an address it cannot use (one with a password included).
    static bool parse(const QString &text, HistoryLocation *out, QString *error);
    static HistoryLocation defaultSqlite(); // <data root>/history/history.db3
    // For the log and the page: never carries a password.
    QString display() const;
    bool isServer() const { return engine == Engine::Postgres; }
};
