#pragma once

#include <QWidget>

class QFrame;
class QGridLayout;
class QScrollArea;

// The parameters page of the settings: the panels the menu levels and the key's settings
// fill, and the service options an access code shows.
class ParametersPage : public QWidget
{
    Q_OBJECT
public:
    explicit ParametersPage(QWidget *parent = nullptr);

    // Adds w below the panels, across the page's width.
    void addFullWidthRow(QWidget *w);
    QScrollArea *scrollArea() const { return m_scroll; }

    QFrame *frMenuLevels = nullptr;
    QFrame *frKeyName = nullptr;
    QFrame *frWiFi = nullptr;
    QFrame *frSetup = nullptr;
    QFrame *frOptions = nullptr;

private:
    QScrollArea *m_scroll = nullptr;
    QGridLayout *m_grid = nullptr;
};
