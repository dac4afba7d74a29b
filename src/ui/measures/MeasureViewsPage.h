#pragma once

#include <QWidget>

class QStackedWidget;

// The first page of the main stack: the measurement views, one above the other in stMain.
class MeasureViewsPage : public QWidget
{
    Q_OBJECT
public:
    explicit MeasureViewsPage(QWidget *parent = nullptr);

    QStackedWidget *stMain = nullptr;
};
