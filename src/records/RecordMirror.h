#pragma once

#include "records/RecordFile.h"

#include <QCoreApplication>
#include <QString>

// Record files of the local dbsett mirror as the record editor reads and writes them.
class RecordMirror
{
    Q_DECLARE_TR_FUNCTIONS(RecordMirror)
public:
    struct Loaded
    {
        bool exists = false;         // the file opened; a file that does not is no record
        bool headerComplete = false; // false: the file is shorter than a header
        RecordFile record;           // the entries really present, never more
        int promisedEntries = 0;     // count_con as the file states it
    };

    static QString folder();
    // Mirror path of a record; empty for a name that could leave the folder.
    static QString path(const QString &name);

    // A file cut short or promising more entries than it holds is still a record: it
    // comes back with what it has, and the difference goes to the debug log.
    static Loaded load(const QString &name);

    // Writes the whole file or nothing (the old copy stays on failure). *error gets a
    // sentence for the user when it fails.
    static bool write(const QString &name, const RecordFile &record, QString *error);
};
