#pragma once

#include <QString>

class QGridLayout;
class QLabel;
class QVBoxLayout;
class QWidget;

// Shared make-up of the message, question and wait windows.
namespace td::popup {

constexpr int textFitMargin = 20;
constexpr int baseTextPoints = 16;

// Frameless application-modal window titled "Form", as all popups are.
void makePopupWindow(QWidget *popup);
// Puts the picture file on the label, or hides the label and logs when the file is unusable.
void loadPicture(QLabel *label, const QString &file);
// What the picture popups are built on: the outer grid, the column their texts stand in (not
// yet placed in the grid) and the picture label.
struct Frame
{
    QGridLayout *grid = nullptr;
    QVBoxLayout *info = nullptr;
    QLabel *picture = nullptr;
};
// Makes popup a fixed-size popup window of that object name and gives it the frame's parts.
Frame makeFrame(QWidget *popup, const QString &objectName, int width, int height);
// The message label; it is fitted to its space, so it must not push the layout around.
QLabel *makeMessageLabel(QWidget *popup);
// Starts from the base size each time so a refill is not scaled from the previous text.
void fitMessage(QLabel *label);

} // namespace td::popup
