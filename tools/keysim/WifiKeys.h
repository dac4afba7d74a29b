#pragma once

#include "KeyFaults.h"

#include <QString>

class QCommandLineParser;

namespace keysim {

// The command-line side of the Wi-Fi keys: their options, and a run of one or more keys on
// the loopback (each with its own identity, ports and folder tree).
void addWifiOptions(QCommandLineParser &parser);

// Serves --keys N keys over Wi-Fi until the process ends. With one key the root is its
// folder tree; with more, key I lives in ROOT/keyI. Prints one line per key on stdout:
// "wifi key I MAC LOCALPORT REMOTEPORT ROOT". Returns the process exit code.
int runWifiKeys(const QCommandLineParser &parser, const QString &root, const FaultSettings &faults,
                int liveMs);

// Identity and ports of key number index (1-based) when keys start at basePort.
QString wifiKeyMac(int index);
quint16 wifiKeyLocalPort(quint16 basePort, int index);
quint16 wifiKeyRemotePort(quint16 basePort, int index);

} // namespace keysim
