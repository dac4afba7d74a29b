#include "records/RecordParameters.h"

#include "records/MeasureAlgorithms.h"

RecordParameters::FieldInfo RecordParameters::field(RecordParameter p, int algorithm,
                                              bool angleLowSwitch)
{
    const bool dep = algorithm == MeasureAlgorithms::AngleDependence;
    switch (p) {
    case RecordParameter::RangeLow:
        return {tr("Low Moment"), tr("Low moment range"), 0, 2000, 1, 1};
    case RecordParameter::RangeHigh:
        if (dep)
            return {tr("Limit Moment"), tr("Stop measure moment"), 0, 2000, 1, 1};
        return {tr("High Moment"), tr("High moment range"), 0, 2000, 1, 1};
    case RecordParameter::AngleLow: {
        FieldInfo s = dep ? FieldInfo{tr("Start Angle"), tr("Start angle"), 1, 900, 0, 1}
                     : FieldInfo{tr("Low Angle"), tr("Low angle range"), 1, 900, 0, 1};
        if (dep && angleLowSwitch) {
            s.min = 0;
            s.max = 10;
            s.precision = 1;
        }
        return s;
    }
    case RecordParameter::AngleHigh:
        if (dep)
            return {tr("Limit Angle"), tr("Stop measure angle"), 1, 900, 0, 1};
        return {tr("High Angle"), tr("High angle range"), 1, 900, 0, 1};
    case RecordParameter::StartMom:
        return {tr("Start Moment"), tr("Moment of start angle measure"), 0, 2000, 1, 1};
    case RecordParameter::PitchStep:
        return {tr("Pitch Step"), tr("Pitch Step of connection"), 0.5, 5, 2, 1};
    case RecordParameter::Angle:
        if (dep)
            return {tr("Angle Increment"), tr("Step angle increment"), 1, 900, 0, 1};
        return {tr("Angle"), tr("Nessenary angle of rotation"), 1, 900, 0, 1};
    case RecordParameter::HeadMm:
        return {tr("Head Size"), QString(), 0, 300, 0, 0};
    case RecordParameter::CountTotal:
        return {tr("Tolal number of bolts"), tr("Tolal number of bolts"), 1, 64, 0, 1};
    case RecordParameter::CountCon:
        return {tr("Full cells count"), tr("Number of finished bolts"), 0, 4096, 0, 0};
    }
    return {};
}

bool RecordParameters::orderMomentRange(RecordParameter changed, float *low, float *high)
{
    if (!low || !high || !(*high < *low))
        return false;
    if (changed == RecordParameter::RangeLow) {
        *low = *high;
        return true;
    }
    if (changed == RecordParameter::RangeHigh) {
        *high = *low;
        return true;
    }
    return false;
}
