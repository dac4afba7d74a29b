#pragma once

#include "base/Timing.h"
#include "link/QueueElement.h"

#include <QList>
#include <QMutex>
#include <QSemaphore>
#include <QString>
#include <QThread>

#include <atomic>

class QTimer;

// The transmit queue of one link (USB) or one Wi-Fi key. Its thread releases one command at
// a time through resultReady, waits until the key answers (replyReceived) or the reply timer
// runs out (iUpdateTimer), resends on time-out, and drops the whole list once a command has
// used up its attempts. The thread never touches the link: the link writes each element in
// the GUI thread and then starts the reply timer, so the time-out counts from the write.
//
// Threads: the thread body runs only run(); everything public, and both slots, belong to the
// GUI thread (the thread the queue was made in).
class MyQueueTX : public QThread
{
    Q_OBJECT
public:
    static constexpr int ALIVE_START = 10; // seconds a Wi-Fi key may stay silent

    // interfaceFilter: empty for the USB queue, the key's identifier for a Wi-Fi queue.
    // The thread starts at once.
    explicit MyQueueTX(const QString &interfaceFilter,
                       int replyTimeoutMs = td::timing::queueReplyTimeout,
                       int aliveTickMs = td::timing::queueAliveTick, QObject *parent = nullptr);
    ~MyQueueTX() override;

    // Appends a copy of the element.
    void enqueue(const QueueElement &element);
    int pendingCount() const;

    // Drops every pending element and abandons the command in flight (no further resends
    // of it); wakes the thread if it waits for a reply.
    void clear();
    // Tells the thread to end; it leaves its waits at once.
    void stop();
    // The full tear-down of the owning link: clear, stop, end the thread and wait for it.
    // Safe to call more than once; the destructor calls it too.
    void shutdown();

    // The key answered. An empty name or "USB" answers the USB queue's command in flight;
    // a Wi-Fi key's identifier also refreshes its alive countdown and answers only a command
    // sent to that same key. A reply while no command waits for one is ignored, so it can
    // never release the wait of a later command.
    void replyReceived(const QString &interfaceName);

    // Called by the link when a frame that expects a reply has been handed to the port.
    // Does nothing unless a command is waiting for its reply.
    void startReplyTimer();

    // Running and not told to stop.
    bool isActive() const;
    bool isAwaitingReply() const;
    bool isReplyTimerActive() const;

    int aliveCountdown() const { return m_alive.load(); }
    void resetAlive() { m_alive.store(ALIVE_START); }

    QString interfaceFilter() const { return m_filter; }
    int replyTimeout() const { return m_replyTimeoutMs; }

    // The command in flight.
    uchar currentClass() const;
    QString currentInterfaceName() const;
    int currentNoReply() const;
    uchar currentAttempts() const;
    int timeoutCount() const;

    // Elements handed to the link since the start, resends included.
    quint64 transmissions() const { return m_transmissions.load(); }

signals:
    // One transmission: the link encodes and writes this copy. Queued across threads.
    void resultReady(QueueElement aElement);
    // The queue moved on from a command whose every transmission went unanswered (emitted
    // from the queue's thread). Whoever made the request may ask again at once instead of
    // waiting for a stall to show.
    void commandGivenUp(QueueElement aElement);

public slots:
    void iUpdateTimer();    // reply time-out
    void slot_iTmrOneSec(); // alive countdown

protected:
    void run() override;

private:
    bool accepts(const QString &interfaceName) const;
    bool stopping() const;
    // Makes element the command in flight, awaiting its reply; m_mutex must be held.
    void setInFlightLocked(const QueueElement &element);
    void emitTransmission(const QueueElement &element);
    void waitForReply();
    void stopReplyTimer();
    // The one release a reply owes the thread, if it is still owed.
    void releaseAck();

    QSemaphore m_reply;
    QSemaphore m_items;
    std::atomic<int> m_alive{ALIVE_START};
    QTimer *m_oneSecTimer = nullptr;
    std::atomic<bool> m_stop{false};
    QTimer *m_replyTimer = nullptr;
    // GUI thread only: a reply arrived and its release of m_reply is still to come.
    QTimer *m_ackTimer = nullptr;
    bool m_ackPending = false;
    const QString m_filter;
    const int m_replyTimeoutMs;

    mutable QMutex m_mutex; // guards everything below
    QList<QueueElement> m_list;
    uchar m_currentClass = 0;
    int m_currentNoReply = 0;
    QString m_currentInterface;
    int m_timeoutCount = 0;
    uchar m_currentAttempts = 0;
    // True from the emit of a command that expects a reply until its reply, its time-out
    // or a clear released the thread: exactly one release per wait.
    bool m_awaiting = false;
    // How the last wait of the command in flight ended: its reply timer ran out.
    bool m_lastWaitTimedOut = false;
    // Bumped by clear(); the thread does not resend a command from an older generation.
    quint64 m_generation = 0;

    std::atomic<quint64> m_transmissions{0};
};
