#pragma once

#include "publish/MqttSettingsFile.h"

#include <QObject>
#include <QTimer>

#include <memory>

class HistoryStore;
class HistoryWorker;
class PublishSource;
class KeyPresence;
class MqttPublisher;

// The station's publishing as one piece: its own connection to the history, the publisher
// reading from it, and the key presence feeding the status topics. The window owns one; what
// the settings page applies restarts it.
class PublishStation : public QObject
{
    Q_OBJECT
public:
    explicit PublishStation(QObject *parent = nullptr);
    ~PublishStation() override;

    // historyUrl as the history store takes it (empty: the data root's own file). The
    // publisher exists from here on, even when this fails (it then stays not configured).
    bool openHistory(const QString &historyUrl, QString *error);
    // Publishes from a history someone else keeps open (the window's); call again after that
    // store was opened on another database. What ran keeps running on the new one.
    void useStore(HistoryStore *store);
    // Publishes from a history that lives on its own thread (the window's): reads and
    // position writes are asked of that thread, so nothing here waits for the database. Call
    // again after the history was opened on another database.
    void useWorker(HistoryWorker *worker);

    // Starts with these settings (urlOverride, from --mqtt, in place of the stored address),
    // or stops when no address is given. False with *error for settings that cannot run.
    bool apply(const MqttStoredSettings &stored, const QString &urlOverride, QString *error);

    MqttPublisher *publisher() const { return m_publisher; }
    KeyPresence *presence() const { return m_presence; }

    // New measures may be in the history.
    void poke();

    // How often the history is looked at for new measures.
    void setPollInterval(int ms) { m_poll.setInterval(ms); }

signals:
    // The publisher was made anew (another history): whoever follows it follows this one.
    void publisherChanged(MqttPublisher *publisher);

private:
    void rebuild(std::unique_ptr<PublishSource> source);
    static QString cursorName();

    std::unique_ptr<HistoryStore> m_ownStore;
    std::unique_ptr<PublishSource> m_source;
    MqttPublisher *m_publisher = nullptr;
    KeyPresence *m_presence;
    QTimer m_poll;
    MqttStoredSettings m_stored;
    QString m_urlOverride;
    bool m_running = false;
};
