#pragma once

#include "base/Job.h"
#include "records/TemplateLists.h"
#include "reports/CsvReport.h"
#include "reports/QrListReport.h"
#include "reports/ReportIdentity.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

// The three reports as jobs, for the window (on a thread of their own, through startJob) and
// for the command line alike. Each is given plain copies of what it reads from the window, so
// nothing it touches belongs to the GUI thread. On success the last status() is the sentence
// that says where the report went.
class ReportJobs
{
    Q_DECLARE_TR_FUNCTIONS(ReportJobs)
public:
    // The template lists of the "templates" mirror (defaults where a file is missing).
    static void loadMirrorTemplates(TemplateLists *lists);
};

// The memory table's report.
class CsvReportJob : public Job
{
    Q_OBJECT
public:
    CsvReportJob(CsvReport::Table table, QString operatorName, QString outPath);
    void run() override;

private:
    CsvReport::Table m_table;
    QString m_operator;
    QString m_out;
};

// The workbook of one record of the dbsett mirror.
class ExcelReportJob : public Job
{
    Q_OBJECT
public:
    struct Request
    {
        QString recordName;
        TemplateLists lists;
        ReportIdentity identity;
        QString templatePath;
        QString outPath;
    };
    explicit ExcelReportJob(Request request);
    void run() override;

private:
    Request m_request;
};

// The QR list of every record of the dbsett mirror.
class QrListJob : public Job
{
    Q_OBJECT
public:
    explicit QrListJob(QrListReport::Request request);
    void run() override;

private:
    QrListReport::Request m_request;
};
