#include "station/ArchiverSources.h"

#include "base/Log.h"
#include "history/KeyContext.h"
#include "protocol/KeyModel.h"
#include "reports/ReportDatabase.h"

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
    if (ReportDatabase *codes = sources.reportCodes)
        archiver.setBarcodeSource([codes](const QString &record) { return codes->barcodesOfRecord(record); });
    else
        archiver.setBarcodeSource({});
}
