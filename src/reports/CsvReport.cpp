#include "reports/CsvReport.h"

#include "base/AtomicFile.h"
#include "base/Log.h"

#include <QAbstractItemModel>
#include <QStringList>

namespace {

const QString kJoin = QStringLiteral("; ");
const char kLineEnd = '\n';

} // namespace

QString CsvReport::cell(const QString &text)
{
    const bool needsQuotes = text.contains(QLatin1Char(';')) || text.contains(QLatin1Char('"'))
                             || text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
    if (!needsQuotes)
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QByteArray CsvReport::build(const QAbstractItemModel &model, const QString &operatorName,
                            const std::function<void(const QString &)> &lineSink)
{
    QByteArray out;
    auto line = [&](const QString &text) {
        if (lineSink)
            lineSink(text);
        out += text.toUtf8();
        out += kLineEnd;
    };
    out += "sep=;";
    out += kLineEnd;

    const int columns = model.columnCount();
    QStringList cells;
    cells.reserve(columns);
    for (int c = 0; c < columns; ++c)
        cells << cell(model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
    line(cells.join(kJoin));

    const int rows = model.rowCount();
    for (int r = 0; r < rows; ++r) {
        cells.clear();
        for (int c = 0; c < columns; ++c) {
            // A cell the table never filled (no item behind it) reads as one space, so the
            // spreadsheet still sees a cell there; an item with empty text stays empty.
            const QVariant v = model.data(model.index(r, c), Qt::DisplayRole);
            cells << (v.isValid() ? cell(v.toString()) : QStringLiteral(" "));
        }
        line(cells.join(kJoin));
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
    const QByteArray bytes = build(model, operatorName, [](const QString &l) { td::log(l); });
    return AtomicFile::write(path, bytes, error, AtomicFile::Durability::Synced);
}
