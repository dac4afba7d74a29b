#include "history/StatisticsReport.h"

#include "history/HistoryDatabase.h"
#include "history/StatisticsCharts.h"

#include <QDateTime>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSysInfo>

#include <cmath>

namespace {

QString fixed(double v, int decimals = 2)
{
    return std::isfinite(v) ? QString::number(v, 'f', decimals) : QStringLiteral("-");
}

QString capabilityText(const Capability::Result &r, double value)
{
    return r.computed ? fixed(value) : QStringLiteral("-");
}

} // namespace

StatisticsReport::Joint StatisticsReport::read(HistoryDatabase *db, const HistoryFilter &filter, const QString &record,
                                               const Capability::Thresholds &thresholds)
{
    Joint j;
    j.scope = JointStatistics::scope(filter, record);
    j.figures = JointStatistics::compute(db, j.scope, record, thresholds);
    if (j.figures.read) {
        QString error;
        if (!JointStatistics::groups(db, j.scope, record, thresholds, &j.groups, &error)) {
            j.figures.read = false;
            j.figures.error = error;
        }
    }
    return j;
}

QString StatisticsReport::shownUnit(const QString &stored)
{
    if (stored == QLatin1String("Nm") || stored.isEmpty())
        return QCoreApplication::translate("StatisticsView", "Nm");
    if (stored == QLatin1String("kgsm"))
        return QCoreApplication::translate("StatisticsView", "kgsm");
    return stored;
}

QString StatisticsReport::describeScope(const HistoryFilter &f)
{
    QStringList parts;
    parts << tr("record %1").arg(f.recordName);
    if (!f.since.isEmpty() || !f.until.isEmpty())
        parts << tr("period %1 to %2").arg(f.since.isEmpty() ? QStringLiteral("…") : f.since,
                                            f.until.isEmpty() ? QStringLiteral("…") : f.until);
    else
        parts << tr("the whole history");
    if (!f.keySerial.isEmpty())
        parts << tr("key %1").arg(f.keySerial);
    return parts.join(QStringLiteral(", "));
}

QString StatisticsReport::stationName()
{
    return QSysInfo::machineHostName();
}

bool StatisticsReport::write(const QString &path, const QVector<Joint> &joints, const Capability::Thresholds &thresholds,
                             QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = tr("Cannot write file %1").arg(path);
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageOrientation(QPageLayout::Portrait);
        writer.setPageMargins(QMarginsF(15, 12, 15, 12), QPageLayout::Millimeter);
        writer.setResolution(300);
        writer.setTitle(tr("Statistics of joints"));
        writer.setCreator(QStringLiteral("TorqueDesk"));
        QPainter p;
        if (!p.begin(&writer)) {
            *error = tr("Cannot write file %1").arg(path);
            file.cancelWriting();
            return false;
        }
        // Digits only: the same in every language, and no month name left in English.
        const QString printed = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
        for (int index = 0; index < joints.size(); ++index) {
            if (index > 0)
                writer.newPage();
            const Joint &j = joints.at(index);
            const QRectF page = p.viewport();
            QFont base(QStringLiteral("DejaVu Sans"));
            base.setPointSizeF(9);
            p.setFont(base);
            const double em = QFontMetricsF(base, &writer).height();
            double y = page.top();
            QFont big = base;
            big.setPointSizeF(15);
            big.setBold(true);
            p.setFont(big);
            p.setPen(Qt::black);
            const double bigEm = QFontMetricsF(big, &writer).height();
            p.drawText(QRectF(page.left(), y, page.width(), bigEm), Qt::AlignLeft | Qt::AlignVCenter,
                       tr("Statistics of joint %1").arg(j.scope.recordName));
            y += bigEm * 1.2;
            p.setFont(base);
            const QStringList head = {tr("Filter: %1").arg(describeScope(j.scope)),
                                      tr("Station: %1").arg(stationName()), tr("Printed: %1").arg(printed)};
            for (const QString &line : head) {
                p.drawText(QRectF(page.left(), y, page.width(), em), Qt::AlignLeft | Qt::AlignVCenter, line);
                y += em * 1.1;
            }
            y += em * 0.4;
            const Capability::Result &m = j.figures.moment;
            const Capability::Summary &s = m.summary;
            const QString unit = QStringLiteral(" ") + shownUnit(j.figures.joint.unit);
            const bool any = s.n > 0;
            // Figures in two columns of caption and value.
            const QVector<QPair<QString, QString>> figures = {
                {tr("Measures"), QString::number(s.n)},
                {tr("NG share"), any ? QString::number(100.0 * s.ngShare, 'f', 1) + QStringLiteral(" %") : QStringLiteral("-")},
                {tr("Mean"), any ? fixed(s.mean, 3) + unit : QStringLiteral("-")},
                {tr("Sigma"), any ? fixed(s.sigma, 4) + unit : QStringLiteral("-")},
                {tr("Min"), any ? fixed(s.min) + unit : QStringLiteral("-")},
                {tr("Max"), any ? fixed(s.max) + unit : QStringLiteral("-")},
                {tr("Tolerance"), fixed(j.figures.joint.momentLow) + QStringLiteral(" … ")
                                          + fixed(j.figures.joint.momentHigh) + unit},
                {tr("Range"), any ? fixed(s.range) + unit : QStringLiteral("-")},
                {tr("Cp (alarm below %1)").arg(fixed(thresholds.cp)), capabilityText(m, m.cp)},
                {tr("Cpk (alarm below %1)").arg(fixed(thresholds.cpk)), capabilityText(m, m.cpk)},
            };
            const double colWidth = page.width() / 2;
            for (int i = 0; i < figures.size(); ++i) {
                const double x = page.left() + (i % 2) * colWidth;
                const QRectF cell(x, y + (i / 2) * em * 1.15, colWidth - em, em);
                p.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter, figures.at(i).first);
                p.drawText(cell, Qt::AlignRight | Qt::AlignVCenter, figures.at(i).second);
            }
            y += ((figures.size() + 1) / 2) * em * 1.15 + em * 0.4;
            // The alarm in a box: the verdict is what a reader looks for first.
            QString verdict;
            QColor box;
            if (!m.computed) {
                verdict = m.reason.isEmpty() ? tr("No capability figures.") : m.reason;
                box = QColor(230, 230, 230);
            } else if (m.alarm) {
                verdict = tr("Capability alarm: Cp %1, Cpk %2 (thresholds %3 and %4).")
                              .arg(fixed(m.cp), fixed(m.cpk), fixed(thresholds.cp), fixed(thresholds.cpk));
                box = QColor(255, 205, 205);
            } else {
                verdict = tr("The process is capable: Cp %1, Cpk %2.").arg(fixed(m.cp), fixed(m.cpk));
                box = QColor(205, 240, 210);
            }
            const QRectF alarm(page.left(), y, page.width(), em * 1.6);
            p.fillRect(alarm, box);
            QFont bold = base;
            bold.setBold(true);
            p.setFont(bold);
            p.drawText(alarm.adjusted(em / 2, 0, -em / 2, 0), Qt::AlignLeft | Qt::AlignVCenter, verdict);
            p.setFont(base);
            y += alarm.height() + em * 0.5;
            if (!j.groups.isEmpty()) {
                const QStringList columns = {tr("Group"), tr("n"), tr("Mean"), tr("Sigma"), tr("Cp"), tr("Cpk"), tr("Alarm")};
                const QVector<double> widths = {0.34, 0.1, 0.14, 0.14, 0.09, 0.09, 0.1};
                auto row = [&](const QStringList &cells, bool header) {
                    double x = page.left();
                    QFont f = base;
                    f.setBold(header);
                    p.setFont(f);
                    for (int c = 0; c < cells.size(); ++c) {
                        const double w = widths.at(c) * page.width();
                        p.drawText(QRectF(x + em / 4, y, w - em / 2, em), (c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter,
                                   cells.at(c));
                        x += w;
                    }
                    y += em * 1.15;
                    p.setFont(base);
                };
                row(columns, true);
                for (const JointStatistics::Group &g : j.groups) {
                    const Capability::Result &r = g.moment;
                    row({JointStatistics::kindTitle(g.kind) + QStringLiteral(": ") + g.value, QString::number(r.summary.n),
                         fixed(r.summary.mean, 3), fixed(r.summary.sigma, 4), capabilityText(r, r.cp),
                         capabilityText(r, r.cpk), r.alarm ? tr("yes") : QStringLiteral("-")},
                        false);
                    if (y > page.top() + page.height() * 0.45)
                        break;
                }
                y += em * 0.4;
            }
            // Charts fill what the text leaves above the signature line.
            StatisticsCharts::Data data;
            data.values = j.figures.joint.moments;
            data.unit = shownUnit(j.figures.joint.unit);
            data.lsl = j.figures.joint.momentLow;
            data.usl = j.figures.joint.momentHigh;
            data.hasLimits = data.values.size() > 0;
            QFont chartFont = base;
            chartFont.setPointSizeF(7.5);
            p.setFont(chartFont);
            const double signature = em * 3.2;
            const double room = page.bottom() - signature - y;
            const double gap = em * 0.6;
            const double h1 = (room - 2 * gap) * 0.36;
            const double h2 = (room - 2 * gap) * 0.32;
            StatisticsCharts::paint(p, QRectF(page.left(), y, page.width(), h1), StatisticsCharts::Kind::Individuals, data);
            y += h1 + gap;
            const double half = (page.width() - gap) / 2;
            StatisticsCharts::paint(p, QRectF(page.left(), y, half, h2), StatisticsCharts::Kind::Means, data);
            StatisticsCharts::paint(p, QRectF(page.left() + half + gap, y, half, h2), StatisticsCharts::Kind::Ranges, data);
            y += h2 + gap;
            StatisticsCharts::paint(p, QRectF(page.left(), y, page.width(), h2), StatisticsCharts::Kind::Histogram, data);
            p.setFont(base);
            const double line = page.bottom() - em * 1.2;
            p.setPen(QPen(Qt::black, em / 20));
            p.drawText(QRectF(page.left(), line - em * 1.1, page.width() * 0.3, em), Qt::AlignLeft | Qt::AlignVCenter,
                       tr("Checked by:"));
            p.drawLine(QPointF(page.left() + page.width() * 0.16, line), QPointF(page.left() + page.width() * 0.55, line));
            p.drawText(QRectF(page.left() + page.width() * 0.6, line - em * 1.1, page.width() * 0.15, em),
                       Qt::AlignLeft | Qt::AlignVCenter, tr("Date:"));
            p.drawLine(QPointF(page.left() + page.width() * 0.68, line), QPointF(page.right(), line));
            QFont small = base;
            small.setPointSizeF(7);
            p.setFont(small);
            p.drawText(QRectF(page.left(), line + em * 0.2, page.width(), em), Qt::AlignRight | Qt::AlignVCenter,
                       tr("Page %1 of %2").arg(index + 1).arg(joints.size()));
        }
        if (!p.end()) {
            *error = tr("Cannot write file %1").arg(path);
            file.cancelWriting();
            return false;
        }
    }
    if (!file.commit()) {
        *error = tr("Cannot write file %1").arg(path);
        return false;
    }
    return true;
}
