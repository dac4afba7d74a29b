#include "ui/history/StatisticsView.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QResizeEvent>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>

using namespace QtCharts;

namespace {

// A chart shows at most this many points of a series: a million measures would take seconds
// to draw and show nothing more than their envelope.
constexpr int kMaxPoints = 2000;
constexpr int kMaxMarked = 2000;

QString fixed(double v, int decimals = 2)
{
    return std::isfinite(v) ? QString::number(v, 'f', decimals) : QStringLiteral("-");
}

// Min and max of each bucket, in the order they occurred, so the line keeps its shape.
QVector<QPointF> envelope(const QVector<double> &values)
{
    QVector<QPointF> points;
    const int n = values.size();
    if (n <= kMaxPoints) {
        points.reserve(n);
        for (int i = 0; i < n; ++i)
            points << QPointF(i + 1, values.at(i));
        return points;
    }
    const int bucket = (n + kMaxPoints / 2 - 1) / (kMaxPoints / 2);
    points.reserve(kMaxPoints + 2);
    for (int start = 0; start < n; start += bucket) {
        const int end = std::min(n, start + bucket);
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

QLineSeries *levelLine(const QString &name, double y, double x0, double x1, const QColor &colour, Qt::PenStyle style)
{
    auto *s = new QLineSeries;
    s->setName(name);
    s->append(x0, y);
    s->append(x1, y);
    QPen pen(colour);
    pen.setWidthF(1.5);
    pen.setStyle(style);
    s->setPen(pen);
    return s;
}

struct Line
{
    QString name;
    double y;
    QColor colour;
    Qt::PenStyle style;
};

// One chart: the values as a line, horizontal lines for centre, limits and range, and the
// points beyond the control limits marked in red.
void fillChart(QChart *chart, const QString &title, const QVector<double> &values, const QVector<int> &beyond,
               const QList<Line> &lines)
{
    chart->removeAllSeries();
    for (QAbstractAxis *axis : chart->axes())
        chart->removeAxis(axis);
    chart->setTitle(title);
    auto *x = new QValueAxis;
    auto *y = new QValueAxis;
    x->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    if (values.isEmpty())
        return;
    const double x0 = 1;
    const double x1 = std::max(2, values.size());
    auto attach = [&](QAbstractSeries *s) {
        chart->addSeries(s);
        s->attachAxis(x);
        s->attachAxis(y);
    };
    auto *series = new QLineSeries;
    series->replace(envelope(values));
    QPen pen(QColor(30, 90, 170));
    pen.setWidthF(1.2);
    series->setPen(pen);
    attach(series);
    double lo = *std::min_element(values.begin(), values.end());
    double hi = *std::max_element(values.begin(), values.end());
    for (const Line &l : lines) {
        if (!std::isfinite(l.y))
            continue;
        attach(levelLine(l.name, l.y, x0, x1, l.colour, l.style));
        lo = std::min(lo, l.y);
        hi = std::max(hi, l.y);
    }
    if (!beyond.isEmpty()) {
        auto *marks = new QScatterSeries;
        marks->setColor(Qt::red);
        marks->setMarkerSize(7);
        marks->setBorderColor(Qt::red);
        const int step = std::max(1, int(beyond.size() / kMaxMarked));
        for (int i = 0; i < beyond.size(); i += step)
            marks->append(beyond.at(i) + 1, values.at(beyond.at(i)));
        attach(marks);
    }
    series->setName(QString());
    const double pad = std::max((hi - lo) * 0.05, 1e-6);
    x->setRange(x0, x1);
    y->setRange(lo - pad, hi + pad);
    chart->legend()->setVisible(false);
}

QChartView *makeView(const char *name)
{
    auto *chart = new QChart;
    chart->setMargins(QMargins(4, 4, 4, 4));
    auto *view = new QChartView(chart);
    view->setObjectName(QLatin1String(name));
    view->setRenderHint(QPainter::Antialiasing);
    // Beside the history table the view has a third of a small screen: the charts share it.
    view->setMinimumSize(220, 90);
    return view;
}

} // namespace

StatisticsView::StatisticsView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("statisticsView"));
    auto *outer = new QBoxLayout(QBoxLayout::LeftToRight, this);
    m_outer = outer;
    auto *left = new QVBoxLayout;
    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("lbStatisticsTitle"));
    m_title->setWordWrap(true);
    QFont tf = m_title->font();
    tf.setPointSize(14);
    tf.setBold(true);
    m_title->setFont(tf);
    left->addWidget(m_title);
    m_alarm = new QLabel(this);
    m_alarm->setObjectName(QStringLiteral("lbCapabilityAlarm"));
    m_alarm->setWordWrap(true);
    left->addWidget(m_alarm);
    m_figures = new QGridLayout;
    m_figures->setHorizontalSpacing(16);
    for (int i = 0; i < 11; ++i) {
        auto *c = new QLabel(this);
        auto *v = new QLabel(this);
        v->setObjectName(QStringLiteral("lbStatValue%1").arg(i));
        v->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        QFont f = v->font();
        f.setPointSize(13);
        c->setFont(f);
        v->setFont(f);
        m_figures->addWidget(c, i, 0);
        m_figures->addWidget(v, i, 1);
        m_captions << c;
        m_values << v;
    }
    left->addLayout(m_figures);
    left->addStretch(1);
    m_print = new QPushButton(this);
    m_print->setObjectName(QStringLiteral("pbStatisticsPdf"));
    m_print->setMinimumHeight(56);
    connect(m_print, &QPushButton::clicked, this, &StatisticsView::printRequested);
    left->addWidget(m_print);
    // The figures need a narrow column; a long alarm text wraps rather than pushing the charts out.
    auto *leftBox = new QWidget(this);
    m_figuresBox = leftBox;
    leftBox->setLayout(left);
    leftBox->setMaximumWidth(300);
    left->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(leftBox, 0);

    auto *charts = new QVBoxLayout;
    m_individualsView = makeView("chartIndividuals");
    m_xbarView = makeView("chartXbar");
    m_rangeView = makeView("chartRange");
    charts->addWidget(m_individualsView, 2);
    charts->addWidget(m_xbarView, 1);
    charts->addWidget(m_rangeView, 1);
    outer->addLayout(charts, 1);
    retranslate(); // fills every text, figures and charts included
}

void StatisticsView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!m_printing)
        arrange();
}

void StatisticsView::arrange()
{
    // Beside the history table the view may get less than figures and charts need side by
    // side; the charts then go below the figures (the page scrolls down) instead of being
    // cut at the right. What counts is the room the scroll area offers, not this widget's
    // width, which never falls below its side-by-side minimum.
    const int room = parentWidget() ? parentWidget()->width() : width();
    const bool stacked = room < m_figuresBox->sizeHint().width() + 320;
    const auto direction = stacked ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight;
    if (m_outer->direction() == direction)
        return;
    m_outer->setDirection(direction);
    m_figuresBox->setMaximumWidth(stacked ? QWIDGETSIZE_MAX : 300);
    layout()->activate();
}

void StatisticsView::setThresholds(const Capability::Thresholds &thresholds)
{
    m_thresholds = thresholds;
    refresh();
}

void StatisticsView::setInput(const Input &input)
{
    m_input = input;
    m_loading = false;
    refresh();
}

void StatisticsView::showLoading(const QString &recordName)
{
    setInput(Input());
    m_loading = true;
    m_loadingRecord = recordName;
    fillFigures();
}

void StatisticsView::clear()
{
    setInput(Input());
}

bool StatisticsView::alarmShown() const
{
    return m_moment.alarm || m_angle.alarm;
}

void StatisticsView::refresh()
{
    m_moment = Capability::evaluate(m_input.moments, m_input.momentLow, m_input.momentHigh, m_input.ngCount,
                                    m_thresholds);
    m_angle = m_input.angleChecked
                  ? Capability::evaluate(m_input.angles, m_input.angleLow, m_input.angleHigh, 0, m_thresholds)
                  : Capability::Result();
    fillFigures();
    fillCharts();
}

void StatisticsView::fillFigures()
{
    const Capability::Summary &s = m_moment.summary;
    // The history stores the unit's code; the page shows it in the user's language.
    const QString shownUnit = m_input.unit == QLatin1String("Nm")     ? tr("Nm")
                              : m_input.unit == QLatin1String("kgsm") ? tr("kgsm")
                                                                      : m_input.unit;
    const QString unit = shownUnit.isEmpty() ? QString() : QStringLiteral(" ") + shownUnit;
    m_title->setText(m_loading && m_loadingRecord.isEmpty() ? tr("Loading the statistics…")
                     : m_loading                            ? tr("Loading the statistics of %1…").arg(m_loadingRecord)
                     : m_input.recordName.isEmpty()         ? tr("Statistics: choose one record")
                                                    : tr("Statistics of %1").arg(m_input.recordName));
    const bool any = s.n > 0;
    const QStringList values = {
        QString::number(s.n),
        any ? fixed(s.mean, 3) + unit : QStringLiteral("-"),
        any ? fixed(s.sigma, 4) + unit : QStringLiteral("-"),
        any ? fixed(s.min) + unit : QStringLiteral("-"),
        any ? fixed(s.max) + unit : QStringLiteral("-"),
        any ? fixed(s.range) + unit : QStringLiteral("-"),
        any ? QString::number(100.0 * s.ngShare, 'f', 1) + QStringLiteral(" %") : QStringLiteral("-"),
        m_moment.computed ? fixed(m_moment.cp) : QStringLiteral("-"),
        m_moment.computed ? fixed(m_moment.cpk) : QStringLiteral("-"),
        m_angle.computed ? fixed(m_angle.cp) : QStringLiteral("-"),
        m_angle.computed ? fixed(m_angle.cpk) : QStringLiteral("-"),
    };
    for (int i = 0; i < m_values.size(); ++i) {
        m_values[i]->setText(values.at(i));
        const bool angleRow = i >= 9;
        m_values[i]->setVisible(!angleRow || m_input.angleChecked);
        m_captions[i]->setVisible(!angleRow || m_input.angleChecked);
        m_values[i]->setAccessibleName(m_captions[i]->text() + QStringLiteral(" ") + values.at(i));
    }
    auto paintValue = [](QLabel *label, bool bad) {
        label->setStyleSheet(bad ? QStringLiteral("color: red; font-weight: bold;") : QString());
    };
    paintValue(m_values[7], m_moment.computed && m_moment.cp < m_thresholds.cp);
    paintValue(m_values[8], m_moment.computed && m_moment.cpk < m_thresholds.cpk);
    paintValue(m_values[9], m_angle.computed && m_angle.cp < m_thresholds.cp);
    paintValue(m_values[10], m_angle.computed && m_angle.cpk < m_thresholds.cpk);

    QStringList alarms;
    auto describe = [&](const Capability::Result &r, const QString &what) {
        if (!r.computed)
            return;
        if (r.cp < m_thresholds.cp)
            alarms << tr("%1 Cp %2 is below %3").arg(what, fixed(r.cp), fixed(m_thresholds.cp));
        if (r.cpk < m_thresholds.cpk)
            alarms << tr("%1 Cpk %2 is below %3").arg(what, fixed(r.cpk), fixed(m_thresholds.cpk));
    };
    describe(m_moment, tr("Moment"));
    describe(m_angle, tr("Angle"));
    if (!alarms.isEmpty()) {
        m_alarm->setText(tr("Capability alarm: %1.").arg(alarms.join(QStringLiteral("; "))));
        m_alarm->setStyleSheet(QStringLiteral("color: white; background: #c62828; padding: 8px; font-weight: bold;"));
    } else if (!m_moment.computed && !m_input.recordName.isEmpty()) {
        m_alarm->setText(m_moment.reason);
        m_alarm->setStyleSheet(QStringLiteral("color: #555; padding: 8px;"));
    } else if (m_moment.computed) {
        m_alarm->setText(tr("The process is capable."));
        m_alarm->setStyleSheet(QStringLiteral("color: white; background: #2e7d32; padding: 8px;"));
    } else {
        m_alarm->clear();
        m_alarm->setStyleSheet(QString());
    }
    m_alarm->setAccessibleName(m_alarm->text());
}

void StatisticsView::fillCharts()
{
    const QVector<double> &v = m_input.moments;
    const ControlChart::Individuals ind = ControlChart::individuals(v);
    const double nan = std::nan("");
    fillChart(m_individualsView->chart(), tr("Moment, individual values"), v, ind.beyond,
              {{tr("Mean"), v.isEmpty() ? nan : ind.mean, Qt::darkGreen, Qt::SolidLine},
               {tr("Upper control limit"), v.isEmpty() ? nan : ind.ucl, Qt::red, Qt::DashLine},
               {tr("Lower control limit"), v.isEmpty() ? nan : ind.lcl, Qt::red, Qt::DashLine},
               {tr("High limit"), m_input.recordName.isEmpty() ? nan : m_input.momentHigh, Qt::darkYellow, Qt::DotLine},
               {tr("Low limit"), m_input.recordName.isEmpty() ? nan : m_input.momentLow, Qt::darkYellow, Qt::DotLine}});
    const ControlChart::XbarR xr = ControlChart::xbarR(v);
    const bool groups = !xr.means.isEmpty();
    fillChart(m_xbarView->chart(), tr("Moment, means of subgroups of 5"), xr.means, xr.meansBeyond,
              {{tr("Mean"), groups ? xr.grandMean : nan, Qt::darkGreen, Qt::SolidLine},
               {tr("Upper control limit"), groups ? xr.uclX : nan, Qt::red, Qt::DashLine},
               {tr("Lower control limit"), groups ? xr.lclX : nan, Qt::red, Qt::DashLine}});
    fillChart(m_rangeView->chart(), tr("Moment, ranges of subgroups of 5"), xr.ranges, xr.rangesBeyond,
              {{tr("Mean"), groups ? xr.meanRange : nan, Qt::darkGreen, Qt::SolidLine},
               {tr("Upper control limit"), groups ? xr.uclR : nan, Qt::red, Qt::DashLine},
               {tr("Lower control limit"), groups ? xr.lclR : nan, Qt::red, Qt::DashLine}});
}

bool StatisticsView::printToPdf(const QString &path, QString *error)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(QPageLayout::Landscape);
    writer.setResolution(150);
    writer.setTitle(m_title->text());
    QPainter painter;
    if (!painter.begin(&writer)) {
        if (error)
            *error = tr("Cannot write file %1").arg(path);
        return false;
    }
    // The page is landscape: figures beside the charts, whatever the screen shows now.
    const QSize shown = size();
    m_printing = true;
    m_outer->setDirection(QBoxLayout::LeftToRight);
    m_figuresBox->setMaximumWidth(300);
    resize(qMax(shown.width(), 1000), qMax(shown.height(), 640));
    layout()->activate();
    const QRect page = painter.viewport();
    const double scale = std::min(double(page.width()) / width(), double(page.height()) / height());
    painter.scale(scale, scale);
    render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    const bool written = painter.end();
    m_printing = false;
    resize(shown);
    arrange();
    return written;
}

void StatisticsView::retranslate()
{
    const QStringList captions = {tr("Measures"), tr("Mean"),     tr("Sigma"), tr("Min"),       tr("Max"),      tr("Range"),
                                  tr("NG share"), tr("Cp"),       tr("Cpk"),   tr("Angle Cp"), tr("Angle Cpk")};
    for (int i = 0; i < m_captions.size(); ++i)
        m_captions[i]->setText(captions.at(i));
    m_print->setText(tr("Statistics to PDF"));
    m_print->setAccessibleName(tr("Statistics to PDF"));
    m_individualsView->setAccessibleName(tr("Individuals chart"));
    m_xbarView->setAccessibleName(tr("X-bar chart"));
    m_rangeView->setAccessibleName(tr("Range chart"));
    if (m_alarm)
        refresh();
}

void StatisticsView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}
