#pragma once

#include "records/RecordItem.h"

#include <QObject>
#include <QString>
#include <QVector>

class KeyProtocol;
class MenuLevels;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableWidget;
class RecordList;
class cRecord;

// The level tree of the main form: tabs 0..3 of tabLevels show the buttons of the four menu
// levels, tab 4 the record chosen by walking down or the records gathered by a multi-selection.
//
// Walking down: a button on tab k chooses its value and opens tab k+1; a level whose menu is
// off on the key is passed through by an automatic press of the one value the key uses there.
// The last level names one record, which is made the key's current record
// (FE_PageCurrent_Write). With the report-selection toggle on, buttons only toggle, and tab 4
// collects every record under the checked buttons of the level shown.
//
// Tab k+1 is open only after a value was chosen on tab k; going back to an earlier tab closes
// every later one.
class LevelTree : public QObject
{
    Q_OBJECT
public:
    static constexpr int RecordTab = 4;

    // tabLevels must have five tabs with a layout each. protocol and selectToggle may be null
    // (no key link; no multi-select).
    LevelTree(QTabWidget *tabLevels, MenuLevels *levels, RecordList *records, KeyProtocol *protocol,
              QPushButton *selectToggle, QObject *parent = nullptr, int scrollStep = 10);
    ~LevelTree() override;

    cRecord *record() const { return m_record; }
    QTableWidget *selectedView() const { return m_view; }
    bool isMultiSelect() const { return m_multi; }
    // What tab 4 shows now.
    const QVector<RecordItem> &shownRecords() const { return m_shown; }
    // The tab the main form opens on: the first active level, or the record tab when every
    // level is off (then the whole walk is automatic).
    int firstActiveTab() const;

public slots:
    // The user picked tab a on the tab bar (tabBarClicked).
    void tabLevels_Changed(int a);
    // A value was chosen on level k (cRecord::level_changed).
    void iRecordsLevel_Changed(int k);
    // The report-selection toggle changed.
    void setMultiSelect(bool on);
    // The record list was read again: start the walk over on tab 0, or keep tab 4 current
    // while it still has something to show.
    void onRecordsRebuilt();
    // Only the template texts changed: show them without losing the walk.
    void onTextsChanged();
    // Level names and on/off flags are current (after level 3 was read).
    void applyCaptions();
    // Back to tab 0 with nothing chosen (a new key, the main form shown again).
    void resetWalk();

signals:
    // Tab 4 was opened by the user: the records it shows go to the report.
    void reportRequested(const QVector<RecordItem> &items);
    // The walk reached a record and the key was told to show it.
    void recordSelected(const QString &name);
    // Tab texts and icons were set from the menu levels.
    void captionsApplied();

private slots:
    void onTabVisible(bool visible);

private:
    void setTab(int tab);
    void disableAfter(int tab);
    void showRecords(const QVector<RecordItem> &items);
    void fitListHeight();
    void setToggleLook();
    QString levelCaption(int level) const;
    void reloadItems();

    QTabWidget *m_tabs;
    MenuLevels *m_levels;
    RecordList *m_records;
    KeyProtocol *m_protocol;
    QPushButton *m_toggle;
    cRecord *m_record = nullptr;
    QLabel *m_viewTitle = nullptr;
    QTableWidget *m_view = nullptr;
    QVector<RecordItem> m_shown;
    bool m_multi = false;
    bool m_reportShown = false; // tab 4 was opened from a multi-selection
    int m_reportLevel = 0;      // the level whose checked buttons tab 4 shows
};
