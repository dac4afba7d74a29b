#pragma once

#include <QWidget>

class QFrame;
class QLineEdit;

// The records page of the settings ("Viewer"): the search field and the panels the record
// editor, the records folder tools and the file tools fill.
class ViewerPage : public QWidget
{
    Q_OBJECT
public:
    explicit ViewerPage(QWidget *parent = nullptr);
    void retranslateUi();

    QLineEdit *leFind = nullptr;
    QFrame *frTextFields_2 = nullptr;
    QFrame *frNewRecord = nullptr;
    QFrame *frRangesView_2 = nullptr;
    QFrame *frMemory_2 = nullptr;
    QFrame *frEraseRecords = nullptr;
    QFrame *frFiles = nullptr; // service file tools, shown by an access code
};
