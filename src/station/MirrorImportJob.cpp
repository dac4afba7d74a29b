#include "station/MirrorImportJob.h"

#include "history/HistoryStore.h"

#include <QCoreApplication>

MirrorImportJob::MirrorImportJob(QString historyUrl, ArchiverSources sources, QString reportDatabasePath)
    : m_url(std::move(historyUrl)), m_sources(std::move(sources)), m_reportDatabase(std::move(reportDatabasePath))
{
    m_sources.key = nullptr;
}

void MirrorImportJob::run()
{
    struct
    {
        bool opened = false;
        bool serverAway = false;
        HistoryArchiver::MirrorResult result;
        qint64 queued = 0;
        QString queuePath;
    } o;
    QString error;
    {
        HistoryStore store;
        HistoryArchiver archiver(&store);
        o.opened = store.open(m_url, &error);
        if (o.opened) {
            o.serverAway = store.isServer() && !store.isOnline();
            ArchiverSources sources = m_sources;
            sources.barcodes = barcodesFromReportFile(m_reportDatabase);
            assembleArchiver(archiver, sources, this);
            emit status(QCoreApplication::translate("MirrorImportJob", "Archiving the mirror in %1").arg(store.display()));
            o.result = archiver.archiveMirror([this](int done, int total) { emit progress(done, total); });
            o.queued = store.queuedCount();
            o.queuePath = store.queuePath();
        }
    }
    if (!o.opened) {
        emit finished(false, QCoreApplication::translate("MirrorImportJob", "the history cannot be opened: %1").arg(error));
        return;
    }
    const HistoryArchiver::MirrorResult &r = o.result;
    emit archived(r.files, r.measures, r.added, r.queued, o.queued, o.queuePath, o.serverAway);
    if (!r.ok()) {
        emit finished(false, QCoreApplication::translate("MirrorImportJob", "the measures of %1 record files were not kept: %2")
                                 .arg(r.failed.size())
                                 .arg(r.error));
        return;
    }
    emit status(QCoreApplication::translate("MirrorImportJob", "%1 record files, %2 measures: %3 new in the history, %4 queued for the server")
                    .arg(r.files)
                    .arg(r.measures)
                    .arg(r.added)
                    .arg(r.queued));
    emit finished(true, QString());
}
