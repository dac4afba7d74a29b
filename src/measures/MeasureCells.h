#pragma once

#include "records/MeasureEntry.h"
#include "records/RecordHeader.h"

#include <QColor>
#include <QString>

// Cell texts and colours of a measured tightening, shared by the memory table and the record
// editor's measure table so the two never disagree about a value. The two tables differ only
// where their users are used to it: what an absent corrected defect reads as, how small a
// value counts as none, and how the time stamp is laid out.
namespace MeasureCells {

enum class Table { Memory, Editor };

// Text and background of a coloured cell; an invalid colour keeps the view's default.
struct Look
{
    QColor text;
    QColor background;
};

// Below this a value counts as none (corrected defect) and as not negative.
float noneThreshold(Table table);

// Dates and times are shown only when the key stamps them ("DataTime" 1) and the algorithm
// carries them.
bool showsDates(int algorithm, bool dataTimeOn);

QString dateText(const MeasureEntry &e);      // "dd.MM.yyyy"
QString timeText(const MeasureEntry &e);      // "hh:mm:ss"
QString editorStampText(const MeasureEntry &e); // "dd.MM.yy hh:mm:ss", the year as stored

QString momentText(const MeasureEntry &e); // |moment|, 2 decimals
// |defect| with 2 decimals, or " " (memory) / "-" (editor) when there is none.
QString defectText(const MeasureEntry &e, Table table);
// The angle for the angle algorithms, "-" otherwise; the memory table shows its magnitude.
QString angleText(const MeasureEntry &e, int algorithm, Table table);
QString momentRangeText(const RecordHeader &record); // "low-high", 2 decimals
QString angleRangeText(const RecordHeader &record);  // "low-high", 1 decimal, or "-"
QString verdictText(const MeasureEntry &e, const RecordHeader &record); // "OK" / "NG"

// Red on grey above the range, dark yellow on grey below it, black on white inside; a
// negative value in blue.
Look momentLook(float moment, float low, float high, Table table);
// As the moment, but an absent defect is never "below".
Look defectLook(float defect, float low, float high, Table table);
Look angleLook(float angle, float low, float high);

} // namespace MeasureCells
