#pragma once

#include <QString>

namespace td {

// One cell of the ";"-separated files people open in a spreadsheet (the CSV report, the history
// export). A text holding ';', a double quote or a line break is quoted with its quotes
// doubled, so it cannot split into columns or lines. A text that a spreadsheet would take for a
// formula (it begins with '=', '+', '-', '@', a tab or a carriage return)
// gets a leading apostrophe: names and product texts come from the key, and "=HYPERLINK(...)"
// or a DDE call in an operator's name must open as the text it is. Quoting alone would not do:
// spreadsheets evaluate a quoted "=1+2" all the same. The apostrophe is the spreadsheets' own
// mark for "this is text", so a person reading the file sees why it is there. A number stays
// a number ("-12.5", "-12,5", "+3e2"), and a lone "-" (a measure without a date) stays as it is.
QString csvField(const QString &text);
// The same, added to a line being built: a file of a million rows makes no string per cell.
void appendCsvField(QString &line, const QString &text);

} // namespace td
