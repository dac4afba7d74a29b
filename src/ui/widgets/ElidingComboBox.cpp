#include "ui/widgets/ElidingComboBox.h"

#include <QAbstractItemView>
#include <QScreen>
#include <QScrollBar>
#include <QStyleOptionComboBox>
#include <QStylePainter>

ElidingComboBox::ElidingComboBox(QWidget *parent) : QComboBox(parent)
{
    connect(this, &QComboBox::currentTextChanged, this, [this] { updateToolTip(); });
}

void ElidingComboBox::setPlainToolTip(const QString &tip)
{
    m_plainToolTip = tip;
    updateToolTip();
}

int ElidingComboBox::textRoom() const
{
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
    // The style draws the label one pixel in from each side.
    return field.width() - 2;
}

bool ElidingComboBox::isElided() const
{
    return fontMetrics().horizontalAdvance(currentText()) > textRoom();
}

void ElidingComboBox::updateToolTip()
{
    setToolTip(isElided() ? currentText() : m_plainToolTip);
}

void ElidingComboBox::paintEvent(QPaintEvent *)
{
    // Texts set under a signal blocker change nothing but the picture: the tip follows here.
    updateToolTip();
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    painter.drawComplexControl(QStyle::CC_ComboBox, opt);
    if (isElided())
        opt.currentText = fontMetrics().elidedText(opt.currentText, Qt::ElideMiddle, textRoom());
    painter.drawControl(QStyle::CE_ComboBoxLabel, opt);
}

void ElidingComboBox::resizeEvent(QResizeEvent *event)
{
    QComboBox::resizeEvent(event);
    updateToolTip();
}

void ElidingComboBox::fitPopupToItems()
{
    int widest = 0;
    for (int i = 0; i < count(); ++i)
        widest = qMax(widest, view()->fontMetrics().horizontalAdvance(itemText(i)));
    int wanted = widest + view()->verticalScrollBar()->sizeHint().width() + 32;
    if (const QScreen *s = screen())
        wanted = qMin(wanted, s->availableGeometry().width() - 20);
    view()->setMinimumWidth(qMax(wanted, width()));
}

void ElidingComboBox::showPopup()
{
    fitPopupToItems();
    QComboBox::showPopup();
}
