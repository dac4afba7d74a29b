#include "base/CsvField.h"

#include <QRegularExpression>

namespace {

// The characters after which spreadsheets read a formula; some skip a leading tab or carriage
// return first, so those count as well.
bool opensAsFormula(const QString &text)
{
    if (text.size() < 2) // a lone "-" or "=" is no formula
        return false;
    const ushort c = text.at(0).unicode();
    if (c != '=' && c != '+' && c != '-' && c != '@' && c != '\t' && c != '\r')
        return false;
    static const QRegularExpression number(QStringLiteral("^[+-]?[0-9]+([.,][0-9]+)?([eE][+-]?[0-9]+)?$"));
    return !number.match(text).hasMatch();
}

} // namespace

QString td::csvField(const QString &text)
{
    QString out = opensAsFormula(text) ? QLatin1Char('\'') + text : text;
    bool needsQuotes = false;
    for (const QChar c : out) {
        const ushort u = c.unicode();
        if (u == ';' || u == '"' || u == '\n' || u == '\r') {
            needsQuotes = true;
            break;
        }
    }
    if (!needsQuotes)
        return out;
    out.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}
