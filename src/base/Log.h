#pragma once

#include <QString>
#include <QTime>

namespace td {

// "h:m:s:ms" in decimal without leading zeros, as every line of the debug log starts.
QString logStamp(const QTime &time);

// Writes one debug-log line (stamp, ": ", message) to the Qt debug stream.
void log(const QString &message);

} // namespace td
