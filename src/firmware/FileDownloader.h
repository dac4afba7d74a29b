#pragma once

#include "firmware/FirmwareTiming.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

// Fetches one file by HTTP GET, starting at once. Only a complete 2xx reply with a body counts:
// an error page, a cut-off body, a redirect to another scheme or a server that stops sending
// arrive as an empty download, with the reason in failure() and the debug log, so an error page
// can never pass for the file.
class FileDownloader : public QObject
{
    Q_OBJECT
public:
    FileDownloader(const QUrl &url, QObject *parent = nullptr, int stallTimeoutMs = td::firmware::downloadStall);
    ~FileDownloader() override;

    QByteArray downloadedData() const { return m_data; }
    bool isFinished() const { return m_finished; }
    // Why the download gave nothing; empty after a good one.
    QString failure() const { return m_failure; }
    // The HTTP status of the last reply, 0 when none arrived.
    int httpStatus() const { return m_status; }

public slots:
    void fileDownloaded(QNetworkReply *pReply);
    // Gives up now; the empty download follows.
    void abort();

signals:
    void downloaded(QByteArray ba);
    void downloaded();
    // Bytes received and the announced length (-1 when the server announces none).
    void progress(qint64 received, qint64 total);

private:
    void get(const QUrl &url);
    void finish(const QByteArray &data, const QString &failure);
    void giveUp(const QString &why);

    QNetworkAccessManager *m_manager = nullptr;
    QPointer<QNetworkReply> m_reply;
    QUrl m_url;
    QByteArray m_data;
    QTimer m_stall;
    QString m_failure;
    QString m_abortReason;
    int m_status = 0;
    int m_redirects = 0;
    bool m_finished = false;
};
