#pragma once

class LevelTree;
class MainWindow;
class RecordEditorPage;
class ReportActions;

// Puts the report buttons into the main form's control bar, next to the report-selection
// button, connects them to the window's popups and status line and the session's template
// lists, and keeps the read-out's names for the reports. Returns the actions (object name
// "reportActions"), owned by the window.
ReportActions *installReports(MainWindow *window);

// The workbook is made of the record the person is looking at: on the Viewer page the record
// being edited, elsewhere the records the main form's record tab shows (none while that tab
// is closed).
void offerReportRecords(ReportActions *actions, MainWindow *window, RecordEditorPage *editor, LevelTree *tree);
