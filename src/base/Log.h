#pragma once

#include <QString>

namespace td {

// "h:m:s:ms" (local time) in decimal without leading zeros for a moment given as milliseconds
// since the epoch: the stamp every line of the debug log starts with.
QString logStampAt(qint64 msecsSinceEpoch);

// Writes one debug-log line (logStampAt(now), ": ", message) to the Qt debug stream.
void log(const QString &message);

} // namespace td
