#pragma once

#include "protocol/KeyModel.h"

#include <QCoreApplication>
#include <QString>

#include <array>

// The calibration values as the calibration page edits them: one number per field, the
// extended-point switch and the gyro correction the page does not show but must send back.
// Converting to the wire keeps what the key's fields can hold: truncated toward zero into
// 16 bits (the angle deviation into a signed byte).
class CalibrationFields
{
    Q_DECLARE_TR_FUNCTIONS(CalibrationFields)
public:
    enum Field {
        Nm,
        Right,
        Left,
        Nol,
        Nm2,
        Right2,
        Left2,
        Head,
        KeyLength,
        GyroDeviation,
        AngleCorrection,
        Offset,
        Amplify,
        Count
    };

    struct Info
    {
        const char *jsonKey;
        const char *caption; // translated through CalibrationFields
        double minimum;
        double maximum;
        int precision; // -1: a text field
    };

    static const Info &info(Field f);
    static QString caption(Field f);
    static bool isExtended(Field f) { return f == Nm2 || f == Right2 || f == Left2; }
    static bool inRange(Field f, double v);

    void setFromKey(const CalibrationValues &v);
    CalibrationValues toWire() const;

    double value(Field f) const { return m_values[size_t(f)]; }
    void setValue(Field f, double v) { m_values[size_t(f)] = v; }
    bool used() const { return m_used; }
    void setUsed(bool on) { m_used = on; }
    qint32 gyroCorrection() const { return m_gyroCorrection; }

private:
    std::array<double, Count> m_values{};
    bool m_used = false;
    qint32 m_gyroCorrection = 0;
};
