#include "base/Job.h"

#include <QThread>

void startJob(Job *job)
{
    auto *thread = new QThread;
    thread->setObjectName(job->metaObject()->className());
    job->moveToThread(thread);
    QObject::connect(thread, &QThread::started, job, &Job::run);
    // The job lives on the worker thread, so this runs there: the queued deliveries of
    // finished() to other threads are already posted when the job goes.
    QObject::connect(job, &Job::finished, job, &QObject::deleteLater);
    QObject::connect(job, &QObject::destroyed, thread, &QThread::quit, Qt::DirectConnection);
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
}
