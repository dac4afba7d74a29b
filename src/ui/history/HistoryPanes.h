#pragma once

#include <QWidget>

#include <functional>

class QSplitter;
class QTabWidget;

// The history table and the statistics of the joint in view. Where the page is wide enough for
// both (a large screen) they stand side by side, split by a handle; on a narrower one each would
// be too cramped to read, so they become two tabs, a click or Ctrl+Tab apart. Where the handle
// was left and which tab was open are remembered in the history's settings.
class HistoryPanes : public QWidget
{
    Q_OBJECT
public:
    // widths() answers what the two need side by side: the table's leading columns and the
    // statistics with their charts beside the figures. It is asked at each resize, so hiding or
    // widening columns counts.
    using Widths = std::function<QPair<int, int>()>;
    HistoryPanes(QWidget *table, QWidget *statistics, Widths widths, QWidget *parent = nullptr);

    bool sideBySide() const { return m_sideBySide; }
    QTabWidget *tabs() const { return m_tabs; }
    QSplitter *splitter() const { return m_split; }

signals:
    void arrangementChanged(bool sideBySide);

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void arrange(bool sideBySide);
    void retranslate();

    QWidget *m_table;
    QWidget *m_statistics;
    Widths m_widths;
    QSplitter *m_split;
    QTabWidget *m_tabs;
    bool m_sideBySide = false;
    bool m_arranging = false;
};
