#include "station/ArchiverSources.h"

#include "base/Log.h"
#include "history/KeyContext.h"
#include "protocol/KeyModel.h"
#include "reports/ReportDatabase.h"

#include <QFileInfo>

#include <atomic>
#include <memory>

void assembleArchiver(HistoryArchiver &archiver, const ArchiverSources &sources, QObject *lifetime)
{
    auto current = std::make_shared<HistoryArchiver::Context>(sources.identity);
    if (KeyModel *key = sources.key) {
        auto remember = [key, current] {
            const HistoryArchiver::Context c = keyContext(*key);
            if (c.keySerial.isEmpty() || c == *current)
                return;
            *current = c;
            QString e;
            if (!c.save(&e))
                td::log(e);
        };
        QObject::connect(key, &KeyModel::deviceSettingsChanged, lifetime, remember);
        QObject::connect(key, &KeyModel::namesChanged, lifetime, remember);
        QObject::connect(key, &KeyModel::calibrationChanged, lifetime, remember);
    }
    archiver.setContextSource([current] { return *current; });
    archiver.setTemplatesSource(sources.templates);
    archiver.setBarcodeSource(sources.barcodes);
}

std::function<QStringList(const QString &)> barcodesFromReportFile(const QString &path)
{
    // Qt's connection names are process-wide: one per reader.
    static std::atomic_int made{0};
    const QString connection = QStringLiteral("report-codes-%1").arg(++made);
    auto db = std::make_shared<std::unique_ptr<ReportDatabase>>();
    return [db, path, connection](const QString &record) -> QStringList {
        if (!*db) {
            if (!QFileInfo::exists(path))
                return {};
            *db = std::make_unique<ReportDatabase>(connection);
            (*db)->open(path);
        }
        return (*db)->isOpen() ? (*db)->barcodesOfRecord(record) : QStringList();
    };
}
