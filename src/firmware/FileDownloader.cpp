#include "firmware/FileDownloader.h"

#include "base/Log.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

FileDownloader::FileDownloader(const QUrl &url, QObject *parent, int stallTimeoutMs)
    : QObject(parent)
    , m_manager(new QNetworkAccessManager(this))
{
    connect(m_manager, &QNetworkAccessManager::finished, this, &FileDownloader::fileDownloaded);
    m_stall.setSingleShot(true);
    m_stall.setInterval(stallTimeoutMs);
    connect(&m_stall, &QTimer::timeout, this, [this, stallTimeoutMs] {
        giveUp(QStringLiteral("no data for %1 s").arg(stallTimeoutMs / 1000.0));
    });
    get(url);
}

FileDownloader::~FileDownloader()
{
    if (m_reply) {
        // Nothing is reported from a downloader being destroyed.
        m_finished = true;
        m_reply->disconnect(this);
        m_reply->abort();
    }
}

void FileDownloader::get(const QUrl &url)
{
    m_url = url;
    if (!url.isValid() || (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https"))) {
        // finished() is never emitted for a request not sent; answer after the caller connected.
        const QString why = url.isEmpty() ? tr("No firmware server address: enter it on the About page (or start the program with --firmware-server).")
                                          : tr("Not an http(s) address: %1").arg(url.toString());
        QTimer::singleShot(0, this, [this, why] { finish(QByteArray(), why); });
        return;
    }
    QNetworkRequest request(url);
    // Redirects are followed here, where the scheme can be checked.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    td::log(QStringLiteral("Firmware GET ") + url.toString());
    m_reply = m_manager->get(request);
    connect(m_reply, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64 total) {
        m_stall.start();
        if (received > td::firmware::maxImageBytes || total > td::firmware::maxImageBytes) {
            giveUp(QStringLiteral("more than %1 bytes").arg(td::firmware::maxImageBytes));
            return;
        }
        emit progress(received, total);
    });
    m_stall.start();
}

void FileDownloader::giveUp(const QString &why)
{
    if (!m_reply || m_finished)
        return;
    m_abortReason = why;
    m_reply->abort();
}

void FileDownloader::abort()
{
    giveUp(QStringLiteral("cancelled"));
}

void FileDownloader::fileDownloaded(QNetworkReply *pReply)
{
    pReply->deleteLater();
    if (pReply != m_reply || m_finished)
        return;
    m_reply = nullptr;
    m_stall.stop();

    const QByteArray body = pReply->readAll();
    m_status = pReply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (!m_abortReason.isEmpty()) {
        finish(QByteArray(), m_abortReason);
        return;
    }

    if (m_status >= 300 && m_status < 400) {
        const QUrl location = pReply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
        const QUrl target = m_url.resolved(location);
        if (location.isEmpty()) {
            finish(QByteArray(), QStringLiteral("HTTP %1 without a location").arg(m_status));
        } else if (target.scheme() != m_url.scheme()) {
            finish(QByteArray(), QStringLiteral("redirect to another scheme refused: ") + target.toString());
        } else if (++m_redirects > td::firmware::maxRedirects) {
            finish(QByteArray(), QStringLiteral("too many redirects"));
        } else {
            get(target);
        }
        return;
    }
    if (pReply->error() != QNetworkReply::NoError) {
        const QString why = m_status ? QStringLiteral("HTTP %1 %2").arg(m_status).arg(pReply->errorString())
                                     : pReply->errorString();
        finish(QByteArray(), why);
        return;
    }
    if (m_status < 200 || m_status >= 300) {
        finish(QByteArray(), QStringLiteral("HTTP %1").arg(m_status));
        return;
    }
    if (body.isEmpty()) {
        finish(QByteArray(), QStringLiteral("HTTP %1 with an empty body").arg(m_status));
        return;
    }
    const QVariant announced = pReply->header(QNetworkRequest::ContentLengthHeader);
    // A compressed reply announces the compressed length, not the bytes handed over.
    const bool plain = pReply->rawHeader("Content-Encoding").isEmpty();
    if (plain && announced.isValid() && announced.toLongLong() != body.size()) {
        finish(QByteArray(),
               QStringLiteral("%1 of %2 announced bytes received").arg(body.size()).arg(announced.toLongLong()));
        return;
    }
    finish(body, QString());
}

void FileDownloader::finish(const QByteArray &data, const QString &failure)
{
    if (m_finished)
        return;
    m_finished = true;
    m_data = data;
    m_failure = failure;
    if (failure.isEmpty())
        td::log(QStringLiteral("Firmware downloaded: %1 bytes").arg(data.size()));
    else
        td::log(QStringLiteral("Firmware download failed: ") + failure);
    emit downloaded(m_data);
    emit downloaded();
}
