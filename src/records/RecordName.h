#pragma once

#include <QString>

// A record's name (`pagenumber`): its file name in "dbsett" and what the key is told.
// Pattern "%02X%02X%s%02X" of F.I.O. index, Wheel index, operation number, Uzel index,
// e.g. 010A000000004203 for 1, 10, "0000000042", 3.
class RecordName
{
public:
    struct Parts
    {
        int fio = -1;
        int wheel = -1;
        QString operation;
        int uzel = -1;
    };

    // The operation number enters the name as Latin-1, as the key builds it; callers pass
    // the editor's ten upper-case alphanumerics.
    static QString make(int fio, int wheel, const QString &operation, int uzel);

    // Splits a name back into its parts. Refuses (returns false, parts untouched) anything
    // the pattern cannot have produced from a stored record: fewer than 6 or more than 18
    // characters, hex digits other than upper-case 0-9A-F, an operation number with
    // characters outside printable ASCII or with path separators.
    static bool parse(const QString &name, Parts *parts);

    // The editor's rule for an operation number: exactly ten of 0-9 and A-Z.
    static bool isValidOperationNumber(const QString &operation);
};
