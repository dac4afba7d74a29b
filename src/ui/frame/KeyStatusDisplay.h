#pragma once

#include "link/LinkMode.h"

#include <QObject>

class QLabel;
class QPushButton;
class QStackedWidget;
class QWidget;

// Shows the key's own status: the warning panel, the rotation picture, the battery and Wi-Fi
// level pictures and the warning line.
class KeyStatusDisplay : public QObject
{
    Q_OBJECT
public:
    struct Widgets
    {
        QWidget *warningPanel = nullptr;
        QLabel *warningPicture = nullptr;
        QLabel *warningText = nullptr;
        QLabel *rotation = nullptr;
        QLabel *battery = nullptr;
        QLabel *wifiLevel = nullptr;
        QLabel *warningLine = nullptr;
        QStackedWidget *pages = nullptr;
        QPushButton *reportSelection = nullptr;
    };

    // mode: the link in use, read when a status arrives (the Wi-Fi level means nothing over USB).
    KeyStatusDisplay(LinkModeSource mode, const Widgets &widgets, QObject *parent = nullptr);

    quint8 lastRotationShown() const { return m_lastRotation; }
    // A new connection shows the rotation again, whatever the last key showed.
    void resetRotation() { m_lastRotation = 0; }

public slots:
    void ShowKeyStatus(quint8 StateMachine, quint8 WifiBattery, quint8 WifiRSSI, quint8 MeasureRotationStatus);

private:
    void showWarning(const QString &picture, const QString &text);

    LinkModeSource m_mode;
    Widgets m_w;
    quint8 m_lastRotation = 0;
};
