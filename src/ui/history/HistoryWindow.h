#pragma once

#include <QWidget>

class HistoryPage;
class HistoryService;
class JobProgressWidget;
class QLabel;
class ReportDatabase;

// The history in a window of its own, for the quality engineer at an office PC with a large
// screen and no key: the same page as on the Data Base settings page, on the station's own
// history service, in a window that can be maximised and remembers where it was. It needs no
// key and stays open while keys come and go.
class HistoryWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HistoryWindow(HistoryService *service, ReportDatabase *reports, QWidget *parent = nullptr);

    HistoryPage *page() const { return m_page; }
    // Shows the window where it was last, raised above the others.
    void present();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void retranslate();
    void saveGeometryNow();

    HistoryPage *m_page;
    JobProgressWidget *m_progress;
    QLabel *m_message;
};
