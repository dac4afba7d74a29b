#include "base/Log.h"

#include <QDateTime>
#include <QDebug>

#include <limits>

namespace td {

// Turning the clock into local time costs a look at the time zone file on every call, which
// during a file exchange (several lines a packet) was a good part of the PC's time per packet;
// local time only moves on at whole seconds, so the hours, minutes and seconds are worked out
// once a second and reused until the next one.
QString logStampAt(qint64 ms)
{
    thread_local qint64 cachedSecond = std::numeric_limits<qint64>::min();
    thread_local QString cachedPrefix;
    const qint64 second = ms >= 0 ? ms / 1000 : -((999 - ms) / 1000);
    if (second != cachedSecond) {
        const QTime t = QDateTime::fromMSecsSinceEpoch(second * 1000).time();
        cachedPrefix = QStringLiteral("%1:%2:%3:").arg(t.hour()).arg(t.minute()).arg(t.second());
        cachedSecond = second;
    }
    return cachedPrefix + QString::number(ms - second * 1000);
}

void log(const QString &message)
{
    qDebug().noquote() << logStampAt(QDateTime::currentMSecsSinceEpoch()) + QStringLiteral(": ") + message;
}

} // namespace td
