#pragma once

#include <QCoreApplication>
#include <QString>

// Where results go: a broker address with the topic prefix, read from "mqtt://host:port/prefix"
// or "mqtts://host:port/prefix" (TLS with the system's certificate store).
struct MqttSettings
{
    Q_DECLARE_TR_FUNCTIONS(MqttSettings)
public:
    QString host;
    int port = 1883;
    bool tls = false;
    QString prefix;
    QString user;
    QString password; // from the settings only; never logged, never on a command line
    QString station;  // this PC's name in the topics
    QString clientIdentity; // see clientId(); empty lets the library make one up

    bool isConfigured() const { return !host.isEmpty(); }

    // Fills host, port, tls and prefix; an empty URL means "not configured" and is no error.
    // Returns false with a reason for a person in *error.
    static bool parseUrl(const QString &url, MqttSettings *out, QString *error);

    // The URL again, without the credentials, for logs and the page.
    QString displayUrl() const;

    // One identity per station: two stations with the same fixed identity make the broker drop
    // each in turn. Host name plus a short digest of the data root keeps two programs on one
    // PC (two data roots) apart as well.
    static QString clientId(const QString &hostName, const QString &dataRoot);

    // Topic parts must not carry the MQTT wildcards or separators from a key's text.
    static QString topicPart(const QString &text);
};
