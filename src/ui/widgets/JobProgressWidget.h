#pragma once

#include <QWidget>

class Job;
class QVBoxLayout;

// Where long work shows itself in the window, under the file transfers: a row per job with
// its title, its status text and a bar. When the job ends its outcome stays in the row, green
// when it succeeded and red when it failed, until the person closes the row or the next job
// starts; the same sentence goes to the window's message (messageRequested), so a success is
// as plain to see as a failure.
class JobProgressWidget : public QWidget
{
    Q_OBJECT
public:
    explicit JobProgressWidget(QWidget *parent = nullptr);
    ~JobProgressWidget() override;

    // Whether the outcome of a success is also announced through messageRequested (a job
    // whose caller asks its own question on success says no).
    enum class SuccessNotice { Announce, RowOnly };

    // Shows job from now until it ends. Call before startJob(job): the job's signals arrive
    // here queued, on the GUI thread.
    void follow(Job *job, const QString &title, SuccessNotice notice = SuccessNotice::Announce);

    // What the rows show, first row first (for tests and screen readers alike).
    int rowCount() const;
    QString rowText(int row) const;
    int rowBarValue(int row) const;
    int rowBarMaximum(int row) const;

signals:
    // A sentence for the user (text, cParameter colour name: "green" or "red").
    void messageRequested(const QString &text, const QString &style);
    // A followed job has ended; text is its outcome as the row shows it.
    void jobEnded(bool ok, const QString &text);

private:
    void dropEndedRows();

    QVBoxLayout *m_rows;
    int m_live = 0;
};
