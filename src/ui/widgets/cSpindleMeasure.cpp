#include "ui/widgets/cSpindleMeasure.h"

#include "ui/widgets/TextFit.h"
#include "ui/widgets/cParameter.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {
constexpr int valueFitMargin = 20;
constexpr int titleHeight = 48;
} // namespace

cSpindleMeasure::cSpindleMeasure(const QString &caption, const QString &pattern)
    : m_pattern(pattern)
    , m_style(QStringLiteral("background-color: rgb(250, 250, 250); color: rgb(0, 0, 0)"))
{
    m_frame = new QFrame;
    m_frame->setObjectName(QStringLiteral("frSpindle"));
    m_frame->setFrameShape(QFrame::StyledPanel);
    auto *inner = new QGridLayout(m_frame);

    m_button = new QPushButton(caption, m_frame);
    m_button->setObjectName(QStringLiteral("pbSelect"));
    m_button->setFlat(true);
    m_button->setMinimumHeight(titleHeight);
    m_button->setAccessibleName(caption);
    connect(m_button, &QPushButton::clicked, this, &cSpindleMeasure::slot_click_button);

    m_value = new QLabel(m_frame);
    m_value->setObjectName(QStringLiteral("lbValue"));
    m_value->setAlignment(Qt::AlignCenter);
    m_value->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_value->setMinimumHeight(titleHeight);
    m_value->setStyleSheet(m_style);

    m_parameter = new cParameter(QString(), false, 0.0, QString(), 1);
    m_parameter->button()->setAccessibleName(caption);

    inner->addWidget(m_button, 0, 0);
    inner->addWidget(m_value, 1, 0);
    inner->addLayout(m_parameter, 2, 0);
    addWidget(m_frame, 0, 0);

    m_frame->setStyleSheet(frameLook(false) + QLatin1Char(' ') + labelLook(false));
}

cSpindleMeasure::~cSpindleMeasure()
{
    if (m_frame && !m_frame->parentWidget()) {
        removeWidget(m_frame);
        delete m_frame;
    }
}

const QString &cSpindleMeasure::frameLook(bool selected)
{
    static const QString normal = QStringLiteral(
        "QFrame   {background-color: rgb(235, 235, 235); border: 2px darkgray; border-radius: 5px;}");
    static const QString chosen = QStringLiteral(
        "QFrame   {background-color: rgb(215, 230, 215); border: 2px darkgray; border-radius: 5px;}");
    return selected ? chosen : normal;
}

const QString &cSpindleMeasure::labelLook(bool selected)
{
    static const QString normal = QStringLiteral("QLabel   {background-color: rgb(235, 235, 235);}");
    static const QString chosen = QStringLiteral("QLabel   {background-color: rgb(215, 230, 215);}");
    return selected ? chosen : normal;
}

QString cSpindleMeasure::styleForColor(const QString &name)
{
    // The panel knows no "grey"; like any unknown name it is kept as a style sheet as it is.
    if (name == QLatin1String("grey"))
        return name;
    return cParameter::styleForColor(name);
}

void cSpindleMeasure::select(bool selected)
{
    m_selected = selected;
    m_frame->setStyleSheet(frameLook(selected) + QLatin1Char(' ') + labelLook(selected));
    emit clapan_status();
}

void cSpindleMeasure::setValue(double value, int precision)
{
    const QString number = QString::number(value, 'f', precision < 0 ? 0 : precision);
    m_value->setText(m_pattern.contains(QLatin1String("%1")) ? m_pattern.arg(number) : number);
    td::fitText(m_value, valueFitMargin);
}

QString cSpindleMeasure::valueText() const
{
    return m_value->text();
}

void cSpindleMeasure::setColor(const QString &name)
{
    if (name != QLatin1String("null"))
        m_style = styleForColor(name);
    m_value->setStyleSheet(m_style);
}

void cSpindleMeasure::slot_click_button()
{
    emit click_button(m_button);
}
