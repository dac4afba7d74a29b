#pragma once

#include <QWidget>

class QFrame;

// The parameters page of the settings: the panels the menu levels and the key's settings
// fill, and the service options an access code shows.
class ParametersPage : public QWidget
{
    Q_OBJECT
public:
    explicit ParametersPage(QWidget *parent = nullptr);

    QFrame *frMenuLevels = nullptr;
    QFrame *frKeyName = nullptr;
    QFrame *frWiFi = nullptr;
    QFrame *frSetup = nullptr;
    QFrame *frOptions = nullptr;
};
