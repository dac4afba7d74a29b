#pragma once

#include <functional>

class KeySession;
class LevelTree;
class MeasureMemory;
class MemoryPage;
class PopupHost;
class ReportDatabase;
class QObject;
class QWidget;
class RecordList;

struct MemoryRoom
{
    MeasureMemory *memory = nullptr; // object name "measureMemory"
    MemoryPage *page = nullptr;
};

// The measure memory and its page (made in parent, the main form's record tab), and the three
// ways measures are loaded: a record file arriving while recordTabShown says the tab is in
// view, a walk down the level tree reaching one record, and the record tab opened for a report.
MemoryRoom installMemoryPage(KeySession *session, ReportDatabase *reports, RecordList *records, LevelTree *tree, PopupHost *popups,
                             QWidget *parent, std::function<bool()> recordTabShown, QObject *owner);
