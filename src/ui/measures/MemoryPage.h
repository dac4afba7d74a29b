#pragma once

#include "records/RecordHeader.h"

#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

class MeasureMemory;
class PopupHost;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTableView;
class ReportDatabase;

// The memory page: the measures of the loaded records in one table (a view on the memory
// model), the record last read, per record how many measures are OK and NG, erasing measures
// on the key, and a barcode pair attached to the record shown.
//
// A keyboard-wedge scanner types a code and Enter: Enter in the first barcode field moves to
// the second, Enter in the second adds the pair. The fields are emptied only on success.
class MemoryPage : public QWidget
{
    Q_OBJECT
public:
    static constexpr int ButtonResetMs = 1500;

    explicit MemoryPage(MeasureMemory *memory, QWidget *parent = nullptr);

    void setPopups(PopupHost *popups) { m_popups = popups; }
    // Where scanned barcode pairs are kept; none: the button says the database is missing.
    void setReportDatabase(ReportDatabase *db) { m_reportDb = db; }
    // The record the level selection identifies now; empty when it identifies none.
    void setCurrentRecordProvider(std::function<QString()> provider) { m_currentRecord = std::move(provider); }
    // Test seam: how long the barcode button shows an outcome.
    void setButtonResetMs(int ms) { m_resetTimer.setInterval(ms); }

    QTableView *table() const { return m_table; }
    QString shownRecord() const { return m_recordName; }

public slots:
    void iBtnEraseMeasures_Click();
    void iBtnTblMemoryLevelClean_Click();
    void iBtnSQLInsert_Click();
    void slot_iTimerSQLInsert();
    // The record panel: name, counters, parameters, wheel and unit texts.
    void showRecord(const QString &name, const RecordHeader &header);
    void retranslate();

signals:
    void messageRequested(const QString &text, const QString &style);
    void statusMessage(const QString &text);

protected:
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void build();
    void refreshCounts();
    void arrangeColumns();
    void onBlockClicked(QListWidgetItem *item);
    void setButtonLook(const QString &text, const char *style);
    // One red message for the records an erase left on the key.
    void showRefusals();

    MeasureMemory *m_memory;
    QStringList m_refusals;
    bool m_cleaningOne = false;
    PopupHost *m_popups = nullptr;
    ReportDatabase *m_reportDb = nullptr;
    std::function<QString()> m_currentRecord;
    QString m_recordName;
    RecordHeader m_header;

    QLabel *m_recordTitle = nullptr;
    QLabel *m_recordDetails = nullptr;
    QLabel *m_totals = nullptr;
    QTableView *m_table = nullptr;
    QListWidget *m_blocks = nullptr;
    QPushButton *m_eraseAll = nullptr;
    QPushButton *m_eraseOne = nullptr;
    QLabel *m_barcodeTitle = nullptr;
    QLineEdit *m_barcode0 = nullptr;
    QLineEdit *m_barcode1 = nullptr;
    QPushButton *m_addBarcodes = nullptr;
    QTimer m_resetTimer;
    QTimer m_fitTimer;
    QTimer m_countsTimer;
};
