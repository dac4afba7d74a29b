#pragma once

#include "protocol/ExchangeProgress.h"

#include <QString>

#include <functional>

namespace cli {

// What a mirror of the key's folders needs beyond the data root (set by the caller).
struct MirrorOptions
{
    QString port;          // the key's serial device; empty: the USB serial-number search
    int timeoutSeconds = 15; // for finding the key
};

struct MirrorResult
{
    int exitCode = 0;  // CliExit
    QString reason;    // one line when exitCode is not Ok
    QString keyName;
    int files = 0;
    qint64 bytes = 0;
    double seconds = 0;
};

using MirrorProgressSink = std::function<void(const ExchangeProgress &)>;

// Finds the key as the window does, runs the window's read-out on it through the key
// connection, and waits until "templates" and "dbsett" are complete under the data root's
// download folder. Ok only then; no key within the time-out, a lost key or transfers given up
// end it with a reason. Runs its own event loop; needs a QCoreApplication.
MirrorResult runMirror(const MirrorOptions &options, const MirrorProgressSink &progress = {});

} // namespace cli
