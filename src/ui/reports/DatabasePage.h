#pragma once

#include <QWidget>

class QFrame;

// The report database page of the settings ("Data Base").
class DatabasePage : public QWidget
{
    Q_OBJECT
public:
    explicit DatabasePage(QWidget *parent = nullptr);

    QFrame *frDatabaseT = nullptr;
};
