#include "ui/reports/ReportButtons.h"

#include "ui/reports/ReportActions.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>

namespace {

QPushButton *makeButton(QWidget *parent, const char *name)
{
    auto *b = new QPushButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setMinimumHeight(56);
    b->setMinimumWidth(96);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

} // namespace

ReportButtons::ReportButtons(ReportActions *actions, QWidget *parent)
    : QWidget(parent), m_save(makeButton(this, "pbSaveReport")), m_excel(makeButton(this, "pbExcelReport")),
      m_qr(makeButton(this, "pbQRGenerate")), m_open(makeButton(this, "pbOpenReport"))
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    for (QPushButton *b : {m_save, m_excel, m_qr, m_open})
        row->addWidget(b);
    connect(m_save, &QPushButton::clicked, actions, &ReportActions::iBtnSaveReport_Click);
    connect(m_excel, &QPushButton::clicked, actions, &ReportActions::iBtnStart_Click);
    connect(m_qr, &QPushButton::clicked, actions, &ReportActions::iBtnQRGenerate_Click);
    connect(m_open, &QPushButton::clicked, actions, &ReportActions::iBtnOpenReport_Click);
    retranslate();
}

void ReportButtons::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void ReportButtons::retranslate()
{
    const struct
    {
        QPushButton *button;
        QString text;
        QString tip;
    } captions[] = {
        // Short captions: the control bar also holds the message field and four other buttons
        // on a 1024-pixel screen; the tool tip says the whole of it.
        {m_save, tr("CSV"), tr("Save the measures of the table as a CSV file")},
        {m_excel, tr("Excel"), tr("Make the Excel report of the record")},
        {m_qr, tr("QR codes"), tr("Print the list of all records with their QR codes to PDF")},
        {m_open, tr("Reports"), tr("Open the reports folder")},
    };
    for (const auto &c : captions) {
        c.button->setText(c.text);
        c.button->setToolTip(c.tip);
        c.button->setAccessibleName(c.text);
        c.button->setAccessibleDescription(c.tip);
    }
}
