#pragma once

#include "history/HistoryArchiver.h"
#include "history/HistoryStore.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <atomic>
#include <functional>
#include <type_traits>

class QTcpSocket;
class QThread;

// What the window shows about the history without asking it: a copy made on the history's
// thread after every change.
struct HistoryState
{
    bool open = false;
    bool server = false;
    bool online = false;
    qint64 queued = 0;
    qint64 setAside = 0;
    QString display;
    QString queuePath;
};
Q_DECLARE_METATYPE(HistoryState)

// The history on a thread of its own: the store, its SQL connections (Qt's belong to the thread
// that opened them), the archiver and the queue's retry all live there. Whoever runs on another
// thread reaches them only through post(): the work runs here, the answer goes back to the
// caller's thread by a queued call. A server that stops answering then holds this thread and
// nothing else.
class HistoryWorker : public QObject
{
    Q_OBJECT
public:
    // Starts the thread (named threadName); the worker lives there from now on. End it with
    // release().
    explicit HistoryWorker(const QString &threadName = QStringLiteral("history"));
    ~HistoryWorker() override;

    // What release() does with work posted and not yet run.
    enum class Pending {
        Drop,   // a server may hold the thread: nothing more is asked of it
        Finish, // local files only: what was asked before is done first
    };
    // Stops the thread and deletes the worker, waiting at most waitMs for the statement in
    // progress; a thread that a server still holds after that is left behind with its worker
    // rather than waited for (the process is ending, and a running thread cannot be deleted).
    static void release(HistoryWorker *worker, int waitMs = 5000, Pending pending = Pending::Drop);

    // Runs work(store, archiver) on the history's thread; reply(result) then runs on
    // receiver's thread, unless the receiver is gone by then.
    template<typename Work, typename Reply>
    void post(QObject *receiver, Work work, Reply reply)
    {
        using Result = std::invoke_result_t<Work, HistoryWorker &>;
        QPointer<QObject> to(receiver);
        QMetaObject::invokeMethod(
            this,
            [this, to, work = std::move(work), reply = std::move(reply)]() mutable {
                if (m_closing)
                    return;
                Result r = work(*this);
                if (!to)
                    return;
                QMetaObject::invokeMethod(
                    to.data(), [reply = std::move(reply), r = std::move(r)]() mutable { reply(std::move(r)); },
                    Qt::QueuedConnection);
            },
            Qt::QueuedConnection);
    }
    // Work whose answer nobody waits for.
    template<typename Work>
    void post(Work work)
    {
        QMetaObject::invokeMethod(
            this,
            [this, work = std::move(work)]() mutable {
                if (!m_closing)
                    work(*this);
            },
            Qt::QueuedConnection);
    }

    // Only on the history's thread (inside work given to post).
    HistoryStore *store() { return &m_store; }
    HistoryArchiver *archiver() { return &m_archiver; }
    HistoryState state();
    // Opens (or reopens on another address); starts the queue's retry for a server opened
    // Direct.
    bool open(const QString &url, QString *error, HistoryStore::Mode mode = HistoryStore::Mode::Direct);
    // Sends a server's queue once a quick probe finds the server; the retry timer calls it.
    void retryQueue();
    // Another thread just queued measures: sends them now when the server is connected, else
    // as retryQueue() does.
    void drainQueued();
    bool isProbing() const { return !m_probe.isNull(); }
    // Tells the other threads what changed (historyChanged when rows were added).
    void announce(bool rowsAdded);

    // Set on the history's thread before each archiving: the key and templates in force then.
    void setContext(const HistoryArchiver::Context &context) { m_context = context; }
    void setTemplates(const TemplateLists &templates) { m_templates = templates; }
    // Called on the history's thread; the report database's connection is not this thread's.
    void setBarcodeSource(std::function<QStringList(const QString &record)> source);

signals:
    // Emitted on the history's thread; connect with a queued connection (the default across
    // threads).
    void stateChanged(const HistoryState &state);
    void historyChanged();

private:
    bool shutdown(int waitMs, Pending pending);
    void reconnectAndDrain();

    QThread *m_thread;
    // Work still queued when the window closes is dropped, not run against a server.
    std::atomic_bool m_closing{false};
    HistoryStore m_store;
    HistoryArchiver m_archiver;
    HistoryArchiver::Context m_context;
    TemplateLists m_templates;
    QTimer *m_retry = nullptr;
    // Reaching a TCP server is asked without blocking first: a server that is away would
    // otherwise hold this thread for the whole connection time-out at every retry.
    QPointer<QTcpSocket> m_probe;
};
