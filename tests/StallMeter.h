#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

// How long the thread it lives on stood still: a 10 ms timer ticks on it, and the largest gap
// between two ticks since start() is the longest stall. Shared by the tests that check a window
// keeps answering and the benchmarks that print the figure.
class StallMeter : public QObject
{
public:
    StallMeter()
    {
        m_timer.setInterval(10);
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            if (m_onLongGap && now - m_last > m_longGapNs)
                m_onLongGap((now - m_last) / 1e6);
            m_longest = qMax(m_longest, now - m_last);
            m_last = now;
            ++m_ticks;
        });
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
        m_ticks = 0;
        m_clock.start();
        m_last = 0;
        m_timer.start();
    }
    // The gap still open when the measure ends counts too: a thread held to the end never
    // ticked in it.
    void stop()
    {
        m_longest = qMax(m_longest, m_clock.nsecsElapsed() - m_last);
        m_timer.stop();
    }
    double longestMs() const { return m_longest / 1e6; }
    double elapsedMs() const { return m_clock.nsecsElapsed() / 1e6; }
    int ticks() const { return m_ticks; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
    int m_ticks = 0;
    qint64 m_longGapNs = 0;
    std::function<void(double)> m_onLongGap;
};
