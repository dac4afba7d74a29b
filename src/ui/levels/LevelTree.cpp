#include "ui/levels/LevelTree.h"

#include "base/Log.h"
#include "protocol/KeyProtocol.h"
#include "records/MenuLevels.h"
#include "records/RecordList.h"
#include "ui/levels/cRecord.h"

#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const char *kToggleGreen =
    "QPushButton {background-color: rgb(100, 180, 100); color: rgb(255, 255, 255); border-width: 2px; "
    "border-radius: 5px; }             QPushButton:pressed {background-color: rgb(150, 200, 150);}";
const char *kToggleRed =
    "QPushButton {background-color: rgb(210, 90, 90); color: rgb(255, 255, 255); border-width: 2px; "
    "border-radius: 5px; }             QPushButton:pressed {background-color: rgb(230, 150, 150);}";

} // namespace

LevelTree::LevelTree(QTabWidget *tabLevels, MenuLevels *levels, RecordList *records,
                     KeyProtocol *protocol, QPushButton *selectToggle, QObject *parent, int scrollStep)
    : QObject(parent)
    , m_tabs(tabLevels)
    , m_levels(levels)
    , m_records(records)
    , m_protocol(protocol)
    , m_toggle(selectToggle)
{
    m_record = new cRecord(scrollStep);
    for (int level = 0; level < cRecord::Levels; ++level) {
        QWidget *page = m_tabs->widget(level);
        QWidget *panel = m_record->takeLevelPanel(level);
        if (!page->layout())
            new QGridLayout(page);
        page->layout()->setContentsMargins(4, 6, 4, 4);
        page->layout()->addWidget(panel);
    }

    QWidget *recordPage = m_tabs->widget(RecordTab);
    if (!recordPage->layout())
        new QGridLayout(recordPage);
    m_viewTitle = new QLabel(recordPage);
    m_viewTitle->setObjectName(QStringLiteral("lbSelectedRecords"));
    QFont titleFont = m_viewTitle->font();
    titleFont.setPointSize(12);
    titleFont.setBold(true);
    m_viewTitle->setFont(titleFont);
    m_view = new QTableWidget(recordPage);
    m_view->setObjectName(QStringLiteral("twSelectedRecords"));
    m_view->setColumnCount(6);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setSelectionMode(QAbstractItemView::NoSelection);
    m_view->setFocusPolicy(Qt::NoFocus);
    m_view->setTextElideMode(Qt::ElideMiddle);
    m_view->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_view->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_view->horizontalHeader()->setSectionResizeMode(5, QHeaderView::ResizeToContents);
    QFont viewFont = m_view->font();
    viewFont.setPointSize(11);
    m_view->setFont(viewFont);
    m_view->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_view->verticalScrollBar()->setStyleSheet(
        QStringLiteral("QScrollBar:vertical {width: 32px;}"));
    for (auto rowsChanged : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(m_view->model(), rowsChanged, this, &LevelTree::fitListHeight);
    fitListHeight();
    auto *grid = static_cast<QGridLayout *>(recordPage->layout());
    grid->addWidget(m_viewTitle, 0, 0);
    grid->addWidget(m_view, 1, 0);
    grid->setRowStretch(1, 1);

    // Switching tabs is the tree's business: the keyboard must not skip the walk.
    m_tabs->setFocusPolicy(Qt::NoFocus);
    m_tabs->tabBar()->setFocusPolicy(Qt::NoFocus);
    m_tabs->setIconSize(QSize(24, 24));
    QFont tabFont = m_tabs->tabBar()->font();
    tabFont.setPointSize(12);
    m_tabs->tabBar()->setFont(tabFont);
    m_tabs->tabBar()->setExpanding(true);
    m_tabs->tabBar()->setElideMode(Qt::ElideRight);
    m_tabs->setStyleSheet(QStringLiteral("QTabBar::tab {min-height: 44px; padding: 0 10px;}"));

    connect(m_tabs, &QTabWidget::tabBarClicked, this, &LevelTree::tabLevels_Changed);
    connect(m_record, &cRecord::level_changed, this, &LevelTree::iRecordsLevel_Changed);
    connect(m_record, &cRecord::tab_visible, this, &LevelTree::onTabVisible);
    if (m_records) {
        connect(m_records, &RecordList::rebuilt, this, &LevelTree::onRecordsRebuilt);
        connect(m_records, &RecordList::textsChanged, this, &LevelTree::onTextsChanged);
    }
    if (m_toggle)
        connect(m_toggle, &QPushButton::toggled, this, &LevelTree::setMultiSelect);

    showRecords({});
    resetWalk();
}

LevelTree::~LevelTree()
{
    delete m_record;
}

int LevelTree::firstActiveTab() const
{
    const int first = m_levels ? m_levels->firstActive() : 0;
    return first < 0 ? RecordTab : first;
}

QString LevelTree::levelCaption(int level) const
{
    const QString caption = m_levels ? m_levels->caption(level) : QString();
    // A key that names no level still needs a readable tab.
    if (caption.trimmed().isEmpty())
        return tr("Level %1").arg(level + 1);
    return caption;
}

void LevelTree::setTab(int tab)
{
    m_tabs->setCurrentIndex(tab);
}

void LevelTree::disableAfter(int tab)
{
    for (int t = tab + 1; t <= RecordTab; ++t)
        m_tabs->setTabEnabled(t, false);
}

void LevelTree::reloadItems()
{
    const LevelTreeModel::Selection kept = m_record->model().selection();
    m_record->clearItems();
    if (m_records) {
        for (const RecordItem &item : m_records->items())
            m_record->addItem(item);
    }
    LevelTreeModel &model = m_record->model();
    if (kept.fio >= 0)
        model.choose(0, quint16(kept.fio), QString());
    if (kept.wheel >= 0)
        model.choose(1, quint16(kept.wheel), QString());
    if (kept.operation)
        model.choose(2, 0, *kept.operation);
    if (kept.uzel >= 0)
        model.choose(3, quint16(kept.uzel), QString());
}

void LevelTree::resetWalk()
{
    m_record->model().clearSelection();
    m_reportShown = false;
    const bool firstOn = m_levels ? m_levels->isActive(0) : true;
    // Disabled before the switch: a disabled current tab would make the tab bar jump.
    for (int t = 0; t <= RecordTab; ++t)
        m_tabs->setTabEnabled(t, t == 0 && firstOn);
    setTab(0);
    m_record->rebuildLevel(0);
    showRecords({});
    if (m_toggle)
        m_toggle->show();
    td::log(QStringLiteral("ui->tabLevels->currentIndex()=%1").arg(m_tabs->currentIndex()));
    td::log(QStringLiteral("iGlobalData->iSwMenuLevels[ui->tabLevels->currentIndex()]=%1").arg(firstOn ? 1 : 0));
    if (!firstOn) {
        td::log(QStringLiteral("Auto press button 1 LVL=0"));
        m_record->pressAutomatically(0);
    }
}

void LevelTree::onRecordsRebuilt()
{
    reloadItems();
    const int current = m_tabs->currentIndex();
    if (current == RecordTab) {
        // Tab 4 stays while what it shows still exists.
        if (m_reportShown) {
            showRecords(m_record->checkedItems(m_reportLevel));
            return;
        }
        if (const RecordItem *item = m_record->findSelectedItem()) {
            showRecords({*item});
            return;
        }
    }
    resetWalk();
}

void LevelTree::onTextsChanged()
{
    reloadItems();
    const int current = m_tabs->currentIndex();
    if (current >= 0 && current < RecordTab) {
        // Rebuilding drops checked states; a multi-selection in progress starts again.
        m_record->rebuildLevel(current);
        if (m_multi)
            onTabVisible(false);
    } else if (current == RecordTab) {
        if (m_reportShown) {
            showRecords(m_record->checkedItems(m_reportLevel));
        } else if (const RecordItem *item = m_record->findSelectedItem()) {
            showRecords({*item});
        }
    }
}

void LevelTree::iRecordsLevel_Changed(int k)
{
    if (k < 0 || k >= cRecord::Levels)
        return;
    const int next = k + 1;
    disableAfter(next);
    if (next == RecordTab) {
        m_tabs->setTabEnabled(RecordTab, true);
        setTab(RecordTab);
        m_reportShown = false;
        const RecordItem *item = m_record->findSelectedItem();
        if (!item) {
            td::log(QStringLiteral("Level tree: no record for the chosen values"));
            showRecords({});
            return;
        }
        const QString name = item->name;
        showRecords({*item});
        if (!m_protocol || !m_protocol->FE_PageCurrent_Write(name))
            td::log(QStringLiteral("FE_PageCurrent_Write not sent: no key for ") + name);
        emit recordSelected(name);
        return;
    }
    const bool active = m_levels ? m_levels->isActive(next) : true;
    m_tabs->setTabEnabled(next, active);
    setTab(next);
    if (!active) {
        // The key skips this level; so does the walk, with the one value the key uses there.
        td::log(QStringLiteral("Auto press button 2 LVL=%1").arg(next));
        m_record->pressAutomatically(next);
    }
}

void LevelTree::tabLevels_Changed(int a)
{
    if (a < 0 || a > RecordTab || !m_tabs->isTabEnabled(a) || a == m_tabs->currentIndex())
        return;
    const int from = m_tabs->currentIndex();
    disableAfter(a);
    if (a < RecordTab) {
        m_record->rebuildLevel(a);
        if (m_multi)
            onTabVisible(false); // the rebuild unchecked every button of the level
        if (m_toggle)
            m_toggle->show();
        m_reportShown = false;
        return;
    }
    if (m_toggle)
        m_toggle->hide();
    td::log(QStringLiteral("Start Generate Report..."));
    QVector<RecordItem> items;
    if (m_multi && from >= 0 && from < RecordTab) {
        m_reportLevel = from;
        m_reportShown = true;
        items = m_record->checkedItems(from);
    } else if (const RecordItem *item = m_record->findSelectedItem()) {
        items.append(*item);
    }
    showRecords(items);
    emit reportRequested(items);
}

void LevelTree::onTabVisible(bool visible)
{
    if (!m_multi)
        return;
    const int current = m_tabs->currentIndex();
    if (current >= 0 && current < RecordTab)
        m_tabs->setTabEnabled(RecordTab, visible);
}

void LevelTree::setMultiSelect(bool on)
{
    if (on == m_multi) {
        setToggleLook();
        return;
    }
    m_multi = on;
    setToggleLook();
    for (int level = 0; level < cRecord::Levels; ++level)
        m_record->setLevelCheckable(level, on);
    const int current = m_tabs->currentIndex();
    if (on) {
        if (current == RecordTab) {
            // A record was reached by walking: select among the values of the deepest level open.
            int back = -1;
            for (int t = RecordTab - 1; t >= 0 && back < 0; --t) {
                if (m_tabs->isTabEnabled(t))
                    back = t;
            }
            if (back >= 0)
                setTab(back);
        }
        m_tabs->setTabEnabled(RecordTab, false);
        if (m_tabs->currentIndex() == RecordTab) // every level off: nothing to select from
            showRecords(m_shown);
        return;
    }
    if (current == RecordTab && m_reportShown) {
        m_tabs->setTabEnabled(m_reportLevel, true);
        setTab(m_reportLevel);
        m_reportShown = false;
        showRecords({});
    }
    if (m_tabs->currentIndex() < RecordTab)
        m_tabs->setTabEnabled(RecordTab, false);
    if (m_toggle)
        m_toggle->show();
}

void LevelTree::setToggleLook()
{
    if (!m_toggle)
        return;
    if (m_multi) {
        m_toggle->setText(tr("Cancel"));
        m_toggle->setToolTip(tr("Cancel to make report"));
        m_toggle->setAccessibleName(tr("Cancel"));
        m_toggle->setStyleSheet(QLatin1String(kToggleRed));
    } else {
        m_toggle->setText(tr("Select"));
        m_toggle->setToolTip(tr("Select elements for make report"));
        m_toggle->setAccessibleName(tr("Select"));
        m_toggle->setStyleSheet(QLatin1String(kToggleGreen));
    }
}

void LevelTree::applyCaptions()
{
    for (int level = 0; level < cRecord::Levels; ++level) {
        m_tabs->setTabText(level, levelCaption(level));
        m_tabs->setTabToolTip(level, levelCaption(level));
        const bool active = m_levels ? m_levels->isActive(level) : true;
        m_tabs->setTabIcon(level, QIcon(active ? QStringLiteral(":resource/images/is_used.png")
                                               : QStringLiteral(":resource/images/not_used.png")));
    }
    showRecords(m_shown);
    emit captionsApplied();
}

void LevelTree::showRecords(const QVector<RecordItem> &items)
{
    m_shown = items;
    QStringList headers{tr("Record")};
    for (int level = 0; level < cRecord::Levels; ++level)
        headers << levelCaption(level);
    headers << tr("Finished");
    m_view->setHorizontalHeaderLabels(headers);
    m_view->setRowCount(items.size());
    for (int row = 0; row < items.size(); ++row) {
        const RecordItem &item = items[row];
        const QStringList cells{item.name, item.texts[0], item.texts[1], item.texts[2], item.texts[3],
                                QStringLiteral("%1/%2").arg(item.countCon).arg(item.countTotal)};
        for (int col = 0; col < cells.size(); ++col) {
            auto *cell = m_view->item(row, col);
            if (!cell) {
                cell = new QTableWidgetItem;
                m_view->setItem(row, col, cell);
            }
            cell->setText(cells[col]);
            cell->setToolTip(cells[col]); // whole where the column elides it
        }
    }
    for (int col = 0; col < headers.size(); ++col) {
        if (QTableWidgetItem *title = m_view->horizontalHeaderItem(col))
            title->setToolTip(headers.at(col));
    }
    m_viewTitle->setText(items.isEmpty() ? tr("No record selected")
                                         : tr("Selected records: %1").arg(items.size()));
    fitListHeight();
}

void LevelTree::fitListHeight()
{
    // As many rows as were chosen, up to four, whole: the measures below keep the rest. The
    // rows follow the font, so Russian and English and any screen get the same four.
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 14);
    const int rows = qBound(1, m_view->rowCount(), 4);
    const int scrollBar = m_view->horizontalScrollBar()->isVisible() ? m_view->horizontalScrollBar()->height() : 0;
    m_view->setFixedHeight(m_view->horizontalHeader()->sizeHint().height() + rows * m_view->verticalHeader()->defaultSectionSize()
                           + 2 * m_view->frameWidth() + scrollBar);
}
