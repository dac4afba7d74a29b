#include "ui/widgets/TextFit.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace td {

namespace {
constexpr int heightMargin = 10;

void applyFitted(QWidget *widget, const QString &text, int margin)
{
    if (!widget)
        return;
    const QFont fitted = fittedFont(widget->font(), text, widget->size(), margin);
    if (fitted != widget->font())
        widget->setFont(fitted);
}
} // namespace

QFont fittedFont(const QFont &font, const QString &text, const QSize &box, int margin)
{
    const int width = box.width();
    const int height = box.height();
    const qreal roomW = width - margin;
    const qreal roomH = height - heightMargin;
    // Blank text would grow its spaces to fill the box.
    if (text.trimmed().isEmpty() || roomW <= 0 || roomH <= 0)
        return font;

    const QFontMetricsF metrics(font);
    const QRectF bound =
        metrics.boundingRect(QRectF(0, 0, width - 1, height - 1), Qt::TextWordWrap, text);
    if (bound.width() <= 0 || bound.height() <= 0)
        return font;

    const qreal scale = std::min(roomW / bound.width(), roomH / bound.height());
    if (!std::isfinite(scale) || scale <= 0)
        return font;

    QFont result(font);
    const qreal points = font.pointSizeF();
    if (points > 0) {
        result.setPointSizeF(std::clamp(points * scale, minFittedPointSize, maxFittedPointSize));
    } else if (font.pixelSize() > 0) {
        // Fonts given in pixels have no point size; scale the pixels instead.
        const int pixels = static_cast<int>(std::lround(font.pixelSize() * scale));
        result.setPixelSize(std::clamp(pixels, 1, 192));
    }
    return result;
}

void fitText(QPushButton *button, int margin)
{
    if (button)
        applyFitted(button, button->text(), margin);
}

void fitText(QLineEdit *edit, int margin)
{
    if (edit)
        applyFitted(edit, edit->text(), margin);
}

void fitText(QLabel *label, int margin)
{
    if (label)
        applyFitted(label, label->text(), margin);
}

} // namespace td
