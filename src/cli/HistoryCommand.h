#pragma once

#include <QString>

// The archiving step of "history import", for commands that first fetch a mirror and then
// archive it (a nightly pull). Uses the data root already set; historyDb as --history-db takes
// it. Prints its summary and progress; returns a CliExit code.
int archiveMirrorToHistory(const QString &historyDb);
