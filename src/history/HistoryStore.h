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
//
// A server that stops answering without dropping the connection (a stopped process, a hung
// host: the kernel still acknowledges, so no socket time-out fires and the server enforces no
// statement time-out) holds every call on its connection for as long as it is stopped. Where
// measures must still be kept meanwhile, the store is used as two, one per thread, each with
// connections of its own (Qt's SQL connections belong to the thread that opened them):
//  - on the thread that archives, a store opened with Mode::QueueOnly: append() writes to the
//    local queue and never touches the server, so it answers within the queue file's own time;
//  - on the server's thread, a store opened with Mode::Direct on the same url and queue file:
//    drainQueue() moves the queue to the server oldest first, whenever the writer has added
//    rows (or on a timer), and everything else that needs the server (reads, the erase
//    guard) runs there too. A drain stuck on a stopped server resumes when it answers; rows
//    added meanwhile wait for the next drain.
// With a local SQLite file there is no server: both modes write the file itself.
class HistoryStore
{
public:
    enum class Mode {
        Direct,    // to the server when it answers, else to the queue; drains the queue
        QueueOnly, // to the local queue only; never connects to a server
    };

    HistoryStore();
    ~HistoryStore();

    // url as HistoryLocation::parse takes it. For a server, queuePath is the local queue file
    // (empty: <data root>/history/queue.db3). An unreachable server is no failure: the store
    // opens offline and queues. False only when nothing can be written at all.
    bool open(const QString &url, QString *error, const QString &queuePath = QString(), Mode mode = Mode::Direct);
    Mode mode() const { return m_mode; }
    // The station whose measures this store archives, named in every row (also in the local
    // queue, so rows moved later keep the station that read them). Set before open(); empty:
    // StationName::current() at each open.
    void setStation(const QString &station) { m_station = station; }
    QString station() const { return m_primary.station(); }
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
        int setAside = 0;  // rows the server refused, kept beside the queue (ok is then false)
        QString error;     // why ok is false, or why the server was not reached
    };
    // One transaction: all the measures or none of them, unless the server refuses some: those
    // are set aside with the reason and the others go in.
    AppendResult append(const QVector<HistoryMeasure> &measures);

    // Moves queued measures to the server in id order, setting aside the ones it refuses.
    // Returns the rows moved, -1 when the server is away (they stay queued) and always in
    // QueueOnly mode. Safe while a QueueOnly store on another thread appends to the same queue.
    int drainQueue(QString *error);
    qint64 queuedCount();
    // Rows the server refused, kept in the queue's file (table set_aside) with the reason.
    qint64 setAsideCount();
    QString queuePath() const { return m_queuePath; }
    // Tries the server again now rather than at the next retry time.
    bool reconnect(QString *error);

    // Queries go to the history itself (the server when there is one).
    HistoryDatabase *database() { return &m_primary; }

    // What the publisher reads: see HistoryDatabase.
    QVector<HistoryMeasure> measuresAfter(const HistoryPosition &after, int limit, const QString &station = QString())
    {
        return m_primary.measuresAfter(after, limit, station);
    }
    qint64 countAfter(const HistoryPosition &after, const QString &station = QString())
    {
        return m_primary.countAfter(after, station);
    }
    std::optional<HistoryPosition> cursor(const QString &name) { return m_primary.cursor(name); }
    bool setCursor(const QString &name, const HistoryPosition &position) { return m_primary.setCursor(name, position); }

    // How long an offline store waits before it tries the server again on its own.
    static constexpr int RetryMs = 30000;
    static constexpr int ProbeMs = 3000; // how long a quick reachability probe waits

private:
    bool ensureQueue(QString *error);
    // The queue when this run or an earlier one made it; false when there is none.
    bool existingQueue();
    bool tryServer(QString *error);
    // Appends to the server, halving a refused batch until the refused rows stand alone.
    // False when the server went away meanwhile.
    bool appendSorting(const QVector<HistoryMeasure> &rows, int *added,
                       QVector<HistoryDatabase::RefusedMeasure> *refused, QString *error);
    bool keepRefused(const QVector<HistoryDatabase::RefusedMeasure> &refused, QString *error);

    bool queueOnly() const { return m_mode == Mode::QueueOnly && m_location.isServer(); }

    HistoryLocation m_location;
    Mode m_mode = Mode::Direct;
    HistoryDatabase m_primary;
    std::unique_ptr<HistoryDatabase> m_queue;
    QString m_queuePath;
    QString m_station;
    QElapsedTimer m_sinceAttempt;
    bool m_opened = false;
};
