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

QByteArray CsvReport::build(const QAbstractItemModel &model, const QString &operatorName,
                            const std::function<void(const QString &)> &lineSink)
{
    const int columns = model.columnCount();
    const int rows = model.rowCount();
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
        text += cell(model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
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
            const QVariant v = model.data(model.index(r, c), Qt::DisplayRole);
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
    const QByteArray bytes = build(model, operatorName, [](const QString &l) { td::log(l); });
    return AtomicFile::write(path, bytes, error, AtomicFile::Durability::Synced);
}
