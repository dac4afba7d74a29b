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
    // One row's texts in those columns. A file keeps the unit's code as the key gave it; the
    // page shows it in the reader's language, as the statistics beside the table do.
    enum class Unit { Stored, Shown };
    static QStringList rowTexts(const HistoryMeasure &m, Unit unit = Unit::Stored);

    struct Outcome
    {
        bool ok = false;
        qint64 rows = 0;
        int replacedCharacters = 0; // DFQ: characters Latin-1 could not hold
        QString error;
    };

    // What a long export tells its caller while it runs: progress every ProgressRows rows
    // (total 0 while unknown), and whether to stop (asked as often).
    struct Feedback
    {
        std::function<void(qint64 done, qint64 total)> progress;
        std::function<bool()> cancelled;
    };
    static constexpr int ProgressRows = 2000;

    // Both exports read the rows as they come and write them to a temporary beside path, which
    // replaces path only once every row is written: memory stays the same whatever the number
    // of rows, and a failed or cancelled export leaves path as it was.

    // The filter's measures, oldest first, ";"-separated UTF-8.
    static Outcome writeCsv(HistoryDatabase *db, const HistoryFilter &filter, const QString &path,
                            const Feedback &feedback = {});
    static QByteArray csvLine(const QStringList &fields);

    // The filter's measures as a DFQ file: one characteristic per record, in record name order,
    // each described by its latest measure. Reads the rows twice: once for the descriptions,
    // which come before every value in the file, once for the values.
    static Outcome writeDfq(HistoryDatabase *db, const HistoryFilter &filter, const QString &path,
                            const Feedback &feedback = {});

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
    static QString unreadable(qint64 rowsRead, const QString &error);
    static QString cancelledText();
};
