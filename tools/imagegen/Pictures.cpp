// The larger pictures: the program's logo, the "looking for a key" picture and the two
// popup pictures that live as files in the data root.

#include "Catalog.h"
#include "Draw.h"

#include <QLinearGradient>

using namespace draw;

namespace {

void emblem(QPainter &p, const QPointF &center, qreal r)
{
    badge(p, center, r, c(col::blue));
    arcArrow(p, center, r * 0.66, 120, -300, c(col::white), r * 0.13, r * 0.32);
    p.setPen(Qt::NoPen);
    p.setBrush(c(col::white));
    p.drawPath(hexagon(center, r * 0.33, 0));
    p.setBrush(c(col::blue));
    p.drawEllipse(center, r * 0.13, r * 0.13);
}

void logo(QPainter &p)
{
    emblem(p, QPointF(72, 75), 56);
    // Word mark: one word, two weights of colour.
    const QFont bold = font(64, QFont::Bold);
    QPainterPath torque;
    torque.addText(0, 0, bold, QStringLiteral("Torque"));
    QPainterPath desk;
    desk.addText(torque.boundingRect().right() + 2, 0, bold, QStringLiteral("Desk"));
    QPainterPath word = torque;
    word.addPath(desk);
    const QRectF b = word.boundingRect();
    const QRectF target(146, 38, 244, 60);
    const qreal s = qMin(target.width() / b.width(), target.height() / b.height());
    QTransform t;
    t.translate(target.left(), target.center().y());
    t.scale(s, s);
    t.translate(-b.left(), -b.center().y());
    p.setBrush(c(col::ink));
    p.drawPath(t.map(torque));
    p.setBrush(c(col::blue));
    p.drawPath(t.map(desk));

    // Underline as a torque scale: ticks rising towards the set moment, the last ones lit.
    const qreal left = target.left() + 3;
    const qreal right = target.left() + b.width() * s - 3;
    constexpr int ticks = 25;
    const qreal base = 118;
    for (int i = 0; i < ticks; ++i) {
        const qreal x = left + (right - left) * i / (ticks - 1);
        const qreal h = 5 + 13.0 * i / (ticks - 1);
        p.setPen(roundPen(i >= ticks - 4 ? c(col::orange) : c(col::greyLight), 3.2));
        p.drawLine(QPointF(x, base), QPointF(x, base - h));
    }
    p.setPen(Qt::NoPen);
}

void searching(QPainter &p)
{
    // A wrench and a magnifying glass over a pale disc: the program looks for a key.
    p.setBrush(c(col::blueLight));
    p.drawEllipse(QPointF(120, 120), 112, 112);

    p.save();
    p.translate(50, 168);
    p.rotate(-40);
    torqueWrench(p, 180, c(col::inkSoft), c(col::blueLight), 1.3);
    p.restore();

    const QPointF lens(146, 140);
    const qreal r = 40;
    p.setPen(roundPen(c(col::ink), 16));
    p.drawLine(lens + QPointF(r * 0.72, r * 0.72), lens + QPointF(r * 1.45, r * 1.45));
    p.setPen(QPen(c(col::ink), 11));
    p.setBrush(c(col::white, 150));
    p.drawEllipse(lens, r, r);
    p.setPen(QPen(c(col::white, 220), 5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(lens.x() - r + 11, lens.y() - r + 11, 2 * r - 22, 2 * r - 22), 100 * 16, 60 * 16);
}

void appIcon(QPainter &p)
{
    // The logo's emblem alone, large enough for the desktop's icon theme, so the menu entry
    // and the window's first screen show the same mark.
    emblem(p, QPointF(120, 120), 106);
}

void warning(QPainter &p)
{
    warningTriangle(p, QRectF(2, 4, 60, 54), c(col::amber), c(col::ink));
}

void help(QPainter &p)
{
    badge(p, QPointF(32, 32), 29, c(col::blue));
    p.setBrush(c(col::white));
    p.drawPath(fittedText(QStringLiteral("?"), font(64, QFont::Bold), QRectF(18, 14, 28, 36)));
}

} // namespace

void addPictures(Catalog &catalog)
{
    catalog.add(QStringLiteral("logo_trevonics_red3.png"), QSize(400, 150), QSizeF(400, 150), logo);
    catalog.add(QStringLiteral("init_find.png"), QSize(240, 240), QSizeF(240, 240), searching);
    catalog.add(QStringLiteral("torquedesk.png"), QSize(256, 256), QSizeF(240, 240), appIcon);
    catalog.add(QStringLiteral("warning_128.png"), QSize(128, 128), QSizeF(64, 64), warning,
                Place::DataRootPng);
    catalog.add(QStringLiteral("help_128.png"), QSize(128, 128), QSizeF(64, 64), help,
                Place::DataRootPng);
}
