#include "publish/PublishStation.h"

#include "base/Log.h"
#include "history/HistoryStore.h"
#include "publish/HistoryPublishSource.h"
#include "publish/KeyPresence.h"
#include "publish/MqttPublisher.h"

namespace {

// Stands in when the history cannot be opened: nothing to send, so the publisher still
// reports its state (and the key status topics still work).
class EmptySource : public PublishSource
{
public:
    QVector<Item> itemsAfter(qint64, int) override { return {}; }
    qint64 countAfter(qint64) override { return 0; }
    qint64 acknowledgedCursor() override { return 0; }
    bool setAcknowledgedCursor(qint64) override { return true; }
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
    m_store.reset();
}

bool PublishStation::openHistory(const QString &historyUrl, QString *error)
{
    delete m_publisher;
    m_publisher = nullptr;
    m_source.reset();
    m_store = std::make_unique<HistoryStore>();
    m_historyOpen = m_store->open(historyUrl, error);
    PublishSource *source = &g_empty;
    if (m_historyOpen) {
        MqttSettings identity;
        MqttSettingsFile::stationSettings(MqttStoredSettings(), QString(), &identity, nullptr);
        m_source = std::make_unique<HistoryPublishSource>(m_store.get(),
                                                          HistoryPublishSource::cursorNameFor(identity.clientIdentity));
        source = m_source.get();
    } else {
        td::log(QStringLiteral("MQTT: the history cannot be opened, nothing will be published"));
    }
    m_publisher = new MqttPublisher(source, this);
    connect(m_presence, &KeyPresence::statusChanged, m_publisher, &MqttPublisher::setKeyStatus);
    return m_historyOpen;
}

bool PublishStation::apply(const MqttStoredSettings &stored, const QString &urlOverride, QString *error)
{
    if (!m_publisher)
        openHistory(QString(), nullptr);
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
    m_poll.start();
    return true;
}
