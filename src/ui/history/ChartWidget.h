#pragma once

#include "history/StatisticsCharts.h"

#include <QWidget>

// One statistics chart on screen. Dragging across a time chart shows that stretch of measures
// (a double click shows them all again); the accessible description says in words what the
// chart shows, for a reader who cannot see it.
class ChartWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ChartWidget(StatisticsCharts::Kind kind, QWidget *parent = nullptr);

    void setData(const StatisticsCharts::Data &data);
    StatisticsCharts::Kind kind() const { return m_kind; }
    StatisticsCharts::Span span() const { return m_span; }
    void setSpan(StatisticsCharts::Span span);
    void retranslate();

signals:
    void spanChanged(StatisticsCharts::Span span);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    double toValue(int x);
    void describe();

    StatisticsCharts::Kind m_kind;
    StatisticsCharts::Data m_data;
    StatisticsCharts::Span m_span;
    int m_dragFrom = -1;
    int m_dragTo = -1;
};
