#pragma once

#include "history/HistoryArchiver.h"

#include <functional>

class KeyModel;
class QObject;
class ReportDatabase;

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
    // Each record's barcodes come from this report database (open, on the archiver's thread);
    // null: no barcodes.
    ReportDatabase *reportCodes = nullptr;
};

// The one place both programs assemble an archiver: the window's history service and the
// command line's import and pull. Connections to the key end with lifetime.
void assembleArchiver(HistoryArchiver &archiver, const ArchiverSources &sources, QObject *lifetime);
