#include "config/CalibrationFields.h"

#include <cmath>
#include <limits>

namespace {

const CalibrationFields::Info kFieldInfo[CalibrationFields::Count] = {
    {"nm", QT_TRANSLATE_NOOP("CalibrationFields", "Nm"), 1, 2000, 2},
    {"right", QT_TRANSLATE_NOOP("CalibrationFields", "Right"), 0, 4095, 0},
    {"left", QT_TRANSLATE_NOOP("CalibrationFields", "Left"), 0, 4095, 0},
    {"nol", QT_TRANSLATE_NOOP("CalibrationFields", "Nol"), 0, 4095, 0},
    {"nm2", QT_TRANSLATE_NOOP("CalibrationFields", "Nm (ext.point)"), 1, 2000, 2},
    {"right2", QT_TRANSLATE_NOOP("CalibrationFields", "Right (ext.point)"), 0, 4095, 0},
    {"left2", QT_TRANSLATE_NOOP("CalibrationFields", "Left (ext.point)"), 0, 4095, 0},
    {"headstandartmm", QT_TRANSLATE_NOOP("CalibrationFields", "Basic Head"), 0, 300, 0},
    {"keylengthmm", QT_TRANSLATE_NOOP("CalibrationFields", "Key Length"), 200, 2000, 0},
    {"gyrodeviation", QT_TRANSLATE_NOOP("CalibrationFields", "Angle Deviation"), -10, 10, -1},
    {"anglecorrention", QT_TRANSLATE_NOOP("CalibrationFields", "Metall Correction"), 0, 999, 0},
    {"offset", QT_TRANSLATE_NOOP("CalibrationFields", "Nol offset"), 0, 255, 0},
    {"amplify", QT_TRANSLATE_NOOP("CalibrationFields", "Amplify value"), 0, 1023, 0},
};

// Truncation toward zero into [lo, hi]; what does not fit (or is no number) becomes the
// nearest bound rather than wrapping round into a very different reading.
qint32 truncated(double v, qint32 lo, qint32 hi)
{
    if (std::isnan(v))
        return 0;
    const double t = std::trunc(v);
    if (t < lo)
        return lo;
    if (t > hi)
        return hi;
    return qint32(t);
}

} // namespace

const CalibrationFields::Info &CalibrationFields::info(Field f) { return kFieldInfo[f]; }

QString CalibrationFields::caption(Field f) { return tr(kFieldInfo[f].caption); }

bool CalibrationFields::inRange(Field f, double v)
{
    return std::isfinite(v) && v >= kFieldInfo[f].minimum && v <= kFieldInfo[f].maximum;
}

void CalibrationFields::setFromKey(const CalibrationValues &v)
{
    m_values[Nm] = v.nm;
    m_values[Right] = v.right;
    m_values[Left] = v.left;
    m_values[Nol] = v.nol;
    m_values[Nm2] = v.nm2;
    m_values[Right2] = v.right2;
    m_values[Left2] = v.left2;
    m_values[Head] = v.headstandartmm;
    m_values[KeyLength] = v.keylengthmm;
    m_values[GyroDeviation] = v.gyrodeviation;
    m_values[AngleCorrection] = v.anglecorrention;
    m_values[Offset] = v.offset;
    m_values[Amplify] = v.amplify;
    m_used = v.used != 0;
    m_gyroCorrection = v.gyrocorrection;
}

CalibrationValues CalibrationFields::toWire() const
{
    constexpr qint32 u16 = std::numeric_limits<quint16>::max();
    CalibrationValues w;
    // The key holds the moments and sizes as single-precision floats.
    w.nm = double(float(m_values[Nm]));
    w.nm2 = double(float(m_values[Nm2]));
    w.headstandartmm = double(float(m_values[Head]));
    w.keylengthmm = double(float(m_values[KeyLength]));
    w.right = truncated(m_values[Right], 0, u16);
    w.left = truncated(m_values[Left], 0, u16);
    w.nol = truncated(m_values[Nol], 0, u16);
    w.right2 = truncated(m_values[Right2], 0, u16);
    w.left2 = truncated(m_values[Left2], 0, u16);
    w.anglecorrention = truncated(m_values[AngleCorrection], 0, u16);
    w.offset = truncated(m_values[Offset], 0, u16);
    w.amplify = truncated(m_values[Amplify], 0, u16);
    w.gyrodeviation = truncated(m_values[GyroDeviation], -128, 127);
    w.gyrocorrection = truncated(m_gyroCorrection, -32768, 32767);
    w.used = m_used ? 1 : 0;
    return w;
}
