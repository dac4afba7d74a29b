#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QTimer>

#include <functional>

// How long the thread it lives on stood still: a 10 ms timer ticks on it, and the largest gap
// between two ticks since start() is the longest stall. Shared by the tests that check a window
// keeps answering and the benchmarks that print the figure.
//
// A gap is also measured without the time the thread spent ready to run while the machine gave
// every core to someone else (the kernel's run-queue delay, /proc/thread-self/schedstat on
// Linux): a test on a loaded two-core runner must not blame the program for the scheduler, while
// a thread that waits on a server or works for a second is held all the same.
class StallMeter : public QObject
{
public:
    StallMeter()
    {
        m_timer.setInterval(10);
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, [this] { tick(m_clock.nsecsElapsed()); });
    }
    // gap(ms) is called for every gap longer than thresholdMs, so a log says what held the thread.
    void onLongGap(double thresholdMs, std::function<void(double ms)> gap)
    {
        m_longGapNs = qint64(thresholdMs * 1e6);
        m_onLongGap = std::move(gap);
    }
    void start()
    {
        m_longest = 0;
        m_longestHeld = 0;
        m_longestQueued = 0;
        m_ticks = 0;
        m_clock.start();
        m_last = 0;
        m_lastQueued = runQueueNs();
        m_timer.start();
    }
    // The gap still open when the measure ends counts too: a thread held to the end never
    // ticked in it.
    void stop()
    {
        tick(m_clock.nsecsElapsed());
        m_timer.stop();
    }
    double longestMs() const { return m_longest / 1e6; }
    // The longest gap less the time the thread waited for a core in it.
    double longestHeldMs() const { return m_longestHeld / 1e6; }
    // For a failure message: both figures and the scheduler's share.
    QString describe() const
    {
        return QStringLiteral("longest gap %1 ms, held %2 ms (the longest wait for a core in a gap: %3 ms)")
            .arg(longestMs(), 0, 'f', 1)
            .arg(longestHeldMs(), 0, 'f', 1)
            .arg(m_longestQueued / 1e6, 0, 'f', 1);
    }
    double elapsedMs() const { return m_clock.nsecsElapsed() / 1e6; }
    int ticks() const { return m_ticks; }

private:
    // Nanoseconds this thread has spent runnable but not running; 0 where the kernel does not say.
    static qint64 runQueueNs()
    {
#ifdef Q_OS_LINUX
        QFile stat(QStringLiteral("/proc/thread-self/schedstat"));
        if (stat.open(QIODevice::ReadOnly)) {
            const QList<QByteArray> fields = stat.readAll().simplified().split(' ');
            if (fields.size() >= 2)
                return fields.at(1).toLongLong();
        }
#endif
        return 0;
    }

    void tick(qint64 now)
    {
        const qint64 gap = now - m_last;
        const qint64 queuedNow = runQueueNs();
        const qint64 queued = qBound(qint64(0), queuedNow - m_lastQueued, gap);
        if (m_onLongGap && gap > m_longGapNs)
            m_onLongGap(gap / 1e6);
        m_longest = qMax(m_longest, gap);
        m_longestHeld = qMax(m_longestHeld, gap - queued);
        m_longestQueued = qMax(m_longestQueued, queued);
        m_last = now;
        m_lastQueued = queuedNow;
        ++m_ticks;
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_lastQueued = 0;
    qint64 m_longest = 0;
    qint64 m_longestHeld = 0;
    qint64 m_longestQueued = 0;
    int m_ticks = 0;
    qint64 m_longGapNs = 0;
    std::function<void(double)> m_onLongGap;
};
