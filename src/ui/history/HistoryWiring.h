#pragma once

class HistoryPage;
class HistoryService;
class MeasureMemory;
class QWidget;

// Archives, into the station's history, the mirror now (the station's history follows the key
// session for the files that arrive later); makes erasing measures (memory, may be null) ask
// the history first; and builds the history page in parent. The frame places the page and
// shows the service's problems.
HistoryPage *installHistory(HistoryService *service, MeasureMemory *memory, QWidget *parent);
