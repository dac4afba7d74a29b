#pragma once

#include "history/HistoryDatabase.h"

#include <QElapsedTimer>
#include <QString>
#include <QVector>

#include <memory>

// The history as the rest of the program sees it: the station's SQLite file, or the plant's
// PostgreSQL server with a local SQLite queue in front of it. Measures that cannot reach the
// server wait in the queue and move to the server, oldest first, once it answers again; the
// server's unique key makes a move repeated after a crash harmless.
class HistoryStore
{
public:
    HistoryStore();
    ~HistoryStore();

    // url as HistoryLocation::parse takes it. For a server, queuePath is the local queue file
    // (empty: <data root>/history/queue.db3). An unreachable server is no failure: the store
    // opens offline and queues. False only when nothing can be written at all.
    bool open(const QString &url, QString *error, const QString &queuePath = QString());
    void close();
    bool isOpen() const;
    bool isServer() const { return m_location.isServer(); }
    bool isOnline() const { return m_primary.isOpen(); }
    QString display() const { return m_location.display(); }
    const HistoryLocation &location() const { return m_location; }
    // The server was just found unreachable by another way (a quick probe): appends keep to
    // the local queue for a retry period instead of waiting out a connection time-out.
    void noteServerUnreachable() { m_sinceAttempt.start(); }

    struct AppendResult
    {
        bool ok = false;   // every measure is in the history or in the queue
        int added = 0;     // new rows in the history
        int queued = 0;    // rows put in the local queue
        QString error;     // why ok is false, or why the server was not reached
    };
    // One transaction: all the measures or none of them.
    AppendResult append(const QVector<HistoryMeasure> &measures);

    // Moves queued measures to the server in id order. Returns the rows moved, -1 when the
    // server is still away or refused them (they stay queued).
    int drainQueue(QString *error);
    qint64 queuedCount();
    // Tries the server again now rather than at the next retry time.
    bool reconnect(QString *error);

    // Queries go to the history itself (the server when there is one).
    HistoryDatabase *database() { return &m_primary; }

    // What the publisher reads: see HistoryDatabase.
    QVector<HistoryMeasure> measuresAfter(qint64 id, int limit) { return m_primary.measuresAfter(id, limit); }
    qint64 countAfter(qint64 id) { return m_primary.countAfter(id); }
    qint64 cursor(const QString &name, qint64 fallback = 0) { return m_primary.cursor(name, fallback); }
    bool setCursor(const QString &name, qint64 position) { return m_primary.setCursor(name, position); }

    // How long an offline store waits before it tries the server again on its own.
    static constexpr int RetryMs = 30000;
    static constexpr int ProbeMs = 3000; // how long a quick reachability probe waits

private:
    bool ensureQueue(QString *error);
    bool tryServer(QString *error);

    HistoryLocation m_location;
    HistoryDatabase m_primary;
    std::unique_ptr<HistoryDatabase> m_queue;
    QString m_queuePath;
    QElapsedTimer m_sinceAttempt;
    bool m_opened = false;
};
