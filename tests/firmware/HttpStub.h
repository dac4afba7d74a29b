#pragma once

// A firmware server on 127.0.0.1 for tests: every request is answered by the reply set for it
// (raw bytes, written as they stand), optionally after a delay, or not at all.

#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <functional>

class HttpStub : public QObject
{
public:
    struct Reply
    {
        QByteArray raw;         // status line, headers and body
        bool silent = false;    // accept, read the request, never answer
        bool closeAfter = true; // close the connection after writing
    };

    HttpStub()
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection())
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onRequest(socket); });
        });
        m_server.listen(QHostAddress::LocalHost);
    }

    quint16 port() const { return m_server.serverPort(); }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(port()); }
    QList<QByteArray> paths;
    // Chooses the reply for a request path; by default the one set with setReply.
    std::function<Reply(const QByteArray &path)> handler;

    void setReply(const Reply &reply)
    {
        handler = [reply](const QByteArray &) { return reply; };
    }

    static Reply ok(const QByteArray &body)
    {
        return {status(200, "OK", body), false, true};
    }
    static Reply notFound()
    {
        return {status(404, "Not Found", "<html>not here</html>"), false, true};
    }
    // A firmware server that publishes the image and, when given, its checksum file beside it.
    void serveImage(const QByteArray &image, const QByteArray &checksumFile = QByteArray())
    {
        handler = [image, checksumFile](const QByteArray &path) {
            if (path.endsWith(".sha256"))
                return checksumFile.isNull() ? notFound() : ok(checksumFile);
            return ok(image);
        };
    }
    static QByteArray status(int code, const char *text, const QByteArray &body,
                             const QByteArray &extraHeaders = QByteArray())
    {
        return "HTTP/1.1 " + QByteArray::number(code) + ' ' + text + "\r\nContent-Length: "
               + QByteArray::number(body.size()) + "\r\nConnection: close\r\n" + extraHeaders + "\r\n" + body;
    }

private:
    void onRequest(QTcpSocket *socket)
    {
        m_pending[socket] += socket->readAll();
        const QByteArray &request = m_pending[socket];
        if (!request.contains("\r\n\r\n"))
            return;
        const QByteArray path = request.split(' ').value(1);
        m_pending.remove(socket);
        paths.append(path);
        const Reply reply = handler ? handler(path) : Reply{status(404, "Not Found", "no"), false, true};
        if (reply.silent)
            return;
        socket->write(reply.raw);
        if (reply.closeAfter)
            socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QTcpSocket *, QByteArray> m_pending;
};
