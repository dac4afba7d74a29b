#include "Catalog.h"

#include "Draw.h"

Catalog buildCatalog()
{
    Catalog catalog;
    addMenuIcons(catalog);
    addLinkIcons(catalog);
    addKeyStateIcons(catalog);
    addFirmwareIcons(catalog);
    addPictures(catalog);
    addAnimations(catalog);
    return catalog;
}

namespace {

void begin(QPainter &p, QImage &image, QSizeF design)
{
    p.begin(&image);
    draw::prepare(p);
    p.scale(image.width() / design.width(), image.height() / design.height());
}

} // namespace

QImage render(const Picture &picture)
{
    QImage image(picture.size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p;
    begin(p, image, picture.design);
    picture.draw(p);
    p.end();
    return image;
}

QVector<QImage> render(const Animation &animation)
{
    QVector<QImage> frames;
    for (int i = 0; i < animation.frames; ++i) {
        QImage image(animation.size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter p;
        begin(p, image, animation.design);
        animation.draw(p, qreal(i) / animation.frames);
        p.end();
        frames.append(image);
    }
    return frames;
}
