#pragma once

#include "history/HistoryArchiver.h"

#include <QString>

#include <functional>

class Station;

// The archiving step of "history import", on the station's history, for commands that first fetch a mirror and then
// archive it (a nightly pull). Uses the data root already set; historyDb as --history-db takes
// it. identity: the key just read (null: the one the window last saved). then: runs with the
// archiver once the mirror is kept, its code returned. Prints its summary and progress;
// returns a CliExit code.
int archiveMirrorToHistory(Station &station, const QString &historyDb, const HistoryArchiver::Context *identity = nullptr,
                           const std::function<int(HistoryArchiver &archiver)> &then = {});
