#pragma once

#include "protocol/ExchangeProgress.h"

#include <QWidget>

class FileExchange;
class QLabel;
class QProgressBar;

// A slim bar that shows how far the pending file transfers have come. The main window
// shows it while transfers are pending (attach() wires that up).
class ExchangeProgressWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ExchangeProgressWidget(QWidget *parent = nullptr);

    // Follows files: progress into the bar, busy/idle into visibility.
    void attach(FileExchange *files);

    QString summaryText() const;
    QString currentFileText() const;
    int barValue() const;
    int barMaximum() const;

public slots:
    void setProgress(const ExchangeProgress &progress);

private:
    QProgressBar *m_bar;
    QLabel *m_summary;
    QLabel *m_current;
};
