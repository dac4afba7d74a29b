#pragma once

#include "base/Job.h"
#include "history/HistoryLocation.h"
#include "history/HistoryMeasure.h"

#include <QString>

// A CSV or DFQ export of the history as a job: for the window (startJob) and the command line
// (run() on its own thread). It reads over a connection of its own, opened on the thread that
// runs it, since a Qt SQL connection serves only the thread that made it.
class HistoryExportJob : public Job
{
    Q_OBJECT
public:
    enum class Format { Csv, Dfq };

    HistoryExportJob(const HistoryLocation &location, const HistoryFilter &filter, Format format, const QString &path);

    void run() override;

signals:
    // Right before finished(ok, ...): the measures in the file and, for DFQ, the characters
    // written as '?'. Both 0 when nothing was written.
    void written(qint64 rows, int replacedCharacters);

private:
    HistoryLocation m_location;
    HistoryFilter m_filter;
    Format m_format;
    QString m_path;
};
