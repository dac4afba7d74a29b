#include "records/MeasureAlgorithms.h"

namespace {

const char *const kNames[MeasureAlgorithms::Count] = {
    QT_TRANSLATE_NOOP("MeasureAlgorithms", "Maximum moment"),
    QT_TRANSLATE_NOOP("MeasureAlgorithms", "Screwing up to the moment without angle control"),
    QT_TRANSLATE_NOOP("MeasureAlgorithms", "Screwing up to the moment with angle control"),
    QT_TRANSLATE_NOOP("MeasureAlgorithms", "Method moving off place"),
    QT_TRANSLATE_NOOP("MeasureAlgorithms", "Screwing combined method"),
    QT_TRANSLATE_NOOP("MeasureAlgorithms", "Method increment"),
    QT_TRANSLATE_NOOP("MeasureAlgorithms", "Method Unscrew-Screwing"),
    QT_TRANSLATE_NOOP("MeasureAlgorithms", "Method axial force"),
    QT_TRANSLATE_NOOP("MeasureAlgorithms", "Method rotation to angle"),
    QT_TRANSLATE_NOOP("MeasureAlgorithms", "Dependence on the angle of the moment"),
};

} // namespace

const char *MeasureAlgorithms::sourceName(int code)
{
    return isValid(code) ? kNames[code] : "";
}

QString MeasureAlgorithms::name(int code)
{
    return tr(kNames[isValid(code) ? code : 0]);
}

QStringList MeasureAlgorithms::names()
{
    QStringList list;
    for (int i = 0; i < Count; ++i)
        list << name(i);
    return list;
}

int MeasureAlgorithms::codeFromText(const QString &text)
{
    if (text == tr("Screwing up to the moment"))
        return 0;
    for (int i = 0; i < Count; ++i) {
        if (text == name(i))
            return i;
    }
    return 0;
}
