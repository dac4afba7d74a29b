#pragma once

#include <QWidget>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

// The main form: the level tabs and, under them, the controls that belong to the main form
// only (rotation, the key's warning, the key message and its buttons, report selection).
class MainFormPage : public QWidget
{
    Q_OBJECT
public:
    explicit MainFormPage(QWidget *parent = nullptr);
    void retranslateUi();

    QFrame *frLevels = nullptr;
    QTabWidget *tabLevels = nullptr;
    QFrame *frMainFormControls = nullptr; // hidden on the settings and no-key pages
    QLabel *lbRotation = nullptr;
    QFrame *frWarning = nullptr;
    QLabel *lbWarningPicture = nullptr;
    QLabel *lbWarningText = nullptr;
    QLineEdit *leKeyMessage = nullptr;
    QPushButton *pbLockKey = nullptr;
    QPushButton *pbUnlockKey = nullptr;
    QPushButton *pbSendMessage = nullptr;
    QPushButton *pbSelectReport = nullptr;
};
