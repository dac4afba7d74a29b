#pragma once

#include "base/Log.h"

#include <QComboBox>
#include <QFont>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

// Looks shared by the key settings and calibration pages: large touch targets.
namespace td::settingsui {

// padding: the room left and right of the caption; a button in a narrow column takes less.
inline QString applyStyle(int padding = 18)
{
    return QStringLiteral("QPushButton {background-color: rgb(90, 140, 200); color: rgb(255, 255, 255);"
                          " border-radius: 6px; padding: 0 %1px;}"
                          " QPushButton:pressed {background-color: rgb(70, 110, 170);}"
                          " QPushButton:disabled {background-color: rgb(190, 190, 190); color: rgb(235, 235, 235);}")
        .arg(padding);
}

inline void setPoints(QWidget *w, int points, bool bold = false)
{
    QFont f = w->font();
    f.setPointSize(points);
    f.setBold(bold);
    w->setFont(f);
}

// The white value fields that open the keypad.
inline const char *fieldStyle()
{
    return "QPushButton {background-color: rgb(250, 250, 250); color: rgb(0, 0, 0); border-width: 2px; border-radius: 5px; }"
           "             QPushButton:pressed {background-color: rgb(220, 220, 220);}"
           "       QPushButton:disabled {background-color: rgb(140, 140, 140); color: rgb(170, 170, 170);}";
}

// A container the main form made, found by its object name; a missing one is logged under who.
inline QFrame *namedFrame(QWidget *page, const char *name, const char *who)
{
    auto *f = page ? page->findChild<QFrame *>(QLatin1String(name)) : nullptr;
    if (!f)
        td::log(QStringLiteral("%1: container %2 not found").arg(QLatin1String(who), QLatin1String(name)));
    return f;
}

// The frame's own layout when the form gave it one, else a new vertical one.
inline QVBoxLayout *contentLayout(QFrame *frame)
{
    if (auto *v = qobject_cast<QVBoxLayout *>(frame->layout()))
        return v;
    if (frame->layout()) {
        auto *inner = new QVBoxLayout;
        frame->layout()->addItem(inner);
        return inner;
    }
    return new QVBoxLayout(frame);
}

inline QComboBox *makeCombo(QWidget *parent, const char *name)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(QLatin1String(name));
    c->setMinimumHeight(40);
    setPoints(c, 11);
    return c;
}

inline QLineEdit *makeEdit(QWidget *parent, const char *name)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    e->setMinimumHeight(38);
    setPoints(e, 11);
    return e;
}

inline QLabel *makeLabel(QWidget *parent, const char *name, int points = 11, bool bold = false)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    setPoints(l, points, bold);
    return l;
}

inline QPushButton *makeApplyButton(QWidget *parent, const char *name, int minimumHeight = 48, int padding = 18)
{
    auto *b = new QPushButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setMinimumHeight(minimumHeight);
    b->setStyleSheet(applyStyle(padding));
    setPoints(b, 12);
    return b;
}

// A group's heading with its Apply button at the far end of the same row: the button's height
// is spent once, where the heading is anyway.
inline QHBoxLayout *headingRow(QLabel *heading, QPushButton *apply)
{
    auto *row = new QHBoxLayout;
    row->addWidget(heading, 1);
    row->addWidget(apply);
    return row;
}

// A caption above its field in cell (row, column) of a grid of such pairs. The caption wraps
// rather than widening its column, and pairs after the first row keep a gap above them.
inline void placeCaptioned(QGridLayout *grid, QLabel *caption, QWidget *field, QLayout *fieldLayout, int row,
                           int column)
{
    caption->setWordWrap(true);
    grid->addWidget(caption, 2 * row, column, Qt::AlignBottom);
    if (row > 0)
        grid->setRowMinimumHeight(2 * row, caption->fontMetrics().height() + 8);
    if (field)
        grid->addWidget(field, 2 * row + 1, column);
    else
        grid->addLayout(fieldLayout, 2 * row + 1, column, Qt::AlignLeft);
}

inline void placeCaptioned(QGridLayout *grid, QLabel *caption, QWidget *field, int row, int column)
{
    placeCaptioned(grid, caption, field, nullptr, row, column);
}

inline void placeCaptioned(QGridLayout *grid, QLabel *caption, QLayout *field, int row, int column)
{
    placeCaptioned(grid, caption, nullptr, field, row, column);
}

} // namespace td::settingsui
