#include "ui/reports/ReportActions.h"

#include "base/Log.h"
#include "base/Paths.h"
#include "records/RecordMirror.h"
#include "records/TemplateLists.h"
#include "records/TemplateListsModel.h"
#include "reports/CsvReport.h"
#include "reports/ExcelReport.h"
#include "reports/QrListReport.h"
#include "reports/QrReportEngine.h"
#include "reports/ReportDatabase.h"
#include "reports/ReportIdentity.h"
#include "reports/ReportStamp.h"
#include "ui/popups/PopupHost.h"
#include "ui/widgets/cParameter.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QSqlDatabase>
#include <QStandardItemModel>

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

void ReportActions::iBtnSaveReport_Click()
{
    const QString dir = ReportPaths::reportsDir();
    QDir().mkpath(dir);
    QString filter;
    const QString path = m_ask(tr("Save Report of Measures"),
                               ReportPaths::unusedPath(dir + QStringLiteral("/report(") + dateTimeStamp().file
                                                       + QStringLiteral(").csv")),
                               tr("Key Moment Report (*.csv);;All Files (*)"), &filter);
    if (path.isEmpty())
        return;
    QStandardItemModel none;
    QString error;
    if (!CsvReport::save(m_memory ? *m_memory : none, ReportIdentity::load().operatorName, path, &error)) {
        fail(tr("The report was not saved. %1").arg(error));
        return;
    }
    emit reportSaved(path);
    emit statusMessage(tr("Report saved to %1").arg(QDir::toNativeSeparators(path)));
}

void ReportActions::iBtnStart_Click()
{
    const QStringList names = m_recordNames ? m_recordNames() : QStringList();
    if (names.size() > 1) {
        fail(tr("The Excel report holds one record, and %1 are chosen. Walk the levels down to one record.")
                 .arg(names.size()));
        return;
    }
    if (names.isEmpty()) {
        fail(tr("No record is chosen: walk the levels down to one record first."));
        return;
    }
    const QString name = names.first();
    const RecordMirror::Loaded loaded = RecordMirror::load(name);
    if (loaded.record.entries.isEmpty()) {
        fail(tr("Empty Report can't be save!"));
        return;
    }
    const ReportIdentity identity = ReportIdentity::load();
    const QString path = ReportPaths::unusedPath(ExcelReport::outputPath(identity.keyName, dateTimeStamp()));
    m_lastExcel = path;
    const QString templatePath = ReportPaths::excelTemplate();
    if (!QFileInfo::exists(templatePath)) {
        fail(tr("Warning! Excel Template NOT found!"));
        return;
    }
    TemplateLists fallback;
    QString error;
    if (!ExcelReport::make(loaded.record, m_lists ? m_lists->lists() : fallback, identity, templatePath, path,
                           &error)) {
        m_lastExcel.clear();
        fail(tr("The Excel report was not saved: %1").arg(error));
        return;
    }
    emit reportSaved(path);
    emit statusMessage(tr("Excel report of %1 saved to %2").arg(name, QDir::toNativeSeparators(path)));
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
}

void ReportActions::iBtnQRGenerate_Click()
{
    const QString folder = RecordMirror::folder();
    if (QrListReport::recordFiles(folder).isEmpty()) {
        fail(tr("Warning! Folder is empty!"));
        return;
    }
    m_engine = std::make_unique<QrReportEngine>();
    const bool loaded = m_engine->loadFromFile(ReportPaths::qrTemplate(), false);

    const DateTimeStamp stamp = dateTimeStamp();
    // The dialog opens in the proposed folder, so it has to be there first.
    QDir().mkpath(ReportPaths::qrcodesDir());
    QString selectedFilter;
    const QString path = m_ask(tr("Save QR-codes list"), ReportPaths::unusedPath(QrListReport::proposedPath(stamp)),
                               tr("QR-list (*.pdf);;All Files (*)"), &selectedFilter);
    td::log(QStringLiteral("selectedFilter: ") + selectedFilter);
    if (path.isEmpty())
        return;
    if (!loaded) {
        fail(tr("The QR-codes list was not saved: %1").arg(m_engine->lastError()));
        return;
    }
    // The table is shared with the measures on screen, which a tightening arriving while the
    // dialog is open empties and refills: it is filled only now, from the mirror as it is now.
    TemplateLists fallback;
    QString error;
    if (!QSqlDatabase::database().isOpen() && !ReportDatabase::open(Paths::reportDatabase())) {
        fail(tr("The report database is not open."));
        return;
    }
    const int rows = QrListReport::fillRecordsTable(folder, m_lists ? m_lists->lists() : fallback, &error);
    if (rows < 0) {
        fail(error);
        return;
    }
    if (rows == 0) {
        fail(tr("The QR-codes list was not saved: %1").arg(QrListReport::noRecordsRead(folder)));
        return;
    }
    if (!QrListReport::print(m_engine.get(), ReportIdentity::load(), stamp, path, &error)) {
        fail(tr("The QR-codes list was not saved: %1").arg(error));
        return;
    }
    emit reportSaved(path);
    emit statusMessage(tr("QR-codes list of %1 records saved to %2").arg(rows).arg(QDir::toNativeSeparators(path)));
}

void ReportActions::iBtnOpenReport_Click()
{
    td::log(QStringLiteral("Opening of report. Please wait..."));
    QDir().mkpath(ReportPaths::reportsDir());
    open(ReportPaths::reportsDir());
}
