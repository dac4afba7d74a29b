#pragma once

#include "protocol/KeyModel.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

// A ".clb" file: the key's calibration reply as it came, one JSON object and a line end.
// Whatever is loaded goes into the torque wrench's calibration and every later tightening is
// judged against it, so a file is taken only when it really is one: not larger than any
// calibration text, one JSON object, carrying the moment and the three ADC readings, and
// every value it carries a number within what the calibration page itself accepts.
class CalibrationFile
{
    Q_DECLARE_TR_FUNCTIONS(CalibrationFile)
public:
    static constexpr qint64 MaxBytes = 64 * 1024;

    enum class Status { Ok, NotOpened, TooLarge, NotObject, Missing, BadValue };

    struct Loaded
    {
        Status status = Status::NotOpened;
        CalibrationValues values;
        QString problem; // for the user, names the value; empty when Ok

        bool ok() const { return status == Status::Ok; }
    };

    // Values the file does not carry (besides the four it must) keep those of `current`,
    // the calibration the key reported last.
    static Loaded read(const QString &path, const CalibrationValues &current);
    static Loaded parse(const QByteArray &text, const CalibrationValues &current);

    // Writes text and a line end in one piece; false with the reason in *error.
    static bool write(const QString &path, const QByteArray &text, QString *error);
};
