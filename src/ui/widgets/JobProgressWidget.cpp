#include "ui/widgets/JobProgressWidget.h"

#include "base/Job.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <QVariant>

namespace {

const char *kEnded = "jobEnded";

// One job's row. It outlives its job: the outcome stays on screen after the job is gone.
class JobRow : public QWidget
{
public:
    JobRow(const QString &title, QWidget *parent) : QWidget(parent), m_title(title)
    {
        setObjectName(QStringLiteral("wJobRow"));
        m_text = new QLabel(this);
        m_text->setObjectName(QStringLiteral("lbJobText"));
        m_text->setWordWrap(true);
        m_bar = new QProgressBar(this);
        m_bar->setObjectName(QStringLiteral("pbJob"));
        m_bar->setAccessibleName(JobProgressWidget::tr("Progress of %1").arg(title));
        m_bar->setTextVisible(false);
        m_bar->setRange(0, 0);
        m_bar->setMaximumWidth(240);
        m_cancel = new QPushButton(JobProgressWidget::tr("Cancel"), this);
        m_cancel->setObjectName(QStringLiteral("pbJobCancel"));
        m_cancel->setAccessibleName(JobProgressWidget::tr("Cancel %1").arg(title));
        m_cancel->hide();
        m_close = new QToolButton(this);
        m_close->setObjectName(QStringLiteral("tbJobClose"));
        m_close->setText(QStringLiteral("\u00d7"));
        m_close->setToolTip(JobProgressWidget::tr("Close"));
        m_close->setAccessibleName(JobProgressWidget::tr("Close"));
        m_close->hide();
        connect(m_close, &QToolButton::clicked, this, &QObject::deleteLater);
        auto *layout = new QHBoxLayout(this);
        layout->setContentsMargins(4, 2, 4, 2);
        layout->addWidget(m_text, 1);
        layout->addWidget(m_bar, 1);
        layout->addWidget(m_cancel);
        layout->addWidget(m_close);
        setStatus(JobProgressWidget::tr("starting"));
    }

    void setStatus(const QString &status)
    {
        m_status = status;
        m_text->setText(m_title + QStringLiteral(": ") + status);
    }
    const QString &status() const { return m_status; }

    void setProgress(qint64 done, qint64 total)
    {
        // A bar counts in int; the job's units may not fit, the proportion does.
        const int scale = 1000;
        if (total <= 0) {
            m_bar->setRange(0, 0);
            return;
        }
        m_bar->setRange(0, scale);
        m_bar->setValue(int(qBound<qint64>(0, done * scale / total, scale)));
    }

    // The job deletes itself on its own thread, so the row keeps only a way to ask it to stop.
    void allowCancel(const Job::Handle &job)
    {
        m_cancel->show();
        connect(m_cancel, &QPushButton::clicked, this, [this, job] {
            job.cancel();
            m_cancel->setEnabled(false);
            setStatus(JobProgressWidget::tr("cancelling…"));
        });
    }

    // A job the person stopped is neither a success nor a failure: the row says so plainly.
    void endCancelled(const QString &text)
    {
        end(true, text);
        m_text->setStyleSheet(QString());
    }

    void end(bool ok, const QString &text)
    {
        setProperty(kEnded, true);
        m_cancel->hide();
        m_bar->setRange(0, 1);
        m_bar->setValue(ok ? 1 : 0);
        m_bar->hide();
        m_text->setText(text);
        m_text->setStyleSheet(ok ? QStringLiteral("color: rgb(0, 110, 0); font-weight: bold")
                                 : QStringLiteral("color: rgb(200, 0, 0); font-weight: bold"));
        m_text->setAccessibleName(text);
        m_close->show();
    }

    QLabel *m_text;
    QProgressBar *m_bar;
    QPushButton *m_cancel;
    QToolButton *m_close;

private:
    QString m_title;
    QString m_status;
};

} // namespace

JobProgressWidget::JobProgressWidget(QWidget *parent) : QWidget(parent), m_rows(new QVBoxLayout(this))
{
    setObjectName(QStringLiteral("wJobProgress"));
    m_rows->setContentsMargins(0, 0, 0, 0);
    m_rows->setSpacing(0);
    setVisible(false);
}

JobProgressWidget::~JobProgressWidget()
{
    // The rows tell this widget when they go; they go while it is still one.
    qDeleteAll(findChildren<JobRow *>(QString(), Qt::FindDirectChildrenOnly));
}

void JobProgressWidget::dropEndedRows()
{
    for (JobRow *row : findChildren<JobRow *>(QString(), Qt::FindDirectChildrenOnly)) {
        if (row->property(kEnded).toBool())
            delete row;
    }
}

void JobProgressWidget::follow(Job *job, const QString &title, SuccessNotice notice)
{
    dropEndedRows();
    auto *row = new JobRow(title, this);
    m_rows->addWidget(row);
    setVisible(true);
    QPointer<JobRow> guard(row);
    // The row's lifetime is the receiver's: a row closed before its job ends hears no more.
    connect(job, &Job::status, row, [row](const QString &text) { row->setStatus(text); });
    connect(job, &Job::progress, row, [row](qint64 done, qint64 total) { row->setProgress(done, total); });
    const Job::Handle handle = job->handle();
    row->allowCancel(handle);
    connect(job, &Job::finished, this, [this, guard, title, notice, handle](bool ok, const QString &error) {
        if (!ok && handle.cancelled()) {
            const QString text = tr("%1: cancelled").arg(title);
            if (guard)
                guard->endCancelled(text);
            emit jobEnded(false, text);
            return;
        }
        const QString text = ok ? (guard && !guard->status().isEmpty() ? guard->status() : tr("%1: done").arg(title))
                                : tr("%1 failed: %2").arg(title, error);
        if (guard)
            guard->end(ok, text);
        if (!ok)
            emit messageRequested(error, QStringLiteral("red"));
        else if (notice == SuccessNotice::Announce)
            emit messageRequested(text, QStringLiteral("green"));
        emit jobEnded(ok, text);
    });
    ++m_live;
    connect(row, &QObject::destroyed, this, [this] {
        if (--m_live == 0)
            setVisible(false);
    });
}

int JobProgressWidget::rowCount() const
{
    return m_live;
}

QString JobProgressWidget::rowText(int row) const
{
    QLayoutItem *item = m_rows->itemAt(row);
    auto *r = item ? static_cast<JobRow *>(item->widget()) : nullptr;
    return r ? r->m_text->text() : QString();
}

int JobProgressWidget::rowBarValue(int row) const
{
    QLayoutItem *item = m_rows->itemAt(row);
    auto *r = item ? static_cast<JobRow *>(item->widget()) : nullptr;
    return r ? r->m_bar->value() : -1;
}

int JobProgressWidget::rowBarMaximum(int row) const
{
    QLayoutItem *item = m_rows->itemAt(row);
    auto *r = item ? static_cast<JobRow *>(item->widget()) : nullptr;
    return r ? r->m_bar->maximum() : -1;
}
