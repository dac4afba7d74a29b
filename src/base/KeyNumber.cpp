#include "base/KeyNumber.h"

#include <QLocale>

QString td::keyNumberText(double v)
{
    const float f = float(v);
    if (double(f) == v) {
        for (int digits = 1; digits < 9; ++digits) {
            const QString text = QString::number(v, 'g', digits);
            // "2.9e+02" is the float 290: written again as the double it names, plainly.
            if (text.toFloat() == f)
                return QString::number(text.toDouble(), 'g', QLocale::FloatingPointShortest);
        }
    }
    return QString::number(v, 'g', QLocale::FloatingPointShortest);
}
