#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

// One palette and a handful of shapes shared by every picture, so the icons read as a family:
// flat fills, rounded strokes, the same check, cross, hexagon (a bolt head) and torque wrench.
namespace draw {

namespace col {
constexpr QRgb ink = 0xff263238;       // outlines and dark glyphs
constexpr QRgb inkSoft = 0xff546e7a;
constexpr QRgb blue = 0xff1e88e5;
constexpr QRgb blueDark = 0xff1565c0;
constexpr QRgb blueLight = 0xffe3f2fd;
constexpr QRgb teal = 0xff00897b;
constexpr QRgb indigo = 0xff3949ab;
constexpr QRgb orange = 0xfffb8c00;
constexpr QRgb purple = 0xff8e24aa;
constexpr QRgb slate = 0xff546e7a;
constexpr QRgb green = 0xff43a047;
constexpr QRgb greenDark = 0xff2e7d32;
constexpr QRgb red = 0xffe53935;
constexpr QRgb redDark = 0xffc62828;
constexpr QRgb amber = 0xffffb300;
constexpr QRgb yellow = 0xfffdd835;
constexpr QRgb grey = 0xff90a4ae;
constexpr QRgb greyLight = 0xffcfd8dc;
constexpr QRgb greyPale = 0xffeceff1;
constexpr QRgb white = 0xffffffff;
} // namespace col

QColor c(QRgb rgba, int alpha = 255);

// Antialiasing on, no pen, no brush.
void prepare(QPainter &p);

QPen roundPen(const QColor &color, qreal width);

// The rounded square every left-menu icon sits on, in a 64-unit box.
void menuTile(QPainter &p, const QColor &color);

// A filled circle badge with a soft darker rim.
void badge(QPainter &p, const QPointF &center, qreal radius, const QColor &color);

// Glyph strokes inside a box.
void checkMark(QPainter &p, const QRectF &box, const QColor &color, qreal width);
void crossMark(QPainter &p, const QRectF &box, const QColor &color, qreal width);

QPainterPath hexagon(const QPointF &center, qreal radius, qreal rotationDeg = 0);

// A circular arc with an arrow head at its end; positive span turns counter-clockwise on
// screen (Qt's convention), negative clockwise.
void arcArrow(QPainter &p, const QPointF &center, qreal radius, qreal startDeg, qreal spanDeg,
              const QColor &color, qreal width, qreal headLength);

// A digital torque wrench lying along the x axis: ratchet head at the origin, handle to the
// right, total length `length`; girth > 1 makes it stockier for small sizes. Callers place
// it with the painter's transform.
void torqueWrench(QPainter &p, qreal length, const QColor &body, const QColor &detail,
                  qreal girth = 1.0);

// A warning triangle with an exclamation mark filling `box`.
void warningTriangle(QPainter &p, const QRectF &box, const QColor &fill, const QColor &mark);

// The outline of `text` scaled to fit `box` (proportions kept) and centred in it. Glyph
// outlines rather than drawText, so the size does not depend on font hinting or DPI.
QPainterPath fittedText(const QString &text, const QFont &font, const QRectF &box);

// Roboto when the generator was given it, else whatever sans-serif the system has.
QFont font(qreal pixelSize, QFont::Weight weight);
void setFontFamily(const QString &family);

} // namespace draw
