#pragma once

#include "history/HistoryArchiver.h"
#include "protocol/ExchangeProgress.h"

#include <QString>

#include <functional>

class KeyConnection;
class Station;

namespace cli {

// What a mirror of the key's folders needs beyond the data root (set by the caller).
struct MirrorOptions
{
    QString port;          // the key's serial device; empty: the USB serial-number search
    int timeoutSeconds = 15; // for finding the key
};

struct MirrorResult;
// Runs once the mirror is complete, with the key still connected; its CliExit code becomes the
// result's. May run its own event loop.
using WithKey = std::function<int(KeyConnection &connection, const MirrorResult &mirrored)>;

struct MirrorResult
{
    int exitCode = 0;  // CliExit
    QString reason;    // one line when exitCode is not Ok
    QString keyName;
    HistoryArchiver::Context identity; // who the key said it is (serial empty: it did not)
    int files = 0;
    qint64 bytes = 0;
    double seconds = 0;
};

using MirrorProgressSink = std::function<void(const ExchangeProgress &)>;

// Finds the key as the window does, on the station's key connection, runs the window's read-out on it through the key
// connection, and waits until "templates" and "dbsett" are complete under the data root's
// download folder. Ok only then; no key within the time-out, a lost key or transfers given up
// end it with a reason. The key's name, settings and calibration are waited for as well, so
// the result names the key that was read. Runs its own event loop; needs a QCoreApplication.
MirrorResult runMirror(Station &station, const MirrorOptions &options, const MirrorProgressSink &progress = {},
                       const WithKey &withKey = {});

} // namespace cli
