#pragma once

class HistoryPage;
class MainWindow;

// Opens the tightening history (the --history-db address, else the history page's setting,
// else the local file), archives the mirror now and every record file the key hands over,
// makes erasing measures wait for the history, and puts the history page on the "Data Base"
// page of the settings menu. Returns the page (owned by the form).
HistoryPage *installHistory(MainWindow *window);
