#include "ui/levels/cRecord.h"

#include "base/Log.h"
#include "ui/levels/cButtonLevel.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QHash>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QLabel>
#include <QStyle>

const char *const cRecord::AutoText = "0000000000";

namespace {

const char *kScrollBarStyle =
    "QScrollBar:horizontal {border: 2px solid grey; background: rgb(200, 200, 200); height: 40px;}"
    " QScrollBar::handle:horizontal {background: rgb(120, 120, 120); min-width: 60px; border-radius: 4px;"
    " margin: 4px 2px;}"
    " QScrollBar::add-line:horizontal, QScrollBar::sub-line:horizontal {width: 0px;}"
    " QScrollBar::add-page:horizontal, QScrollBar::sub-page:horizontal {background: none;}";

const char *kScrollButtonStyle =
    "QPushButton {background-color: rgb(225, 225, 225); border: 1px solid rgb(190, 190, 190);"
    " border-radius: 5px;} QPushButton:pressed {background-color: rgb(190, 200, 215);}"
    " QPushButton:disabled {background-color: rgb(240, 240, 240); border-color: rgb(225, 225, 225);}";

// What a value button shows when its template entry has no text: the entry's number, so two
// empty entries never look alike.
QString shownText(const LevelTreeModel::Button &b)
{
    if (!b.text.trimmed().isEmpty())
        return b.text;
    return QStringLiteral("[%1]").arg(b.number);
}

} // namespace

cRecord::cRecord(int scrollStep, QWidget *parent) : QGridLayout(parent), m_scrollStep(scrollStep)
{
    setContentsMargins(0, 0, 0, 0);
    for (int level = 0; level < Levels; ++level) {
        Pool &p = m_pools[size_t(level)];
        p.panel = new QWidget;
        p.panel->setObjectName(QStringLiteral("wLevelPanel%1").arg(level));
        auto *row = new QHBoxLayout(p.panel);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(4);

        p.left = new QPushButton(p.panel);
        p.right = new QPushButton(p.panel);
        p.left->setObjectName(QStringLiteral("pbScrollLeft%1").arg(level));
        p.right->setObjectName(QStringLiteral("pbScrollRight%1").arg(level));
        p.left->setIcon(p.panel->style()->standardIcon(QStyle::SP_ArrowLeft));
        p.right->setIcon(p.panel->style()->standardIcon(QStyle::SP_ArrowRight));
        for (QPushButton *b : {p.left, p.right}) {
            b->setFixedWidth(56);
            b->setMinimumHeight(ButtonHeight);
            b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
            b->setIconSize(QSize(32, 32));
            b->setStyleSheet(QLatin1String(kScrollButtonStyle));
            b->setFocusPolicy(Qt::NoFocus);
            // Ten pixels a press is fine-grained; holding the button keeps the row moving.
            b->setAutoRepeat(true);
            b->setAutoRepeatDelay(250);
            b->setAutoRepeatInterval(15);
            connect(b, &QPushButton::clicked, this, &cRecord::iBtnScrollLevels_Click);
        }
        p.left->setAccessibleName(tr("Scroll left"));
        p.left->setToolTip(tr("Scroll left"));
        p.right->setAccessibleName(tr("Scroll right"));
        p.right->setToolTip(tr("Scroll right"));

        p.view = new QStackedWidget(p.panel);
        p.area = new QScrollArea(p.view);
        p.area->setObjectName(QStringLiteral("saLevel%1").arg(level));
        p.area->setWidgetResizable(true);
        p.area->setFrameShape(QFrame::NoFrame);
        p.area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        p.area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        p.area->horizontalScrollBar()->setStyleSheet(QLatin1String(kScrollBarStyle));
        // Arrows that cannot move anything look pressable for nothing.
        QPushButton *left = p.left, *right = p.right;
        connect(p.area->horizontalScrollBar(), &QScrollBar::rangeChanged, this, [left, right](int, int max) {
            left->setEnabled(max > 0);
            right->setEnabled(max > 0);
        });
        p.left->setEnabled(false);
        p.right->setEnabled(false);
        p.content = new QWidget;
        p.content->setObjectName(QStringLiteral("wLevelButtons%1").arg(level));
        p.content->setStyleSheet(cButtonLevel::sharedStyleSheet());
        p.grid = new QGridLayout(p.content);
        p.grid->setContentsMargins(2, 2, 2, 2);
        p.grid->setSpacing(6);
        p.grid->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        p.area->setWidget(p.content);
        p.area->setMinimumHeight(Rows * ButtonHeight + (Rows + 1) * 6 + 44);
        p.area->viewport()->installEventFilter(this);

        p.empty = new QLabel(tr("No records"), p.view);
        p.empty->setObjectName(QStringLiteral("lbLevelEmpty%1").arg(level));
        p.empty->setAlignment(Qt::AlignCenter);
        p.empty->setStyleSheet(QStringLiteral("QLabel {color: rgb(130, 130, 130); font-size: 16pt;}"));
        p.view->addWidget(p.area);
        p.view->addWidget(p.empty);
        p.view->setCurrentWidget(p.empty);

        row->addWidget(p.left);
        row->addWidget(p.view, 1);
        row->addWidget(p.right);
        addWidget(p.panel, level, 0);

        m_auto[size_t(level)] = new cButtonLevel(quint16(level));
        m_auto[size_t(level)]->button()->setObjectName(QStringLiteral("pbLevelAuto%1").arg(level));
    }
}

cRecord::~cRecord()
{
    for (cButtonLevel *b : m_auto)
        delete b;
    // Rows no page has taken are still ours.
    for (Pool &p : m_pools) {
        if (p.panel && !p.panel->parentWidget())
            delete p.panel.data();
    }
}

QWidget *cRecord::levelPanel(int level) const
{
    return level >= 0 && level < Levels ? m_pools[size_t(level)].panel : nullptr;
}

QWidget *cRecord::takeLevelPanel(int level)
{
    QWidget *panel = levelPanel(level);
    if (panel)
        removeWidget(panel);
    return panel;
}

QScrollArea *cRecord::scrollArea(int level) const
{
    return level >= 0 && level < Levels ? m_pools[size_t(level)].area : nullptr;
}

bool cRecord::showsEmptyNote(int level) const
{
    return level >= 0 && level < Levels && m_pools[size_t(level)].view->currentWidget() == m_pools[size_t(level)].empty;
}

QPushButton *cRecord::scrollButton(int level, bool right) const
{
    if (level < 0 || level >= Levels)
        return nullptr;
    return right ? m_pools[size_t(level)].right : m_pools[size_t(level)].left;
}

QVector<cButtonLevel *> cRecord::shownButtons(int level) const
{
    if (level < 0 || level >= Levels)
        return {};
    const Pool &p = m_pools[size_t(level)];
    return p.buttons.mid(0, p.shown);
}

int cRecord::shownCount(int level) const
{
    return level >= 0 && level < Levels ? m_pools[size_t(level)].shown : 0;
}

int cRecord::madeCount(int level) const
{
    return level >= 0 && level < Levels ? m_pools[size_t(level)].buttons.size() : 0;
}

int cRecord::buttonHeight(int level) const
{
    return level >= 0 && level < Levels ? m_pools[size_t(level)].buttonHeight : 0;
}

bool cRecord::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize) {
        for (Pool &p : m_pools) {
            if (p.area && watched == p.area->viewport())
                fitButtons(p);
        }
    }
    return QGridLayout::eventFilter(watched, event);
}

void cRecord::fitButtons(Pool &p)
{
    // Three rows fill the view: the touch targets grow with the window instead of leaving
    // an empty band under the last row.
    const QMargins m = p.grid->contentsMargins();
    const int free = p.area->viewport()->height() - m.top() - m.bottom() - (Rows - 1) * p.grid->spacing();
    const int height = qBound(ButtonHeight, free / Rows, MaxButtonHeight);
    if (height == p.buttonHeight)
        return;
    p.buttonHeight = height;
    for (cButtonLevel *b : qAsConst(p.buttons))
        b->button()->setFixedHeight(height);
}

bool cRecord::isCheckable(int level) const
{
    return level >= 0 && level < Levels && m_pools[size_t(level)].checkable;
}

void cRecord::clearItems()
{
    m_model.clear();
}

void cRecord::addItem(const RecordItem &item)
{
    m_model.add(item);
}

cButtonLevel *cRecord::poolButton(int level, int index)
{
    Pool &p = m_pools[size_t(level)];
    if (index < p.buttons.size())
        return p.buttons[index];
    if (index != p.buttons.size() || index >= poolSize(level))
        return nullptr;
    auto *b = new cButtonLevel(quint16(level), p.content);
    b->setSharedStyle(true);
    b->button()->setObjectName(QStringLiteral("pbLevel%1").arg(1000 * level + index));
    b->button()->setFixedSize(ButtonWidth, p.buttonHeight);
    QFont f = b->button()->font();
    f.setPointSize(11);
    b->button()->setFont(f);
    // Column by column: three buttons down, then the next column.
    p.grid->addLayout(b, index % Rows, index / Rows);
    connect(b, &cButtonLevel::click_button, this, &cRecord::slot_iButton_clicked);
    p.buttons.append(b);
    return b;
}

void cRecord::rebuildLevel(int level)
{
    if (level < 0 || level >= Levels)
        return;
    Pool &p = m_pools[size_t(level)];
    int distinct = 0;
    const QVector<LevelTreeModel::Button> values = m_model.buttons(level, &distinct);
    if (distinct > values.size())
        td::log(QStringLiteral("Level %1: %2 values, only %3 buttons shown").arg(level).arg(distinct).arg(values.size()));

    // On the last level every button is one record: it also tells how far the job is.
    QHash<quint16, const RecordItem *> records;
    QVector<RecordItem> under;
    if (level == Levels - 1) {
        under = m_model.itemsUnder(level, values);
        for (const RecordItem &item : qAsConst(under))
            records.insert(item.uzelIndex, &item);
    }

    p.content->setUpdatesEnabled(false);
    for (int i = 0; i < values.size(); ++i) {
        const LevelTreeModel::Button &v = values[i];
        cButtonLevel *b = poolButton(level, i);
        QString caption = shownText(v);
        if (const RecordItem *item = records.value(v.number, nullptr))
            caption += QLatin1Char('\n') + tr("Finished:") + QStringLiteral(" %1/%2").arg(item->countCon).arg(item->countTotal);
        b->setValue(v.number, v.text, caption);
        b->setColour(v.colour);
        b->button()->setCheckable(p.checkable);
        const QSignalBlocker quiet(b->button()); // a rebuild is nobody's choice
        b->button()->setChecked(false);
        b->button()->show();
    }
    for (int i = values.size(); i < p.shown; ++i)
        p.buttons[i]->button()->hide();
    p.shown = values.size();
    p.content->setUpdatesEnabled(true);
    p.view->setCurrentWidget(p.shown > 0 ? static_cast<QWidget *>(p.area) : p.empty);
    p.area->horizontalScrollBar()->setValue(0);
}

void cRecord::setLevelCheckable(int level, bool checkable)
{
    if (level < 0 || level >= Levels)
        return;
    Pool &p = m_pools[size_t(level)];
    p.checkable = checkable;
    for (cButtonLevel *b : qAsConst(p.buttons)) {
        const QSignalBlocker quiet(b->button());
        b->button()->setChecked(false);
        b->button()->setCheckable(checkable);
    }
}

QVector<RecordItem> cRecord::checkedItems(int level) const
{
    QVector<LevelTreeModel::Button> checked;
    for (cButtonLevel *b : shownButtons(level)) {
        if (!b->button()->isChecked())
            continue;
        LevelTreeModel::Button v;
        v.level = level;
        v.number = b->number();
        v.text = b->text();
        checked.append(v);
    }
    if (checked.isEmpty())
        return {};
    return m_model.itemsUnder(level, checked);
}

void cRecord::pressAutomatically(int level)
{
    if (level < 0 || level >= Levels)
        return;
    cButtonLevel *b = m_auto[size_t(level)];
    b->setValue(0, QLatin1String(AutoText));
    walk(level, b->number(), b->text());
}

void cRecord::slot_iButton_clicked(cButtonLevel *aThis)
{
    if (!aThis || aThis->level() >= Levels)
        return;
    const int level = aThis->level();
    if (aThis->button()->isCheckable()) {
        // Multi-select: the click has toggled the button; nothing is chosen.
        bool any = false;
        for (cButtonLevel *b : shownButtons(level))
            any = any || b->button()->isChecked();
        emit tab_visible(any);
        return;
    }
    walk(level, aThis->number(), aThis->text());
}

void cRecord::walk(int level, quint16 number, const QString &text)
{
    m_model.choose(level, number, text);
    if (level + 1 < Levels)
        rebuildLevel(level + 1);
    emit level_changed(level);
}

void cRecord::iBtnScrollLevels_Click()
{
    QObject *from = sender();
    for (Pool &p : m_pools) {
        if (from != p.left && from != p.right)
            continue;
        QScrollBar *bar = p.area->horizontalScrollBar();
        bar->setValue(bar->value() + (from == p.right ? m_scrollStep : -m_scrollStep));
        return;
    }
}
