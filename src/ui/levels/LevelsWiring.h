#pragma once

class LevelTree;
class MainWindow;

// Builds the menu levels into the Parameters page and the level tree of the main form, and
// keeps the record list's texts and the template tabs' names in step with the key's levels.
LevelTree *installLevels(MainWindow *window);
