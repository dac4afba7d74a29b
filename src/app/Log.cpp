#include "app/Log.h"

#include <QDebug>

namespace td {

QString logStamp(const QTime &time)
{
    return QStringLiteral("%1:%2:%3:%4")
        .arg(time.hour())
        .arg(time.minute())
        .arg(time.second())
        .arg(time.msec());
}

void log(const QString &message)
{
    qDebug().noquote() << logStamp(QTime::currentTime()) + QStringLiteral(": ") + message;
}

} // namespace td
