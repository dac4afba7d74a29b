#include "ui/history/StatisticsView.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QResizeEvent>
#include <QVBoxLayout>
#include <QHeaderView>
#include <QTableWidget>

#include "history/StatisticsReport.h"
#include "ui/history/ChartWidget.h"

#include <algorithm>
#include <cmath>

namespace {

QString fixed(double v, int decimals = 2)
{
    return std::isfinite(v) ? QString::number(v, 'f', decimals) : QStringLiteral("-");
}

// Room for the figures and for a group's name with its five figures.
constexpr int kFiguresWidth = 440;

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
    leftBox->setMaximumWidth(kFiguresWidth);
    left->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(leftBox, 0);

    // The figures per group sit under the joint's own, where the eye compares them.
    m_groupsTitle = new QLabel(this);
    m_groupsTitle->setObjectName(QStringLiteral("lbStatisticsGroups"));
    left->insertWidget(left->count() - 2, m_groupsTitle);
    m_groupsTable = new QTableWidget(0, 6, this);
    m_groupsTable->setObjectName(QStringLiteral("twStatisticsGroups"));
    m_groupsTable->verticalHeader()->setVisible(false);
    m_groupsTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The figures keep their width; the names take what is left and elide.
    m_groupsTable->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_groupsTable->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_groupsTable->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_groupsTable->setMinimumHeight(120);
    left->insertWidget(left->count() - 2, m_groupsTable, 1);

    auto *charts = new QGridLayout;
    m_chartGrid = charts;
    charts->setSpacing(6);
    using Kind = StatisticsCharts::Kind;
    const QList<QPair<Kind, const char *>> kinds = {{Kind::Individuals, "chartIndividuals"},
                                                    {Kind::Histogram, "chartHistogram"},
                                                    {Kind::Means, "chartXbar"},
                                                    {Kind::Ranges, "chartRange"}};
    for (int i = 0; i < kinds.size(); ++i) {
        auto *chart = new ChartWidget(kinds.at(i).first, this);
        chart->setObjectName(QLatin1String(kinds.at(i).second));
        charts->addWidget(chart, i / 2, i % 2);
        m_charts << chart;
    }
    // Zooming one time chart zooms the other two on the same stretch of time.
    auto *individuals = m_charts.at(0);
    auto *means = m_charts.at(2);
    auto *ranges = m_charts.at(3);
    connect(individuals, &ChartWidget::spanChanged, this, [means, ranges](StatisticsCharts::Span s) {
        const StatisticsCharts::Span groups = s.isEmpty() ? s : StatisticsCharts::Span{std::floor(s.from / 5), std::ceil(s.to / 5)};
        for (ChartWidget *w : {means, ranges}) {
            const QSignalBlocker quiet(w);
            w->setSpan(groups);
        }
    });
    outer->addLayout(charts, 1);
    retranslate(); // fills every text, figures and charts included
}

void StatisticsView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    arrange();
}

void StatisticsView::arrange()
{
    // Beside the history table the view may get less than figures and charts need side by
    // side; the charts then go below the figures (the page scrolls down) instead of being
    // cut at the right. What counts is the room the scroll area offers, not this widget's
    // width, which never falls below its side-by-side minimum.
    const int room = parentWidget() ? parentWidget()->width() : width();
    const bool stacked = room < sideBySideWidth();
    const auto direction = stacked ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight;
    // Charts side by side only where each keeps a readable width, else one under the other.
    const int columns = (stacked ? room : room - m_figuresBox->sizeHint().width()) >= 640 ? 2 : 1;
    if (columns != m_chartColumns) {
        m_chartColumns = columns;
        for (int i = 0; i < m_charts.size(); ++i) {
            m_chartGrid->removeWidget(m_charts.at(i));
            m_chartGrid->addWidget(m_charts.at(i), i / columns, i % columns);
        }
    }
    if (m_outer->direction() == direction)
        return;
    m_outer->setDirection(direction);
    m_figuresBox->setMaximumWidth(stacked ? QWIDGETSIZE_MAX : kFiguresWidth);
    layout()->activate();
}

int StatisticsView::sideBySideWidth() const
{
    // Two charts side by side need some 320 pixels each to show their axes and legends. The
    // figures' own hint changes with their texts and with the arrangement itself: their widest
    // keeps the answer from flipping to and fro.
    return kFiguresWidth + 640;
}

void StatisticsView::setThresholds(const Capability::Thresholds &thresholds)
{
    m_thresholds = thresholds;
    refresh();
}

void StatisticsView::setInput(const Input &input)
{
    m_input = input;
    m_groups.clear();
    if (m_groupsTable)
        fillGroups();
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
    const QString shownUnit = m_input.unit.isEmpty() ? QString() : StatisticsReport::shownUnit(m_input.unit);
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
    StatisticsCharts::Data data;
    data.values = m_input.moments;
    data.unit = StatisticsReport::shownUnit(m_input.unit);
    data.lsl = m_input.momentLow;
    data.usl = m_input.momentHigh;
    data.hasLimits = !m_input.recordName.isEmpty();
    data.prepared = m_input.charts ? m_input.charts : StatisticsCharts::prepare(data.values);
    for (ChartWidget *chart : m_charts)
        chart->setData(data);
}

bool StatisticsView::printToPdf(const QString &path, QString *error)
{
    StatisticsReport::Joint joint;
    joint.scope = m_input.scope;
    joint.scope.recordName = m_input.recordName;
    joint.figures.read = true;
    joint.figures.joint.recordName = m_input.recordName;
    joint.figures.joint.unit = m_input.unit;
    joint.figures.joint.moments = m_input.moments;
    joint.figures.joint.ngCount = m_input.ngCount;
    joint.figures.joint.momentLow = m_input.momentLow;
    joint.figures.joint.momentHigh = m_input.momentHigh;
    joint.figures.moment = m_moment;
    joint.figures.angle = m_angle;
    joint.groups = m_groups;
    return StatisticsReport::write(path, {joint}, m_thresholds, error);
}

void StatisticsView::setGroups(const QVector<JointStatistics::Group> &groups)
{
    m_groups = groups;
    fillGroups();
}

void StatisticsView::fillGroups()
{
    m_groupsTable->clearSpans();
    m_groupsTable->setRowCount(0);
    for (int at = 0; at < m_groups.size(); ++at) {
        const JointStatistics::Group &g = m_groups.at(at);
        // A row naming the kind above its values keeps the first column narrow.
        if (at == 0 || m_groups.at(at - 1).kind != g.kind) {
            const int title = m_groupsTable->rowCount();
            m_groupsTable->insertRow(title);
            auto *item = new QTableWidgetItem(JointStatistics::kindTitle(g.kind));
            QFont bold = item->font();
            bold.setBold(true);
            item->setFont(bold);
            m_groupsTable->setItem(title, 0, item);
            m_groupsTable->setSpan(title, 0, 1, m_groupsTable->columnCount());
        }
        const int r = m_groupsTable->rowCount();
        m_groupsTable->insertRow(r);
        const Capability::Result &c = g.moment;
        const QStringList cells = {g.value,
                                   QString::number(c.summary.n),
                                   fixed(c.summary.mean, 2),
                                   fixed(c.summary.sigma, 3),
                                   c.computed ? fixed(c.cp) : QStringLiteral("-"),
                                   c.computed ? fixed(c.cpk) : QStringLiteral("-")};
        for (int col = 0; col < cells.size(); ++col) {
            auto *item = new QTableWidgetItem(cells.at(col));
            item->setTextAlignment(col == 0 ? int(Qt::AlignLeft | Qt::AlignVCenter) : int(Qt::AlignRight | Qt::AlignVCenter));
            item->setToolTip(JointStatistics::kindTitle(g.kind) + QStringLiteral(": ") + g.value);
            if (c.alarm) {
                item->setForeground(QColor(198, 40, 40));
                item->setToolTip(item->toolTip() + QStringLiteral(" — ") + tr("Capability alarm"));
            }
            m_groupsTable->setItem(r, col, item);
        }
    }
    const bool any = !m_groups.isEmpty();
    m_groupsTitle->setVisible(any);
    m_groupsTable->setVisible(any);
}

void StatisticsView::retranslate()
{
    const QStringList captions = {tr("Measures"), tr("Mean"),     tr("Sigma"), tr("Min"),       tr("Max"),      tr("Range"),
                                  tr("NG share"), tr("Cp"),       tr("Cpk"),   tr("Angle Cp"), tr("Angle Cpk")};
    for (int i = 0; i < m_captions.size(); ++i)
        m_captions[i]->setText(captions.at(i));
    m_print->setText(tr("Statistics to PDF"));
    m_print->setAccessibleName(tr("Statistics to PDF"));
    for (ChartWidget *chart : m_charts)
        chart->retranslate();
    m_groupsTitle->setText(tr("By station, operator and key"));
    // The usual short symbols keep the six columns inside the figures' column; the full
    // names are in the tool tips.
    const QStringList symbols = {tr("Group"), QStringLiteral("n"), QStringLiteral("x̄"), QStringLiteral("σ"),
                                 QStringLiteral("Cp"), QStringLiteral("Cpk")};
    const QStringList names = {tr("Group"), tr("Measures"), tr("Mean"), tr("Sigma"), tr("Cp"), tr("Cpk")};
    m_groupsTable->setHorizontalHeaderLabels(symbols);
    for (int c = 0; c < names.size(); ++c)
        m_groupsTable->horizontalHeaderItem(c)->setToolTip(names.at(c));
    m_groupsTable->setAccessibleName(tr("Figures by operator and by key"));
    fillGroups();
    if (m_alarm)
        refresh();
}

void StatisticsView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}
