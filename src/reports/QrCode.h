#pragma once

#include <QByteArray>
#include <QPainterPath>
#include <QRectF>

// A QR code of some bytes as one filled outline: the dark modules of each row merged into
// runs and all of them in one path, so a PDF carries a few hundred bytes per code and a
// renderer leaves no seams between modules.
class QrCode
{
public:
    // Modules per side, 0 when the data cannot be encoded.
    static int encode(const QByteArray &data, QPainterPath *path, const QRectF &target);
};
