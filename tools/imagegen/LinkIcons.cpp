// Connection status icons, battery and Wi-Fi signal levels. Levels use traffic-light colours
// (red empty, amber low, green good) plus a count of filled parts, so they read even for
// people who do not tell red from green.

#include "Catalog.h"
#include "Draw.h"

#include <QtMath>

using namespace draw;

namespace {

void usbSymbol(QPainter &p, const QColor &color)
{
    p.setPen(roundPen(color, 4));
    p.drawLine(QPointF(32, 52), QPointF(32, 15));
    QPainterPath left;
    left.moveTo(32, 42);
    left.lineTo(20, 33);
    left.lineTo(20, 26);
    QPainterPath right;
    right.moveTo(32, 36);
    right.lineTo(44, 28);
    right.lineTo(44, 22);
    p.drawPath(left);
    p.drawPath(right);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    QPainterPath head;
    head.moveTo(32, 5);
    head.lineTo(39, 17);
    head.lineTo(25, 17);
    head.closeSubpath();
    p.drawPath(head);
    p.drawEllipse(QPointF(32, 54), 6, 6);
    p.drawEllipse(QPointF(20, 23), 4.5, 4.5);
    p.drawRect(QRectF(39.5, 15, 9, 9));
}

void usb(QPainter &p)
{
    usbSymbol(p, c(col::blue));
}

// The Wi-Fi fan: a dot and three arcs; `lit` of the arcs in `on`, the rest in `off`.
void wifiFan(QPainter &p, int lit, const QColor &on, const QColor &off)
{
    const QPointF origin(32, 50);
    p.setPen(Qt::NoPen);
    p.setBrush(lit > 0 ? on : off);
    p.drawEllipse(origin, 5.5, 5.5);
    for (int i = 1; i <= 3; ++i) {
        const qreal r = 4 + 11.5 * i;
        QPen pen(i <= lit ? on : off, 6.5);
        pen.setCapStyle(Qt::RoundCap);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(origin.x() - r, origin.y() - r, 2 * r, 2 * r), 45 * 16, 90 * 16);
    }
}

void wifi(QPainter &p)
{
    wifiFan(p, 3, c(col::blue), c(col::blue));
}

void wifiLevel(QPainter &p, int level)
{
    const QColor on = level <= 1 ? c(col::amber) : c(col::green);
    wifiFan(p, level, on, c(col::greyLight));
    if (level == 0) {
        // Struck through: no usable signal. Clear a gap first so the stroke stands apart.
        p.save();
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        p.setPen(roundPen(Qt::black, 12));
        p.drawLine(QPointF(14, 12), QPointF(52, 56));
        p.restore();
        p.setPen(roundPen(c(col::red), 5.5));
        p.drawLine(QPointF(14, 12), QPointF(52, 56));
    }
}

void logoUsb(QPainter &p)
{
    // A plugged-in USB connector: the key is on the cable.
    p.setPen(roundPen(c(col::ink), 5));
    QPainterPath cable;
    cable.moveTo(32, 44);
    cable.cubicTo(32, 54, 20, 52, 20, 60);
    p.drawPath(cable);
    p.setPen(Qt::NoPen);
    p.setBrush(c(col::greyLight));
    p.drawRoundedRect(QRectF(21, 5, 22, 19), 2, 2);
    p.setBrush(c(col::inkSoft));
    p.drawRect(QRectF(25.5, 10, 4.5, 4));
    p.drawRect(QRectF(34, 10, 4.5, 4));
    p.setBrush(c(col::blue));
    p.drawRoundedRect(QRectF(17, 22, 30, 24), 5, 5);
    // The USB mark on the plug body.
    p.save();
    p.translate(32, 34);
    p.scale(0.28, 0.28);
    p.translate(-32, -30);
    usbSymbol(p, c(col::white));
    p.restore();
    // Connected: a green dot.
    p.setBrush(c(col::white));
    p.drawEllipse(QPointF(51, 48), 9, 9);
    p.setBrush(c(col::green));
    p.drawEllipse(QPointF(51, 48), 6.5, 6.5);
}

void logoWifi(QPainter &p)
{
    // A mast sending on both sides: the key reached over the network.
    const QPointF top(32, 22);
    p.setPen(roundPen(c(col::ink), 4.5));
    p.drawLine(top, QPointF(32, 58));
    p.drawLine(QPointF(22, 58), QPointF(42, 58));
    p.setPen(Qt::NoPen);
    p.setBrush(c(col::blue));
    p.drawEllipse(top, 5.5, 5.5);
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i <= 2; ++i) {
        const qreal r = 6 + 8.5 * i;
        const QRectF box(top.x() - r, top.y() - r, 2 * r, 2 * r);
        p.setPen(roundPen(c(col::blue), 4.5));
        p.drawArc(box, -40 * 16, 80 * 16);
        p.drawArc(box, 140 * 16, 80 * 16);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(c(col::white));
    p.drawEllipse(QPointF(51, 48), 9, 9);
    p.setBrush(c(col::green));
    p.drawEllipse(QPointF(51, 48), 6.5, 6.5);
}

void nothing(QPainter &p)
{
    // An empty slot, faint enough not to draw the eye.
    QPen pen(c(col::greyLight), 3.5);
    pen.setCapStyle(Qt::RoundCap);
    pen.setDashPattern({1.6, 2.6});
    p.setPen(pen);
    p.drawEllipse(QPointF(32, 32), 20, 20);
    p.setPen(roundPen(c(col::greyLight), 3.5));
    p.drawLine(QPointF(25, 32), QPointF(39, 32));
}

void battery(QPainter &p, int level)
{
    const QColor outline = level == 0 ? c(col::red) : c(col::ink);
    const QRectF body(3, 4, 52, 24);
    p.setPen(QPen(outline, 3));
    p.setBrush(c(col::white, 200));
    p.drawRoundedRect(body, 5, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(outline);
    p.drawRoundedRect(QRectF(56, 11, 5.5, 10), 2, 2);

    if (level == 0) {
        p.setBrush(c(col::red));
        p.drawPath(fittedText(QStringLiteral("!"), font(40, QFont::Bold), QRectF(20, 8.5, 18, 15)));
        return;
    }
    const QColor fill = level == 1 ? c(col::red) : level == 2 ? c(col::amber) : c(col::green);
    const qreal left = 7.5, right = 50.5, gap = 2;
    const qreal w = (right - left - 4 * gap) / 5;
    for (int i = 0; i < 5; ++i) {
        p.setBrush(i < level ? fill : c(col::greyPale));
        p.drawRoundedRect(QRectF(left + i * (w + gap), 8.5, w, 15), 1.5, 1.5);
    }
}

void keySmall(QPainter &p)
{
    // Drop-down arrow of the key list: a stocky wrench over a chevron, bold enough for 24 px.
    p.save();
    p.translate(14, 38);
    p.rotate(-40);
    torqueWrench(p, 46, c(col::ink), c(col::white), 1.9);
    p.restore();
    QPainterPath chevron;
    chevron.moveTo(30, 44);
    chevron.lineTo(42, 56);
    chevron.lineTo(54, 44);
    p.setPen(roundPen(c(col::blue), 8));
    p.drawPath(chevron);
}

} // namespace

void addLinkIcons(Catalog &catalog)
{
    catalog.add(QStringLiteral("usb.png"), 48, usb);
    catalog.add(QStringLiteral("wifi.png"), 48, wifi);
    catalog.add(QStringLiteral("logo_usb.png"), 48, logoUsb);
    catalog.add(QStringLiteral("logo_wifi.png"), 48, logoWifi);
    catalog.add(QStringLiteral("null.png"), 48, nothing);
    for (int level = 0; level <= 5; ++level)
        catalog.add(QStringLiteral("bat_lvl%1.png").arg(level), QSize(64, 32), QSizeF(64, 32),
                    [level](QPainter &p) { battery(p, level); });
    for (int level = 0; level <= 3; ++level)
        catalog.add(QStringLiteral("wifi_lvl%1.png").arg(level), 48,
                    [level](QPainter &p) { wifiLevel(p, level); });
    catalog.add(QStringLiteral("key_sm.png"), 24, keySmall);
}
