#pragma once

#include "records/TemplateLists.h"
#include "records/TemplateTextCut.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

// The JSON export of a template list: "<dir>/JSON/<list name>.json", one indented object with
// the maker's header keys, the write time as "Date" and the element array in index order.
// Import reads only the element array.
class TemplateJson
{
public:
    static const char *fileName(TemplateKind kind);   // "FioTypes.json" ...
    static const char *arrayKey(TemplateKind kind);   // "FioTypeElement" ...

    // "YYYY-MM-DD_hh-mm-ss" of the given local time.
    static QString dateText(const QDateTime &when);

    static QByteArray write(TemplateKind kind, const TemplateLists &lists, const QDateTime &when);

    struct ImportResult
    {
        bool ok = false;           // false: not a JSON object, or no element array
        int applied = 0;           // rows set
        QVector<int> rows;         // which rows were set, ascending (a skipped element leaves a gap)
        int ignored = 0;           // elements beyond the list, or not objects
        QVector<TemplateTextCut> cuts;
        QString problem;           // one line for the debug log
    };

    // Applies elements 0 .. min(array size, list size) - 1 to rows 0 .. of the list; rows
    // beyond the array keep what they had. Within an element a missing or mistyped key keeps
    // the row's value, so a partial file cannot blank a row. Texts are fitted to the key's
    // fields here, so the page shows what the key will get, and each cut is listed.
    static ImportResult read(TemplateKind kind, const QByteArray &json, TemplateLists *lists);
};
