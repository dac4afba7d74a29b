#include "history/Capability.h"

#include <algorithm>
#include <cmath>

Capability::Summary Capability::summarize(const QVector<double> &values, int ngCount)
{
    Summary s;
    s.ngCount = ngCount;
    double mean = 0;
    double m2 = 0;
    int n = 0;
    for (double v : values) {
        if (!std::isfinite(v))
            continue; // a spoiled entry must not turn every figure into NaN
        ++n;
        const double delta = v - mean;
        mean += delta / n;
        m2 += delta * (v - mean);
        if (n == 1) {
            s.min = s.max = v;
        } else {
            s.min = std::min(s.min, v);
            s.max = std::max(s.max, v);
        }
    }
    s.n = n;
    s.mean = mean;
    s.sigma = n > 1 ? std::sqrt(std::max(0.0, m2 / (n - 1))) : 0.0;
    s.range = s.max - s.min;
    s.ngShare = values.isEmpty() ? 0.0 : double(ngCount) / values.size();
    return s;
}

Capability::Result Capability::evaluate(const QVector<double> &values, double lsl, double usl, int ngCount,
                                        const Thresholds &thresholds)
{
    Result r;
    r.summary = summarize(values, ngCount);
    const Summary &s = r.summary;
    if (s.n < thresholds.minimumN) {
        r.reason = tr("Too few measures for capability: %1, at least %2 are needed.").arg(s.n).arg(thresholds.minimumN);
        return r;
    }
    if (!(usl > lsl)) {
        r.reason = tr("The moment range is empty, so there is no capability to compute.");
        return r;
    }
    // A standard deviation this small against the range means every value was the same number
    // (a key that stores a fixed value, or a constant sample): the quotient would be noise.
    if (s.sigma <= (usl - lsl) * 1e-12) {
        r.reason = tr("All measures are equal (sigma is 0): capability cannot be computed.");
        return r;
    }
    r.cp = (usl - lsl) / (6.0 * s.sigma);
    r.cpk = std::min(usl - s.mean, s.mean - lsl) / (3.0 * s.sigma);
    r.computed = true;
    r.alarm = r.cp < thresholds.cp || r.cpk < thresholds.cpk;
    return r;
}

Capability::Result Capability::evaluate(const QVector<double> &values, double lsl, double usl, int ngCount)
{
    return evaluate(values, lsl, usl, ngCount, Thresholds());
}

ControlChart::Individuals ControlChart::individuals(const QVector<double> &values)
{
    Individuals c;
    c.values = values;
    if (values.isEmpty())
        return c;
    c.mean = Capability::summarize(values).mean;
    double mrSum = 0;
    for (int i = 1; i < values.size(); ++i)
        mrSum += std::fabs(values.at(i) - values.at(i - 1));
    const double mrBar = values.size() > 1 ? mrSum / (values.size() - 1) : 0.0;
    c.ucl = c.mean + E2 * mrBar;
    c.lcl = c.mean - E2 * mrBar;
    for (int i = 0; i < values.size(); ++i) {
        if (values.at(i) > c.ucl || values.at(i) < c.lcl)
            c.beyond << i;
    }
    return c;
}

ControlChart::XbarR ControlChart::xbarR(const QVector<double> &values)
{
    XbarR c;
    const int size = c.subgroupSize;
    const int groups = values.size() / size;
    c.leftOut = values.size() - groups * size;
    if (groups == 0)
        return c;
    c.means.reserve(groups);
    c.ranges.reserve(groups);
    for (int g = 0; g < groups; ++g) {
        double sum = 0;
        double lo = values.at(g * size);
        double hi = lo;
        for (int i = 0; i < size; ++i) {
            const double v = values.at(g * size + i);
            sum += v;
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        c.means << sum / size;
        c.ranges << hi - lo;
    }
    double meanSum = 0;
    double rangeSum = 0;
    for (int g = 0; g < groups; ++g) {
        meanSum += c.means.at(g);
        rangeSum += c.ranges.at(g);
    }
    c.grandMean = meanSum / groups;
    c.meanRange = rangeSum / groups;
    c.uclX = c.grandMean + A2 * c.meanRange;
    c.lclX = c.grandMean - A2 * c.meanRange;
    c.uclR = D4 * c.meanRange;
    c.lclR = D3 * c.meanRange;
    for (int g = 0; g < groups; ++g) {
        if (c.means.at(g) > c.uclX || c.means.at(g) < c.lclX)
            c.meansBeyond << g;
        if (c.ranges.at(g) > c.uclR || c.ranges.at(g) < c.lclR)
            c.rangesBeyond << g;
    }
    return c;
}
