#pragma once

#include "history/HistoryArchiver.h"

#include <QStringList>

#include <functional>

class KeyModel;
class QObject;

// What the archiver reads beside a record file: who measured, the template lists that name the
// record's levels, and the barcodes the report database links to the record.
struct ArchiverSources
{
    // The key in use, followed as it tells who it is; each change is saved so a later run
    // without a key (the start-up pass, the command line) archives under the same key. Null:
    // the measures belong to identity alone.
    KeyModel *key = nullptr;
    // Who measured until key says otherwise (or for good, without key).
    HistoryArchiver::Context identity = HistoryArchiver::Context::load();
    std::function<TemplateLists()> templates;
    // Each record's barcodes, called on the archiver's thread; empty: no barcodes.
    std::function<QStringList(const QString &record)> barcodes;
};

// The barcodes the report database at path links to a record, read through a connection of
// the calling thread's own (a Qt SQL connection serves only the thread that opened it), opened
// on the first call and closed when the function goes. A missing file is not made: it has no
// codes, and only the window's report tab creates it.
std::function<QStringList(const QString &record)> barcodesFromReportFile(const QString &path);

// The one place both programs assemble an archiver: the window's history service and the
// command line's import and pull. Connections to the key end with lifetime.
void assembleArchiver(HistoryArchiver &archiver, const ArchiverSources &sources, QObject *lifetime);
