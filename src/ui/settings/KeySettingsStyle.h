#pragma once

#include <QFont>
#include <QWidget>

// Looks shared by the key settings and calibration pages: large touch targets.
namespace td::settingsui {

inline const char *applyStyle()
{
    return "QPushButton {background-color: rgb(90, 140, 200); color: rgb(255, 255, 255); border-radius: 6px;"
           " padding: 0 18px;} QPushButton:pressed {background-color: rgb(70, 110, 170);}"
           " QPushButton:disabled {background-color: rgb(190, 190, 190); color: rgb(235, 235, 235);}";
}

inline void setPoints(QWidget *w, int points, bool bold = false)
{
    QFont f = w->font();
    f.setPointSize(points);
    f.setBold(bold);
    w->setFont(f);
}

} // namespace td::settingsui
