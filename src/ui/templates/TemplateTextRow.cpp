#include "ui/templates/TemplateTextRow.h"

#include "ui/widgets/cSwitcher.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int kSwitchSide = 48;
constexpr int kEditHeight = 40;
constexpr int kEditPoints = 12;

const char kOverlongStyle[] = "QLineEdit {border: 2px solid rgb(220, 60, 60); background-color: rgb(255, 235, 235);}";

} // namespace

TemplateTextRow::TemplateTextRow(int index, const QString &objectPrefix, const QStringList &captions,
                                 int fieldSize, QWidget *parent, QGridLayout *grid, int line, int lineSpan)
    : QObject(parent)
    , m_index(index)
    , m_fieldSize(fieldSize)
{
    const QString number = QString::number(index + 1);
    m_switch = new cSwitcher(QString(), QString(), true, true, false);
    m_switch->setSize(kSwitchSide, kSwitchSide);
    QPushButton *button = m_switch->button();
    button->setObjectName(QStringLiteral("pb%1Switch_%2").arg(objectPrefix).arg(index));
    button->setText(number);
    button->setToolTip(tr("Enable/disable current template"));
    button->setAccessibleName(tr("Enable/disable current template") + QLatin1Char(' ') + number);
    QFont f = button->font();
    f.setPointSize(11);
    f.setBold(true);
    button->setFont(f);
    grid->addLayout(m_switch, line, 0, lineSpan, 1, Qt::AlignLeft | Qt::AlignVCenter);
    connect(m_switch, &cSwitcher::click_button, this, &TemplateTextRow::onSwitchClicked);

    for (int k = 0; k < captions.size(); ++k) {
        auto *edit = new QLineEdit(parent);
        edit->setObjectName(QStringLiteral("le%1Text%2_%3").arg(objectPrefix).arg(k + 1).arg(index));
        edit->setMinimumHeight(kEditHeight);
        edit->setPlaceholderText(captions.at(k));
        edit->setAccessibleName(captions.at(k) + QLatin1Char(' ') + number);
        QFont ef = edit->font();
        ef.setPointSize(kEditPoints);
        edit->setFont(ef);
        grid->addWidget(edit, line, 1 + k);
        connect(edit, &QLineEdit::textEdited, this, &TemplateTextRow::onTextEdited);
        m_edits.append(edit);
    }
}

QStringList TemplateTextRow::texts() const
{
    QStringList list;
    for (const QLineEdit *e : m_edits)
        list << e->text();
    return list;
}

QString TemplateTextRow::text(int k) const
{
    const QLineEdit *e = m_edits.value(k);
    return e ? e->text() : QString();
}

void TemplateTextRow::setTexts(const QStringList &texts)
{
    for (int k = 0; k < m_edits.size(); ++k) {
        m_edits[k]->setText(texts.value(k));
        m_edits[k]->setCursorPosition(0);
        markOverlong(m_edits[k]);
    }
}

bool TemplateTextRow::isOn() const { return m_switch->checked(); }

void TemplateTextRow::setOn(bool on) { m_switch->setChecked(on); }

bool TemplateTextRow::isOverlong(int k) const
{
    const QLineEdit *e = m_edits.value(k);
    return e && e->text().toUtf8().size() > m_fieldSize - 1;
}

void TemplateTextRow::onTextEdited()
{
    if (auto *edit = qobject_cast<QLineEdit *>(sender()))
        markOverlong(edit);
    emit edited();
}

void TemplateTextRow::onSwitchClicked() { emit edited(); }

void TemplateTextRow::markOverlong(QLineEdit *edit)
{
    const bool overlong = edit->text().toUtf8().size() > m_fieldSize - 1;
    edit->setStyleSheet(overlong ? QLatin1String(kOverlongStyle) : QString());
    edit->setToolTip(overlong ? tr("Too long for the key: only %1 bytes are kept when saved").arg(m_fieldSize - 1)
                              : QString());
}
