#pragma once

#include <QWidget>

class QFrame;
class QLabel;
class QPushButton;
class QTextEdit;

// The boot and no-key screen: logo, busy animations, the boot text, the PC address list and
// the footer that asks for a key.
class LogoPage : public QWidget
{
    Q_OBJECT
public:
    explicit LogoPage(QWidget *parent = nullptr);
    void retranslateUi();

    QLabel *lbLogo = nullptr;
    QLabel *lbBusy = nullptr;        // busy animation
    QLabel *lbBusy2 = nullptr;       // second animation, hidden
    QTextEdit *teBootInfo = nullptr; // hidden text box
    QLabel *lbBootText = nullptr;
    QLabel *lbInitPicture = nullptr;
    QLabel *lbConnectText = nullptr;
    QLabel *lbKeyLost = nullptr;     // "The key was disconnected", until a key is found
    QFrame *frLogoFooter = nullptr;
    QFrame *frIpList = nullptr;
    QPushButton *pbHistory = nullptr; // the history needs no key
};
