#pragma once

#include "history/HistoryExport.h"
#include "history/HistoryMeasure.h"
#include "history/StatisticsCharts.h"

#include <QWidget>

#include <functional>

class HistoryPanes;
class HistoryService;
class HistoryTableModel;
class JobProgressWidget;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;
class ReportDatabase;
class StatisticsView;

// The tightening history: filters, the matching measures newest first, the statistics of the
// joint in view beside them, and the exports (CSV for people, DFQ for statistics software).
class HistoryPage : public QWidget
{
    Q_OBJECT
public:
    explicit HistoryPage(HistoryService *service, QWidget *parent = nullptr);

    // The save dialog; tests put their own answer in.
    using AskPath = std::function<QString(const QString &title, const QString &proposed, const QString &filter)>;
    void setSaveDialog(AskPath ask) { m_ask = std::move(ask); }
    // The window's row of long work, where an export shows its progress and outcome.
    void setProgressWidget(JobProgressWidget *progress) { m_progress = progress; }
    // Where a barcode pair finds the record it was attached to.
    void setReportDatabase(ReportDatabase *db) { m_reportDb = db; }

    // A control of the frame's beside the tabs, or in the row under the table (beside the
    // exports) while table and statistics stand side by side: either way it costs the table
    // no height.
    void addAction(QWidget *control);
    HistoryFilter currentFilter() const;
    QTableView *table() { return m_table; }
    // The connection's state in words, as the page shows it.
    QString stateText() const;
    HistoryTableModel *model() { return m_model; }
    StatisticsView *statistics() { return m_stats; }
    // The table and the statistics, side by side or as tabs as the width allows.
    HistoryPanes *panes() { return m_panes; }

public slots:
    void applyFilter();
    void resetFilter();
    // Written by a job on a thread and a connection of its own; exportFinished answers.
    void exportCsv(const QString &path);
    void exportDfq(const QString &path);
    // The history changed under the page (new measures, another database).
    void reload();

signals:
    void messageRequested(const QString &text, const QString &style);
    void statusMessage(const QString &text);
    void exportFinished(bool ok);

protected:
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    ReportDatabase *m_reportDb = nullptr;
    JobProgressWidget *m_progress = nullptr;
    void retranslate();
    void fillChoices();
    void updateStatistics();
    void showStatistics(const QString &record, bool read, const HistoryExport::Joint &joint, const QString &error,
                        const std::shared_ptr<const StatisticsCharts::Prepared> &charts);
    void updateCount(qint64 count);
    void showCount();
    void updateState();
    void startExport(bool dfq, const QString &path);
    void applySettings();
    void askAndExport(bool dfq);
    void printStatistics();
    void setUpHeader();
    void sizeColumns();
    void restoreHeader();
    void saveHeader();
    void placeCorner();
    void askGroups(const HistoryFilter &scope, const QString &record, quint64 asked);

    HistoryService *m_service;
    HistoryTableModel *m_model;
    AskPath m_ask;
    QString m_statsRecord;
    HistoryFilter m_statsFilter;
    bool m_statsStale = true;
    bool m_dirty = true;
    bool m_choicesWanted = false;
    bool m_selectFirst = false;
    quint64 m_statsAsked = 0; // the statistics question whose answer is awaited
    bool m_exporting = false;
    qint64 m_found = -3; // what the count label says: -3 nothing yet, -2 counting, -1 unreadable

    QCheckBox *m_period = nullptr;
    QDateEdit *m_since = nullptr;
    QDateEdit *m_until = nullptr;
    QList<QLabel *> m_captions;
    QComboBox *m_key = nullptr;
    QComboBox *m_operator = nullptr;
    QComboBox *m_product = nullptr;
    QComboBox *m_operation = nullptr;
    QComboBox *m_node = nullptr;
    QComboBox *m_record = nullptr;
    QComboBox *m_station = nullptr;
    QComboBox *m_verdict = nullptr;
    QLineEdit *m_barcode1 = nullptr;
    QLineEdit *m_barcode2 = nullptr;
    QPushButton *m_find = nullptr;
    QPushButton *m_reset = nullptr;
    QPushButton *m_csv = nullptr;
    QPushButton *m_dfq = nullptr;
    QLabel *m_count = nullptr;
    QLabel *m_notice = nullptr;
    QTableView *m_table = nullptr;
    StatisticsView *m_stats = nullptr;
    HistoryPanes *m_panes = nullptr;
    QWidget *m_corner = nullptr; // the frame's controls (see addAction)
    QLineEdit *m_database = nullptr;
    QLineEdit *m_stationName = nullptr;
    QDoubleSpinBox *m_cp = nullptr;
    QDoubleSpinBox *m_cpk = nullptr;
    QPushButton *m_apply = nullptr;
    QPushButton *m_settingsToggle = nullptr;
    QLabel *m_state = nullptr;
    QTimer *m_saveHeader = nullptr;
    class QHBoxLayout *m_actions = nullptr;
};
