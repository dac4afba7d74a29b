#pragma once

#include "history/DfqWriter.h"
#include "history/HistoryMeasure.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class HistoryDatabase;

// What leaves the history as files: CSV for a person, DFQ for the plant's statistics software,
// and the measures of one joint for its statistics.
class HistoryExport
{
    Q_DECLARE_TR_FUNCTIONS(HistoryExport)
public:
    // The column titles the page's table and the CSV file share.
    static QStringList columnTitles();
    // One row's texts in those columns.
    static QStringList rowTexts(const HistoryMeasure &m);

    struct Outcome
    {
        bool ok = false;
        qint64 rows = 0;
        int replacedCharacters = 0; // DFQ: characters Latin-1 could not hold
        QString error;
    };

    // The filter's measures, oldest first, ";"-separated UTF-8, written atomically.
    static Outcome writeCsv(HistoryDatabase *db, const HistoryFilter &filter, const QString &path);
    static QByteArray csvLine(const QStringList &fields);

    // The filter's measures as a DFQ file: one characteristic per record.
    static QVector<DfqWriter::Characteristic> dfqCharacteristics(HistoryDatabase *db, const HistoryFilter &filter,
                                                                 bool *ok);
    static Outcome writeDfq(HistoryDatabase *db, const HistoryFilter &filter, const QString &path);

    // The measures of one joint (record) within a filter, in time order, as its statistics
    // read them: the moment as judged (absolute value), the latest ranges.
    struct Joint
    {
        QString recordName;
        QString unit;
        QVector<double> moments;
        int ngCount = 0;
        double momentLow = 0;
        double momentHigh = 0;
        bool angleChecked = false;
        QVector<double> angles;
        double angleLow = 0;
        double angleHigh = 0;
    };
    static Joint joint(HistoryDatabase *db, const HistoryFilter &filter, const QString &recordName, bool *ok = nullptr);

private:
    static QString unreadable(int rowsRead, const QString &error);
};
