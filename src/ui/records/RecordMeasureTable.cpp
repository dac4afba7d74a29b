#include "ui/records/RecordMeasureTable.h"

#include "measures/MeasureCells.h"

#include <QHeaderView>

namespace {

using MeasureCells::Table;

QTableWidgetItem *cell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

void paint(QTableWidgetItem *item, const MeasureCells::Look &look)
{
    item->setForeground(look.text);
    item->setBackground(look.background);
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
    return MeasureCells::momentText(e);
}

QString RecordMeasureTable::defectText(const MeasureEntry &e)
{
    return MeasureCells::defectText(e, Table::Editor);
}

QString RecordMeasureTable::angleText(const MeasureEntry &e, int algorithm)
{
    return MeasureCells::angleText(e, algorithm, Table::Editor);
}

QString RecordMeasureTable::dateText(const MeasureEntry &e, int algorithm, bool showDates)
{
    return MeasureCells::showsDates(algorithm, showDates) ? MeasureCells::editorStampText(e) : QStringLiteral(" ");
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
        paint(moment, MeasureCells::momentLook(e.moment, low, high, Table::Editor));
        setItem(row, ColMoment, moment);

        QTableWidgetItem *defect = cell(defectText(e));
        paint(defect, MeasureCells::defectLook(e.correctedDefect, low, high, Table::Editor));
        setItem(row, ColDefect, defect);

        setItem(row, ColAngle, cell(angleText(e, algorithm)));
        setItem(row, ColDate, cell(dateText(e, algorithm, showDates)));
    }
    scrollToBottom();
}
