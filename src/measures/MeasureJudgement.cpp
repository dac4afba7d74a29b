#include "measures/MeasureJudgement.h"

#include "records/MeasureAlgorithms.h"

#include <cmath>

namespace MeasureJudgement {

Band band(float absValue, float low, float high)
{
    if (absValue > high)
        return Band::Above;
    if (absValue < low)
        return Band::Below;
    return Band::Inside;
}

bool checksAngle(int algorithm)
{
    return MeasureAlgorithms::measuresAngle(algorithm);
}

bool momentOk(const MeasureEntry &e, const RecordHeader &record)
{
    // A NaN moment (a spoiled entry) compares false both ways and would land inside.
    if (std::isnan(e.moment))
        return false;
    return band(std::fabs(e.moment), record.rangeLow, record.rangeHigh) == Band::Inside;
}

bool angleOk(const MeasureEntry &e, const RecordHeader &record)
{
    if (!checksAngle(record.algorithm))
        return true;
    if (std::isnan(e.angle))
        return false;
    return band(std::fabs(e.angle), record.angleLow, record.angleHigh) == Band::Inside;
}

bool isOk(const MeasureEntry &e, const RecordHeader &record)
{
    return momentOk(e, record) && angleOk(e, record);
}

} // namespace MeasureJudgement
