#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// The key's ten measuring algorithms. The code is what a record's `algorithm` byte and a
// node template's Algorithm byte hold; the translated name is what the combos show, and
// the combos give the code back only through that name.
class MeasureAlgorithms
{
    Q_DECLARE_TR_FUNCTIONS(MeasureAlgorithms)
public:
    static constexpr int Count = 10;
    static constexpr int AngleDependence = 9; // "Dependence on the angle of the moment"

    static bool isValid(int code) { return code >= 0 && code < Count; }

    // The untranslated name (the translation source), empty for an unknown code.
    static const char *sourceName(int code);
    // The translated name; an unknown code gives the name of code 0, which is what the key
    // falls back to as well.
    static QString name(int code);
    // All ten translated names in code order.
    static QStringList names();

    // The code whose translated name equals text; 0 for a text that matches none, and for
    // "Screwing up to the moment" (the name older keys used for code 0).
    static int codeFromText(const QString &text);

    // Algorithms whose measures carry an angle worth showing and checking.
    static bool measuresAngle(int code) { return code == 2 || code == 4; }
    // Measures of code 9 carry no date.
    static bool measuresCarryDate(int code) { return code != AngleDependence; }
};
