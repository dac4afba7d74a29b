#include "Draw.h"

#include <QLinearGradient>
#include <QtMath>

namespace draw {

namespace {
QString g_family = QStringLiteral("Roboto");
}

QColor c(QRgb rgba, int alpha)
{
    QColor color = QColor::fromRgba(rgba);
    color.setAlpha(alpha);
    return color;
}

void prepare(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::NoBrush);
}

QPen roundPen(const QColor &color, qreal width)
{
    QPen pen(color, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void menuTile(QPainter &p, const QColor &color)
{
    p.save();
    QLinearGradient g(0, 2, 0, 62);
    g.setColorAt(0, color.lighter(112));
    g.setColorAt(1, color.darker(106));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 14, 14);
    p.restore();
}

void badge(QPainter &p, const QPointF &center, qreal radius, const QColor &color)
{
    p.save();
    QLinearGradient g(center.x(), center.y() - radius, center.x(), center.y() + radius);
    g.setColorAt(0, color.lighter(112));
    g.setColorAt(1, color.darker(108));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(center, radius, radius);
    p.restore();
}

void checkMark(QPainter &p, const QRectF &box, const QColor &color, qreal width)
{
    QPainterPath path;
    path.moveTo(box.left(), box.top() + box.height() * 0.55);
    path.lineTo(box.left() + box.width() * 0.38, box.bottom());
    path.lineTo(box.right(), box.top());
    p.save();
    p.setPen(roundPen(color, width));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.restore();
}

void crossMark(QPainter &p, const QRectF &box, const QColor &color, qreal width)
{
    p.save();
    p.setPen(roundPen(color, width));
    p.drawLine(box.topLeft(), box.bottomRight());
    p.drawLine(box.topRight(), box.bottomLeft());
    p.restore();
}

QPainterPath hexagon(const QPointF &center, qreal radius, qreal rotationDeg)
{
    QPainterPath path;
    for (int i = 0; i < 6; ++i) {
        const qreal a = qDegreesToRadians(rotationDeg + 60.0 * i);
        const QPointF pt(center.x() + radius * qCos(a), center.y() + radius * qSin(a));
        if (i == 0)
            path.moveTo(pt);
        else
            path.lineTo(pt);
    }
    path.closeSubpath();
    return path;
}

void arcArrow(QPainter &p, const QPointF &center, qreal radius, qreal startDeg, qreal spanDeg,
              const QColor &color, qreal width, qreal headLength)
{
    const qreal dir = spanDeg >= 0 ? 1.0 : -1.0;
    // Leave room for the head so the round stroke end does not poke out beside it.
    const qreal trimDeg = qRadiansToDegrees(headLength * 0.35 / radius);
    const qreal span = spanDeg - dir * trimDeg;
    const QRectF rect(center.x() - radius, center.y() - radius, 2 * radius, 2 * radius);

    QPainterPath arc;
    arc.arcMoveTo(rect, startDeg);
    arc.arcTo(rect, startDeg, span);

    const qreal endRad = qDegreesToRadians(startDeg + span);
    const QPointF radial(qCos(endRad), -qSin(endRad));
    const QPointF tangent = dir * QPointF(-qSin(endRad), -qCos(endRad));
    const QPointF base = center + radius * radial;
    const qreal half = headLength * 0.62;

    QPainterPath head;
    head.moveTo(base + tangent * headLength);
    head.lineTo(base + radial * half - tangent * headLength * 0.05);
    head.lineTo(base - radial * half - tangent * headLength * 0.05);
    head.closeSubpath();

    p.save();
    QPen pen = roundPen(color, width);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawPath(arc);
    // A round start cap only, so the tail looks finished.
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(arc.pointAtPercent(0), width / 2, width / 2);
    p.setPen(roundPen(color, qMax<qreal>(0.5, width * 0.25)));
    p.drawPath(head);
    p.restore();
}

void torqueWrench(QPainter &p, qreal L, const QColor &body, const QColor &detail, qreal girth)
{
    const qreal g = L * girth; // across the wrench
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    // Shaft from the head to the grip.
    p.drawRoundedRect(QRectF(0.05 * L, -0.05 * g, 0.62 * L, 0.10 * g), 0.05 * g, 0.05 * g);
    // Grip: thicker, at the far end.
    p.drawRoundedRect(QRectF(0.60 * L, -0.075 * g, 0.40 * L, 0.15 * g), 0.075 * g, 0.075 * g);
    // Ratchet head.
    p.drawEllipse(QPointF(0, 0), 0.14 * g, 0.14 * g);

    p.setBrush(detail);
    // Square drive in the head and the reading window of a digital wrench on the shaft.
    const qreal s = 0.075 * g;
    p.drawRoundedRect(QRectF(-s / 2, -s / 2, s, s), s * 0.15, s * 0.15);
    p.drawRoundedRect(QRectF(0.26 * L, -0.032 * g, 0.22 * L, 0.064 * g), 0.015 * g, 0.015 * g);
    // Grip ribs.
    p.setPen(roundPen(detail, 0.022 * L));
    for (int i = 0; i < 3; ++i) {
        const qreal x = 0.74 * L + i * 0.07 * L;
        p.drawLine(QPointF(x, -0.035 * g), QPointF(x, 0.035 * g));
    }
    p.restore();
}

void warningTriangle(QPainter &p, const QRectF &box, const QColor &fill, const QColor &mark)
{
    const qreal w = box.width();
    const qreal h = box.height();
    const qreal round = w * 0.07;
    QPainterPath tri;
    tri.moveTo(box.left() + w / 2, box.top() + round);
    tri.lineTo(box.right() - round, box.bottom() - round);
    tri.lineTo(box.left() + round, box.bottom() - round);
    tri.closeSubpath();

    p.save();
    QPen pen = roundPen(fill, round * 2);
    p.setPen(pen);
    p.setBrush(fill);
    p.drawPath(tri);

    p.setPen(Qt::NoPen);
    p.setBrush(mark);
    const qreal barW = w * 0.095;
    const QRectF bar(box.left() + w / 2 - barW / 2, box.top() + h * 0.33, barW, h * 0.33);
    QPainterPath barPath;
    // Slightly tapered bar reads better than a plain rectangle.
    barPath.moveTo(bar.left(), bar.top() + barW / 2);
    barPath.arcTo(QRectF(bar.left(), bar.top(), barW, barW), 180, -180);
    barPath.lineTo(bar.right() - barW * 0.12, bar.bottom());
    barPath.lineTo(bar.left() + barW * 0.12, bar.bottom());
    barPath.closeSubpath();
    p.drawPath(barPath);
    p.drawEllipse(QPointF(box.left() + w / 2, box.top() + h * 0.76), barW * 0.6, barW * 0.6);
    p.restore();
}

QPainterPath fittedText(const QString &text, const QFont &font, const QRectF &box)
{
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF b = path.boundingRect();
    if (b.isEmpty())
        return path;
    const qreal scale = qMin(box.width() / b.width(), box.height() / b.height());
    QTransform t;
    t.translate(box.center().x(), box.center().y());
    t.scale(scale, scale);
    t.translate(-b.center().x(), -b.center().y());
    return t.map(path);
}

QFont font(qreal pixelSize, QFont::Weight weight)
{
    QFont f(g_family);
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(qMax(1, qRound(pixelSize)));
    f.setWeight(weight);
    return f;
}

void setFontFamily(const QString &family)
{
    if (!family.isEmpty())
        g_family = family;
}

} // namespace draw
