#pragma once

class FileExchange;
class HistoryPage;
class HistoryService;
class MeasureMemory;
class QWidget;

// Archives, into the station's history, the mirror now and every record file the key hands
// over; makes erasing measures (memory, may be null) wait for the history; and builds the
// history page in parent. The frame places the page and shows the service's problems.
HistoryPage *installHistory(HistoryService *service, FileExchange *files, MeasureMemory *memory, QWidget *parent);
