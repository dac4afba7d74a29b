#include "config/CalibrationFile.h"

#include "base/AtomicFile.h"
#include "config/CalibrationFields.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <cmath>

namespace {

using F = CalibrationFields;

struct Rule
{
    const char *key;
    double minimum;
    double maximum;
    bool required;
    bool extended; // only meaningful, and only checked, with the extended point in use
};

// The page's ranges, plus the two values the page keeps without showing a field for them.
const Rule kRules[] = {
    {"nm", 1, 2000, true, false},
    {"right", 0, 4095, true, false},
    {"left", 0, 4095, true, false},
    {"nol", 0, 4095, true, false},
    {"nm2", 1, 2000, false, true},
    {"right2", 0, 4095, false, true},
    {"left2", 0, 4095, false, true},
    {"headstandartmm", 0, 300, false, false},
    {"keylengthmm", 200, 2000, false, false},
    {"gyrodeviation", -10, 10, false, false},
    {"anglecorrention", 0, 999, false, false},
    {"offset", 0, 255, false, false},
    {"amplify", 0, 1023, false, false},
    {"used", 0, 1, false, false},
    {"gyrocorrection", -32768, 32767, false, false},
};

bool isWhole(const char *key)
{
    const QByteArray k(key);
    return k != "nm" && k != "nm2" && k != "headstandartmm" && k != "keylengthmm";
}

void assign(CalibrationValues &v, const QByteArray &key, double x)
{
    const qint32 i = qint32(std::trunc(x));
    if (key == "nm") v.nm = x;
    else if (key == "right") v.right = i;
    else if (key == "left") v.left = i;
    else if (key == "nol") v.nol = i;
    else if (key == "nm2") v.nm2 = x;
    else if (key == "right2") v.right2 = i;
    else if (key == "left2") v.left2 = i;
    else if (key == "headstandartmm") v.headstandartmm = x;
    else if (key == "keylengthmm") v.keylengthmm = x;
    else if (key == "gyrodeviation") v.gyrodeviation = i;
    else if (key == "anglecorrention") v.anglecorrention = i;
    else if (key == "offset") v.offset = i;
    else if (key == "amplify") v.amplify = i;
    else if (key == "used") v.used = i;
    else if (key == "gyrocorrection") v.gyrocorrection = i;
}

CalibrationFile::Loaded failed(CalibrationFile::Status s, const QString &problem)
{
    CalibrationFile::Loaded l;
    l.status = s;
    l.problem = problem;
    return l;
}

} // namespace

CalibrationFile::Loaded CalibrationFile::read(const QString &path, const CalibrationValues &current)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return failed(Status::NotOpened, tr("Warning! JSON format not opened!"));
    // Read one byte past the limit rather than trusting the size a device or pipe reports.
    const QByteArray text = f.read(MaxBytes + 1);
    if (text.size() > MaxBytes)
        return failed(Status::TooLarge, tr("Warning! The file is larger than any calibration file: %1")
                                            .arg(path));
    return parse(text, current);
}

CalibrationFile::Loaded CalibrationFile::parse(const QByteArray &text, const CalibrationValues &current)
{
    if (text.size() > MaxBytes)
        return failed(Status::TooLarge, tr("Warning! The file is larger than any calibration file"));
    // Lines were written as one JSON text; joining them without separators reads it back.
    QByteArray joined = text;
    joined.replace('\r', QByteArray()).replace('\n', QByteArray());
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(joined, &err);
    if (err.error != QJsonParseError::NoError || !doc.isObject())
        return failed(Status::NotObject, tr("Warning! The file holds no calibration settings"));
    const QJsonObject o = doc.object();

    const QJsonValue usedValue = o.value(QStringLiteral("used"));
    const bool extendedInUse = usedValue.isDouble() ? usedValue.toDouble() != 0 : current.used != 0;

    Loaded out;
    out.values = current;
    for (const Rule &r : kRules) {
        const QString key = QLatin1String(r.key);
        const QJsonValue v = o.value(key);
        if (v.isUndefined()) {
            if (r.required)
                return failed(Status::Missing,
                              tr("Warning! The calibration file has no value \"%1\"").arg(key));
            continue;
        }
        const double x = v.toDouble(std::nan(""));
        bool good = v.isDouble() && std::isfinite(x);
        if (good && isWhole(r.key))
            good = std::trunc(x) == x;
        if (!good)
            return failed(Status::BadValue,
                          tr("Warning! Calibration value \"%1\" is not a valid value").arg(key));
        if (x < r.minimum || x > r.maximum) {
            // The extended point's values are the key's business only while it uses the
            // point; an unused one out of range keeps what the key has.
            if (r.extended && !extendedInUse)
                continue;
            return failed(Status::BadValue,
                          tr("Warning! Calibration value \"%1\" = %2 is outside %3..%4")
                              .arg(key, QString::number(x, 'g', 10))
                              .arg(r.minimum)
                              .arg(r.maximum));
        }
        assign(out.values, QByteArray(r.key), x);
    }
    out.status = Status::Ok;
    return out;
}

bool CalibrationFile::write(const QString &path, const QByteArray &text, QString *error)
{
    return AtomicFile::write(path, text + '\n', error, AtomicFile::Durability::Synced);
}
