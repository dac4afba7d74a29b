#pragma once

#include <QString>

// Names, template texts and scanned codes come from the key, its files and scanners, and go on
// to files, reports and a database server that refuses some control characters outright
// (PostgreSQL stores no NUL). What arrives keeps only what a person could have typed: line and
// tab characters become spaces, every other control character goes.
class PlainText
{
public:
    static QString clean(const QString &text);
};
