#include "history/HistoryExportJob.h"

#include "history/HistoryDatabase.h"
#include "history/HistoryExport.h"

#include <QCoreApplication>
#include <QDir>

HistoryExportJob::HistoryExportJob(const HistoryLocation &location, const HistoryFilter &filter, Format format,
                                   const QString &path)
    : m_location(location), m_filter(filter), m_format(format), m_path(path)
{
}

void HistoryExportJob::run()
{
    HistoryExport::Outcome o;
    {
        HistoryDatabase db;
        QString error;
        if (!db.open(m_location, &error)) {
            o.error = QCoreApplication::translate("HistoryExportJob", "the history cannot be opened: %1").arg(error);
        } else {
            emit status(QCoreApplication::translate("HistoryExportJob", "Exporting the history to %1")
                            .arg(QDir::toNativeSeparators(m_path)));
            HistoryExport::Feedback feedback;
            feedback.progress = [this](qint64 done, qint64 total) { emit progress(done, total); };
            feedback.cancelled = [this] { return isCancelled(); };
            o = m_format == Format::Csv ? HistoryExport::writeCsv(&db, m_filter, m_path, feedback)
                                        : HistoryExport::writeDfq(&db, m_filter, m_path, feedback);
        }
    }
    if (o.ok)
        emit status(QCoreApplication::translate("HistoryExportJob", "%1 measures exported to %2")
                        .arg(o.rows)
                        .arg(QDir::toNativeSeparators(m_path)));
    emit written(o.ok ? o.rows : 0, o.ok ? o.replacedCharacters : 0);
    emit finished(o.ok, o.error);
}
