#include "ui/widgets/cParameter.h"

#include "ui/widgets/TextFit.h"

#include <QLabel>
#include <QPushButton>

namespace {
constexpr int buttonHeight = 40;
constexpr int buttonFitMargin = 10;

// Showing a widget that has no parent yet would open it as a window of its own. Such a widget
// only loses its explicit hide, so it appears with the page it is later put on.
void setShown(QWidget *widget, bool shown)
{
    if (shown && !widget->parentWidget()) {
        widget->setAttribute(Qt::WA_WState_ExplicitShowHide, false);
        return;
    }
    widget->setVisible(shown);
}
} // namespace

cParameter::cParameter(const QString &caption, bool showCaption, double value,
                       const QString &style, int precision)
    : m_precision(precision)
    , m_style(style)
    , m_showCaption(showCaption)
    , m_numeric(true)
{
    build(caption, 8);
    addWidget(m_caption, 0, Qt::AlignBottom | Qt::AlignHCenter);
    addWidget(m_button, 0, Qt::AlignVCenter | Qt::AlignHCenter);
    setValue(value);
}

cParameter::cParameter(const QString &caption, bool showCaption, const QString &text,
                       const QString &style)
    : m_minimum(0.0)
    , m_maximum(9999.0)
    , m_style(style)
    , m_showCaption(showCaption)
    , m_numeric(false)
{
    build(caption, 12);
    addWidget(m_caption, 0, Qt::AlignTop | Qt::AlignHCenter);
    addWidget(m_button, 0, Qt::AlignTop | Qt::AlignHCenter);
    applyStyle(m_style);
    setText(text);
}

cParameter::~cParameter()
{
    // A parameter that never went into a page (a message carrier) still owns its widgets;
    // once laid out in a page, the page owns them.
    for (QWidget *widget : {static_cast<QWidget *>(m_caption.data()), static_cast<QWidget *>(m_button.data())}) {
        if (widget && !widget->parentWidget()) {
            removeWidget(widget);
            delete widget;
        }
    }
}

const QString &cParameter::neutralStyle()
{
    static const QString style = QStringLiteral(
        "QPushButton {background-color: rgb(200, 200, 200); color: rgb(0, 0, 0); border-width: 2px; "
        "border-radius: 5px; }             QPushButton:pressed {background-color: rgb(220, 220, 220);}"
        "       QPushButton:checked {background-color: rgb(240, 240, 240);}    "
        "QPushButton:disabled {background-color: rgb(140, 140, 140); color: rgb(170, 170, 170);}");
    return style;
}

QString cParameter::styleForColor(const QString &name)
{
    if (name == QLatin1String("green"))
        return QStringLiteral("background-color: rgb(0, 255, 0); color: rgb(0, 0, 0)");
    if (name == QLatin1String("red"))
        return QStringLiteral("background-color: rgb(255, 0, 0); color: rgb(0, 0, 0)");
    if (name == QLatin1String("yellow"))
        return QStringLiteral("background-color: rgb(255, 255, 0); color: rgb(0, 0, 0)");
    if (name == QLatin1String("white"))
        return QStringLiteral("background-color: rgb(255, 255, 255); color: rgb(0, 0, 0)");
    if (name == QLatin1String("blue"))
        return QStringLiteral("background-color: rgb(0, 0, 255); color: rgb(0, 0, 0)");
    if (name == QLatin1String("grey"))
        return QStringLiteral("background-color: rgb(200, 200, 200); color: rgb(0, 0, 0)");
    return name;
}

void cParameter::build(const QString &caption, int captionPoints)
{
    m_caption = new QLabel(caption);
    QFont captionFont = m_caption->font();
    captionFont.setPointSize(captionPoints);
    m_caption->setFont(captionFont);
    setShown(m_caption, captionWanted());

    m_button = new QPushButton;
    m_button->setFixedHeight(buttonHeight);
    m_button->setAutoFillBackground(true);
    m_button->setAccessibleName(caption);
    connect(m_button, &QPushButton::clicked, this, &cParameter::slot_click_button);
}

bool cParameter::captionWanted() const
{
    return m_showCaption && !m_caption->text().isEmpty();
}

void cParameter::applyStyle(const QString &style)
{
    // Setting a style sheet re-polishes the button even when it is the same one; a read-out
    // fills hundreds of these at once on the GUI thread.
    if (m_button->styleSheet() != style)
        m_button->setStyleSheet(style);
}

bool cParameter::setValue(double value)
{
    if (!inRange(value))
        return false;
    applyStyle(value == 0.0 ? neutralStyle() : m_style);
    m_button->setText(QString::number(value, 'f', m_precision));
    td::fitText(m_button, buttonFitMargin);
    if (m_changed) {
        m_changed = false;
        emit changed_valueD();
    }
    return true;
}

bool cParameter::setText(const QString &text)
{
    m_button->setText(text);
    td::fitText(m_button, buttonFitMargin);
    if (m_changed) {
        m_changed = false;
        emit changed_valueS();
    }
    return true;
}

double cParameter::value() const
{
    return m_button->text().toDouble();
}

QString cParameter::text() const
{
    return m_button->text();
}

QString cParameter::caption() const
{
    return m_caption->text();
}

bool cParameter::inRange(double value) const
{
    // Written so that NaN, which compares false with everything, is refused.
    return m_minimum <= value && value <= m_maximum;
}

bool cParameter::inRange(const QString &text) const
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && inRange(value);
}

void cParameter::setMinimum(double minimum)
{
    m_minimum = minimum;
}

void cParameter::setMaximum(double maximum)
{
    m_maximum = maximum;
}

void cParameter::setPrecision(int precision)
{
    m_precision = precision < 0 ? 0 : precision;
    // Only a number can be re-shown with other decimals; a text parameter, or a button still
    // empty because its first value was refused, keeps what it shows.
    bool ok = false;
    const double current = m_button->text().toDouble(&ok);
    if (m_numeric && ok)
        setValue(current);
}

void cParameter::setMode(int mode)
{
    m_mode = mode;
}

void cParameter::setEnabled(bool enabled)
{
    applyStyle(enabled ? m_style : neutralStyle());
    m_button->setEnabled(enabled);
}

void cParameter::setCheckedLook(bool enabled)
{
    if (enabled != m_button->isEnabled())
        setEnabled(enabled);
}

void cParameter::setColor(const QString &name)
{
    if (name != QLatin1String("null"))
        m_style = styleForColor(name);
    applyStyle(m_style);
}

void cParameter::setCaptionText(const QString &caption)
{
    m_caption->setText(caption);
    m_button->setAccessibleName(caption);
    setShown(m_caption, m_visible && captionWanted());
}

void cParameter::setCaptionFontSize(int points)
{
    if (points <= 0)
        return;
    QFont font = m_caption->font();
    font.setPointSize(points);
    m_caption->setFont(font);
}

void cParameter::setButtonFontSize(int points)
{
    if (points <= 0)
        return;
    QFont font = m_button->font();
    font.setPointSize(points);
    m_button->setFont(font);
}

void cParameter::show()
{
    setVisible(true);
}

void cParameter::hide()
{
    setVisible(false);
}

void cParameter::setVisible(bool visible)
{
    // A caption the owner asked to hide stays hidden when the parameter is shown again.
    m_visible = visible;
    setShown(m_caption, visible && captionWanted());
    setShown(m_button, visible);
}

void cParameter::slot_click_button()
{
    emit click_button(this);
}
