// Left-menu icons of the settings page: shown at 38 × 38 on large touch buttons, so each is a
// coloured tile (the hue tells the pages apart at a glance) with one bold white glyph.

#include "Catalog.h"
#include "Draw.h"

#include <QtMath>

using namespace draw;

namespace {

void records(QPainter &p)
{
    menuTile(p, c(col::blue));
    // Clipboard with a checked list: the key's jobs.
    p.setBrush(c(col::white));
    p.drawRoundedRect(QRectF(16, 14, 32, 40), 4, 4);
    p.setBrush(c(col::blueDark));
    p.setPen(roundPen(c(col::white), 2.5));
    p.drawRoundedRect(QRectF(24, 9.5, 16, 9), 3, 3);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 3; ++i) {
        const qreal y = 26 + i * 9.5;
        checkMark(p, QRectF(20.5, y - 2.8, 6.5, 5.6), c(col::blue), 2.6);
        p.setPen(roundPen(c(col::grey), 3));
        p.drawLine(QPointF(31, y), QPointF(43, y));
        p.setPen(Qt::NoPen);
    }
}

QPainterPath tag(const QRectF &r)
{
    // A luggage-label shape pointing left, corners softened by the caller's round-join pen.
    const qreal tip = r.height() * 0.45;
    QPainterPath path;
    path.moveTo(r.left(), r.center().y());
    path.lineTo(r.left() + tip, r.top());
    path.lineTo(r.right(), r.top());
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left() + tip, r.bottom());
    path.closeSubpath();
    return path;
}

void templates(QPainter &p)
{
    menuTile(p, c(col::teal));
    // Two labels: the lists of names and types the operator picks from.
    p.save();
    p.translate(32, 32);
    p.rotate(-25);
    p.translate(-32, -32);
    const QRectF back(18, 15, 31, 18);
    const QRectF front(12, 29, 38, 21);
    p.setPen(roundPen(c(col::white, 140), 4));
    p.setBrush(c(col::white, 140));
    p.drawPath(tag(back));
    p.setPen(roundPen(c(col::white), 4));
    p.setBrush(c(col::white));
    p.drawPath(tag(front));
    p.setPen(Qt::NoPen);
    p.setBrush(c(col::teal));
    p.drawEllipse(QPointF(front.left() + 8, front.center().y()), 2.8, 2.8);
    p.setPen(roundPen(c(col::teal), 3));
    p.drawLine(QPointF(front.left() + 16, front.top() + 7.5), QPointF(front.right() - 4, front.top() + 7.5));
    p.drawLine(QPointF(front.left() + 16, front.bottom() - 7.5), QPointF(front.right() - 10, front.bottom() - 7.5));
    p.restore();
}

void database(QPainter &p)
{
    menuTile(p, c(col::indigo));
    const qreal cx = 32, rx = 17, ry = 6.5, top = 17, bottom = 47;
    QPainterPath body;
    body.addEllipse(QPointF(cx, top), rx, ry);
    body.addRect(QRectF(cx - rx, top, 2 * rx, bottom - top));
    body.addEllipse(QPointF(cx, bottom), rx, ry);
    p.setBrush(c(col::white));
    p.drawPath(body.simplified());
    // Tinted lid and two seams make it read as a stack of discs.
    p.setBrush(c(col::indigo, 70));
    p.drawEllipse(QPointF(cx, top), rx - 3, ry - 2);
    p.setPen(QPen(c(col::indigo), 2.6, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i <= 2; ++i) {
        const qreal y = top + (bottom - top) * i / 3.0;
        QPainterPath seam;
        const QRectF e(cx - rx, y - ry, 2 * rx, 2 * ry);
        seam.arcMoveTo(e, 180);
        seam.arcTo(e, 180, 180);
        p.drawPath(seam);
    }
}

void calibrate(QPainter &p)
{
    menuTile(p, c(col::orange));
    // A dial gauge: what calibration adjusts.
    const QPointF center(32, 35);
    const qreal r = 21;
    p.setBrush(c(col::white));
    p.drawEllipse(center, r, r);
    p.setPen(roundPen(c(col::orange), 2.4));
    for (int i = 0; i <= 8; ++i) {
        const qreal a = qDegreesToRadians(210.0 - 240.0 * i / 8);
        const QPointF dir(qCos(a), -qSin(a));
        const qreal inner = (i % 2 == 0) ? r - 8 : r - 6;
        p.drawLine(center + dir * inner, center + dir * (r - 3.5));
    }
    const qreal needle = qDegreesToRadians(48.0);
    p.setPen(roundPen(c(col::ink), 3.5));
    p.drawLine(center, center + QPointF(qCos(needle), -qSin(needle)) * (r - 6));
    p.setPen(Qt::NoPen);
    p.setBrush(c(col::ink));
    p.drawEllipse(center, 4, 4);
}

void menuLevels(QPainter &p)
{
    menuTile(p, c(col::purple));
    // Sliders: the parameters and menu levels of the key.
    const qreal ys[3] = {19, 32, 45};
    const qreal knobs[3] = {40, 23, 34};
    for (int i = 0; i < 3; ++i) {
        p.setPen(roundPen(c(col::white, 170), 4));
        p.drawLine(QPointF(14, ys[i]), QPointF(50, ys[i]));
        p.setPen(roundPen(c(col::white), 4));
        p.drawLine(QPointF(14, ys[i]), QPointF(knobs[i], ys[i]));
        p.setPen(Qt::NoPen);
        p.setBrush(c(col::white));
        p.drawEllipse(QPointF(knobs[i], ys[i]), 6, 6);
        p.setBrush(c(col::purple));
        p.drawEllipse(QPointF(knobs[i], ys[i]), 2.5, 2.5);
    }
}

void about(QPainter &p)
{
    menuTile(p, c(col::slate));
    p.setBrush(c(col::white));
    p.drawEllipse(QPointF(32, 32), 21, 21);
    p.setBrush(c(col::slate));
    p.drawEllipse(QPointF(32, 21.5), 3.6, 3.6);
    p.drawRoundedRect(QRectF(28.8, 28, 6.4, 17), 2.5, 2.5);
}

} // namespace

void addMenuIcons(Catalog &catalog)
{
    catalog.add(QStringLiteral("records.png"), 64, records);
    catalog.add(QStringLiteral("templates.png"), 64, templates);
    catalog.add(QStringLiteral("database.png"), 64, database);
    catalog.add(QStringLiteral("calibrate.png"), 64, calibrate);
    catalog.add(QStringLiteral("menulevels.png"), 64, menuLevels);
    catalog.add(QStringLiteral("about.png"), 64, about);
}
