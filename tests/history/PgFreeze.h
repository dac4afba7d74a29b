#pragma once

// Freezes a private PostgreSQL server as a hung host does: every process of the cluster (the
// postmaster and its backends) stopped by SIGSTOP, so connections stay open and nothing
// answers. Thawed by SIGCONT, and always when the object goes. A watchdog thread may thaw while
// the test's own thread does.
#include "PgServer.h"

#include <QDir>
#include <QFile>

#include <mutex>

#include <signal.h>
#include <sys/types.h>

class PgFreeze
{
public:
    explicit PgFreeze(const PgServer &server) : m_pidFile(server.socketDir() + QStringLiteral("/data/postmaster.pid")) {}
    ~PgFreeze() { thaw(); }

    bool freeze()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopped = processes();
        for (pid_t pid : m_stopped)
            ::kill(pid, SIGSTOP);
        return !m_stopped.isEmpty();
    }
    void thaw()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (pid_t pid : m_stopped)
            ::kill(pid, SIGCONT);
        m_stopped.clear();
    }

private:
    QVector<pid_t> processes() const
    {
        QFile f(m_pidFile);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        const pid_t postmaster = pid_t(f.readLine().trimmed().toInt());
        if (postmaster <= 0)
            return {};
        QVector<pid_t> out{postmaster};
        for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            bool number = false;
            const int pid = entry.toInt(&number);
            if (!number)
                continue;
            QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
            if (!stat.open(QIODevice::ReadOnly))
                continue;
            // pid (comm) state ppid ...: the name may hold spaces, the last ')' ends it.
            const QByteArray line = stat.readAll();
            const QList<QByteArray> rest = line.mid(line.lastIndexOf(')') + 2).split(' ');
            if (rest.size() > 1 && rest.at(1).toInt() == postmaster)
                out << pid_t(pid);
        }
        return out;
    }

    QString m_pidFile;
    std::mutex m_mutex;
    QVector<pid_t> m_stopped;
};
