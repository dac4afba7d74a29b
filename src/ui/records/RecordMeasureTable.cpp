#include "ui/records/RecordMeasureTable.h"

#include "records/MeasureAlgorithms.h"

#include <QHeaderView>

#include <cmath>

namespace {

constexpr float kNone = 0.0001f;
const QColor kGrey(200, 200, 200);

QTableWidgetItem *cell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

void paint(QTableWidgetItem *item, const QColor &text, const QColor &background)
{
    item->setForeground(text);
    item->setBackground(background);
}

QString twoDigits(int v)
{
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

} // namespace

RecordMeasureTable::RecordMeasureTable(QWidget *parent) : QTableWidget(parent)
{
    setColumnCount(ColumnCount);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    verticalHeader()->hide();
    // Every column as wide as its texts except the time stamp, which takes what is left.
    horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    horizontalHeader()->setSectionResizeMode(ColDate, QHeaderView::Stretch);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Touch use: a wide scroll bar a finger can hold.
    setStyleSheet(QStringLiteral("QScrollBar:vertical {width: 28px;}"));
    retranslate();
}

void RecordMeasureTable::retranslate()
{
    setHorizontalHeaderLabels(
        {tr("No."), tr("Moment"), tr("Corrected\ndefect"), tr("Angle"), tr("Date and time")});
    setAccessibleName(tr("Measured moments of the record"));
}

QString RecordMeasureTable::momentText(const MeasureEntry &e)
{
    return QString::number(std::fabs(e.moment), 'f', 2);
}

QString RecordMeasureTable::defectText(const MeasureEntry &e)
{
    const float d = std::fabs(e.correctedDefect);
    return d > kNone ? QString::number(d, 'f', 2) : QStringLiteral("-");
}

QString RecordMeasureTable::angleText(const MeasureEntry &e, int algorithm)
{
    return MeasureAlgorithms::measuresAngle(algorithm) ? QString::number(e.angle, 'f', 1) : QStringLiteral("-");
}

QString RecordMeasureTable::dateText(const MeasureEntry &e, int algorithm, bool showDates)
{
    if (!showDates || !MeasureAlgorithms::measuresCarryDate(algorithm))
        return QStringLiteral(" ");
    return QStringLiteral("%1.%2.%3 %4:%5:%6")
        .arg(twoDigits(e.day), twoDigits(e.month), twoDigits(e.year), twoDigits(e.hour), twoDigits(e.minute),
             twoDigits(e.second));
}

void RecordMeasureTable::showEntries(const QVector<MeasureEntry> &entries, int algorithm, float low, float high,
                                     bool showDates)
{
    setRowCount(0);
    setRowCount(entries.size());
    for (int row = 0; row < entries.size(); ++row) {
        const MeasureEntry &e = entries.at(row);
        setItem(row, ColNumber, cell(QString::number(row + 1)));

        QTableWidgetItem *moment = cell(momentText(e));
        QFont f = moment->font();
        f.setPointSize(12);
        moment->setFont(f);
        const float m = std::fabs(e.moment);
        if (m > high)
            paint(moment, Qt::red, kGrey);
        else if (m < low)
            paint(moment, Qt::darkYellow, kGrey);
        else
            paint(moment, Qt::black, Qt::white);
        if (e.moment < -kNone)
            moment->setForeground(Qt::blue);
        setItem(row, ColMoment, moment);

        QTableWidgetItem *defect = cell(defectText(e));
        const float d = std::fabs(e.correctedDefect);
        if (d > high)
            paint(defect, Qt::red, kGrey);
        else if (d > kNone && d < low)
            paint(defect, Qt::darkYellow, kGrey);
        else
            paint(defect, Qt::black, Qt::white);
        if (e.correctedDefect < -kNone)
            defect->setForeground(Qt::blue);
        setItem(row, ColDefect, defect);

        setItem(row, ColAngle, cell(angleText(e, algorithm)));
        setItem(row, ColDate, cell(dateText(e, algorithm, showDates)));
    }
    scrollToBottom();
}
