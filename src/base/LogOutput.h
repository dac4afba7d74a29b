#pragma once

// Where the debug log's lines go once a program installs it: the standard error stream, as Qt's
// own output does, but through a buffer. A read-out writes several lines a packet; one system
// call per line was half of all the calls a round trip cost. Every line is kept and kept in
// order: the buffer goes out whenever the GUI thread's event loop is about to wait, when it grows
// past a few kilobytes, at exit, and at once for a warning or anything worse, so a line that
// explains a failure is never held back behind it.
#include <QString>

#include <cstdio>

namespace td {

// Opens a log file for appending. A new one is created readable by its owner alone (on POSIX,
// with those permissions from the start): the debug log tells what the keys and the plant's
// servers said. Null when it cannot be opened.
std::FILE *openLogFile(const QString &path);

// Replaces Qt's message output for the whole process. Call once the application object
// exists (the flush on idle hooks its event loop); calling again changes nothing. target is
// where the lines go (a command-line program may keep stderr for its own messages).
void installBufferedLogOutput(std::FILE *target = stderr);

// Writes out whatever the buffer holds. Safe from any thread.
void flushLogOutput();

} // namespace td
