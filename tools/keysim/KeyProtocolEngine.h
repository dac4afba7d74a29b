#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QObject>
#include <QSet>
#include <QString>

#include <functional>

namespace keysim {

class KeyState;
class KeyFileSystem;
struct KeyFileCommand;

// The key's side of the protocol, independent of how bytes travel: it takes one decoded
// frame body (class byte, sub-code, payload; no CRC) and answers with bodies of the same
// form. A transport (pseudo-terminal, later UDP/TCP) frames them and applies its faults.
class KeyProtocolEngine : public QObject
{
    Q_OBJECT
public:
    static constexpr uchar ClassJson = 0x30;
    static constexpr uchar SubJson = 0x01;
    static constexpr uchar ClassFile = 0x31;
    static constexpr uchar SubFile = 0x00;
    // Longest payload a reply may carry: with class, sub-code and CRC the body then stays
    // within the 768 bytes the PC's receiver accepts.
    static constexpr int MaxReplyPayload = 765;

    // Folder-change codes of FE_FileSystem_Status that the key sends.
    enum ChangeType { ChangeFileUpdated = 1, ChangeFileDeleted = 2, ChangeAllRecordsDeleted = 6 };

    // statePath: where the state is saved after every change (empty: not saved).
    KeyProtocolEngine(KeyState *state, KeyFileSystem *fs, const QString &statePath,
                      QObject *parent = nullptr);

    // One received body. Answers go out through frameOut.
    void handleBody(const QByteArray &body);

    // A request that arrived while the key does not answer: logged, nothing else.
    void noteUnanswered(const QByteArray &body);

    // Tells the PC that a file of a key folder changed. A file announced as updated is
    // marked for the PC's page when it is next read to its end.
    void notifyFileSystemChange(const QString &dirName, const QString &fileName, int changeType);

    // The request-log line of a body: the function name ("JSON ?" when none can be found),
    // or "FA_READ dbsett/NAME", "FA_WRITE ...", "FA_READ_DIR dbsett" for file commands, with
    // " seek=N" on the parts after the first.
    static QString describe(const QByteArray &body);

    // Plays a key gone wrong, for tests of the PC's defences: every folder listing begins
    // with names that try to leave their folder (see hostileListing()), and a read that the
    // file system refuses is answered with bytes instead of an error, so a PC that follows
    // such a name would have something to write.
    void setHostileNames(bool on) { m_hostileNames = on; }
    bool hostileNames() const { return m_hostileNames; }
    // Runs with a record's name right before its file is read from the start for the second
    // time: a test's way to have the fitter tighten between the PC's read-out and its erase.
    void setBeforeSecondRead(std::function<void(const QString &record)> hook) { m_beforeSecondRead = std::move(hook); }
    static QByteArray hostileListing();

    // Builds a JSON body (class, sub-code, compact JSON text, NUL).
    static QByteArray jsonBody(const QJsonObject &o);
    static QByteArray fileBody(const KeyFileCommand &c);

    KeyState *state() const { return m_state; }
    KeyFileSystem *fileSystem() const { return m_fs; }

signals:
    // isReply: the body answers a request (false for notifications the key sends by itself).
    void frameOut(const QByteArray &body, bool isReply);
    // One line per request received: the function name, or "FA_READ dbsett/NAME" and the
    // like for file commands (continuations carry " seek=N").
    void requestReceived(const QString &line);
    // The text of every JSON request received, up to its NUL, as it came.
    void jsonTextReceived(const QByteArray &text);

private:
    using Handler = void (KeyProtocolEngine::*)(const QJsonObject &, QJsonObject &);

    void handleJson(const QByteArray &payload);
    void handleFile(const QByteArray &payload);
    void replyJson(const QJsonObject &o);
    void replyFile(const KeyFileCommand &c);
    void persist();

    void fileRead(KeyFileCommand &c);
    void fileWrite(KeyFileCommand &c);
    void fileListDir(KeyFileCommand &c);

    void onPageCurrentWrite(const QJsonObject &in, QJsonObject &out);
    void onPageCurrentRead(const QJsonObject &in, QJsonObject &out);
    void onSettingsCalibrateWrite(const QJsonObject &in, QJsonObject &out);
    void onSettingsCalibrateRead(const QJsonObject &in, QJsonObject &out);
    void onMenuLevelWrite(const QJsonObject &in, QJsonObject &out);
    void onMenuLevelRead(const QJsonObject &in, QJsonObject &out);
    void onKeyNameWrite(const QJsonObject &in, QJsonObject &out);
    void onKeyNameRead(const QJsonObject &in, QJsonObject &out);
    void onDeviceSettingWrite(const QJsonObject &in, QJsonObject &out);
    void onDeviceSettingRead(const QJsonObject &in, QJsonObject &out);
    void onDateTimeWrite(const QJsonObject &in, QJsonObject &out);
    void onDateTimeRead(const QJsonObject &in, QJsonObject &out);
    void onWiFiSettingsWrite(const QJsonObject &in, QJsonObject &out);
    void onWiFiSettingsRead(const QJsonObject &in, QJsonObject &out);
    void onStatus(const QJsonObject &in, QJsonObject &out);
    void onMessageWrite(const QJsonObject &in, QJsonObject &out);
    void onRebootWrite(const QJsonObject &in, QJsonObject &out);

    void pageDelete(const QJsonObject &in);

    KeyState *m_state;
    KeyFileSystem *m_fs;
    QString m_statePath;
    QHash<QString, Handler> m_handlers;
    QSet<QString> m_announced; // "folder/file" reported as updated, not yet read to its end
    bool m_hostileNames = false;
    std::function<void(const QString &record)> m_beforeSecondRead;
    QHash<QString, int> m_readsFromStart; // record path -> reads begun at offset 0
};

} // namespace keysim
