#include "measures/MeasureCells.h"

#include "measures/MeasureJudgement.h"
#include "records/MeasureAlgorithms.h"

#include <cmath>

namespace MeasureCells {

namespace {

const QColor kGrey(200, 200, 200);

QString pad(int value, int width)
{
    return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
}

Look bandLook(MeasureJudgement::Band band)
{
    switch (band) {
    case MeasureJudgement::Band::Above:
        return {QColor(Qt::red), kGrey};
    case MeasureJudgement::Band::Below:
        return {QColor(Qt::darkYellow), kGrey};
    case MeasureJudgement::Band::Inside:
        break;
    }
    return {QColor(Qt::black), QColor(Qt::white)};
}

} // namespace

float noneThreshold(Table table)
{
    return table == Table::Memory ? MeasureJudgement::kNone : 0.0001f;
}

bool showsDates(int algorithm, bool dataTimeOn)
{
    return dataTimeOn && MeasureAlgorithms::measuresCarryDate(algorithm);
}

// Three zero-padded numbers joined by sep; written by hand because a memory load formats
// 64,000 of each and arg() chains cost a tenth of the load.
QString three(int a, int wa, int b, int wb, int c, int wc, QChar sep)
{
    QChar buf[32];
    int n = 0;
    auto put = [&](int v, int width) {
        QChar digits[12];
        int d = 0;
        unsigned u = v < 0 ? 0u : unsigned(v);
        do {
            digits[d++] = QChar(u'0' + char16_t(u % 10));
            u /= 10;
        } while (u > 0 && d < 12);
        for (int i = d; i < width; ++i)
            buf[n++] = QLatin1Char('0');
        while (d > 0)
            buf[n++] = digits[--d];
    };
    put(a, wa);
    buf[n++] = sep;
    put(b, wb);
    buf[n++] = sep;
    put(c, wc);
    return QString(buf, n);
}

QString dateText(const MeasureEntry &e)
{
    return three(e.day, 2, e.month, 2, int(e.year) + 2000, 4, QLatin1Char('.'));
}

QString timeText(const MeasureEntry &e)
{
    return three(e.hour, 2, e.minute, 2, e.second, 2, QLatin1Char(':'));
}

QString editorStampText(const MeasureEntry &e)
{
    return QStringLiteral("%1.%2.%3 %4:%5:%6")
        .arg(pad(e.day, 2), pad(e.month, 2), pad(e.year, 2), pad(e.hour, 2), pad(e.minute, 2), pad(e.second, 2));
}

QString momentText(const MeasureEntry &e)
{
    return QString::number(std::fabs(e.moment), 'f', 2);
}

QString defectText(const MeasureEntry &e, Table table)
{
    const float d = std::fabs(e.correctedDefect);
    if (d > noneThreshold(table))
        return QString::number(d, 'f', 2);
    return table == Table::Memory ? QStringLiteral(" ") : QStringLiteral("-");
}

QString angleText(const MeasureEntry &e, int algorithm, Table table)
{
    if (!MeasureJudgement::checksAngle(algorithm))
        return QStringLiteral("-");
    const float a = table == Table::Memory ? std::fabs(e.angle) : e.angle;
    return QString::number(a, 'f', 1);
}

QString momentRangeText(const RecordHeader &record)
{
    return QString::number(record.rangeLow, 'f', 2) + QLatin1Char('-') + QString::number(record.rangeHigh, 'f', 2);
}

QString angleRangeText(const RecordHeader &record)
{
    if (!MeasureJudgement::checksAngle(record.algorithm))
        return QStringLiteral("-");
    return QString::number(record.angleLow, 'f', 1) + QLatin1Char('-') + QString::number(record.angleHigh, 'f', 1);
}

QString verdictText(const MeasureEntry &e, const RecordHeader &record)
{
    return MeasureJudgement::isOk(e, record) ? QStringLiteral("OK") : QStringLiteral("NG");
}

Look momentLook(float moment, float low, float high, Table table)
{
    Look look = bandLook(MeasureJudgement::band(std::fabs(moment), low, high));
    if (moment < -noneThreshold(table))
        look.text = Qt::blue;
    return look;
}

Look defectLook(float defect, float low, float high, Table table)
{
    const float none = noneThreshold(table);
    const float d = std::fabs(defect);
    MeasureJudgement::Band band = MeasureJudgement::band(d, low, high);
    if (band == MeasureJudgement::Band::Below && d <= none)
        band = MeasureJudgement::Band::Inside;
    Look look = bandLook(band);
    if (defect < -none)
        look.text = Qt::blue;
    return look;
}

Look angleLook(float angle, float low, float high)
{
    return bandLook(MeasureJudgement::band(std::fabs(angle), low, high));
}

} // namespace MeasureCells
