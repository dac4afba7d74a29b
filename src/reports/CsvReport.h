#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>

class QAbstractItemModel;

// The semicolon-separated report of a measure table: "sep=;" (so a spreadsheet splits the
// columns whatever its locale), the header line, one line per table row, then two signature
// lines. Built from any item model so the window and the command line give the same bytes.
class CsvReport
{
    Q_DECLARE_TR_FUNCTIONS(CsvReport)
public:
    // What the report reads of a table, copied out of the model so the file can be made on
    // another thread than the model's.
    struct Table
    {
        QStringList headers;
        QVector<QVector<QVariant>> rows; // display data; an invalid variant: no item there

        static Table of(const QAbstractItemModel &model);
    };

    // Each text line (without its line end) is handed to lineSink as it is made, for the
    // debug log; it may be empty.
    static QByteArray build(const Table &table, const QString &operatorName,
                            const std::function<void(const QString &)> &lineSink = {});
    static QByteArray build(const QAbstractItemModel &model, const QString &operatorName,
                            const std::function<void(const QString &)> &lineSink = {});

    // A cell as written (td::csvField): quoted when it could split into columns or lines, and
    // never taken for a formula.
    static QString cell(const QString &text);

    // Writes the report under a temporary name and renames it onto path when complete.
    // *error gets a sentence for the user on failure. rowDone, when given, hears of each
    // table row as it is written.
    static bool save(const Table &table, const QString &operatorName, const QString &path, QString *error,
                     const std::function<void(int row)> &rowDone = {});
    static bool save(const QAbstractItemModel &model, const QString &operatorName,
                     const QString &path, QString *error);
};
