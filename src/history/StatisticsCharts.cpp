#include "history/StatisticsCharts.h"

#include "history/Capability.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMaxMarked = 500;
const QColor kSeries(30, 90, 170);
const QColor kCentre(0, 130, 60);
const QColor kControl(200, 30, 30);
const QColor kTolerance(200, 120, 0);

struct Level
{
    double y;
    int role; // 0 centre, 1 control limit, 2 tolerance limit
};

// Tick values at 1, 2 or 5 times a power of ten, about five over [lo, hi].
QVector<double> ticks(double lo, double hi, int wanted = 5)
{
    QVector<double> out;
    if (!(hi > lo) || !std::isfinite(lo) || !std::isfinite(hi))
        return out;
    const double raw = (hi - lo) / wanted;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = power;
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        step = m * power;
        if (step >= raw)
            break;
    }
    for (double v = std::ceil(lo / step) * step; v <= hi + step * 1e-9; v += step)
        out << (std::fabs(v) < step * 1e-9 ? 0.0 : v);
    return out;
}

// A long text is set a little smaller before it is cut: a language with longer words would
// otherwise lose the last one of a title on a narrow window. Sets the painter's font.
QString fitted(QPainter &p, const QString &text, double width)
{
    QFont f = p.font();
    const double need = QFontMetricsF(f, p.device()).horizontalAdvance(text);
    if (need > width && width > 0) {
        const double scale = std::max(0.8, width / need);
        if (f.pointSizeF() > 0)
            f.setPointSizeF(f.pointSizeF() * scale);
        else
            f.setPixelSize(std::max(1, int(f.pixelSize() * scale)));
        p.setFont(f);
    }
    return QFontMetricsF(p.font(), p.device()).elidedText(text, Qt::ElideRight, width);
}

int decimalsFor(const QVector<double> &t)
{
    if (t.size() < 2)
        return 2;
    const double step = t.at(1) - t.at(0);
    return std::max(0, int(std::ceil(-std::log10(step) - 1e-9)));
}

QString number(double v, int decimals)
{
    return std::isfinite(v) ? QString::number(v, 'f', decimals) : QStringLiteral("-");
}

struct Histogram
{
    double lo = 0;
    double width = 1;
    QVector<int> counts;
    double mean = 0;
    double sigma = 0;
};

Histogram histogramOf(const QVector<double> &values)
{
    Histogram h;
    const Capability::Summary s = Capability::summarize(values);
    h.mean = s.mean;
    h.sigma = s.sigma;
    if (values.isEmpty())
        return h;
    double lo = s.min;
    double hi = s.max;
    if (!(hi > lo)) {
        lo -= 0.5;
        hi += 0.5;
    }
    // Square-root rule, kept between a readable 8 and 40 bars.
    const int bins = std::clamp(int(std::sqrt(double(values.size()))), 8, 40);
    h.lo = lo;
    h.width = (hi - lo) / bins;
    h.counts.fill(0, bins);
    for (double v : values)
        ++h.counts[std::clamp(int((v - lo) / h.width), 0, bins - 1)];
    return h;
}

} // namespace

struct StatisticsCharts::Prepared
{
    QVector<double> values; // what the rest was worked out from
    ControlChart::Individuals individuals;
    ControlChart::XbarR xbarR;
    Histogram histogram;
};

std::shared_ptr<const StatisticsCharts::Prepared> StatisticsCharts::prepare(const QVector<double> &values)
{
    auto p = std::make_shared<Prepared>();
    p->values = values;
    p->individuals = ControlChart::individuals(values);
    p->xbarR = ControlChart::xbarR(values);
    p->histogram = histogramOf(values);
    return p;
}

namespace {

// A copy shares its values' storage; anything else was made from other values.
const StatisticsCharts::Prepared *preparedFor(const StatisticsCharts::Data &d)
{
    const StatisticsCharts::Prepared *p = d.prepared.get();
    return p && p->values.constData() == d.values.constData() && p->values.size() == d.values.size() ? p : nullptr;
}

Histogram histogramOf(const StatisticsCharts::Data &d)
{
    const StatisticsCharts::Prepared *p = preparedFor(d);
    return p ? p->histogram : histogramOf(d.values);
}

// The series, its reference levels and the indexes beyond the control limits.
struct Series
{
    QVector<double> values;
    QVector<Level> levels;
    QVector<int> beyond;
};

Series seriesOf(StatisticsCharts::Kind kind, const StatisticsCharts::Data &d)
{
    Series s;
    const StatisticsCharts::Prepared *ready = preparedFor(d);
    if (kind == StatisticsCharts::Kind::Individuals) {
        const ControlChart::Individuals ind = ready ? ready->individuals : ControlChart::individuals(d.values);
        s.values = d.values;
        s.beyond = ind.beyond;
        if (!d.values.isEmpty())
            s.levels = {{ind.mean, 0}, {ind.ucl, 1}, {ind.lcl, 1}};
        if (d.hasLimits)
            s.levels << Level{d.lsl, 2} << Level{d.usl, 2};
    } else {
        const ControlChart::XbarR xr = ready ? ready->xbarR : ControlChart::xbarR(d.values);
        const bool means = kind == StatisticsCharts::Kind::Means;
        s.values = means ? xr.means : xr.ranges;
        s.beyond = means ? xr.meansBeyond : xr.rangesBeyond;
        if (!s.values.isEmpty())
            s.levels = means ? QVector<Level>{{xr.grandMean, 0}, {xr.uclX, 1}, {xr.lclX, 1}}
                             : QVector<Level>{{xr.meanRange, 0}, {xr.uclR, 1}, {xr.lclR, 1}};
    }
    return s;
}

struct Layout
{
    double em;
    QRectF title;
    QRectF plot;
    QRectF legend;
};

// Metrics on the device drawn on: a 300 dpi page sets a point size three times as many
// pixels high as a screen does. rows: the legend's, as legendRows() counts them.
Layout layoutOf(const QFont &font, QPaintDevice *device, const QRectF &r, int rows = 1)
{
    Layout l;
    const QFontMetricsF fm(font, device);
    l.em = fm.height();
    const double left = fm.horizontalAdvance(QStringLiteral("-8888.88")) + 1.8 * l.em;
    l.title = QRectF(r.left(), r.top(), r.width(), 1.5 * l.em);
    l.legend = QRectF(r.left(), r.bottom() - 1.4 * rows * l.em, r.width(), 1.4 * rows * l.em);
    l.plot = QRectF(QPointF(r.left() + left, l.title.bottom() + 0.3 * l.em),
                    QPointF(r.right() - 2.5 * l.em, l.legend.top() - 2.6 * l.em));
    return l;
}

QPen pen(const QColor &c, double width, Qt::PenStyle style = Qt::SolidLine)
{
    QPen p(c, width, style);
    p.setCapStyle(Qt::FlatCap);
    return p;
}

QPen levelPen(int role, double em)
{
    return role == 0 ? pen(kCentre, em / 10) : role == 1 ? pen(kControl, em / 10, Qt::DashLine)
                                                        : pen(kTolerance, em / 8, Qt::DotLine);
}

void drawAxes(QPainter &p, const Layout &l, double x0, double x1, double y0, double y1, const QString &xTitle,
              const QString &yTitle, bool integerX)
{
    const QRectF &a = l.plot;
    auto mx = [&](double x) { return a.left() + (x - x0) / (x1 - x0) * a.width(); };
    auto my = [&](double y) { return a.bottom() - (y - y0) / (y1 - y0) * a.height(); };
    p.setPen(pen(QColor(225, 225, 225), l.em / 16));
    const QVector<double> yt = ticks(y0, y1);
    QVector<double> xt = ticks(x0, x1, std::max(2, int(a.width() / (6 * l.em))));
    if (integerX)
        xt.erase(std::remove_if(xt.begin(), xt.end(), [](double v) { return v != std::floor(v); }), xt.end());
    for (double y : yt)
        p.drawLine(QPointF(a.left(), my(y)), QPointF(a.right(), my(y)));
    p.setPen(pen(Qt::black, l.em / 14));
    p.drawRect(a);
    const int yd = decimalsFor(yt);
    for (double y : yt) {
        p.drawLine(QPointF(a.left() - l.em * 0.3, my(y)), QPointF(a.left(), my(y)));
        p.drawText(QRectF(a.left() - 8 * l.em, my(y) - l.em / 2, 7.5 * l.em, l.em), Qt::AlignRight | Qt::AlignVCenter,
                   number(y, yd));
    }
    const int xd = integerX ? 0 : decimalsFor(xt);
    for (double x : xt) {
        p.drawLine(QPointF(mx(x), a.bottom()), QPointF(mx(x), a.bottom() + l.em * 0.3));
        p.drawText(QRectF(mx(x) - 4 * l.em, a.bottom() + 0.3 * l.em, 8 * l.em, l.em), Qt::AlignHCenter | Qt::AlignTop,
                   number(x, xd));
    }
    p.drawText(QRectF(a.left(), a.bottom() + 1.3 * l.em, a.width(), 1.2 * l.em), Qt::AlignHCenter | Qt::AlignTop,
               xTitle);
    p.save();
    p.translate(a.left() - QFontMetricsF(p.font(), p.device()).horizontalAdvance(QStringLiteral("-8888.88")) - 1.5 * l.em,
                a.center().y());
    p.rotate(-90);
    const QString shown = fitted(p, yTitle, a.height());
    p.drawText(QRectF(-a.height() / 2, 0, a.height(), 1.2 * l.em), Qt::AlignHCenter | Qt::AlignTop, shown);
    p.restore();
}

struct LegendEntry
{
    QPen pen;
    QString text;
    bool marker = false;
    bool bar = false;
};

// The rows a legend takes in a chart of this width: entries wrap rather than run off the edge.
int legendRows(const QFontMetricsF &fm, double em, double width, const QVector<QString> &texts)
{
    int rows = 1;
    double x = em;
    for (const QString &text : texts) {
        const double need = 2.0 * em + fm.horizontalAdvance(text) + 1.0 * em;
        if (x + need > width && x > em) {
            ++rows;
            x = em;
        }
        x += need;
    }
    return rows;
}

void drawLegend(QPainter &p, const Layout &l, const QVector<LegendEntry> &entries)
{
    const QFontMetricsF fm(p.font(), p.device());
    double x = l.legend.left() + l.em;
    double top = l.legend.top();
    double y = top + 0.7 * l.em;
    for (const LegendEntry &e : entries) {
        const double w = fm.horizontalAdvance(e.text);
        if (x + 2.0 * l.em + w > l.legend.right() && x > l.legend.left() + l.em) {
            x = l.legend.left() + l.em;
            top += 1.4 * l.em;
            y = top + 0.7 * l.em;
        }
        if (e.marker) {
            p.setPen(pen(kControl, l.em / 10));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(x + 0.8 * l.em, y), l.em / 3, l.em / 3);
        } else if (e.bar) {
            p.setPen(pen(kSeries.darker(), l.em / 16));
            p.setBrush(kSeries.lighter(170));
            p.drawRect(QRectF(x + 0.3 * l.em, y - l.em / 3, l.em, 2 * l.em / 3));
        } else {
            p.setPen(e.pen);
            p.drawLine(QPointF(x, y), QPointF(x + 1.6 * l.em, y));
        }
        p.setPen(Qt::black);
        p.setBrush(Qt::NoBrush);
        p.drawText(QRectF(x + 2.0 * l.em, top, w + l.em, 1.4 * l.em), Qt::AlignLeft | Qt::AlignVCenter, e.text);
        x += 2.0 * l.em + w + 1.0 * l.em;
    }
}

// The legend's texts, in the order the charts draw them.
QVector<QString> legendTexts(StatisticsCharts::Kind kind, const StatisticsCharts::Data &d)
{
    using K = StatisticsCharts::Kind;
    if (kind == K::Histogram)
        return {StatisticsCharts::tr("Measures"), StatisticsCharts::tr("Normal curve"),
                StatisticsCharts::tr("Tolerance limits")};
    QVector<QString> texts = {kind == K::Individuals ? StatisticsCharts::tr("Moment") : StatisticsCharts::tr("Values"),
                              StatisticsCharts::tr("Centre line"), StatisticsCharts::tr("Control limits")};
    if (kind == K::Individuals && d.hasLimits)
        texts << StatisticsCharts::tr("Tolerance limits");
    texts << StatisticsCharts::tr("Beyond a control limit");
    return texts;
}

void drawTitle(QPainter &p, const Layout &l, const QString &text)
{
    QFont bold = p.font();
    bold.setBold(true);
    p.save();
    p.setFont(bold);
    p.setPen(Qt::black);
    const QString shown = fitted(p, text, l.title.width());
    p.drawText(l.title, Qt::AlignLeft | Qt::AlignVCenter, shown);
    p.restore();
}

QString unitTitle(const QString &what, const QString &unit)
{
    return unit.isEmpty() ? what : what + QStringLiteral(", ") + unit;
}

void paintHistogram(QPainter &p, const Layout &l, const StatisticsCharts::Data &d)
{
    const Histogram h = histogramOf(d);
    double x0 = h.lo;
    double x1 = h.lo + h.width * std::max(1, int(h.counts.size()));
    if (d.hasLimits) {
        x0 = std::min(x0, d.lsl);
        x1 = std::max(x1, d.usl);
    }
    const double pad = (x1 - x0) * 0.04;
    x0 -= pad;
    x1 += pad;
    const int top = h.counts.isEmpty() ? 1 : *std::max_element(h.counts.begin(), h.counts.end());
    const double peak = h.sigma > 0 ? d.values.size() * h.width / (h.sigma * std::sqrt(2 * M_PI)) : 0;
    const double y1 = std::max<double>(top, peak) * 1.08 + 1e-9;
    drawAxes(p, l, x0, x1, 0, std::max(1.0, y1), unitTitle(StatisticsCharts::tr("Moment"), d.unit),
             StatisticsCharts::tr("Count"), false);
    const QRectF &a = l.plot;
    auto mx = [&](double x) { return a.left() + (x - x0) / (x1 - x0) * a.width(); };
    auto my = [&](double y) { return a.bottom() - y / std::max(1.0, y1) * a.height(); };
    p.setPen(pen(kSeries.darker(), l.em / 16));
    p.setBrush(kSeries.lighter(170));
    for (int i = 0; i < h.counts.size(); ++i) {
        const double left = h.lo + i * h.width;
        p.drawRect(QRectF(QPointF(mx(left), my(h.counts.at(i))), QPointF(mx(left + h.width), my(0))));
    }
    p.setBrush(Qt::NoBrush);
    if (h.sigma > 0) {
        QPainterPath curve;
        const int steps = 120;
        for (int i = 0; i <= steps; ++i) {
            const double x = x0 + (x1 - x0) * i / steps;
            const double z = (x - h.mean) / h.sigma;
            const QPointF at(mx(x), my(peak * std::exp(-0.5 * z * z)));
            if (i == 0)
                curve.moveTo(at);
            else
                curve.lineTo(at);
        }
        p.setPen(pen(kCentre, l.em / 8));
        p.drawPath(curve);
    }
    if (d.hasLimits) {
        p.setPen(levelPen(2, l.em));
        for (double v : {d.lsl, d.usl})
            p.drawLine(QPointF(mx(v), a.top()), QPointF(mx(v), a.bottom()));
    }
    drawLegend(p, l,
               {{QPen(), StatisticsCharts::tr("Measures"), false, true},
                {pen(kCentre, l.em / 8), StatisticsCharts::tr("Normal curve"), false, false},
                {levelPen(2, l.em), StatisticsCharts::tr("Tolerance limits"), false, false}});
}

} // namespace

QString StatisticsCharts::title(Kind kind)
{
    switch (kind) {
    case Kind::Individuals:
        return tr("Individuals chart of the moment");
    case Kind::Means:
        return tr("X-bar chart: subgroup means of 5");
    case Kind::Ranges:
        return tr("R chart: subgroup ranges of 5");
    case Kind::Histogram:
        break;
    }
    return tr("Histogram of the moment");
}

QVector<QPointF> StatisticsCharts::envelope(const QVector<double> &values, int first, int last, int maxPoints)
{
    maxPoints = std::clamp(maxPoints, 4, int(MaxPoints));
    QVector<QPointF> points;
    first = std::max(1, first);
    last = std::min(int(values.size()), last);
    const int n = last - first + 1;
    if (n <= 0)
        return points;
    if (n <= maxPoints) {
        points.reserve(n);
        for (int i = first; i <= last; ++i)
            points << QPointF(i, values.at(i - 1));
        return points;
    }
    const int bucket = (n + maxPoints / 2 - 1) / (maxPoints / 2);
    points.reserve(maxPoints + 2);
    for (int start = first - 1; start < last; start += bucket) {
        const int end = std::min(last, start + bucket);
        int lo = start;
        int hi = start;
        for (int i = start + 1; i < end; ++i) {
            if (values.at(i) < values.at(lo))
                lo = i;
            if (values.at(i) > values.at(hi))
                hi = i;
        }
        points << QPointF(std::min(lo, hi) + 1, values.at(std::min(lo, hi)));
        if (lo != hi)
            points << QPointF(std::max(lo, hi) + 1, values.at(std::max(lo, hi)));
    }
    return points;
}

StatisticsCharts::Span StatisticsCharts::fullSpan(Kind kind, const Data &data)
{
    if (kind == Kind::Histogram)
        return {};
    const int n = kind == Kind::Individuals ? data.values.size() : data.values.size() / 5;
    return {1.0, double(std::max(2, n))};
}

QRectF StatisticsCharts::plotArea(const QFont &font, const QRectF &rect, Kind)
{
    return layoutOf(font, nullptr, rect).plot;
}

void StatisticsCharts::paint(QPainter &p, const QRectF &rect, Kind kind, const Data &d, Span span)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect, Qt::white);
    const QFontMetricsF fm(p.font(), p.device());
    const Layout l = layoutOf(p.font(), p.device(), rect, legendRows(fm, fm.height(), rect.width(), legendTexts(kind, d)));
    drawTitle(p, l, title(kind));
    if (d.values.isEmpty()) {
        // Empty axes would read as a joint whose measures are all zero.
        p.setPen(Qt::gray);
        p.drawText(rect.adjusted(0, l.title.height(), 0, 0), Qt::AlignCenter, tr("No measures"));
        p.restore();
        return;
    }
    if (l.plot.width() < l.em || l.plot.height() < l.em) {
        p.restore();
        return;
    }
    if (kind == Kind::Histogram) {
        paintHistogram(p, l, d);
        p.restore();
        return;
    }
    const Series s = seriesOf(kind, d);
    const Span full = fullSpan(kind, d);
    if (span.isEmpty())
        span = full;
    const double x0 = std::max(full.from, span.from);
    const double x1 = std::max(x0 + 1, std::min(full.to, span.to));
    const int first = int(std::ceil(x0));
    const int last = int(std::floor(x1));
    double lo = HUGE_VAL;
    double hi = -HUGE_VAL;
    for (int i = first; i <= last && i <= s.values.size(); ++i) {
        lo = std::min(lo, s.values.at(i - 1));
        hi = std::max(hi, s.values.at(i - 1));
    }
    for (const Level &level : s.levels) {
        if (std::isfinite(level.y)) {
            lo = std::min(lo, level.y);
            hi = std::max(hi, level.y);
        }
    }
    if (!(hi >= lo)) {
        lo = 0;
        hi = 1;
    }
    const double pad = std::max((hi - lo) * 0.06, 1e-6);
    const double y0 = lo - pad;
    const double y1 = hi + pad;
    const QString xTitle = kind == Kind::Individuals ? tr("Measure No.") : tr("Subgroup No.");
    const QString yTitle = unitTitle(kind == Kind::Individuals ? tr("Moment")
                                     : kind == Kind::Means     ? tr("Mean of 5")
                                                               : tr("Range of 5"),
                                     d.unit);
    drawAxes(p, l, x0, x1, y0, y1, xTitle, yTitle, true);
    const QRectF &a = l.plot;
    auto map = [&](double x, double y) {
        return QPointF(a.left() + (x - x0) / (x1 - x0) * a.width(), a.bottom() - (y - y0) / (y1 - y0) * a.height());
    };
    p.setClipRect(a);
    for (const Level &level : s.levels) {
        if (!std::isfinite(level.y))
            continue;
        p.setPen(levelPen(level.role, l.em));
        p.drawLine(map(x0, level.y), map(x1, level.y));
    }
    // More than two points per pixel column only paints over itself.
    const QVector<QPointF> points = envelope(s.values, first, last, int(2 * a.width()));
    QPolygonF line;
    line.reserve(points.size());
    for (const QPointF &pt : points)
        line << map(pt.x(), pt.y());
    p.setPen(pen(kSeries, l.em / 14));
    // A dense zigzag drawn antialiased costs the raster engine tens of milliseconds a chart
    // (over 100 ms for the four charts of a large joint on the GUI thread); at two points per
    // pixel column smoothing shows nothing, so it is drawn plain.
    const bool dense = points.size() > a.width();
    p.setRenderHint(QPainter::Antialiasing, !dense);
    p.drawPolyline(line);
    p.setRenderHint(QPainter::Antialiasing, true);
    if (points.size() <= 200) {
        p.setBrush(kSeries);
        for (const QPointF &pt : line)
            p.drawEllipse(pt, l.em / 9, l.em / 9);
        p.setBrush(Qt::NoBrush);
    }
    QVector<int> marked;
    for (int i : s.beyond) {
        if (i + 1 >= first && i + 1 <= last)
            marked << i;
    }
    const int step = std::max(1, int(marked.size() / kMaxMarked));
    p.setPen(pen(kControl, l.em / 9));
    for (int k = 0; k < marked.size(); k += step)
        p.drawEllipse(map(marked.at(k) + 1, s.values.at(marked.at(k))), l.em / 3, l.em / 3);
    p.setClipping(false);
    QVector<LegendEntry> legend = {{pen(kSeries, l.em / 14), kind == Kind::Individuals ? tr("Moment") : tr("Values")},
                                   {levelPen(0, l.em), tr("Centre line")},
                                   {levelPen(1, l.em), tr("Control limits")}};
    if (kind == Kind::Individuals && d.hasLimits)
        legend << LegendEntry{levelPen(2, l.em), tr("Tolerance limits")};
    legend << LegendEntry{QPen(), tr("Beyond a control limit"), true};
    drawLegend(p, l, legend);
    p.restore();
}

QString StatisticsCharts::describe(Kind kind, const Data &d, Span span)
{
    if (d.values.isEmpty())
        return tr("%1: no measures.").arg(title(kind));
    auto n2 = [](double v) { return number(v, 2); };
    const QString unit = d.unit.isEmpty() ? QString() : QStringLiteral(" ") + d.unit;
    if (kind == Kind::Histogram) {
        const Histogram h = histogramOf(d);
        QString text = tr("%1 of %2 measures in %3 bars: mean %4%5, sigma %6%5.")
                           .arg(title(kind))
                           .arg(d.values.size())
                           .arg(h.counts.size())
                           .arg(n2(h.mean), unit, number(h.sigma, 3));
        if (d.hasLimits)
            text += QLatin1Char(' ') + tr("Tolerance limits %1 to %2%3.").arg(n2(d.lsl), n2(d.usl), unit);
        return text;
    }
    const Series s = seriesOf(kind, d);
    const Span full = fullSpan(kind, d);
    if (span.isEmpty())
        span = full;
    const int first = std::max(1, int(std::ceil(span.from)));
    const int last = std::min(int(s.values.size()), int(std::floor(span.to)));
    const double centre = s.levels.value(0).y;
    QVector<int> inView;
    for (int i : s.beyond) {
        if (i + 1 >= first && i + 1 <= last)
            inView << i;
    }
    const int beyond = inView.size();
    // The farthest first: those are the ones a reader goes looking for.
    const int named = std::min(5, beyond);
    std::partial_sort(inView.begin(), inView.begin() + named, inView.end(), [&](int a, int b) {
        return std::fabs(s.values.at(a) - centre) > std::fabs(s.values.at(b) - centre);
    });
    QStringList where;
    for (int k = 0; k < named; ++k)
        where << QString::number(inView.at(k) + 1);
    const double upper = s.levels.value(1).y;
    const double lower = s.levels.value(2).y;
    QString text = tr("%1, points %2 to %3 of %4: centre line %5%6, control limits %7 to %8%6.")
                       .arg(title(kind))
                       .arg(first)
                       .arg(last)
                       .arg(s.values.size())
                       .arg(n2(centre), unit, n2(lower), n2(upper));
    if (kind == Kind::Individuals && d.hasLimits)
        text += QLatin1Char(' ') + tr("Tolerance limits %1 to %2%3.").arg(n2(d.lsl), n2(d.usl), unit);
    text += QLatin1Char(' ');
    text += beyond == 0 ? tr("No point beyond a control limit.")
                        : tr("Points beyond a control limit: %1; the farthest: No. %2.")
                              .arg(beyond)
                              .arg(where.join(QStringLiteral(", ")) + (beyond > 5 ? QStringLiteral(", …") : QString()));
    return text;
}
