#pragma once

#include <QWidget>

class QLabel;

// The About page of the settings: what the program is, and the firmware update under it.
class AboutPage : public QWidget
{
    Q_OBJECT
public:
    explicit AboutPage(QWidget *parent = nullptr);
    void retranslateUi();

    QLabel *lbAboutText = nullptr;
};
