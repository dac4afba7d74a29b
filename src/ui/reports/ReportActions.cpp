#include "ui/reports/ReportActions.h"

#include "base/Job.h"
#include "base/Log.h"
#include "records/RecordMirror.h"
#include "records/TemplateLists.h"
#include "records/TemplateListsModel.h"
#include "reports/CsvReport.h"
#include "reports/ExcelReport.h"
#include "reports/QrListReport.h"
#include "reports/ReportIdentity.h"
#include "reports/ReportJobs.h"
#include "reports/ReportStamp.h"
#include "ui/popups/PopupHost.h"
#include "ui/widgets/JobProgressWidget.h"
#include "ui/widgets/cParameter.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>

#include <memory>

ReportActions::ReportActions(QObject *parent) : QObject(parent)
{
    m_ask = [](const QString &title, const QString &proposed, const QString &filter, QString *selected) {
        return QFileDialog::getSaveFileName(nullptr, title, proposed, filter, selected,
                                            QFileDialog::DontUseNativeDialog);
    };
    m_open = [](const QUrl &url) { return QDesktopServices::openUrl(url); };
}

ReportActions::~ReportActions() = default;

void ReportActions::fail(const QString &text)
{
    td::log(text);
    emit messageRequested(text, QStringLiteral("red"));
}

void ReportActions::open(const QString &path)
{
    if (m_open(QUrl::fromLocalFile(path)))
        return;
    // Without a file browser or a program for the type the desktop does nothing at all.
    fail(tr("The desktop could not open %1").arg(QDir::toNativeSeparators(path)));
}

void ReportActions::launch(Kind kind, Job *job, const QString &title, const QString &path, bool announce,
                           std::function<void()> onSaved)
{
    m_running[int(kind)] = true;
    // Followed first: the outcome is on screen by the time reportSaved or reportFailed goes out.
    if (m_progress)
        m_progress->follow(job, title,
                           announce ? JobProgressWidget::SuccessNotice::Announce : JobProgressWidget::SuccessNotice::RowOnly);
    auto outcome = std::make_shared<QString>();
    connect(job, &Job::status, this, [outcome](const QString &text) { *outcome = text; });
    const Job::Handle handle = job->handle();
    connect(job, &Job::finished, this, [this, kind, path, outcome, onSaved, handle](bool ok, const QString &error) {
        m_running[int(kind)] = false;
        if (!ok && handle.cancelled()) {
            td::log(error);
            emit statusMessage(tr("The report was cancelled; no file was written"));
            return;
        }
        if (!ok) {
            td::log(error);
            emit reportFailed(error);
            return;
        }
        emit reportSaved(path);
        emit statusMessage(*outcome);
        if (onSaved)
            onSaved();
    });
    startJob(job);
}

bool ReportActions::refuseWhileRunning(Kind kind)
{
    if (!isRunning(kind))
        return false;
    static const char *const busy[] = {
        QT_TR_NOOP("A CSV report is being saved. Wait until it is done, then save the next."),
        QT_TR_NOOP("An Excel report is being made. Wait until it is done, then make the next."),
        QT_TR_NOOP("The QR-codes list is being made. Wait until it is done, then make the next."),
    };
    emit messageRequested(tr(busy[int(kind)]), QStringLiteral("yellow"));
    return true;
}

void ReportActions::iBtnSaveReport_Click()
{
    if (refuseWhileRunning(Kind::Csv))
        return;
    const QString dir = ReportPaths::reportsDir();
    QDir().mkpath(dir);
    QString filter;
    const QString path = m_ask(tr("Save Report of Measures"),
                               ReportPaths::unusedPath(dir + QStringLiteral("/report(") + dateTimeStamp().file
                                                       + QStringLiteral(").csv")),
                               tr("Key Moment Report (*.csv);;All Files (*)"), &filter);
    if (path.isEmpty() || refuseWhileRunning(Kind::Csv))
        return;
    // The table belongs to the GUI thread: what the report writes is copied now.
    CsvReport::Table table = m_memory ? CsvReport::Table::of(*m_memory) : CsvReport::Table();
    launch(Kind::Csv, new CsvReportJob(std::move(table), ReportIdentity::load().operatorName, path), tr("CSV report"),
           path, true);
}

void ReportActions::iBtnStart_Click()
{
    if (refuseWhileRunning(Kind::Excel))
        return;
    const QStringList names = m_recordNames ? m_recordNames() : QStringList();
    const QString refusal = ExcelReport::choiceRefusal(names);
    if (!refusal.isEmpty()) {
        fail(refusal);
        return;
    }
    ExcelReportJob::Request r;
    r.recordName = names.first();
    if (m_lists)
        r.lists = m_lists->lists();
    r.identity = ReportIdentity::load();
    r.templatePath = ReportPaths::excelTemplate();
    r.outPath = ReportPaths::unusedPath(ExcelReport::outputPath(r.identity.keyName, dateTimeStamp()));
    const QString path = r.outPath;
    m_lastExcel.clear();
    launch(Kind::Excel, new ExcelReportJob(std::move(r)), tr("Excel report"), path, !m_popups, [this, path] {
        m_lastExcel = path;
        if (!m_popups)
            return;
        cParameter question(tr("Report was saved with filename: ") + path, true, QString(), QStringLiteral("green"));
        QPointer<ReportActions> self(this);
        m_popups->PopupQuestionWindow(&question, tr("Open"), tr("Cancel"),
                                      [self](QWidget *) {
                                          if (self && !self->m_lastExcel.isEmpty())
                                              self->open(self->m_lastExcel);
                                      },
                                      iFuncWhenYes());
    });
}

void ReportActions::iBtnQRGenerate_Click()
{
    if (refuseWhileRunning(Kind::QrList))
        return;
    const QString folder = RecordMirror::folder();
    const QString refusal = QrListReport::refusal(folder);
    if (!refusal.isEmpty()) {
        fail(refusal);
        return;
    }
    QrListReport::Request r;
    r.stamp = dateTimeStamp();
    // The dialog opens in the proposed folder, so it has to be there first.
    QDir().mkpath(ReportPaths::qrcodesDir());
    QString selectedFilter;
    r.outPath = m_ask(tr("Save QR-codes list"), ReportPaths::unusedPath(QrListReport::proposedPath(r.stamp)),
                      tr("QR-list (*.pdf);;All Files (*)"), &selectedFilter);
    td::log(QStringLiteral("selectedFilter: ") + selectedFilter);
    if (r.outPath.isEmpty() || refuseWhileRunning(Kind::QrList))
        return;
    // The records are read by the job, from the mirror as it is once the name is given.
    r.folder = folder;
    r.templatePath = ReportPaths::qrTemplate();
    if (m_lists)
        r.lists = m_lists->lists();
    r.identity = ReportIdentity::load();
    const QString path = r.outPath;
    launch(Kind::QrList, new QrListJob(std::move(r)), tr("QR-codes list"), path, true);
}

void ReportActions::iBtnOpenReport_Click()
{
    td::log(QStringLiteral("Opening of report. Please wait..."));
    QDir().mkpath(ReportPaths::reportsDir());
    open(ReportPaths::reportsDir());
}
