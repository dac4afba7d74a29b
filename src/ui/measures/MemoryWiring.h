#pragma once

class LevelTree;
class MainWindow;
class MeasureMemory;
class MemoryPage;

// Puts the memory page on the main form's record tab and connects the three ways measures are
// loaded: a record file arriving while that tab is shown, a walk down the level tree reaching
// one record, and the record tab opened for a report. Returns the page (owned by the form).
MemoryPage *installMemoryPage(MainWindow *window, LevelTree *tree);
