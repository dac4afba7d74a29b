#pragma once

#include <QFont>
#include <QSize>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

// Texts on the touch panel are sized to fill their control rather than set once: the same
// widget shows "0" one moment and a long warning the next.
namespace td {

// Largest and smallest point sizes a fitted text may get. The lower bound keeps a font valid
// when a control is tiny; the upper one stops a one-character text in a large box from asking
// the font engine for absurd glyphs.
constexpr qreal minFittedPointSize = 1.0;
constexpr qreal maxFittedPointSize = 144.0;

// The font of `font`, rescaled so that `text` laid out with word wrap in a box of `box` leaves
// `margin` pixels spare in width and 10 in height. When no sensible scale exists (empty text,
// a box no larger than its margins) the font comes back unchanged.
QFont fittedFont(const QFont &font, const QString &text, const QSize &box, int margin);

void fitText(QPushButton *button, int margin);
void fitText(QLineEdit *edit, int margin);
void fitText(QLabel *label, int margin);

} // namespace td
