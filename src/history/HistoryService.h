#pragma once

#include "history/HistoryArchiver.h"
#include "history/HistoryWorker.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

class KeySession;
class RecordFile;

// The window's history. The store, the archiver and the queue's retry run on the history's
// own thread (HistoryWorker); this side only asks and is answered by queued calls, so nothing
// on the window's thread ever waits for a database. A question left unanswered longer than
// SilentMs makes the service say the history is not answering until the answers come again.
//
// With a server, what arrives from the key is archived on a second thread whose store only
// writes the local queue (HistoryStore::Mode::QueueOnly): a server that stops answering holds
// the history's thread, never the measures, which reach the queue file at once. The history's
// thread then sends the queue to the server. A local file keeps the one thread.
class HistoryService : public QObject
{
    Q_OBJECT
public:
    static constexpr int SilentMs = 3000;

    explicit HistoryService(QObject *parent = nullptr);
    ~HistoryService() override;

    // url: empty for the local file. Answered by opened(); when nothing can be written the
    // history stays closed and erasing measures is refused.
    void openDatabase(const QString &url);
    QString url() const { return m_url; }
    // The history's state as last reported by its thread.
    const HistoryState &state() const { return m_state; }
    bool isAnswering() const { return m_answering; }
    // When a server was last found away (invalid while it answers or for a local file).
    QDateTime offlineSince() const { return m_offlineSince; }

    // Archives what the key session hands over: every record file that arrives, the whole
    // mirror after a read-out, under the key the session last identified.
    void follow(KeySession *session);
    // Runs for every record archived (see HistoryArchiver) on the thread that archives it;
    // make() is called once per archiving thread, so that each gets a source of its own.
    using BarcodeSource = std::function<QStringList(const QString &record)>;
    void setBarcodeSource(std::function<BarcodeSource()> make);
    // Read on this thread whenever something is archived.
    void setTemplatesSource(std::function<TemplateLists()> source) { m_templates = std::move(source); }
    void setContext(const HistoryArchiver::Context &context);

    // One record file of the mirror; the whole mirror (as at start-up: a crash between a
    // file's arrival and its archiving loses nothing).
    void archiveRecord(const QString &name);
    void archiveMirror();
    // Asks the history's thread to send a server's queue once the server answers.
    void retryQueue();

    // The erase guard (see HistoryArchiver::keepBeforeErase), answered by reply(kept, why)
    // on receiver's thread. It runs after everything archived before it reached the queue,
    // so the server is asked for those measures too.
    void keepBeforeErase(const QString &name, const RecordFile &fromKey, int keyCount, QObject *receiver,
                         std::function<void(bool kept, const QString &why)> reply);
    void noteErased(const QString &name);

    // Any question to the history: work(worker) runs on its thread, reply(result) on this one
    // unless receiver is gone by then. Counts towards "not answering".
    template<typename Work, typename Reply>
    void ask(QObject *receiver, Work work, Reply reply)
    {
        askOn(m_worker, receiver, std::move(work), std::move(reply));
    }
    // Only for code that runs inside work given to ask (on the history's thread).
    HistoryWorker *worker() const { return m_worker; }
    // Where arriving measures are archived: the queue's own worker with a server, else the
    // history's.
    HistoryWorker *archivingWorker() const { return m_queueFirst ? m_queueWorker : m_worker; }

signals:
    void opened(bool ok, const QString &error);
    void historyChanged();
    void stateChanged();
    void answeringChanged(bool answering);
    // Something could not be kept; text for the user.
    void problem(const QString &text);
    // The mirror was archived (start-up, read-out).
    void mirrorArchived(const HistoryArchiver::MirrorResult &result);

private:
    template<typename Work, typename Reply>
    void askOn(HistoryWorker *worker, QObject *receiver, Work work, Reply reply)
    {
        const quint64 id = begin();
        QPointer<QObject> to(receiver);
        worker->post(this, std::move(work), [this, id, to, reply = std::move(reply)](auto result) mutable {
            end(id);
            if (to)
                reply(std::move(result));
        });
    }
    // Both workers, the queue's only while it exists.
    template<typename Work>
    void postToAll(const Work &work)
    {
        m_worker->post(work);
        if (m_queueWorker)
            m_queueWorker->post(work);
    }
    void ensureQueueWorker();
    void drainAfter(int queued);
    quint64 begin();
    void end(quint64 id);
    void checkSilence();
    void pushTemplates();

    HistoryWorker *m_worker;
    // Made for the first server; with a local file it stays, closed, until a server again.
    HistoryWorker *m_queueWorker = nullptr;
    bool m_queueFirst = false;
    std::function<BarcodeSource()> m_barcodes;
    HistoryArchiver::Context m_context;
    bool m_contextSet = false;
    QString m_url;
    HistoryState m_state;
    std::function<TemplateLists()> m_templates;
    quint64 m_nextId = 0;
    QMap<quint64, qint64> m_asked; // question -> when it was asked (ms of m_clock)
    QElapsedTimer m_clock;
    QTimer m_silence;
    bool m_answering = true;
    QDateTime m_offlineSince;
};
