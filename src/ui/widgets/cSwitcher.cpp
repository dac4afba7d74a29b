#include "ui/widgets/cSwitcher.h"

#include "ui/widgets/cParameter.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

namespace {
constexpr int buttonSide = 80;
constexpr int bigCaptionPoints = 24;
constexpr int secondCaptionPoints = 18;

void setPointSize(QWidget *widget, int points)
{
    QFont font = widget->font();
    font.setPointSize(points);
    widget->setFont(font);
}
} // namespace

cSwitcher::cSwitcher(const QString &caption, const QString &caption2, bool enabled,
                     bool checked, bool withParameter)
    : m_enabled(enabled)
    , m_checked(checked)
{
    m_button = new QPushButton;
    m_button->setCheckable(true);
    m_button->setFixedSize(buttonSide, buttonSide);
    m_button->setStyleSheet(buttonStyle());
    m_button->setAccessibleName(caption);
    m_button->setChecked(checked);
    m_button->setEnabled(enabled);
    // The state, not the click: a screen reader toggles a checkable button without clicking.
    connect(m_button, &QPushButton::toggled, this, &cSwitcher::onButtonToggled);

    m_caption = new QLabel(caption);
    m_caption->setEnabled(enabled);

    addWidget(m_button, 0, 0, Qt::AlignBottom | Qt::AlignRight);
    addWidget(m_caption, 0, 1, Qt::AlignVCenter | Qt::AlignLeft);

    if (!caption2.isEmpty())
        makeCaption2(caption2);

    if (withParameter) {
        m_parameter = new cParameter(QString(), false, 0.0, parameterStyle(), 0);
        m_parameter->setColor(parameterStyle());
        m_parameter->setEnabled(enabled);
        m_parameter->button()->setAccessibleName(caption);
        connect(m_parameter, &cParameter::click_button, this, &cSwitcher::slot_click_param_button);
        addLayout(m_parameter, 1, 1, Qt::AlignTop | Qt::AlignRight);
    }
}

cSwitcher::~cSwitcher()
{
    // Widgets that never reached a page are still ours.
    for (QWidget *widget : {static_cast<QWidget *>(m_button.data()), static_cast<QWidget *>(m_caption.data()),
                            static_cast<QWidget *>(m_caption2.data())}) {
        if (widget && !widget->parentWidget()) {
            removeWidget(widget);
            delete widget;
        }
    }
}

const QString &cSwitcher::buttonStyle()
{
    static const QString style = QStringLiteral(
        "QPushButton {background-color: rgb(100, 100, 100); color: rgb(250, 250, 250); "
        "border-width: 2px; border-radius: 14px;}       QPushButton:pressed {background-color: "
        "rgb(80, 80, 80); color: rgb(220, 220, 220);}     QPushButton:checked {background-color: "
        "rgb(120, 240, 120); color: rgb(40, 40, 40);}      QPushButton:disabled {background-color: "
        "rgb(140, 140, 140); color: rgb(170, 170, 170);}"
        // Locked is not off: a locked switch that is on stays green, only paler.
        " QPushButton:checked:disabled {background-color: rgb(165, 205, 165); color: rgb(90, 90, 90);"
        " border: 3px solid rgb(90, 150, 90);}");
    return style;
}

const QString &cSwitcher::parameterStyle()
{
    static const QString style = QStringLiteral(
        "QPushButton {background-color: rgb(240, 180, 180); color: rgb(0, 0, 0); border-width: 2px; "
        "border-radius: 5px; }             QPushButton:pressed {background-color: rgb(200, 180, 180);}"
        "       QPushButton:checked {background-color: rgb(255, 80, 80);}      "
        "QPushButton:disabled {background-color: rgb(160, 120, 120);}");
    return style;
}

void cSwitcher::makeCaption2(const QString &text)
{
    m_caption2 = new QLabel(text);
    m_caption2->setWordWrap(true);
    m_caption2->setEnabled(m_enabled);
    setPointSize(m_caption2, secondCaptionPoints);
    setPointSize(m_caption, bigCaptionPoints);
    addWidget(m_caption2, 1, 0, Qt::AlignTop);
}

void cSwitcher::setChecked(bool checked)
{
    // What the program sets is shown, not reported as the user's switch.
    m_checked = checked;
    const QSignalBlocker quiet(m_button);
    m_button->setChecked(checked);
}

void cSwitcher::setEnabled(bool enabled)
{
    m_enabled = enabled;
    m_button->setEnabled(enabled);
    m_caption->setEnabled(enabled);
    if (m_caption2)
        m_caption2->setEnabled(enabled);
    if (m_parameter)
        m_parameter->setEnabled(enabled);
}

void cSwitcher::setCaption(const QString &caption)
{
    m_caption->setText(caption);
    m_button->setAccessibleName(caption);
    if (m_parameter)
        m_parameter->button()->setAccessibleName(caption);
}

void cSwitcher::setCaption2(const QString &caption)
{
    if (m_caption2)
        m_caption2->setText(caption);
    else if (!caption.isEmpty())
        makeCaption2(caption);
}

QString cSwitcher::caption() const
{
    return m_caption->text();
}

QString cSwitcher::caption2() const
{
    return m_caption2 ? m_caption2->text() : QString();
}

void cSwitcher::setCaptionFontSize(int points)
{
    if (points > 0)
        setPointSize(m_caption, points);
}

void cSwitcher::setSize(int width, int height)
{
    if (width <= 0 || height <= 0)
        return;
    m_button->setFixedSize(width, height);
    if (m_parameter)
        m_parameter->button()->setFixedSize(width, height);
}

void cSwitcher::slot_click_button()
{
    m_button->setChecked(!m_checked);
}

void cSwitcher::onButtonToggled(bool checked)
{
    if (checked == m_checked)
        return;
    m_checked = checked;
    emit click_button(this);
}

void cSwitcher::slot_click_param_button()
{
    emit click_param_button(m_parameter);
}
