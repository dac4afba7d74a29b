#include "base/Job.h"

#include "base/Log.h"

#include <QDeadlineTimer>
#include <QMutex>
#include <QMutexLocker>
#include <QThread>
#include <QVector>

namespace {

struct Running
{
    QThread *thread;
    Job::Handle job;
};

QMutex &runningLock()
{
    static QMutex lock;
    return lock;
}

QVector<Running> &running()
{
    static QVector<Running> list;
    return list;
}

} // namespace

void startJob(Job *job)
{
    auto *thread = new QThread;
    thread->setObjectName(job->metaObject()->className());
    job->moveToThread(thread);
    {
        QMutexLocker lock(&runningLock());
        running().append({thread, job->handle()});
    }
    QObject::connect(thread, &QThread::started, job, &Job::run);
    // The job lives on the worker thread, so this runs there: the queued deliveries of
    // finished() to other threads are already posted when the job goes.
    QObject::connect(job, &Job::finished, job, &QObject::deleteLater);
    QObject::connect(job, &QObject::destroyed, thread, &QThread::quit, Qt::DirectConnection);
    // Still on the worker thread: the entry goes before the QThread object can (its
    // deleteLater runs on the thread that made it, which stopRunningJobs() keeps busy).
    QObject::connect(
        thread, &QThread::finished, thread,
        [thread] {
            QMutexLocker lock(&runningLock());
            QVector<Running> &list = running();
            for (int i = 0; i < list.size(); ++i) {
                if (list[i].thread == thread) {
                    list.remove(i);
                    break;
                }
            }
        },
        Qt::DirectConnection);
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}

int stopRunningJobs(int waitMs)
{
    QVector<Running> now;
    {
        QMutexLocker lock(&runningLock());
        now = running();
    }
    for (const Running &r : now)
        r.job.cancel();
    QDeadlineTimer deadline(waitMs);
    int left = 0;
    for (const Running &r : now) {
        if (!r.thread->wait(deadline)) {
            ++left;
            td::log(QStringLiteral("A job (%1) did not stop within %2 ms of the program's end")
                        .arg(r.thread->objectName())
                        .arg(waitMs));
        }
    }
    return left;
}
