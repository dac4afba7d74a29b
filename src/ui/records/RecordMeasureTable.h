#pragma once

#include "records/MeasureEntry.h"

#include <QTableWidget>
#include <QVector>

// The measured tightenings of the record the editor shows: one row per entry in file order,
// the moment and corrected-defect cells coloured against the record's moment range.
class RecordMeasureTable : public QTableWidget
{
    Q_OBJECT
public:
    enum Column { ColNumber = 0, ColMoment, ColDefect, ColAngle, ColDate, ColumnCount };

    explicit RecordMeasureTable(QWidget *parent = nullptr);

    // algorithm: the record's code (angles are shown for 2 and 4, dates never for 9);
    // showDates: the key's "DataTime" setting is 1.
    void showEntries(const QVector<MeasureEntry> &entries, int algorithm, float low, float high,
                     bool showDates);

    void retranslate();

    // Cell texts of one entry (tested on their own; the table just places them).
    static QString momentText(const MeasureEntry &e);
    static QString defectText(const MeasureEntry &e);
    static QString angleText(const MeasureEntry &e, int algorithm);
    static QString dateText(const MeasureEntry &e, int algorithm, bool showDates);
};
