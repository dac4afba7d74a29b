#include "ui/levels/MenuLevelsPage.h"

#include "base/Log.h"
#include "ui/settings/KeySettingsStyle.h"
#include "ui/widgets/cSwitcher.h"
#include "protocol/KeyProtocol.h"
#include "records/MenuLevels.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using td::settingsui::makeApplyButton;
using td::settingsui::setPoints;

MenuLevelsPage::MenuLevelsPage(MenuLevels *levels, KeyProtocol *protocol, QWidget *parent)
    : QWidget(parent)
    , m_levels(levels)
    , m_protocol(protocol)
{
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(6);
    // Apply shares the heading's row: the four levels need the height more.
    auto *head = new QHBoxLayout;
    m_heading = new QLabel(this);
    m_heading->setObjectName(QStringLiteral("lbMenuLevelsHeading"));
    setPoints(m_heading, 12, true);
    head->addWidget(m_heading, 1);
    m_apply = makeApplyButton(this, "pbApplyMenuLevels", 48, 24);
    head->addWidget(m_apply);
    outer->addLayout(head);
    connect(m_apply, &QPushButton::clicked, this, &MenuLevelsPage::iBtnApplyMenuLevels_Click);

    auto *levelRows = new QVBoxLayout;
    levelRows->setSpacing(6);
    for (int i = 0; i < Levels; ++i) {
        Row &r = m_rows[size_t(i)];
        r.title = new QLabel(this);
        r.title->setObjectName(QStringLiteral("lbMenuLevel%1").arg(i));
        setPoints(r.title, 11, true);
        r.top = new QLineEdit(this);
        r.top->setObjectName(QStringLiteral("leMenuLevelTop%1").arg(i));
        r.bottom = new QLineEdit(this);
        r.bottom->setObjectName(QStringLiteral("leMenuLevelBottom%1").arg(i));
        for (QLineEdit *e : {r.top, r.bottom}) {
            // The key keeps 50 characters; typing more would only be cut on Apply.
            e->setMaxLength(MenuLevels::MaxTextLength);
            e->setMinimumHeight(40);
            setPoints(e, 11);
            // Two share half the page: each keeps room for a word or two of the key's menu.
            e->setMinimumWidth(e->fontMetrics().averageCharWidth() * 10);
        }
        r.orderLabel = new QLabel(this);
        r.orderLabel->setObjectName(QStringLiteral("lbMenuLevelOrder%1").arg(i));
        setPoints(r.orderLabel, 10);
        r.order = new QComboBox(this);
        r.order->setObjectName(QStringLiteral("cbMenuLevelOrder%1").arg(i));
        r.order->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
        r.order->setMinimumSize(64, 40);
        setPoints(r.order, 11);
        r.active = new cSwitcher(QString(), QString(), true, true, false);
        r.active->setSize(48, 40);
        r.active->setCaptionFontSize(10);
        r.active->setHorizontalSpacing(6);
        r.active->button()->setObjectName(QStringLiteral("swMenuLevelActive%1").arg(i));

        // A level is two rows: its name with its place and switch, then its two texts, which
        // are equals (the key shows them one above the other). The gap between levels is
        // wider than the one inside a level so each pair reads as one.
        auto *grid = new QGridLayout;
        grid->setHorizontalSpacing(6);
        grid->setVerticalSpacing(4);
        grid->addWidget(r.title, 0, 0);
        grid->addWidget(r.orderLabel, 0, 1, Qt::AlignRight);
        grid->addWidget(r.order, 0, 2);
        grid->addLayout(r.active, 0, 3);
        auto *texts = new QHBoxLayout;
        texts->setSpacing(6);
        texts->addWidget(r.top, 1);
        texts->addWidget(r.bottom, 1);
        grid->addLayout(texts, 1, 0, 1, 4);
        grid->setColumnStretch(0, 1);
        levelRows->addLayout(grid);
    }
    outer->addLayout(levelRows);
    outer->addStretch(1);

    retranslate();
    for (int i = 0; i < Levels; ++i)
        showLevel(i);
    if (m_levels)
        connect(m_levels, &MenuLevels::changed, this, &MenuLevelsPage::showLevel);
}

QLineEdit *MenuLevelsPage::topEdit(int level) const
{
    return level >= 0 && level < Levels ? m_rows[size_t(level)].top : nullptr;
}

QLineEdit *MenuLevelsPage::bottomEdit(int level) const
{
    return level >= 0 && level < Levels ? m_rows[size_t(level)].bottom : nullptr;
}

QComboBox *MenuLevelsPage::orderCombo(int level) const
{
    return level >= 0 && level < Levels ? m_rows[size_t(level)].order : nullptr;
}

cSwitcher *MenuLevelsPage::activeSwitch(int level) const
{
    return level >= 0 && level < Levels ? m_rows[size_t(level)].active : nullptr;
}

void MenuLevelsPage::CutTextField(QLineEdit *edit, int aMaxLenght)
{
    if (!edit)
        return;
    const QString cut = MenuLevels::cutText(edit->text(), aMaxLenght);
    if (cut != edit->text())
        edit->setText(cut);
}

void MenuLevelsPage::showLevel(int index)
{
    if (!m_levels || index < 0 || index >= Levels)
        return;
    const MenuLevel l = m_levels->level(index);
    Row &r = m_rows[size_t(index)];
    r.top->setText(l.top);
    r.bottom->setText(l.bottom);
    r.order->setCurrentIndex(qBound(0, l.order - 1, Levels - 1));
    r.active->setChecked(l.active);
}

void MenuLevelsPage::iBtnApplyMenuLevels_Click()
{
    int sent = 0;
    for (int i = 0; i < Levels; ++i) {
        Row &r = m_rows[size_t(i)];
        CutTextField(r.top, MenuLevels::MaxTextLength);
        CutTextField(r.bottom, MenuLevels::MaxTextLength);
        if (m_protocol
            && m_protocol->FE_MenuLevel_Write(r.top->text(), r.bottom->text(), r.active->checked() ? 1 : 0,
                                              r.order->currentText().toInt(), i))
            ++sent;
    }
    if (sent < Levels)
        td::log(QStringLiteral("iBtnApplyMenuLevels_Click: %1 of %2 levels sent").arg(sent).arg(Levels));
    readFromKey();
}

void MenuLevelsPage::readFromKey()
{
    if (!m_protocol)
        return;
    for (int i = 0; i < Levels; ++i)
        m_protocol->FE_MenuLevel_Read(i);
}

void MenuLevelsPage::retranslate()
{
    m_heading->setText(tr("Menu levels"));
    for (int i = 0; i < Levels; ++i) {
        Row &r = m_rows[size_t(i)];
        const QString level = tr("Level %1").arg(i + 1);
        r.title->setText(level);
        r.top->setPlaceholderText(tr("Top string"));
        r.top->setToolTip(tr("Top text in menu"));
        r.top->setAccessibleName(level + QStringLiteral(": ") + tr("Top string"));
        r.bottom->setPlaceholderText(tr("Bottom string"));
        r.bottom->setToolTip(tr("Bottom text in menu"));
        r.bottom->setAccessibleName(level + QStringLiteral(": ") + tr("Bottom string"));
        r.orderLabel->setText(tr("Order"));
        r.order->setToolTip(tr("Order"));
        r.order->setAccessibleName(level + QStringLiteral(": ") + tr("Order"));
        r.active->setCaption(tr("On/Off"));
        r.active->button()->setToolTip(tr("Enable/disable current menu"));
        r.active->button()->setAccessibleName(level + QStringLiteral(": ") + tr("On/Off"));
    }
    m_apply->setText(tr("Apply"));
    m_apply->setToolTip(tr("Save menu names to key"));
    m_apply->setAccessibleName(tr("Apply"));
}

void MenuLevelsPage::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}
