#pragma once

class MainWindow;
class RecordEditorPage;

// Builds the record editor and the records folder operations into the Viewer page's
// containers, with the report buttons, and connects them to the window and the session.
RecordEditorPage *installRecordsPage(MainWindow *window);
