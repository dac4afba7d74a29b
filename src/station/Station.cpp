#include "station/Station.h"

#include "reports/ReportDatabase.h"

#include "base/Paths.h"
#include "base/cGlobalData.h"
#include "history/HistoryArchiver.h"
#include "history/HistoryStore.h"
#include "history/HistoryService.h"
#include "history/HistorySettings.h"
#include "history/StationName.h"
#include "protocol/KeyConnection.h"
#include "protocol/KeySession.h"
#include "publish/KeyPresenceFeed.h"
#include "publish/PublishStation.h"
#include "records/RecordList.h"
#include "station/ArchiverSources.h"


#include <memory>

Station::Station(cGlobalData *options, QObject *parent) : QObject(parent), m_options(options)
{
    setObjectName(QStringLiteral("station"));
    if (!options->station.isEmpty())
        StationName::setOverride(options->station);
}

Station::~Station()
{
    // The publisher reads the history's store; the history archives what the connection brings.
    delete m_publishing;
    delete m_history;
    delete m_connection;
}

KeyConnection *Station::connection()
{
    if (!m_connection)
        m_connection = new KeyConnection(m_options, this);
    return m_connection;
}

KeySession *Station::session()
{
    return connection()->session();
}

RecordList *Station::records()
{
    if (!m_records)
        m_records = new RecordList(this);
    return m_records;
}

HistoryService *Station::history()
{
    if (!m_history)
        m_history = new HistoryService(this);
    return m_history;
}

bool Station::openHistoryHere(const QString &url, const ArchiverSources &sources, QString *error)
{
    m_archiverHere.reset();
    m_storeHere = std::make_unique<HistoryStore>();
    m_archiverHere = std::make_unique<HistoryArchiver>(m_storeHere.get());
    const bool ok = m_storeHere->open(url, error);
    assembleArchiver(*m_archiverHere, sources, this);
    return ok;
}

void Station::openHistory()
{
    const QString url = m_options->historyDb.isEmpty() ? HistorySettings::load().database : m_options->historyDb;
    HistoryService *service = history();
    service->openDatabase(url);
    service->setBarcodeSource([path = Paths::reportDatabase()] { return barcodesFromReportFile(path); });
    if (m_connection)
        service->follow(m_connection->session());
}

ReportDatabase *Station::reports()
{
    // Logs "DB Report connected" / "DB Report Not connected" with the reason itself.
    if (!m_reports)
        m_reports = ReportDatabase::openStation();
    return m_reports.get();
}

PublishStation *Station::publishing()
{
    if (m_publishing)
        return m_publishing;
    m_publishing = new PublishStation(this);
    m_publishing->setObjectName(QStringLiteral("publishStation"));
    HistoryService *service = history();
    m_publishing->useWorker(service->worker());
    auto url = std::make_shared<QString>(service->url());
    // A new station name takes a topic and a position of its own.
    auto name = std::make_shared<QString>(StationName::current());
    PublishStation *publishing = m_publishing;
    connect(service, &HistoryService::historyChanged, publishing, [publishing, service, url, name] {
        if (service->url() != *url || StationName::current() != *name) {
            *url = service->url();
            *name = StationName::current();
            publishing->useWorker(service->worker());
        } else {
            publishing->poke();
        }
    });
    if (m_connection)
        followKeyLinks(publishing->presence(), m_connection);
    return m_publishing;
}
