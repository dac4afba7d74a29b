#pragma once

#include "publish/MqttSettings.h"
#include "publish/PublishSource.h"

#include <QElapsedTimer>
#include <QHash>
#include <QMap>
#include <QMutex>
#include <QPair>
#include <QVector>
#include <QObject>
#include <QString>

#include <atomic>
#include <optional>
#include <thread>

struct mosquitto;

// Publishes every result of a PublishSource to the plant's broker, once, in order, with QoS 1,
// and keeps the station's and its keys' status topics. libmosquitto runs its network loop in
// its own thread and reconnects with a back-off of up to a minute; everything this object does
// happens in its own thread (the GUI thread in the window), so nothing here ever waits on the
// network.
class MqttPublisher : public QObject
{
    Q_OBJECT
public:
    enum class State { NotConfigured, Connecting, Connected, Reconnecting };
    Q_ENUM(State)

    explicit MqttPublisher(PublishSource *source, QObject *parent = nullptr);
    ~MqttPublisher() override;

    // How many results may wait for the broker's acknowledgement at once. A broker that
    // accepts the connection and then stalls holds at most this many in memory.
    void setWindow(int window) { m_window = qMax(1, window); }
    int window() const { return m_window; }

    // Whether this client speaks for the station: "online" on its status topic and the will
    // "offline". A one-shot drain beside a running window must not mark the station offline
    // when it leaves.
    void setAnnounceStation(bool announce) { m_announceStation = announce; }

    // Starts (or restarts) with these settings; false with reason() when it cannot start.
    bool start(const MqttSettings &settings);
    // Says "offline" for the station and disconnects.
    void stop();

    // The source has new results.
    void poke();

    // Retained status of one key: "usb", "wifi" or "gone".
    void setKeyStatus(const QString &keySerial, const QString &status);

    State state() const { return m_state; }
    QString reason() const { return m_reason; }
    qint64 waiting();
    int inFlight() const { return m_inFlight.size(); }

    QString topicFor(const QString &keySerial, const QString &leaf) const;

signals:
    void stateChanged(MqttPublisher::State state, const QString &reason);
    void waitingChanged(qint64 waiting);
    // Everything the source holds was acknowledged.
    void drained();

private:
    void onConnect(quint64 session, int rc);
    void onDisconnect(quint64 session, int rc);
    void onAcknowledgements();
    void onStarted(quint64 session, int rc, int loop);
    void onLibraryError(quint64 session, const QString &text);
    void fill();
    void setState(State state, const QString &reason);
    void release();
    void reportWaiting(bool force);

    static void connectCallback(mosquitto *, void *self, int rc);
    static void disconnectCallback(mosquitto *, void *self, int rc);
    static void publishCallback(mosquitto *, void *self, int mid);
    static void logCallback(mosquitto *, void *self, int level, const char *text);

    PublishSource *m_source;
    MqttSettings m_settings;
    mosquitto *m_mosq = nullptr;
    // Which client a callback came from. A restart makes a new client whose message ids start
    // again at 1: a late acknowledgement of the old client must not release a new message.
    std::atomic<quint64> m_session{0};
    QMutex m_ackMutex;
    QVector<QPair<quint64, int>> m_acks; // (session, message id) from the loop thread
    State m_state = State::NotConfigured;
    QString m_reason;
    QString m_refusal; // the broker's last refusal, until a connection is accepted
    QString m_libraryError; // the library's last error (TLS), until a connection is accepted
    std::thread m_starter;
    int m_window = 2000; // about a megabyte of results at most; a local broker keeps it full
    bool m_announceStation = true;
    // The last cursor handed to the library; nothing until the source knows where it stands.
    std::optional<PublishSource::Cursor> m_submitted;
    QMap<PublishSource::Cursor, bool> m_inFlight;    // cursor -> acknowledged, in cursor order
    QHash<int, PublishSource::Cursor> m_cursorOfMid; // library message id -> cursor
    QHash<QString, QString> m_keyStatus;
    qint64 m_lastWaiting = -1;
    QElapsedTimer m_sinceReport;
};
