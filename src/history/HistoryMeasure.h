#pragma once

#include <QString>
#include <QStringList>

// One tightening as the history keeps it: the measure, the record it was measured for (with
// the ranges and texts in force then), who measured it with which key and calibration, and
// when the PC received it. Rows are self-contained so a measure stays readable years after the
// record, the templates or the key have changed.
struct HistoryMeasure
{
    qint64 id = 0; // assigned by the database, in arrival order
    qint64 tx = 0; // the writing transaction on a server (see HistoryPosition); 0 on SQLite
    QString keySerial;
    QString keyName;
    QString recordName;
    int connectionIndex = 0; // 0-based position in the record file
    // Which filling of the record this is: the key numbers a record from 0 again after an
    // erase, so the serial, record and index alone name several tightenings over time.
    int eraseGeneration = 0;
    QString measuredAt;      // "yyyy-MM-dd HH:mm:ss"; empty when the measure carries no date
    double moment = 0;       // as the key stored it (negative for the other direction)
    double defect = 0;       // corrected defect
    double angle = 0;
    bool ok = false;
    double momentLow = 0;
    double momentHigh = 0;
    double angleLow = 0;
    double angleHigh = 0;
    int algorithm = 0;
    QString operatorText; // the record's operator template texts
    QString product;      // wheel template text
    QString operationNumber;
    QString node;         // node template texts
    QString operatorName; // the key settings' operator name
    double calibrationNominal = 0;
    QString calibrationFile;
    QString unit; // "Nm" or "kgsm", the key's unit when the measure arrived
    QString barcode1;
    QString barcode2;
    QString receivedAt; // "yyyy-MM-dd HH:mm:ss" on the PC
    // The station that archived it: a fact about the tightening, not part of its identity, so
    // a key read at a second station adds nothing and the first station keeps it.
    QString station;
    // Not stored: how many measures the key's file counted for the record when this one was
    // read (-1: unknown). A count below what the history holds means the record was emptied.
    int recordCount = -1;

    // Whether two rows are the same tightening by what was measured (the identity aside).
    bool sameReading(const HistoryMeasure &o) const
    {
        return measuredAt == o.measuredAt && moment == o.moment && defect == o.defect && angle == o.angle;
    }

    static constexpr const char *TimeFormat = "yyyy-MM-dd HH:mm:ss";
};

// Which measures a query means. Empty fields do not filter.
struct HistoryFilter
{
    enum class Verdict { Any, Ok, Ng };

    QString since; // "yyyy-MM-dd" or a full time; inclusive
    QString until; // "yyyy-MM-dd" (the whole day) or a full time; inclusive
    QString keySerial;
    QString operatorText; // matches the operator template texts or the operator name
    QString product;
    QString operationNumber;
    QString node;
    QString recordName;
    Verdict verdict = Verdict::Any;
    // A scanned pair (either order) or one code; recordOfBarcodes, when known, also matches
    // measures archived before the pair was linked to their record.
    QStringList barcodes;
    QString recordOfBarcodes;
    QStringList stations; // archived by any of these; empty: every station

    bool operator==(const HistoryFilter &o) const
    {
        return since == o.since && until == o.until && keySerial == o.keySerial && operatorText == o.operatorText
               && product == o.product && operationNumber == o.operationNumber && node == o.node
               && recordName == o.recordName && verdict == o.verdict && barcodes == o.barcodes
               && recordOfBarcodes == o.recordOfBarcodes && stations == o.stations;
    }
};

// The table's order: a column of the measures table, the id breaking ties in the same
// direction so that a page's neighbours stay its neighbours while the table is paged.
struct HistorySort
{
    QString column = QStringLiteral("measured_at");
    bool descending = true;

    bool operator==(const HistorySort &o) const { return column == o.column && descending == o.descending; }
};
