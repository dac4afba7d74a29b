#pragma once

// A private PostgreSQL server for one test run: initdb and pg_ctl as the postgres user (the
// server refuses to run as root) in a temporary folder, on a free port, with its socket in
// that folder. Stopped and removed when the object goes.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QUrl>

#include <unistd.h>

class PgServer
{
public:
    PgServer() : m_dir(QStringLiteral("/tmp/tdpg-XXXXXX")) {}
    ~PgServer() { stop(); }

    static QString binDir()
    {
        const QStringList found = QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
        for (const QString &v : found) {
            const QString bin = QStringLiteral("/usr/lib/postgresql/%1/bin").arg(v);
            if (QFile::exists(bin + QStringLiteral("/pg_ctl")))
                return bin;
        }
        return QString();
    }

    // False with *why when the machine cannot run one (no binaries, no postgres user).
    bool start(QString *why)
    {
        if (binDir().isEmpty()) {
            *why = QStringLiteral("no PostgreSQL binaries under /usr/lib/postgresql");
            return false;
        }
        if (!m_dir.isValid()) {
            *why = QStringLiteral("no temporary folder");
            return false;
        }
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        m_port = probe.serverPort();
        probe.close();
        if (!run({QStringLiteral("chown"), QStringLiteral("postgres"), m_dir.path()}, why, false))
            return false;
        if (!runAsPostgres({binDir() + QStringLiteral("/initdb"), QStringLiteral("-D"), dataDir(), QStringLiteral("-U"),
                            QStringLiteral("postgres"), QStringLiteral("--auth=trust"), QStringLiteral("-E"),
                            QStringLiteral("UTF8"), QStringLiteral("--locale=C.UTF-8")},
                           why))
            return false;
        if (!startServer(why))
            return false;
        return runAsPostgres({binDir() + QStringLiteral("/createdb"), QStringLiteral("-h"), socketDir(),
                              QStringLiteral("-p"), QString::number(m_port), QStringLiteral("-U"),
                              QStringLiteral("postgres"), QStringLiteral("history")},
                             why);
    }

    bool startServer(QString *why)
    {
        const QString options = QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off").arg(m_port).arg(socketDir());
        m_running = runAsPostgres({binDir() + QStringLiteral("/pg_ctl"), QStringLiteral("-D"), dataDir(), QStringLiteral("-l"),
                                   m_dir.filePath(QStringLiteral("log")), QStringLiteral("-o"), options, QStringLiteral("-w"),
                                   QStringLiteral("start")},
                                  why);
        return m_running;
    }

    bool stopServer()
    {
        if (!m_running)
            return true;
        QString why;
        m_running = !runAsPostgres({binDir() + QStringLiteral("/pg_ctl"), QStringLiteral("-D"), dataDir(),
                                    QStringLiteral("-m"), QStringLiteral("immediate"), QStringLiteral("-w"),
                                    QStringLiteral("stop")},
                                   &why);
        return !m_running;
    }

    void stop() { stopServer(); }

    // A fresh database on this server, for a test that wants a clean history.
    bool createDatabase(const QString &name, QString *why)
    {
        return runAsPostgres({binDir() + QStringLiteral("/createdb"), QStringLiteral("-h"), socketDir(),
                              QStringLiteral("-p"), QString::number(m_port), QStringLiteral("-U"),
                              QStringLiteral("postgres"), name},
                             why);
    }

    QString url(const QString &database = QStringLiteral("history")) const
    {
        // Concatenated: arg() would take the "%2F" of the encoded folder for a place marker.
        return QStringLiteral("postgresql://postgres@") + QString::fromLatin1(QUrl::toPercentEncoding(socketDir()))
               + QLatin1Char(':') + QString::number(m_port) + QLatin1Char('/') + database;
    }
    int port() const { return m_port; }
    QString socketDir() const { return m_dir.path(); }

private:
    QString dataDir() const { return m_dir.filePath(QStringLiteral("data")); }

    bool runAsPostgres(QStringList args, QString *why)
    {
        if (::geteuid() == 0)
            args = QStringList{QStringLiteral("runuser"), QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--")} + args;
        return run(args, why, true);
    }

    static bool run(QStringList args, QString *why, bool)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        const QString program = args.takeFirst();
        p.start(program, args);
        if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            *why = program + QLatin1Char(' ') + args.join(QLatin1Char(' ')) + QStringLiteral(": ")
                   + QString::fromLocal8Bit(p.readAll());
            return false;
        }
        return true;
    }

    QTemporaryDir m_dir;
    int m_port = 0;
    bool m_running = false;
};
