// The statistics view through its real widgets: the alarm shows in red for an incapable joint
// and not for a capable one, too few measures say so, and a long history is drawn as its
// envelope rather than point by point, and a drag over a time chart shows that stretch.
#include "ui/history/StatisticsView.h"

#include <QApplication>
#include <QLabel>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include "history/StatisticsCharts.h"
#include "ui/history/ChartWidget.h"

#include <cmath>

namespace {

StatisticsView::Input sample(int n, double mean, double sigma, double low, double high)
{
    StatisticsView::Input in;
    in.recordName = QStringLiteral("page_7");
    in.unit = QStringLiteral("Nm");
    in.momentLow = low;
    in.momentHigh = high;
    QRandomGenerator rng(42);
    for (int i = 0; i < n; ++i) {
        const double u1 = std::max(rng.generateDouble(), 1e-12);
        const double u2 = rng.generateDouble();
        const double v = mean + sigma * std::sqrt(-2 * std::log(u1)) * std::cos(2 * M_PI * u2);
        in.moments << v;
        in.ngCount += (v < low || v > high) ? 1 : 0;
    }
    return in;
}

} // namespace

class TestStatisticsView : public QObject
{
    Q_OBJECT
private slots:
    void alarmFollowsCapability()
    {
        StatisticsView view;
        view.resize(1200, 700);
        view.show();
        auto *alarm = view.findChild<QLabel *>(QStringLiteral("lbCapabilityAlarm"));
        QVERIFY(alarm);

        view.setInput(sample(200, 50, 0.5, 45, 55)); // Cp about 3.3
        QVERIFY(view.momentResult().computed);
        QVERIFY(!view.alarmShown());
        QVERIFY(!alarm->text().contains(QStringLiteral("alarm")));

        view.setInput(sample(200, 53, 1.0, 45, 55)); // Cpk about 0.67
        QVERIFY(view.alarmShown());
        QVERIFY(alarm->text().startsWith(QStringLiteral("Capability alarm")));
        QVERIFY(alarm->text().contains(QStringLiteral("Cpk")));
        QVERIFY(alarm->styleSheet().contains(QStringLiteral("#c62828")));
        // The thresholds come from the settings: lowering them silences the alarm.
        Capability::Thresholds lenient;
        lenient.cp = 0.5;
        lenient.cpk = 0.5;
        view.setThresholds(lenient);
        QVERIFY(!view.alarmShown());

        view.setInput(sample(10, 50, 1, 45, 55));
        QVERIFY(!view.alarmShown());
        QVERIFY(alarm->text().contains(QStringLiteral("Too few")));
        QCOMPARE(view.findChild<QLabel *>(QStringLiteral("lbStatValue7"))->text(), QStringLiteral("-"));
    }

    void longHistoryIsDrawnAsItsEnvelope()
    {
        StatisticsView view;
        StatisticsView::Input in = sample(100000, 50, 0.5, 45, 55);
        in.moments[77777] = 80; // one wild value must survive the thinning
        view.setInput(in);
        const QVector<QPointF> points = StatisticsCharts::envelope(in.moments, 1, in.moments.size());
        QVERIFY(points.size() <= StatisticsCharts::MaxPoints + 2);
        bool wildShown = false;
        for (const QPointF &p : points)
            wildShown |= p.y() == 80 && p.x() == 77778;
        QVERIFY(wildShown);
        // The chart says it in words too: the wild value is the first point beyond a limit.
        auto *individuals = view.findChild<ChartWidget *>(QStringLiteral("chartIndividuals"));
        QVERIFY(individuals);
        QVERIFY2(individuals->accessibleDescription().contains(QStringLiteral("77778")),
                 qPrintable(individuals->accessibleDescription()));
        QCOMPARE(view.momentResult().summary.n, 100000);

        QTemporaryDir dir;
        QString error;
        view.resize(1200, 700);
        QVERIFY(view.printToPdf(dir.filePath(QStringLiteral("stats.pdf")), &error));
        QVERIFY(QFileInfo(dir.filePath(QStringLiteral("stats.pdf"))).size() > 1000);
    }

    // Beside the history table the view may get less room than figures and charts need side
    // by side: the charts go below the figures rather than being cut at the right, and come
    // back beside them when the room grows. Printing is always side by side and leaves the
    // view as it was.
    void chartsGoBelowTheFiguresWhenNarrow()
    {
        QWidget host;
        auto *view = new StatisticsView(&host);
        view->setInput(sample(40, 50, 0.5, 45, 55));
        auto *chart = view->findChild<ChartWidget *>(QStringLiteral("chartIndividuals"));
        auto *figures = view->findChild<QLabel *>(QStringLiteral("lbStatValue0"));
        QVERIFY(chart && figures);
        const auto chartBelowFigures = [&] {
            const QRect f(figures->mapTo(view, QPoint()), figures->size());
            const QRect c(chart->mapTo(view, QPoint()), chart->size());
            return c.top() > f.bottom() && c.right() <= view->width();
        };
        host.resize(380, 900);
        view->setGeometry(0, 0, 380, 900);
        host.show();
        QVERIFY(QTest::qWaitForWindowExposed(&host));
        QTRY_VERIFY(chartBelowFigures());

        host.resize(1100, 700);
        view->setGeometry(0, 0, 1100, 700);
        QTRY_VERIFY(!chartBelowFigures());
        QVERIFY(chart->mapTo(view, QPoint()).x() > figures->mapTo(view, QPoint()).x());

        host.resize(380, 900);
        view->setGeometry(0, 0, 380, 900);
        QTRY_VERIFY(chartBelowFigures());
        QTemporaryDir dir;
        QString error;
        QVERIFY(view->printToPdf(dir.filePath(QStringLiteral("narrow.pdf")), &error));
        QCOMPARE(view->size(), QSize(380, 900));
        QVERIFY(chartBelowFigures());
    }

    // Series worked out ahead (on the history's thread) draw and read exactly as those worked
    // out at the paint; ones worked out from other values are not used for these.
    void preparedSeriesDrawAsFreshOnes()
    {
        const StatisticsView::Input in = sample(503, 110, 2, 100, 120);
        StatisticsCharts::Data fresh;
        fresh.values = in.moments;
        fresh.values[97] += 15; // beyond every control limit
        fresh.unit = QStringLiteral("Nm");
        fresh.lsl = 100;
        fresh.usl = 120;
        fresh.hasLimits = true;
        StatisticsCharts::Data ready = fresh;
        ready.prepared = StatisticsCharts::prepare(fresh.values);
        QVector<double> other = fresh.values;
        for (double &v : other)
            v += 3;
        StatisticsCharts::Data stale = fresh;
        stale.prepared = StatisticsCharts::prepare(other);
        auto drawn = [](StatisticsCharts::Kind kind, const StatisticsCharts::Data &d) {
            QImage image(420, 300, QImage::Format_ARGB32);
            QPainter p(&image);
            StatisticsCharts::paint(p, QRectF(image.rect()), kind, d);
            return image;
        };
        using K = StatisticsCharts::Kind;
        for (K kind : {K::Individuals, K::Means, K::Ranges, K::Histogram}) {
            const QString expected = StatisticsCharts::describe(kind, fresh);
            QCOMPARE(StatisticsCharts::describe(kind, ready), expected);
            QCOMPARE(StatisticsCharts::describe(kind, stale), expected);
            const QImage image = drawn(kind, fresh);
            QVERIFY(drawn(kind, ready) == image);
            QVERIFY(drawn(kind, stale) == image);
        }
        QVERIFY(StatisticsCharts::describe(K::Individuals, fresh).contains(QStringLiteral("No. 98")));
    }

    void dragShowsAStretchOfTheTimeCharts()
    {
        StatisticsView view;
        view.resize(1400, 900);
        view.setInput(sample(500, 50, 0.5, 45, 55));
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        auto *individuals = view.findChild<ChartWidget *>(QStringLiteral("chartIndividuals"));
        auto *means = view.findChild<ChartWidget *>(QStringLiteral("chartXbar"));
        QVERIFY(individuals && means);
        QVERIFY(individuals->span().isEmpty());
        const QRectF plot = StatisticsCharts::plotArea(individuals->font(), QRectF(individuals->rect()),
                                                       StatisticsCharts::Kind::Individuals);
        const int y = int(plot.center().y());
        const QPoint from(int(plot.left() + plot.width() * 0.25), y);
        const QPoint to(int(plot.left() + plot.width() * 0.5), y);
        QTest::mousePress(individuals, Qt::LeftButton, Qt::NoModifier, from);
        QMouseEvent move(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(individuals, &move);
        QTest::mouseRelease(individuals, Qt::LeftButton, Qt::NoModifier, to);
        // A quarter to a half of 500 measures, the subgroups of five following.
        const StatisticsCharts::Span s = individuals->span();
        QVERIFY2(s.from >= 120 && s.from <= 130 && s.to >= 248 && s.to <= 255,
                 qPrintable(QStringLiteral("%1-%2").arg(s.from).arg(s.to)));
        QVERIFY(qAbs(means->span().from - s.from / 5) <= 1 && qAbs(means->span().to - s.to / 5) <= 1);
        QVERIFY(individuals->accessibleDescription().contains(QStringLiteral("of 500")));
        QTest::mouseDClick(individuals, Qt::LeftButton, Qt::NoModifier, from);
        QVERIFY(individuals->span().isEmpty());
        QVERIFY(means->span().isEmpty());
    }
};

QTEST_MAIN(TestStatisticsView)
#include "tst_statisticsview.moc"
