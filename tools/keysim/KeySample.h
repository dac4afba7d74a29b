#pragma once

#include "records/MeasureEntry.h"
#include "records/RecordFile.h"
#include "records/TemplateLists.h"

#include <QByteArray>
#include <QDateTime>
#include <QRandomGenerator>
#include <QString>

namespace keysim {

class KeyFileSystem;
class KeyState;

// Status bits the emulated key keeps in a record header: measuring has begun, every bolt
// is done, at least one tightening was out of its limits.
enum RecordStatusBits : quint16 {
    StatusStarted = 0x04,
    StatusComplete = 0x02,
    StatusHasNg = 0x08,
};

struct MakeKeyOptions
{
    QString root;
    int records = 20;
    int measures = 5; // measured entries in every record
    quint32 seed = 1;
};

// Writes a plausible key into options.root: the four files of "templates" (operators,
// products, nodes with their tightening limits, ModesVisibility), `records` record files in
// "dbsett" named after enabled templates, each with `measures` tightenings, and a state file.
// Record files already in "dbsett" are replaced. A root that holds other things but neither
// "dbsett" nor "templates" is refused, so a mistyped path cannot lose someone's files.
bool makeKey(const MakeKeyOptions &options, QString *error);

// The operators, products and nodes of the sample key (a node's limits stay below the
// nominal moment nm).
TemplateLists sampleTemplates(double nm);
// The 561-byte algorithm availability and field visibility table.
QByteArray sampleModesVisibility();

// One tightening measured for a record at time `when`: usually inside the record's moment
// (and, for angle algorithms, angle) limits, about one in eight outside them.
MeasureEntry makeTightening(const RecordHeader &h, QRandomGenerator &rng, const QDateTime &when);
// True when an entry lies outside its record's limits.
bool isNg(const RecordHeader &h, const MeasureEntry &e);
// Sets the status bits from the entries and count_total.
void updateRecordStatus(RecordFile &record);

// Appends one tightening, stamped with the key's clock, to the key's current record (the
// first record when none is current or the current one is gone) and writes the file
// atomically. Returns the record's name, empty when there was nothing to append to.
QString appendLiveTightening(KeyFileSystem &fs, KeyState &state, QRandomGenerator &rng);
// The same into the named record; false when it cannot be read, is full or cannot be written.
bool appendTighteningTo(KeyFileSystem &fs, KeyState &state, QRandomGenerator &rng, const QString &name);

} // namespace keysim
