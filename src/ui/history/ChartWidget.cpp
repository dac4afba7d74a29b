#include "ui/history/ChartWidget.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

ChartWidget::ChartWidget(StatisticsCharts::Kind kind, QWidget *parent) : QWidget(parent), m_kind(kind)
{
    setMinimumSize(200, 170);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    if (kind != StatisticsCharts::Kind::Histogram) {
        setCursor(Qt::CrossCursor);
        setToolTip(tr("Drag across the chart to show that stretch; double-click to show everything"));
    }
    retranslate();
}

void ChartWidget::setData(const StatisticsCharts::Data &data)
{
    m_data = data;
    // Worked out once here, not at each paint, when the caller had not done so.
    if (!m_data.prepared)
        m_data.prepared = StatisticsCharts::prepare(m_data.values);
    m_span = {};
    describe();
    update();
}

void ChartWidget::setSpan(StatisticsCharts::Span span)
{
    m_span = span;
    describe();
    update();
    emit spanChanged(span);
}

void ChartWidget::retranslate()
{
    setAccessibleName(StatisticsCharts::title(m_kind));
    describe();
}

void ChartWidget::describe()
{
    setAccessibleDescription(StatisticsCharts::describe(m_kind, m_data, m_span));
}

void ChartWidget::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    StatisticsCharts::paint(p, QRectF(rect()), m_kind, m_data, m_span);
    if (m_dragFrom >= 0 && m_dragTo >= 0) {
        const QRectF plot = StatisticsCharts::plotArea(font(), QRectF(rect()), m_kind);
        p.fillRect(QRectF(QPointF(std::min(m_dragFrom, m_dragTo), plot.top()),
                                QPointF(std::max(m_dragFrom, m_dragTo), plot.bottom())),
                         QColor(30, 90, 170, 50));
    }
}

double ChartWidget::toValue(int x)
{
    const QRectF plot = StatisticsCharts::plotArea(font(), QRectF(rect()), m_kind);
    const StatisticsCharts::Span shown = m_span.isEmpty() ? StatisticsCharts::fullSpan(m_kind, m_data) : m_span;
    const double at = (x - plot.left()) / std::max(1.0, plot.width());
    return shown.from + std::clamp(at, 0.0, 1.0) * (shown.to - shown.from);
}

void ChartWidget::mousePressEvent(QMouseEvent *event)
{
    if (m_kind != StatisticsCharts::Kind::Histogram && event->button() == Qt::LeftButton)
        m_dragFrom = m_dragTo = event->pos().x();
    QWidget::mousePressEvent(event);
}

void ChartWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragFrom >= 0) {
        m_dragTo = event->pos().x();
        update();
    }
    QWidget::mouseMoveEvent(event);
}

void ChartWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_dragFrom < 0)
        return QWidget::mouseReleaseEvent(event);
    const int from = std::min(m_dragFrom, event->pos().x());
    const int to = std::max(m_dragFrom, event->pos().x());
    m_dragFrom = m_dragTo = -1;
    // A click is no stretch; fewer than two measures is none either.
    if (to - from >= 8) {
        const double a = std::floor(toValue(from));
        const double b = std::ceil(toValue(to));
        if (b - a >= 2)
            setSpan({a, b});
    }
    update();
}

void ChartWidget::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (m_kind != StatisticsCharts::Kind::Histogram)
        setSpan({});
    QWidget::mouseDoubleClickEvent(event);
}
