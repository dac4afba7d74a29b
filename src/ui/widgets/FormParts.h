#pragma once

class QFrame;
class QString;
class QGridLayout;
class QLabel;
class QPushButton;
class QWidget;

// The small pieces every page of the main window is built from, so the pages look alike.
namespace td::form {

QLabel *label(QWidget *parent, const char *name, int pointSize = 0);
QPushButton *button(QWidget *parent, const char *name, int minHeight = 56);
// A styled panel with a vertical layout: the unit the access codes enable and disable.
QFrame *panel(QWidget *parent, const char *name);
// Names a settings page and gives it its grid (named name + "_layout").
QGridLayout *settingsGrid(QWidget *page, const char *name);
// The main window's texts keep one translation context whichever page builds them; mark
// them with QT_TRANSLATE_NOOP("MainWindowForm", ...).
QString text(const char *source);

} // namespace td::form
