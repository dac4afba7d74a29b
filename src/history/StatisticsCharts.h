#pragma once

#include <QCoreApplication>
#include <QRectF>
#include <QString>
#include <QVector>

#include <memory>

class QFont;
class QPainter;

// The part of a chart's horizontal axis in view, in the chart's own numbers (measure or
// subgroup numbers, from 1); an empty span shows everything.
struct ChartSpan
{
    double from = 0;
    double to = 0;
    bool isEmpty() const { return !(to > from); }
};

// The charts of a joint's statistics, drawn with a painter so that the window and the paper
// report show the same thing: the individuals chart, the X-bar and R charts of subgroups of
// five, and the histogram with the fitted normal curve. Every chart carries its axis titles,
// tick labels and a legend, and marks the points beyond a control limit.
class StatisticsCharts
{
    Q_DECLARE_TR_FUNCTIONS(StatisticsCharts)
public:
    enum class Kind { Individuals, Means, Ranges, Histogram };

    // What the charts work out from a series (control limits, subgroups, histogram bars): a
    // hundred thousand measures take milliseconds, so it is done once, off the window's
    // thread, rather than at every paint.
    struct Prepared;
    static std::shared_ptr<const Prepared> prepare(const QVector<double> &values);

    struct Data
    {
        QVector<double> values; // the moments in time order
        QString unit;           // as shown to the user
        double lsl = 0;
        double usl = 0;
        bool hasLimits = false;
        // Used only where it was made from these very values; worked out anew otherwise.
        std::shared_ptr<const Prepared> prepared;
    };

    using Span = ChartSpan;

    // Sizes follow the painter's font, so a 300 dpi page and a screen look alike.
    static void paint(QPainter &painter, const QRectF &rect, Kind kind, const Data &data, Span span = {});
    // Where the plot itself lies inside rect (for mapping a drag to a span).
    static QRectF plotArea(const QFont &font, const QRectF &rect, Kind kind);
    // The whole horizontal axis of a chart of this data.
    static Span fullSpan(Kind kind, const Data &data);
    // The figures a chart shows, in words, for screen readers and the report.
    static QString describe(Kind kind, const Data &data, Span span = {});
    static QString title(Kind kind);

    // A chart shows at most this many points of a series: a million measures would take
    // seconds to draw and show nothing more than their envelope.
    static constexpr int MaxPoints = 2000;
    // The points at most drawn for a series between first and last (1-based, inclusive):
    // every value, or the minimum and maximum of each bucket, in the order they occurred.
    static QVector<QPointF> envelope(const QVector<double> &values, int first, int last, int maxPoints = MaxPoints);
};
