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

void td::appendCsvField(QString &line, const QString &text)
{
    bool needsQuotes = false;
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u == ';' || u == '"' || u == '\n' || u == '\r') {
            needsQuotes = true;
            break;
        }
    }
    if (needsQuotes)
        line += QLatin1Char('"');
    if (opensAsFormula(text))
        line += QLatin1Char('\'');
    if (!needsQuotes) {
        line += text;
        return;
    }
    for (const QChar c : text) {
        if (c == QLatin1Char('"'))
            line += QLatin1Char('"');
        line += c;
    }
    line += QLatin1Char('"');
}

QString td::csvField(const QString &text)
{
    QString out;
    appendCsvField(out, text);
    return out;
}
