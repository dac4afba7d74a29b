#pragma once

#include <QString>

// The local SQLite database beside the program: the report scratch table and barcode pairs.
// It is supplied with the program and never created here.
class ReportDatabase
{
public:
    // Opens the default connection on path. A missing file is not created (an empty database
    // would only make every query fail later), so it reports false.
    static bool open(const QString &path);
    static void close();
};
