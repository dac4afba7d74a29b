#pragma once

class MainWindow;
class RecordEditorPage;
class ReportActions;

// Puts the report buttons into the main form's control bar, next to the report-selection
// button, connects them to the window's popups, the session's template lists and the record
// editor, and keeps the read-out's names for the reports. Returns the actions (object name
// "reportActions"), owned by the window.
ReportActions *installReports(MainWindow *window, RecordEditorPage *editor);
