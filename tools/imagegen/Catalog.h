#pragma once

#include <QImage>
#include <QPainter>
#include <QSize>
#include <QString>
#include <QVector>

#include <functional>

// Every picture the program loads, with its size and how to draw it. Draw functions work in
// a fixed design box (usually 64 × 64 units) and are scaled to the output size, so a picture
// can change size without being redrawn.
enum class Place
{
    Resource,   // compiled into the program under :resource/images/
    DataRootPng // a file in the data root's png/ folder
};

struct Picture
{
    QString name;
    QSize size;
    QSizeF design;
    std::function<void(QPainter &)> draw;
    Place place = Place::Resource;
};

struct Animation
{
    QString name;
    QSize size;
    QSizeF design;
    int frames = 1;
    int delayCs = 8;
    // phase runs from 0 up to (but not including) 1 over one loop.
    std::function<void(QPainter &, qreal phase)> draw;
};

struct Catalog
{
    QVector<Picture> pictures;
    QVector<Animation> animations;

    void add(const QString &name, QSize size, QSizeF design, std::function<void(QPainter &)> draw,
             Place place = Place::Resource)
    {
        pictures.append(Picture{name, size, design, std::move(draw), place});
    }
    void add(const QString &name, int side, std::function<void(QPainter &)> draw)
    {
        add(name, QSize(side, side), QSizeF(64, 64), std::move(draw));
    }
};

void addMenuIcons(Catalog &catalog);     // left menu of the settings page
void addLinkIcons(Catalog &catalog);     // connection status, battery and Wi-Fi levels
void addKeyStateIcons(Catalog &catalog); // rotation, key warnings, message panel, level tabs
void addFirmwareIcons(Catalog &catalog); // firmware page status
void addPictures(Catalog &catalog);      // logo, search picture, popup pictures
void addAnimations(Catalog &catalog);    // busy animations

Catalog buildCatalog();

QImage render(const Picture &picture);
QVector<QImage> render(const Animation &animation);
