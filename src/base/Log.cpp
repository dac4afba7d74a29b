#include "base/Log.h"

#include <QDateTime>
#include <QDebug>

#include <limits>

namespace td {

QString logStamp(const QTime &time)
{
    return QStringLiteral("%1:%2:%3:%4")
        .arg(time.hour())
        .arg(time.minute())
        .arg(time.second())
        .arg(time.msec());
}

namespace {

// The stamp of the present moment. Turning the clock into local time costs a look at the
// time zone file on every call, which during a file exchange (several lines a packet) was a
// good part of the PC's time per packet; local time only moves on at whole seconds, so the
// hours, minutes and seconds are worked out once a second and reused until the next one.
QString currentStamp()
{
    thread_local qint64 cachedSecond = std::numeric_limits<qint64>::min();
    thread_local QString cachedPrefix;
    const qint64 ms = QDateTime::currentMSecsSinceEpoch();
    const qint64 second = ms >= 0 ? ms / 1000 : -((999 - ms) / 1000);
    if (second != cachedSecond) {
        const QTime t = QDateTime::fromMSecsSinceEpoch(second * 1000).time();
        cachedPrefix = QStringLiteral("%1:%2:%3:").arg(t.hour()).arg(t.minute()).arg(t.second());
        cachedSecond = second;
    }
    return cachedPrefix + QString::number(ms - second * 1000);
}

} // namespace

void log(const QString &message)
{
    qDebug().noquote() << currentStamp() + QStringLiteral(": ") + message;
}

} // namespace td
