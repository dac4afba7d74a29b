#pragma once

class KeySession;
class LevelTree;
class MenuLevelsPage;
class QObject;
class QPushButton;
class QTabWidget;
class QWidget;
class RecordList;

// The main form's and the Parameters page's widgets the levels fill.
struct LevelsWidgets
{
    QWidget *menuLevelsHost = nullptr;   // the menu levels' editor goes in its layout
    QTabWidget *levelTabs = nullptr;     // the level tree of the main form
    QPushButton *selectReport = nullptr; // the report-selection button beside it
    QTabWidget *templateTabs = nullptr;  // their names follow the levels they fill
};

struct LevelsRoom
{
    MenuLevelsPage *menu = nullptr;
    LevelTree *tree = nullptr;
};

// Builds the menu levels' editor and the level tree, and keeps the record list's texts and
// the template tabs' names in step with the key's levels.
LevelsRoom installLevels(const LevelsWidgets &widgets, KeySession *session, RecordList *records, QObject *owner);
