#pragma once

class KeySession;
class PopupHost;
class QObject;
class QPushButton;
class QWidget;
class ReportActions;
class ReportButtons;

// The report actions on the key session's template lists, keeping the read-out's names for
// the reports, and their buttons made for the main form's control bar (controls); the frame
// places the buttons. The actions carry the object name "reportActions".
struct ReportsRoom
{
    ReportActions *actions = nullptr;
    ReportButtons *buttons = nullptr;
};

ReportsRoom installReports(KeySession *session, PopupHost *popups, QWidget *controls, QObject *owner);
