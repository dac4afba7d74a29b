#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

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
    void cancel() { m_cancelled->store(true); }
    bool isCancelled() const { return m_cancelled->load(); }
    // The job for whoever cannot know whether it still exists (it deletes itself when it
    // ends, on its own thread): the handle stays safe to use after that.
    class Handle
    {
    public:
        void cancel() const { m_flag->store(true); }
        bool cancelled() const { return m_flag->load(); }

    private:
        friend class Job;
        explicit Handle(std::shared_ptr<std::atomic<bool>> flag) : m_flag(std::move(flag)) {}
        std::shared_ptr<std::atomic<bool>> m_flag;
    };
    Handle handle() const { return Handle(m_cancelled); }

signals:
    // total 0 while the amount of work is not known yet.
    void progress(qint64 done, qint64 total);
    void status(const QString &text);
    // error is one line for the user when ok is false.
    void finished(bool ok, const QString &error);

private:
    std::shared_ptr<std::atomic<bool>> m_cancelled = std::make_shared<std::atomic<bool>>(false);
};

// Runs job on a thread of its own. The job and the thread delete themselves once finished()
// has been delivered, so connect to the job's signals (queued: they arrive on the receiver's
// thread) before calling this. The job must have no parent.
void startJob(Job *job);

// At the program's end: asks every job started by startJob() and still running to stop, and
// waits up to waitMs for them all, so no file is left half-made by a process that exits under
// it. Returns the number still running after the wait (they are logged).
int stopRunningJobs(int waitMs);
