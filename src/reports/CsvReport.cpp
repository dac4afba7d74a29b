#include "reports/CsvReport.h"

#include "base/AtomicFile.h"
#include "base/CsvField.h"
#include "base/Log.h"

#include <QAbstractItemModel>

namespace {

const QString kJoin = QStringLiteral("; ");
const char kLineEnd = '\n';

} // namespace

QString CsvReport::cell(const QString &text)
{
    return td::csvField(text);
}

CsvReport::Table CsvReport::Table::of(const QAbstractItemModel &model)
{
    Table t;
    const int columns = model.columnCount();
    const int rows = model.rowCount();
    for (int c = 0; c < columns; ++c)
        t.headers << model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    t.rows.reserve(rows);
    for (int r = 0; r < rows; ++r) {
        QVector<QVariant> row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c)
            row.append(model.data(model.index(r, c), Qt::DisplayRole));
        t.rows.append(row);
    }
    return t;
}

QByteArray CsvReport::build(const QAbstractItemModel &model, const QString &operatorName,
                            const std::function<void(const QString &)> &lineSink)
{
    return build(Table::of(model), operatorName, lineSink);
}

QByteArray CsvReport::build(const Table &table, const QString &operatorName,
                            const std::function<void(const QString &)> &lineSink)
{
    const int columns = table.headers.size();
    const int rows = table.rows.size();
    QByteArray out;
    QString text;
    auto line = [&] {
        if (lineSink)
            lineSink(text);
        out += text.toUtf8();
        out += kLineEnd;
    };
    out += "sep=;";
    out += kLineEnd;

    for (int c = 0; c < columns; ++c) {
        if (c)
            text += kJoin;
        text += cell(table.headers.at(c));
    }
    line();
    out.reserve(out.size() * (rows + 4));

    for (int r = 0; r < rows; ++r) {
        text.clear();
        for (int c = 0; c < columns; ++c) {
            if (c)
                text += kJoin;
            // A cell the table never filled (no item behind it) reads as one space, so the
            // spreadsheet still sees a cell there; an item with empty text stays empty.
            const QVariant v = table.rows.at(r).value(c);
            text += v.isValid() ? cell(v.toString()) : QStringLiteral(" ");
        }
        line();
    }

    out += kLineEnd;
    out += kLineEnd;
    out += (tr("Operator: ") + kJoin + QStringLiteral("_____________") + kJoin
            + cell(QLatin1Char('/') + operatorName + QLatin1Char('/')))
               .toUtf8();
    out += kLineEnd;
    out += (kJoin + tr("(sign)") + kJoin + tr("(name)")).toUtf8();
    out += kLineEnd;
    return out;
}

bool CsvReport::save(const QAbstractItemModel &model, const QString &operatorName, const QString &path,
                     QString *error)
{
    return save(Table::of(model), operatorName, path, error);
}

bool CsvReport::save(const Table &table, const QString &operatorName, const QString &path, QString *error,
                     const std::function<void(int row)> &rowDone)
{
    // The log hears the header line first, then one line per table row.
    int line = 0;
    const QByteArray bytes = build(table, operatorName, [&](const QString &l) {
        td::log(l);
        const int row = line++ - 1;
        if (rowDone && row >= 0 && row < table.rows.size())
            rowDone(row);
    });
    return AtomicFile::write(path, bytes, error, AtomicFile::Durability::Synced);
}
