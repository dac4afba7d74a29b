#pragma once

#include <QObject>
#include <QString>

#include <atomic>

// Long work a person waits for: a report, an export, an import. A job runs on a worker
// thread and speaks only through its signals, so the window's progress widget and the CLI's
// bar show every job the same way and the GUI thread never waits on one.
class Job : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Does the whole work on the calling thread and emits finished() exactly once at the end;
    // on success the last status() before it says what was made (shown as the outcome).
    // Called by startJob() on the job's own thread, or directly where nothing must stay
    // responsive (a test, a one-shot command).
    virtual void run() = 0;

    // Asks the work to stop at its next safe point; it then finishes with ok false. Safe from
    // any thread.
    void cancel() { m_cancelled.store(true); }
    bool isCancelled() const { return m_cancelled.load(); }

signals:
    // total 0 while the amount of work is not known yet.
    void progress(qint64 done, qint64 total);
    void status(const QString &text);
    // error is one line for the user when ok is false.
    void finished(bool ok, const QString &error);

private:
    std::atomic<bool> m_cancelled{false};
};

// Runs job on a thread of its own. The job and the thread delete themselves once finished()
// has been delivered, so connect to the job's signals (queued: they arrive on the receiver's
// thread) before calling this. The job must have no parent.
void startJob(Job *job);
