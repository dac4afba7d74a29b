#pragma once

#include "base/Timing.h"

#include <QObject>
#include <QTimer>

class QLabel;

// The short message line at the bottom of the window: each message stays until
// holdMs after the last one; a standing text (a state that lasts) shows whenever no message
// does.
class StatusLine : public QObject
{
    Q_OBJECT
public:
    explicit StatusLine(QLabel *label, int holdMs = td::timing::statusLineHold, QObject *parent = nullptr);

    QLabel *label() const { return m_label; }

public slots:
    void showMessage(const QString &text);
    void setStandingText(const QString &text);
    void slot_PrintLogger();

private:
    QLabel *m_label;
    QTimer m_timer;
    QString m_standing;
};
