#pragma once

#include "records/LevelTreeModel.h"
#include "records/RecordItem.h"

#include <QGridLayout>
#include <QPointer>
#include <QVector>

#include <array>

class QGridLayout;
class QLabel;
class QStackedWidget;
class QPushButton;
class QScrollArea;
class QWidget;
class cButtonLevel;

// The level tree's buttons: for each of the four menu levels a pool of value buttons laid out
// in three rows, filled column by column, in a horizontally scrolling row with a scroll button
// at each end. The records and the walk down the levels are held in a LevelTreeModel.
//
// The layout shows the four level rows one under the other; a page that wants them elsewhere
// (the level tabs of the main form) takes levelPanel(k) and puts it where it likes.
//
// A button click either walks down (choose the value, show the next level, level_changed) or,
// while the level is checkable, only toggles the button (tab_visible tells whether any button
// of that level is checked).
class cRecord : public QGridLayout
{
    Q_OBJECT
public:
    static constexpr int Levels = LevelTreeModel::Levels;
    static constexpr int Rows = 3;
    static constexpr int ButtonWidth = 220;
    // Buttons share the height of their row's view among the three rows, within these bounds.
    static constexpr int ButtonHeight = 84;
    static constexpr int MaxButtonHeight = 150;
    // The operation number an automatic press through an inactive level stands for.
    static const char *const AutoText;

    // scrollStep: pixels one press of a scroll button moves its row.
    explicit cRecord(int scrollStep = 10, QWidget *parent = nullptr);
    ~cRecord() override;

    // 10, 50, 1000, 100 buttons for levels 0..3; 0 otherwise.
    static int poolSize(int level) { return LevelTreeModel::poolSize(level); }

    LevelTreeModel &model() { return m_model; }
    const LevelTreeModel &model() const { return m_model; }

    QWidget *levelPanel(int level) const;
    // Takes a level's row out of this layout so a page can place it (the page then owns it).
    QWidget *takeLevelPanel(int level);
    QScrollArea *scrollArea(int level) const;
    // True while a level has no button to show and says so instead.
    bool showsEmptyNote(int level) const;
    QPushButton *scrollButton(int level, bool right) const;
    // Buttons of a level in the order shown; the rest of the pool is hidden.
    QVector<cButtonLevel *> shownButtons(int level) const;
    int shownCount(int level) const;
    // How many buttons of the pool exist so far (they are made when first needed).
    int madeCount(int level) const;
    bool isCheckable(int level) const;
    int buttonHeight(int level) const;

    // Operations of the tree.
    void clearItems();
    void addItem(const RecordItem &item);
    // Shows the buttons of a level for the current selection (checked states are dropped).
    void rebuildLevel(int level);
    // The record the selection names, or nullptr.
    const RecordItem *findSelectedItem() const { return m_model.selectedItem(); }
    // Makes every button of a level checkable or not, unchecking all of them; later rebuilds
    // of that level keep it.
    void setLevelCheckable(int level, bool checkable);
    // Every record below the checked buttons of a level.
    QVector<RecordItem> checkedItems(int level) const;
    // Presses, for a level whose menu is off, the one value the key uses there: number 0,
    // text "0000000000". Walks down whatever the level's checkable state.
    void pressAutomatically(int level);

signals:
    void level_changed(int iLevel);
    void tab_visible(bool aVisible);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

public slots:
    void slot_iButton_clicked(cButtonLevel *aThis);
    // A scroll button moves its row's scroll bar by the scroll step.
    void iBtnScrollLevels_Click();

private:
    struct Pool
    {
        QPointer<QWidget> panel; // the page that took it may delete it first
        QStackedWidget *view = nullptr; // the buttons, or a note when the level has none
        QScrollArea *area = nullptr;
        QLabel *empty = nullptr;
        QWidget *content = nullptr;
        QGridLayout *grid = nullptr;
        QPushButton *left = nullptr;
        QPushButton *right = nullptr;
        QVector<cButtonLevel *> buttons;
        int shown = 0;
        bool checkable = false;
        int buttonHeight = ButtonHeight;
    };

    cButtonLevel *poolButton(int level, int index);
    void fitButtons(Pool &p);
    void walk(int level, quint16 number, const QString &text);

    int m_scrollStep;
    LevelTreeModel m_model;
    std::array<Pool, Levels> m_pools;
    std::array<cButtonLevel *, Levels> m_auto{};
};
