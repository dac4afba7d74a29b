#include "ui/templates/UzelTemplateRow.h"

#include "base/Log.h"
#include "ui/widgets/cParameter.h"
#include "records/MeasureAlgorithms.h"
#include "records/TemplateListsModel.h"
#include "ui/templates/TemplateTextRow.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>

#include <cmath>

namespace {

constexpr int kFieldWidth = 70;
constexpr int kComboWidth = 230;

const char kFieldStyle[] =
    "QPushButton {background-color: rgb(222, 234, 248); color: rgb(0, 0, 0); border: 1px solid rgb(150, 170, 200); "
    "border-radius: 5px; }             QPushButton:pressed {background-color: rgb(190, 210, 235);}    "
    "QPushButton:disabled {background-color: rgb(140, 140, 140); color: rgb(170, 170, 170);}";

void keepPlaceWhenHidden(QWidget *w)
{
    QSizePolicy p = w->sizePolicy();
    p.setRetainSizeWhenHidden(true);
    w->setSizePolicy(p);
}

} // namespace

RecordParameter UzelTemplateRow::parameterOf(Field f)
{
    switch (f) {
    case LowMoment:
        return RecordParameter::RangeLow;
    case HighMoment:
        return RecordParameter::RangeHigh;
    case LowAngle:
        return RecordParameter::AngleLow;
    case HighAngle:
        return RecordParameter::AngleHigh;
    case StartMoment:
        return RecordParameter::StartMom;
    case Angle:
        return RecordParameter::Angle;
    case PitchStep:
        return RecordParameter::PitchStep;
    case HeadMm:
        return RecordParameter::HeadMm;
    case CountBolts:
    case FieldCount:
        break;
    }
    return RecordParameter::CountTotal;
}

UzelTemplateRow::UzelTemplateRow(int index, const TemplateListsModel *model, QWidget *parent, QGridLayout *grid,
                                 int line)
    : QObject(parent)
    , m_index(index)
    , m_model(model)
{
    m_values.index = quint8(index);
    const QString number = QString::number(index + 1);
    m_texts = new TemplateTextRow(index, QStringLiteral("Uzel"), {tr("Main info"), tr("String 1"), tr("String 2")},
                                  UzelTemplate::TextField, parent, grid, line, 2);
    connect(m_texts, &TemplateTextRow::edited, this, &UzelTemplateRow::edited);

    m_combo = new QComboBox(parent);
    m_combo->setObjectName(QStringLiteral("cbUzelAlgorithm_%1").arg(index));
    m_combo->setAccessibleName(tr("Measure algorithm") + QLatin1Char(' ') + number);
    m_combo->setMinimumHeight(40);
    m_combo->setFixedWidth(kComboWidth);
    m_combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_combo->view()->setMinimumWidth(440);
    QFont cf = m_combo->font();
    cf.setPointSize(10);
    m_combo->setFont(cf);
    grid->addWidget(m_combo, line, 4);
    connect(m_combo, QOverload<int>::of(&QComboBox::activated), this, &UzelTemplateRow::iParUzelTemplatesCombo_Changed);

    auto *strip = new QWidget(parent);
    strip->setObjectName(QStringLiteral("wUzelFields_%1").arg(index));
    auto *fields = new QHBoxLayout(strip);
    fields->setContentsMargins(0, 0, 0, 4);
    fields->setSpacing(4);
    for (int i = 0; i < FieldCount; ++i) {
        const Field f = Field(i);
        RecordParameters::FieldInfo info;
        if (f == CountBolts)
            info = {tr("Bolts count"), tr("Bolts count"), 1, 64, 0, 8};
        else if (f == HeadMm)
            info = {tr("Head size"), tr("Head size"), 0, 300, 0, 0};
        else
            info = RecordParameters::field(parameterOf(f), 0, false);
        auto *p = new cParameter(info.caption, true, 0.0, QLatin1String(kFieldStyle), info.precision);
        p->setMinimum(info.min);
        p->setMaximum(info.max);
        p->button()->setFixedWidth(kFieldWidth);
        p->button()->setObjectName(QStringLiteral("pbUzelField%1_%2").arg(i).arg(index));
        p->button()->setToolTip(info.toolTip);
        p->button()->setAccessibleName(info.caption + QLatin1Char(' ') + number);
        p->captionLabel()->setWordWrap(true);
        p->captionLabel()->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        p->captionLabel()->setFixedWidth(kFieldWidth);
        keepPlaceWhenHidden(p->button());
        keepPlaceWhenHidden(p->captionLabel());
        fields->addLayout(p);
        connect(p, &cParameter::click_button, this, &UzelTemplateRow::keypadRequested);
        connect(p, &cParameter::changed_valueD, this, &UzelTemplateRow::iParUzelTemplates_Changed);
        m_fields[size_t(i)] = p;
    }
    fields->addStretch(1);
    grid->addWidget(strip, line + 1, 1, 1, 4);

    fillCombo(0);
    setEntry(m_values);
}

void UzelTemplateRow::setEntry(const UzelTemplate &e)
{
    m_values = e;
    m_values.index = quint8(m_index);
    m_texts->setTexts({e.text1, e.text2, e.text3});
    m_texts->setOn(e.enabled);
    for (int i = 0; i < FieldCount; ++i)
        showValue(Field(i), storedValue(Field(i)));
    if (!MeasureAlgorithms::isValid(e.algorithm))
        td::log(QStringLiteral("Uzel template %1: unknown algorithm %2, shown as the first offered one")
                    .arg(m_index)
                    .arg(e.algorithm));
    fillCombo(e.algorithm);
    applyVisibility();
}

UzelTemplate UzelTemplateRow::entry() const
{
    UzelTemplate e = m_values;
    const QStringList t = m_texts->texts();
    e.text1 = t.value(0);
    e.text2 = t.value(1);
    e.text3 = t.value(2);
    e.enabled = m_texts->isOn();
    e.index = quint8(m_index);
    e.algorithm = quint8(algorithm());
    return e;
}

int UzelTemplateRow::algorithm() const
{
    const QVariant code = m_combo->currentData();
    if (code.isValid())
        return code.toInt();
    return MeasureAlgorithms::codeFromText(m_combo->currentText());
}

void UzelTemplateRow::refillAlgorithms()
{
    fillCombo(algorithm());
    applyVisibility();
}

bool UzelTemplateRow::selectAlgorithm(int code)
{
    const int i = m_combo->findData(code);
    if (i < 0 || !(m_combo->model()->flags(m_combo->model()->index(i, 0)) & Qt::ItemIsEnabled))
        return false;
    m_combo->setCurrentIndex(i);
    iParUzelTemplatesCombo_Changed(i);
    return true;
}

bool UzelTemplateRow::isFieldShown(Field f) const
{
    return !m_fields[size_t(f)]->button()->isHidden();
}

void UzelTemplateRow::iParUzelTemplatesCombo_Changed(int)
{
    applyVisibility();
    emit edited();
}

void UzelTemplateRow::iParUzelTemplates_Changed()
{
    auto *p = qobject_cast<cParameter *>(sender());
    int which = -1;
    for (int i = 0; i < FieldCount; ++i) {
        if (m_fields[size_t(i)] == p)
            which = i;
    }
    if (which < 0)
        return;
    const Field f = Field(which);
    storeValue(f, p->value());
    if (f == LowMoment || f == HighMoment) {
        if (RecordParameters::orderMomentRange(parameterOf(f), &m_values.lowMoment, &m_values.highMoment)) {
            showValue(LowMoment, double(m_values.lowMoment));
            showValue(HighMoment, double(m_values.highMoment));
        }
    }
    emit edited();
}

void UzelTemplateRow::fillCombo(int keep)
{
    m_combo->clear();
    const QVector<int> offered = m_model ? m_model->availableAlgorithms() : QVector<int>{0};
    for (int code : offered)
        m_combo->addItem(MeasureAlgorithms::name(code), code);
    // An entry may use an algorithm the key's current mode does not offer. It stays listed
    // (greyed, not choosable again) so that saving the row does not silently change it.
    if (MeasureAlgorithms::isValid(keep) && !offered.contains(keep)) {
        int at = 0;
        while (at < offered.size() && offered.at(at) < keep)
            ++at;
        m_combo->insertItem(at, MeasureAlgorithms::name(keep), keep);
        if (auto *items = qobject_cast<QStandardItemModel *>(m_combo->model())) {
            if (QStandardItem *item = items->item(at))
                item->setFlags(item->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable));
        }
    }
    const int i = m_combo->findData(keep);
    m_combo->setCurrentIndex(i >= 0 ? i : 0);
}

void UzelTemplateRow::applyVisibility()
{
    const int code = algorithm();
    m_combo->setToolTip(m_combo->currentText());
    for (int i = 0; i < FieldCount; ++i) {
        const Field f = Field(i);
        const bool shown = f == HeadMm || f == CountBolts || !m_model || m_model->isVisible(code, parameterOf(f));
        m_fields[size_t(i)]->setVisible(shown);
    }
}

void UzelTemplateRow::showValue(Field f, double value)
{
    cParameter *p = m_fields[size_t(f)];
    if (p->setValue(value))
        return;
    // Outside what the keypad accepts (or not a number): shown as it is, kept as it is.
    p->setText(QString::number(value, 'f', p->precision()));
}

double UzelTemplateRow::storedValue(Field f) const
{
    switch (f) {
    case LowMoment:
        return double(m_values.lowMoment);
    case HighMoment:
        return double(m_values.highMoment);
    case LowAngle:
        return double(m_values.lowAngle);
    case HighAngle:
        return double(m_values.highAngle);
    case StartMoment:
        return double(m_values.startMoment);
    case Angle:
        return double(m_values.angle);
    case PitchStep:
        return double(m_values.pitchStep);
    case HeadMm:
        return double(m_values.headMm);
    case CountBolts:
        return double(m_values.countBolts);
    case FieldCount:
        break;
    }
    return 0;
}

void UzelTemplateRow::storeValue(Field f, double value)
{
    const float v = float(value);
    switch (f) {
    case LowMoment:
        m_values.lowMoment = v;
        break;
    case HighMoment:
        m_values.highMoment = v;
        break;
    case LowAngle:
        m_values.lowAngle = v;
        break;
    case HighAngle:
        m_values.highAngle = v;
        break;
    case StartMoment:
        m_values.startMoment = v;
        break;
    case Angle:
        m_values.angle = v;
        break;
    case PitchStep:
        m_values.pitchStep = v;
        break;
    case HeadMm:
        m_values.headMm = v;
        break;
    case CountBolts:
        m_values.countBolts = quint8(qBound(0.0, std::trunc(value), 255.0));
        break;
    case FieldCount:
        break;
    }
}
