#pragma once

#include "records/RecordHeader.h"
#include "records/TemplateLists.h"

#include <QString>

#include <array>

// One record as the level tree sees it: where it sits in the four levels, what each level
// shows for it, and the counters and status bits its buttons are coloured from.
struct RecordItem
{
    static constexpr int Levels = 4; // F.I.O., Wheel, operation number, Uzel

    QString name;
    quint8 fioIndex = 0;
    quint8 wheelIndex = 0;
    quint8 uzelIndex = 0;
    QString operation;
    std::array<QString, Levels> texts; // shown text per level
    bool fioEnabled = false;
    bool wheelEnabled = false;
    bool uzelEnabled = false;
    quint16 status = 0;
    quint16 countCon = 0;
    quint16 countTotal = 0;

    // Built from a record's file name and header; the texts come from the template lookup
    // (Text1 of the F.I.O. and Uzel entries, the Wheel text, the operation number), so an
    // index outside its list shows "error FIO" / "error WHEEL" / "error UZEL".
    static RecordItem fromHeader(const QString &name, const RecordHeader &header,
                                 const TemplateLists &templates);

    // The value of this record at a level: the template index for levels 0, 1 and 3, 0 for
    // the operation-number level (whose value is its text).
    quint16 number(int level) const;
    // The same record: same name and the same three template indexes.
    bool sameRecord(const RecordItem &o) const
    {
        return name == o.name && fioIndex == o.fioIndex && wheelIndex == o.wheelIndex
               && uzelIndex == o.uzelIndex;
    }
};
