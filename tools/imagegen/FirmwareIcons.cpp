// Status of the firmware page: one round badge per outcome, colour and glyph both telling it.

#include "Catalog.h"
#include "Draw.h"

using namespace draw;

namespace {

const QPointF kCenter(32, 32);
constexpr qreal kRadius = 29;

void download(QPainter &p)
{
    badge(p, kCenter, kRadius, c(col::blue));
    p.setPen(roundPen(c(col::white), 5.5));
    p.drawLine(QPointF(32, 14), QPointF(32, 36));
    QPainterPath head;
    head.moveTo(22, 28);
    head.lineTo(32, 38);
    head.lineTo(42, 28);
    p.drawPath(head);
    QPainterPath tray;
    tray.moveTo(18, 39);
    tray.lineTo(18, 46);
    tray.lineTo(46, 46);
    tray.lineTo(46, 39);
    p.setPen(roundPen(c(col::white), 4.5));
    p.drawPath(tray);
}

void ok(QPainter &p)
{
    badge(p, kCenter, kRadius, c(col::green));
    checkMark(p, QRectF(18, 21, 28, 22), c(col::white), 6.5);
}

void bad(QPainter &p)
{
    badge(p, kCenter, kRadius, c(col::red));
    crossMark(p, QRectF(21, 21, 22, 22), c(col::white), 6.5);
}

void notFound(QPainter &p)
{
    badge(p, kCenter, kRadius, c(col::amber));
    p.setPen(QPen(c(col::white), 5));
    p.drawEllipse(QPointF(28.5, 28.5), 10, 10);
    p.setPen(roundPen(c(col::white), 7));
    p.drawLine(QPointF(36.5, 36.5), QPointF(45, 45));
    crossMark(p, QRectF(25, 25, 7, 7), c(col::white), 3.2);
}

void noConnect(QPainter &p)
{
    badge(p, kCenter, kRadius, c(col::slate));
    p.save();
    p.translate(32, 32);
    p.rotate(-45);
    p.setPen(Qt::NoPen);
    p.setBrush(c(col::white));
    // Plug with two pins on the left, socket on the right, pulled apart.
    p.drawRoundedRect(QRectF(-22, -8, 12, 16), 3, 3);
    p.drawRect(QRectF(-10, -5.5, 5, 3));
    p.drawRect(QRectF(-10, 2.5, 5, 3));
    p.drawRoundedRect(QRectF(6, -8, 14, 16), 3, 3);
    p.setPen(roundPen(c(col::white), 3.5));
    p.drawLine(QPointF(-28, 0), QPointF(-22, 0));
    p.drawLine(QPointF(20, 0), QPointF(27, 0));
    p.restore();
    // Sparks across the gap.
    p.setPen(roundPen(c(col::white), 2.6));
    p.drawLine(QPointF(22, 22), QPointF(26.5, 26.5));
    p.drawLine(QPointF(37.5, 37.5), QPointF(42, 42));
}

void keyFound(QPainter &p)
{
    badge(p, kCenter, kRadius, c(col::teal));
    p.save();
    p.translate(17, 41);
    p.rotate(-40);
    torqueWrench(p, 36, c(col::white), c(col::teal), 1.7);
    p.restore();
    p.setPen(Qt::NoPen);
    p.setBrush(c(col::white));
    p.drawEllipse(QPointF(48, 48), 13, 13);
    badge(p, QPointF(48, 48), 10.5, c(col::green));
    checkMark(p, QRectF(42.5, 44, 11, 8.5), c(col::white), 3);
}

} // namespace

void addFirmwareIcons(Catalog &catalog)
{
    catalog.add(QStringLiteral("fw_download.png"), 64, download);
    catalog.add(QStringLiteral("fw_ok.png"), 64, ok);
    catalog.add(QStringLiteral("fw_bad.png"), 64, bad);
    catalog.add(QStringLiteral("fw_nofound.png"), 64, notFound);
    catalog.add(QStringLiteral("fw_noconnect.png"), 64, noConnect);
    catalog.add(QStringLiteral("key_found.png"), 64, keyFound);
}
