#pragma once

// A plain subscriber of the test's own, on libmosquitto with its own thread: collects every
// message it gets, with topic and retain flag.
#include <mosquitto.h>

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QVector>

class MqttSubscriber
{
public:
    struct Message
    {
        QString topic;
        QByteArray payload;
        bool retained = false;
    };

    // A persistent session (clean_session false) keeps QoS 1 messages queued for it at the
    // broker while it is away, across a broker restart too.
    MqttSubscriber(const QString &id, const QString &topic, bool persistent = true) : m_topic(topic.toUtf8())
    {
        mosquitto_lib_init();
        m_mosq = mosquitto_new(id.toUtf8().constData(), !persistent, this);
        mosquitto_connect_callback_set(m_mosq, [](mosquitto *m, void *self, int rc) {
            auto *s = static_cast<MqttSubscriber *>(self);
            if (rc == 0)
                mosquitto_subscribe(m, nullptr, s->m_topic.constData(), 1);
        });
        mosquitto_message_callback_set(m_mosq, [](mosquitto *, void *self, const mosquitto_message *msg) {
            auto *s = static_cast<MqttSubscriber *>(self);
            QMutexLocker lock(&s->m_mutex);
            s->m_messages.append({QString::fromUtf8(msg->topic),
                                  QByteArray(static_cast<const char *>(msg->payload), msg->payloadlen), msg->retain});
        });
        mosquitto_subscribe_callback_set(m_mosq, [](mosquitto *, void *self, int, int, const int *) {
            auto *s = static_cast<MqttSubscriber *>(self);
            QMutexLocker lock(&s->m_mutex);
            ++s->m_subscriptions;
        });
        mosquitto_reconnect_delay_set(m_mosq, 1, 1, false);
    }

    ~MqttSubscriber()
    {
        mosquitto_disconnect(m_mosq);
        mosquitto_loop_stop(m_mosq, true);
        mosquitto_destroy(m_mosq);
    }

    bool connect(int port)
    {
        if (mosquitto_connect_async(m_mosq, "127.0.0.1", port, 10) != MOSQ_ERR_SUCCESS)
            return false;
        return mosquitto_loop_start(m_mosq) == MOSQ_ERR_SUCCESS;
    }

    int subscriptions()
    {
        QMutexLocker lock(&m_mutex);
        return m_subscriptions;
    }

    QVector<Message> messages()
    {
        QMutexLocker lock(&m_mutex);
        return m_messages;
    }

    QVector<Message> messagesOn(const QString &suffix)
    {
        QVector<Message> out;
        for (const Message &m : messages())
            if (m.topic.endsWith(suffix))
                out << m;
        return out;
    }

private:
    mosquitto *m_mosq = nullptr;
    QByteArray m_topic;
    QMutex m_mutex;
    QVector<Message> m_messages;
    int m_subscriptions = 0;
};
