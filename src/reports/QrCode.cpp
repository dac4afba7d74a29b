#include "reports/QrCode.h"

#include <qrencode.h>

int QrCode::encode(const QByteArray &data, QPainterPath *path, const QRectF &target)
{
    // Byte mode keeps any name exactly (QRcode_encodeString would change case or stop at a NUL).
    QRcode *code = QRcode_encodeData(data.size(), reinterpret_cast<const unsigned char *>(data.constData()), 0,
                                     QR_ECLEVEL_M);
    if (!code)
        return 0;
    const int width = code->width;
    // A quiet zone of four modules on each side is part of the code's size on paper.
    const int total = width + 8;
    const qreal module = qMin(target.width(), target.height()) / total;
    const QPointF origin = target.topLeft() + QPointF(4 * module, 4 * module);
    path->setFillRule(Qt::WindingFill);
    for (int y = 0; y < width; ++y) {
        const unsigned char *row = code->data + y * width;
        int x = 0;
        while (x < width) {
            if (!(row[x] & 1)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < width && (row[x] & 1))
                ++x;
            path->addRect(QRectF(origin.x() + start * module, origin.y() + y * module, (x - start) * module, module));
        }
    }
    QRcode_free(code);
    return width;
}
