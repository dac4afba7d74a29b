#include "ui/exchange/ExchangeProgressWidget.h"

#include "protocol/FileExchange.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

ExchangeProgressWidget::ExchangeProgressWidget(QWidget *parent)
    : QWidget(parent), m_bar(new QProgressBar(this)), m_summary(new QLabel(this)),
      m_current(new QLabel(this))
{
    setObjectName(QStringLiteral("wExchangeProgress"));
    m_bar->setObjectName(QStringLiteral("pbExchange"));
    m_bar->setAccessibleName(tr("File exchange progress"));
    m_bar->setTextVisible(false);
    m_bar->setRange(0, 1);
    m_bar->setValue(0);
    m_summary->setObjectName(QStringLiteral("lbExchangeSummary"));
    m_current->setObjectName(QStringLiteral("lbExchangeFile"));

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->addWidget(m_bar, 1);
    layout->addWidget(m_summary);
    layout->addWidget(m_current);
    setVisible(false);
}

void ExchangeProgressWidget::attach(FileExchange *files)
{
    connect(files, &FileExchange::progressChanged, this, &ExchangeProgressWidget::setProgress);
    connect(files, &FileExchange::transfersActiveChanged, this, &ExchangeProgressWidget::setVisible);
    setProgress(files->progress());
    setVisible(files->isBusy());
}

void ExchangeProgressWidget::setProgress(const ExchangeProgress &p)
{
    // Files are the measure: the size of a file coming from the key is only known once it
    // has arrived, so a byte scale would jump backwards.
    m_bar->setRange(0, qMax(1, p.filesTotal));
    m_bar->setValue(qMin(p.filesDone, qMax(1, p.filesTotal)));
    m_summary->setText(tr("%1 of %2 files, %3 KB")
                           .arg(p.filesDone)
                           .arg(p.filesTotal)
                           .arg((p.bytesDone + 1023) / 1024));
    m_current->setText(p.currentFile.isEmpty() ? QString() : tr("File: ") + p.currentFile);
}

QString ExchangeProgressWidget::summaryText() const { return m_summary->text(); }
QString ExchangeProgressWidget::currentFileText() const { return m_current->text(); }
int ExchangeProgressWidget::barValue() const { return m_bar->value(); }
int ExchangeProgressWidget::barMaximum() const { return m_bar->maximum(); }
