#include "publish/PublishStation.h"

#include "base/Log.h"
#include "history/HistoryStore.h"
#include "publish/HistoryPublishSource.h"
#include "publish/KeyPresence.h"
#include "publish/MqttPublisher.h"
#include "publish/WorkerPublishSource.h"

namespace {

// Stands in when the history cannot be opened: nothing to send, so the publisher still
// reports its state (and the key status topics still work).
class EmptySource : public PublishSource
{
public:
    QVector<Item> itemsAfter(const Cursor &, int) override { return {}; }
    qint64 countAfter(const Cursor &) override { return 0; }
    std::optional<Cursor> acknowledgedCursor() override { return Cursor(); }
    bool setAcknowledgedCursor(const Cursor &) override { return true; }
};

EmptySource g_empty;

} // namespace

PublishStation::PublishStation(QObject *parent) : QObject(parent), m_presence(new KeyPresence(this))
{
    // New measures reach the history from the archiver in their own time; a look once a
    // second costs one indexed count and keeps the two parts apart.
    m_poll.setInterval(1000);
    connect(&m_poll, &QTimer::timeout, this, [this] {
        if (m_publisher)
            m_publisher->poke();
    });
}

PublishStation::~PublishStation()
{
    // The publisher says "offline" and lets go of the source before the history closes.
    delete m_publisher;
    m_publisher = nullptr;
    m_source.reset();
    m_ownStore.reset();
}

QString PublishStation::cursorName()
{
    MqttSettings identity;
    MqttSettingsFile::stationSettings(MqttStoredSettings(), QString(), &identity, nullptr);
    return HistoryPublishSource::cursorNameFor(identity.clientIdentity);
}

bool PublishStation::openHistory(const QString &historyUrl, QString *error)
{
    auto store = std::make_unique<HistoryStore>();
    const bool open = store->open(historyUrl, error);
    rebuild(open ? std::make_unique<HistoryPublishSource>(store.get(), cursorName()) : nullptr);
    m_ownStore = std::move(store);
    return open;
}

void PublishStation::useStore(HistoryStore *store)
{
    const bool open = store && store->isOpen();
    rebuild(open ? std::make_unique<HistoryPublishSource>(store, cursorName()) : nullptr);
    m_ownStore.reset();
}

void PublishStation::useWorker(HistoryWorker *worker)
{
    auto source = std::make_unique<WorkerPublishSource>(worker, cursorName());
    WorkerPublishSource *s = source.get();
    rebuild(std::move(source));
    // What the history's thread sends back is looked at at once, not at the next poll.
    connect(s, &WorkerPublishSource::ready, this, &PublishStation::poke);
    m_ownStore.reset();
}

void PublishStation::rebuild(std::unique_ptr<PublishSource> newSource)
{
    delete m_publisher;
    m_publisher = nullptr;
    m_source = std::move(newSource);
    PublishSource *source = m_source ? m_source.get() : &g_empty;
    if (!m_source)
        td::log(QStringLiteral("MQTT: the history is not open, nothing will be published"));
    m_publisher = new MqttPublisher(source, this);
    connect(m_presence, &KeyPresence::statusChanged, m_publisher, &MqttPublisher::setKeyStatus);
    const QHash<QString, QString> known = m_presence->statuses();
    for (auto it = known.constBegin(); it != known.constEnd(); ++it)
        m_publisher->setKeyStatus(it.key(), it.value());
    emit publisherChanged(m_publisher);
    if (m_running)
        apply(m_stored, m_urlOverride, nullptr);
}

void PublishStation::poke()
{
    if (m_publisher)
        m_publisher->poke();
}

bool PublishStation::apply(const MqttStoredSettings &stored, const QString &urlOverride, QString *error)
{
    if (!m_publisher)
        rebuild(nullptr);
    m_stored = stored;
    m_urlOverride = urlOverride;
    m_running = false;
    MqttSettings settings;
    if (!MqttSettingsFile::stationSettings(stored, urlOverride, &settings, error)) {
        m_publisher->stop();
        m_poll.stop();
        return false;
    }
    if (!settings.isConfigured()) {
        m_publisher->stop();
        m_poll.stop();
        return true;
    }
    if (!m_publisher->start(settings)) {
        m_poll.stop();
        if (error)
            *error = m_publisher->reason();
        return false;
    }
    m_running = true;
    m_poll.start();
    return true;
}
