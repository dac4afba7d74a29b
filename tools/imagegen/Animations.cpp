// Busy animations. GIF keeps only 1-bit transparency, so shapes are solid and edges are
// blended onto the light window colour by the encoder.

#include "Catalog.h"
#include "Draw.h"

#include <QtMath>

using namespace draw;

namespace {

QColor mix(const QColor &a, const QColor &b, qreal t)
{
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t, a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t);
}

void dots(QPainter &p, qreal phase)
{
    // Twelve dots; the bright one runs round with a fading tail.
    constexpr int n = 12;
    const int head = int(phase * n) % n;
    for (int i = 0; i < n; ++i) {
        const int age = (head - i + n) % n;
        const qreal t = qMin(1.0, age / 7.0);
        const qreal a = qDegreesToRadians(90.0 - 360.0 * i / n);
        const QPointF pos(32 + 23 * qCos(a), 32 - 23 * qSin(a));
        p.setBrush(mix(c(col::blue), c(col::greyLight), t));
        p.drawEllipse(pos, 5.2 - 1.4 * t, 5.2 - 1.4 * t);
    }
}

void ring(QPainter &p, qreal phase)
{
    QPen track(c(col::greyPale), 7);
    p.setPen(track);
    p.drawEllipse(QPointF(32, 32), 22, 22);
    // The arc turns once per loop and breathes in length, which reads as activity even
    // when the picture is small.
    const qreal start = -360.0 * phase + 90;
    const qreal span = -(70 + 110 * (0.5 - 0.5 * qCos(2 * M_PI * phase)));
    QPen arc(c(col::blue), 7);
    arc.setCapStyle(Qt::RoundCap);
    p.setPen(arc);
    p.drawArc(QRectF(10, 10, 44, 44), qRound(start * 16), qRound(span * 16));
}

void rocket(QPainter &p, qreal phase)
{
    // Speed streaks slide past while the rocket holds still, flame flickering.
    p.save();
    p.translate(32, 32);
    p.rotate(45);
    const qreal streaks[4][2] = {{-20, 0.0}, {-11, 0.55}, {13, 0.25}, {21, 0.8}};
    for (const auto &s : streaks) {
        const qreal t = std::fmod(phase + s[1], 1.0);
        const qreal y = -40 + 84 * t;
        p.setPen(roundPen(c(col::grey), 2.6));
        p.drawLine(QPointF(s[0], y), QPointF(s[0], y + 13));
    }
    p.setPen(Qt::NoPen);

    const qreal flicker = 0.5 + 0.5 * qSin(2 * M_PI * phase * 2);
    const qreal len = 13 + 7 * flicker;
    QPainterPath outer;
    outer.moveTo(-6.5, 13);
    outer.quadTo(-6, 13 + len * 0.65, 0, 13 + len);
    outer.quadTo(6, 13 + len * 0.65, 6.5, 13);
    outer.closeSubpath();
    p.setBrush(c(col::orange));
    p.drawPath(outer);
    QPainterPath inner;
    const qreal li = len * 0.6;
    inner.moveTo(-3.5, 13);
    inner.quadTo(-3, 13 + li * 0.65, 0, 13 + li);
    inner.quadTo(3, 13 + li * 0.65, 3.5, 13);
    inner.closeSubpath();
    p.setBrush(c(col::yellow));
    p.drawPath(inner);

    QPainterPath finL;
    finL.moveTo(-7, -1);
    finL.lineTo(-16, 10);
    finL.lineTo(-16, 16);
    finL.lineTo(-7, 12);
    finL.closeSubpath();
    QTransform mirror;
    mirror.scale(-1, 1);
    p.setPen(QPen(c(col::ink), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(c(col::red));
    p.drawPath(finL);
    p.drawPath(mirror.map(finL));

    QPainterPath body;
    body.moveTo(0, -27);
    body.cubicTo(10, -19, 9.5, -5, 8, 13);
    body.lineTo(-8, 13);
    body.cubicTo(-9.5, -5, -10, -19, 0, -27);
    body.closeSubpath();
    p.setBrush(c(col::white));
    p.drawPath(body);
    QPainterPath nose;
    nose.moveTo(0, -27);
    nose.cubicTo(5.5, -22.5, 7.6, -19, 8.4, -15);
    nose.lineTo(-8.4, -15);
    nose.cubicTo(-7.6, -19, -5.5, -22.5, 0, -27);
    nose.closeSubpath();
    p.setBrush(c(col::red));
    p.drawPath(nose);
    p.setBrush(c(col::blue));
    p.drawEllipse(QPointF(0, -4), 4.6, 4.6);
    p.setPen(Qt::NoPen);
    p.setBrush(c(col::inkSoft));
    p.drawRoundedRect(QRectF(-6.5, 12, 13, 3.5), 1, 1);
    p.restore();
}

} // namespace

void addAnimations(Catalog &catalog)
{
    catalog.animations.append(Animation{QStringLiteral("wait.gif"), QSize(64, 64), QSizeF(64, 64), 12, 8, dots});
    catalog.animations.append(Animation{QStringLiteral("wait2.gif"), QSize(64, 64), QSizeF(64, 64), 20, 5, ring});
    catalog.animations.append(Animation{QStringLiteral("rocket.gif"), QSize(96, 96), QSizeF(64, 64), 10, 7, rocket});
}
