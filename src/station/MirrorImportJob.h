#pragma once

#include "base/Job.h"
#include "station/ArchiverSources.h"

#include <QString>

// Archives every measure of the local mirror in the history, as a job: the store, its archiver
// and the report codes are opened on the thread that runs it (a Qt SQL connection serves only
// the thread that opened it), so whoever shows the progress keeps answering. The sources must
// not follow a key (that lives on another thread); their barcodes come from the report file.
class MirrorImportJob : public Job
{
    Q_OBJECT
public:
    MirrorImportJob(QString historyUrl, ArchiverSources sources, QString reportDatabasePath);
    void run() override;


signals:
    // Right before finished() once the history was opened: what was archived, and what waits in
    // the local queue for the server (serverAway: it was not reached at all).
    void archived(int files, int measures, int added, int queuedNow, qint64 queuedTotal, const QString &queuePath,
                  bool serverAway);

private:
    QString m_url;
    ArchiverSources m_sources;
    QString m_reportDatabase;
};
