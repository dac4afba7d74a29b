#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

// Writes measures as a Q-DAS ASCII transfer file (DFQ: description and values in one file), the
// format plant statistics software reads: Latin-1, CR LF, one K-field per line.
class DfqWriter
{
public:
    struct Value
    {
        double value = 0;
        QDateTime time; // invalid: the measure carries no date and K0004 is left out
        QString operatorName;
        QString equipment; // the key's serial number
        QString machine;   // K0010: the station that archived it
    };

    struct Characteristic
    {
        QString partNumber;      // K1001: the product text
        QString partDescription; // K1002: the operation number
        QString number;          // K2001: the record name
        QString description;     // K2002: the node text
        double lower = 0;        // K2110
        double upper = 0;        // K2111
        QString unit;            // K2142
        QVector<Value> values;
    };

    struct Output
    {
        QByteArray bytes;
        int replacedCharacters = 0; // characters Latin-1 has no place for, written as '?'
    };

    static Output write(const QVector<Characteristic> &characteristics);
    // The same file in two parts, for a writer that streams the values: the description of
    // every characteristic (their values are not read), then each value of characteristic n
    // (1-based) as it comes, all of characteristic 1's first. replaced counts as in Output.
    static QByteArray description(const QVector<Characteristic> &characteristics, int *replaced);
    static QByteArray value(int n, const Value &v, int *replaced);

    // Latin-1 text of a field: Cyrillic is transliterated, control characters become spaces
    // (a line break inside a field would end the line), anything else outside Latin-1 becomes
    // '?' and is counted.
    static QByteArray toField(const QString &text, int *replaced);
};
