#pragma once

#include <QString>

class QLabel;
class QWidget;

// Shared make-up of the message, question and wait windows.
namespace td::popup {

constexpr int textFitMargin = 20;
constexpr int baseTextPoints = 16;

// Frameless application-modal window titled "Form", as all popups are.
void makePopupWindow(QWidget *popup);
// Puts the picture file on the label, or hides the label and logs when the file is unusable.
void loadPicture(QLabel *label, const QString &file);
// Starts from the base size each time so a refill is not scaled from the previous text.
void fitMessage(QLabel *label);

} // namespace td::popup
