#pragma once

#include "KeyFileSystem.h"
#include "KeyProtocolEngine.h"
#include "KeyState.h"

#include "protocol/FileCmdHeader.h"
#include "protocol/RequestFormat.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

// One emulated key on a temporary root, driven body by body with no transport. What the
// engine sends is collected in `out` and checked with the PC's own codecs.
struct KeyHarness
{
    struct Frame
    {
        QByteArray body;
        bool isReply;
    };

    QTemporaryDir dir;
    keysim::KeyState state;
    keysim::KeyFileSystem fs;
    keysim::KeyProtocolEngine engine;
    QList<Frame> out;
    QStringList requestLog;

    KeyHarness()
        : fs(dir.path())
        , engine(&state, &fs, dir.filePath(keysim::KeyState::stateFileName()))
    {
        fs.ensureStandardFolders();
        QObject::connect(&engine, &keysim::KeyProtocolEngine::frameOut,
                         [this](const QByteArray &b, bool r) { out.append({b, r}); });
        QObject::connect(&engine, &keysim::KeyProtocolEngine::requestReceived,
                         [this](const QString &l) { requestLog.append(l); });
    }

    QString statePath() const { return dir.filePath(keysim::KeyState::stateFileName()); }

    void sendText(const QByteArray &text)
    {
        QByteArray body;
        body.append(char(0x30));
        body.append(char(0x01));
        body.append(text);
        body.append('\0');
        engine.handleBody(body);
    }

    // Formats a request exactly as the PC does and sends it.
    void send(const char *fmt, const QVector<td::request::Arg> &args = {})
    {
        QByteArray text;
        QCOMPARE(td::request::format(fmt, args, &text), td::request::Result::Ok);
        sendText(text);
    }

    // A JSON body as the PC's dispatcher reads it: class 0x30, sub-code 0x01, text up to
    // its NUL, within the 768-byte frame limit.
    static QJsonObject parseJson(const QByteArray &body)
    {
        if (body.size() < 3 || uchar(body.at(0)) != 0x30 || uchar(body.at(1)) != 0x01
            || body.size() + 1 > 768 || !body.endsWith('\0'))
            return QJsonObject{{QStringLiteral("malformed"), true}};
        return QJsonDocument::fromJson(body.mid(2, body.size() - 3)).object();
    }

    // The one reply to the last request.
    QJsonObject takeReply()
    {
        if (out.size() != 1 || !out.first().isReply) {
            qWarning("expected exactly one reply, got %d frames", int(out.size()));
            out.clear();
            return {};
        }
        const QJsonObject o = parseJson(out.takeFirst().body);
        return o;
    }

    // Sends one file command built with the PC's header codec.
    void sendFile(const FileCmdHeader &h, const QByteArray &data = {})
    {
        QByteArray body;
        body.append(char(0x31));
        body.append(char(0x00));
        body.append(h.toBytes(data));
        engine.handleBody(body);
    }

    // Sends a header as it stands, its length field included, with no data: how a PC that
    // echoes a listing reply "unchanged" asks for the next part.
    void sendHeaderOnly(const FileCmdHeader &h)
    {
        QByteArray body;
        body.append(char(0x31));
        body.append(char(0x00));
        body.append(h.toBytes());
        engine.handleBody(body);
    }

    // The one file reply, read back with the PC's parser; false when there is none or the
    // PC would refuse it.
    bool takeFileReply(FileCmdHeader *h, QByteArray *data)
    {
        if (out.size() != 1 || !out.first().isReply)
            return false;
        const QByteArray body = out.takeFirst().body;
        if (body.size() < 2 || uchar(body.at(0)) != 0x31 || uchar(body.at(1)) != 0x00
            || body.size() + 1 > 768)
            return false;
        const QByteArray payload = body.mid(2);
        QString why;
        return FileCmdHeader::parse(reinterpret_cast<const uchar *>(payload.constData()),
                                    payload.size(), h, data, &why);
    }

    static FileCmdHeader header(const QString &keyPath, quint8 command, qint32 seek = 0,
                                quint8 status = 0)
    {
        FileCmdHeader h;
        h.setFileName(keyPath);
        h.command = command;
        h.status = status;
        h.seek = seek;
        return h;
    }
};
