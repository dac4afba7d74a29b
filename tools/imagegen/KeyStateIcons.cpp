// What the key reports while it works: the rotation of the current tightening, its two
// warnings, the message-panel buttons and the used/unused marks of the menu-level tabs.

#include "Catalog.h"
#include "Draw.h"

#include <QtMath>

using namespace draw;

namespace {

void boltHead(QPainter &p, const QPointF &center, qreal r)
{
    p.setPen(QPen(c(col::ink), r * 0.16, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    p.setBrush(c(col::greyLight));
    p.drawPath(hexagon(center, r, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(c(col::inkSoft));
    p.drawEllipse(center, r * 0.38, r * 0.38);
}

// Direction 1 turns clockwise (tightening a right-hand thread), 2 counter-clockwise,
// 0xFF means no direction yet: the ring without heads.
void rotation(QPainter &p, int direction)
{
    const QPointF center(32, 32);
    if (direction == 1)
        arcArrow(p, center, 23, 105, -290, c(col::green), 7, 14);
    else if (direction == 2)
        arcArrow(p, center, 23, 75, 290, c(col::orange), 7, 14);
    else {
        QPen pen(c(col::greyLight), 7);
        pen.setCapStyle(Qt::RoundCap);
        p.setPen(pen);
        p.drawArc(QRectF(9, 9, 46, 46), 100 * 16, -340 * 16);
        p.setPen(Qt::NoPen);
    }
    boltHead(p, center, 12);
}

void secondTightening(QPainter &p)
{
    warningTriangle(p, QRectF(2, 2, 54, 50), c(col::amber), c(col::ink));
    // Badge: a bolt turned again.
    const QPointF b(48, 47);
    p.setPen(Qt::NoPen);
    p.setBrush(c(col::white));
    p.drawEllipse(b, 15, 15);
    badge(p, b, 12.5, c(col::red));
    p.setBrush(c(col::white));
    p.drawPath(hexagon(b, 4.6, 0));
    arcArrow(p, b, 8.4, 110, -270, c(col::white), 2.4, 5);
}

void badMoment(QPainter &p)
{
    // The moment gauge with its needle past the end of the scale, and a red cross.
    const QPointF center(28, 30);
    const qreal r = 24;
    p.setPen(QPen(c(col::ink), 4));
    p.setBrush(c(col::white));
    p.drawEllipse(center, r, r);
    p.setPen(roundPen(c(col::inkSoft), 2.2));
    for (int i = 0; i <= 10; ++i) {
        const qreal a = qDegreesToRadians(225.0 - 270.0 * i / 10);
        const QPointF dir(qCos(a), -qSin(a));
        p.drawLine(center + dir * (i % 5 == 0 ? r - 10 : r - 8), center + dir * (r - 4.5));
    }
    const qreal needle = qDegreesToRadians(-62.0);
    p.setPen(roundPen(c(col::red), 3.5));
    p.drawLine(center, center + QPointF(qCos(needle), -qSin(needle)) * (r - 5));
    p.setPen(Qt::NoPen);
    p.setBrush(c(col::ink));
    p.drawEllipse(center, 4, 4);

    const QPointF b(47, 47);
    p.setBrush(c(col::white));
    p.drawEllipse(b, 15.5, 15.5);
    badge(p, b, 13, c(col::red));
    crossMark(p, QRectF(b.x() - 5, b.y() - 5, 10, 10), c(col::white), 3.6);
}

void padlock(QPainter &p, bool locked)
{
    const QColor body = locked ? c(col::red) : c(col::green);
    // Shackle: closed it drops into both sides of the body, open it is lifted and swung.
    p.setPen(QPen(c(col::inkSoft), 6.5, Qt::SolidLine, Qt::FlatCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath shackle;
    if (locked) {
        shackle.moveTo(20, 30);
        shackle.lineTo(20, 22);
        shackle.arcTo(QRectF(20, 10, 24, 24), 180, -180);
        shackle.lineTo(44, 30);
    } else {
        shackle.moveTo(44, 30);
        shackle.lineTo(44, 16);
        shackle.arcTo(QRectF(20, 4, 24, 24), 0, 180);
        shackle.lineTo(20, 19);
    }
    p.drawPath(shackle);
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawRoundedRect(QRectF(12, 28, 40, 30), 6, 6);
    p.setBrush(c(col::white));
    p.drawEllipse(QPointF(32, 39.5), 4.5, 4.5);
    QPainterPath slot;
    slot.moveTo(30, 41);
    slot.lineTo(34, 41);
    slot.lineTo(35, 50);
    slot.lineTo(29, 50);
    slot.closeSubpath();
    p.drawPath(slot);
}

void message(QPainter &p)
{
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(6, 10, 52, 36), 11, 11);
    QPainterPath tail;
    tail.moveTo(16, 40);
    tail.lineTo(14, 56);
    tail.lineTo(30, 44);
    tail.closeSubpath();
    p.setBrush(c(col::blue));
    p.drawPath(bubble.united(tail));
    p.setBrush(c(col::white));
    for (int i = 0; i < 3; ++i)
        p.drawEllipse(QPointF(20 + i * 12, 28), 4, 4);
}

void used(QPainter &p)
{
    badge(p, QPointF(32, 32), 28, c(col::green));
    checkMark(p, QRectF(19, 21, 26, 20), c(col::white), 7);
}

void notUsed(QPainter &p)
{
    p.setPen(QPen(c(col::grey), 5));
    p.setBrush(c(col::greyPale));
    p.drawEllipse(QPointF(32, 32), 25.5, 25.5);
    p.setPen(roundPen(c(col::grey), 6));
    p.drawLine(QPointF(21, 32), QPointF(43, 32));
}

} // namespace

void addKeyStateIcons(Catalog &catalog)
{
    catalog.add(QStringLiteral("rotate1a.png"), 96, [](QPainter &p) { rotation(p, 1); });
    catalog.add(QStringLiteral("rotate2a.png"), 96, [](QPainter &p) { rotation(p, 2); });
    catalog.add(QStringLiteral("rotateFFa.png"), 96, [](QPainter &p) { rotation(p, 0xff); });
    catalog.add(QStringLiteral("vnim.png"), 96, secondTightening);
    catalog.add(QStringLiteral("bad_moment.png"), 96, badMoment);
    catalog.add(QStringLiteral("lock.png"), 64, [](QPainter &p) { padlock(p, true); });
    catalog.add(QStringLiteral("unlock.png"), 64, [](QPainter &p) { padlock(p, false); });
    catalog.add(QStringLiteral("message1.png"), 64, message);
    catalog.add(QStringLiteral("is_used.png"), 32, used);
    catalog.add(QStringLiteral("not_used.png"), 32, notUsed);
}
