#pragma once

#include "records/MeasureEntry.h"
#include "records/RecordHeader.h"

// The one OK/NG rule for a measured tightening. The memory table, the record editor's table,
// the reports and the history all judge through it, so a measure never reads OK in one place
// and NG in another.
namespace MeasureJudgement {

// A value within this of zero counts as none (corrected defect) and as not negative.
constexpr float kNone = 0.00001f;

// Where a value lies against its range; the boundaries themselves are inside.
enum class Band { Below, Inside, Above };

Band band(float absValue, float low, float high);

// Only the angle algorithms check the angle.
bool checksAngle(int algorithm);

// Each is false for a NaN value it checks, so a spoiled entry never passes.
bool momentOk(const MeasureEntry &e, const RecordHeader &record); // the report database's test
bool angleOk(const MeasureEntry &e, const RecordHeader &record); // true where the angle is not checked
bool isOk(const MeasureEntry &e, const RecordHeader &record);

} // namespace MeasureJudgement
