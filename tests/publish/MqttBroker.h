#pragma once

// A private mosquitto broker for one test: its own configuration, folder and free port on
// 127.0.0.1; started, paused, stopped and restarted by the test, and gone with it.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <signal.h>

class MqttBroker
{
public:
    static QString program()
    {
        for (const QString &p : {QStringLiteral("/usr/sbin/mosquitto"), QStringLiteral("/usr/bin/mosquitto")})
            if (QFile::exists(p))
                return p;
        return QStandardPaths::findExecutable(QStringLiteral("mosquitto"));
    }

    ~MqttBroker() { stop(); }

    // A TLS listener with a self-signed certificate for 127.0.0.1, one no system store trusts.
    bool useSelfSignedTls()
    {
        const QString key = m_dir.filePath(QStringLiteral("broker.key"));
        const QString cert = m_dir.filePath(QStringLiteral("broker.crt"));
        if (QProcess::execute(QStringLiteral("openssl"),
                              {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("rsa:2048"),
                               QStringLiteral("-nodes"), QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                               QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-keyout"), key, QStringLiteral("-out"), cert})
            != 0)
            return false;
        m_tls = QStringLiteral("certfile %1\nkeyfile %2\n").arg(cert, key);
        return true;
    }
    QString tlsUrl(const QString &prefix) const { return QStringLiteral("mqtts://127.0.0.1:%1/%2").arg(m_port).arg(prefix); }

    // Every packet in the log (the tests count connection attempts in it); a benchmark turns
    // it off, as a plant's broker would not log each message.
    void setVerboseLog(bool verbose) { m_verbose = verbose; }

    // With a user and password the broker refuses anonymous clients.
    bool start(const QString &user = QString(), const QString &password = QString())
    {
        if (!m_dir.isValid() || program().isEmpty())
            return false;
        m_user = user;
        m_password = password;
        for (int attempt = 0; attempt < 5; ++attempt) {
            if (m_port == 0) {
                QTcpServer probe;
                probe.listen(QHostAddress::LocalHost, 0);
                m_port = probe.serverPort();
            }
            if (launch())
                return true;
            m_port = 0; // taken meanwhile: another port
        }
        return false;
    }

    // Same port, same persistence: the broker comes back as clients knew it.
    bool restart() { return launch(); }

    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        resume();
        m_process.terminate(); // lets the broker save its persistence file
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
    }

    void pause() { ::kill(pid_t(m_process.processId()), SIGSTOP); }
    void resume() { ::kill(pid_t(m_process.processId()), SIGCONT); }

    int port() const { return m_port; }
    QString url(const QString &prefix) const { return QStringLiteral("mqtt://127.0.0.1:%1/%2").arg(m_port).arg(prefix); }
    QString logText() const
    {
        QFile f(m_dir.filePath(QStringLiteral("broker.log")));
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll());
    }

private:
    bool launch()
    {
        QString conf = QStringLiteral("listener %1 127.0.0.1\n"
                                      "persistence true\n"
                                      "persistence_location %2/\n"
                                      "log_dest file %2/broker.log\n"
                                      "log_type %3\n"
                                      "user root\n")
                           .arg(m_port)
                           .arg(m_dir.path(), m_verbose ? QStringLiteral("all") : QStringLiteral("error"));
        conf += m_tls;
        if (m_user.isEmpty()) {
            conf += QStringLiteral("allow_anonymous true\n");
        } else {
            const QString passwd = m_dir.filePath(QStringLiteral("passwd"));
            QFile::remove(passwd);
            if (QProcess::execute(QStringLiteral("mosquitto_passwd"),
                                  {QStringLiteral("-c"), QStringLiteral("-b"), passwd, m_user, m_password})
                != 0)
                return false;
            conf += QStringLiteral("allow_anonymous false\npassword_file %1\n").arg(passwd);
        }
        const QString confPath = m_dir.filePath(QStringLiteral("mosquitto.conf"));
        QFile f(confPath);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return false;
        f.write(conf.toUtf8());
        f.close();
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(program(), {QStringLiteral("-c"), confPath});
        if (!m_process.waitForStarted(5000))
            return false;
        for (int i = 0; i < 100; ++i) {
            if (m_process.state() == QProcess::NotRunning)
                return false;
            QTcpSocket s;
            s.connectToHost(QHostAddress::LocalHost, quint16(m_port));
            if (s.waitForConnected(100))
                return true;
            QThread::msleep(50);
        }
        return false;
    }

    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
    bool m_verbose = true;
    QString m_tls;
    QString m_user;
    QString m_password;
};
