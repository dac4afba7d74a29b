#pragma once

#include "ui/records/RecordEditorPage.h"

class KeySession;
class PopupHost;
class QWidget;
class RecordList;
class RecordsFolderPanel;

// The Viewer page's two parts: the record editor on its containers and the records folder
// operations in eraseHost.
struct RecordsRoom
{
    RecordEditorPage *editor = nullptr;
    RecordsFolderPanel *folder = nullptr;
};

RecordsRoom installRecordsPage(const RecordEditorPage::Widgets &widgets, QWidget *eraseHost, KeySession *session,
                               RecordList *records, PopupHost *popups, QObject *owner);
