#include "SimulatedKey.h"

#include "KeySample.h"

#include "base/Log.h"

#include <QDir>

namespace keysim {

SimulatedKey::SimulatedKey(const QString &root, QObject *parent)
    : QObject(parent)
    , m_fs(root)
    , m_engine(&m_state, &m_fs, QDir(root).absoluteFilePath(KeyState::stateFileName()))
    , m_rng(quint32(QDateTime::currentMSecsSinceEpoch()))
{
    connect(&m_liveTimer, &QTimer::timeout, this, &SimulatedKey::measureOnce);
    connect(&m_engine, &KeyProtocolEngine::requestReceived, this, [this](const QString &line) {
        if (!m_requestLog.isOpen())
            return;
        m_requestLog.write(line.toUtf8() + '\n');
        m_requestLog.flush(); // tests read the log while the key runs
    });
    connect(&m_engine, &KeyProtocolEngine::jsonTextReceived, this, [this](const QByteArray &text) {
        if (!m_textLog.isOpen())
            return;
        QByteArray line = text;
        line.replace('\n', "\\n");
        m_textLog.write(line + '\n');
        m_textLog.flush();
    });
}

QString SimulatedKey::statePath() const
{
    return QDir(m_fs.root()).absoluteFilePath(KeyState::stateFileName());
}

bool SimulatedKey::start(QString *error)
{
    if (!m_fs.ensureStandardFolders()) {
        if (error)
            *error = QStringLiteral("cannot make the key folders under ") + m_fs.root();
        return false;
    }
    m_state.load(statePath());
    return true;
}

void SimulatedKey::setLiveInterval(int intervalMs)
{
    if (intervalMs > 0)
        m_liveTimer.start(intervalMs);
    else
        m_liveTimer.stop();
}

bool SimulatedKey::setRequestLog(const QString &path, QString *error)
{
    m_requestLog.close();
    m_requestLog.setFileName(path);
    if (!m_requestLog.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        if (error)
            *error = QStringLiteral("cannot write the request log %1: %2").arg(path, m_requestLog.errorString());
        return false;
    }
    return true;
}

bool SimulatedKey::setTextLog(const QString &path, QString *error)
{
    m_textLog.close();
    m_textLog.setFileName(path);
    if (!m_textLog.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error)
            *error = QStringLiteral("cannot write the text log %1: %2").arg(path, m_textLog.errorString());
        return false;
    }
    return true;
}

void SimulatedKey::setTightenOnSecondRead(bool on)
{
    if (!on) {
        m_engine.setBeforeSecondRead({});
        return;
    }
    m_engine.setBeforeSecondRead([this](const QString &record) {
        if (appendTighteningTo(m_fs, m_state, m_rng, record))
            td::log(QStringLiteral("keysim: tightening added to %1 before it is read again").arg(record));
    });
}

void SimulatedKey::measureOnce()
{
    const QString name = appendLiveTightening(m_fs, m_state, m_rng);
    if (name.isEmpty())
        return;
    td::log(QStringLiteral("keysim: tightening added to ") + name);
    m_engine.notifyFileSystemChange(KeyFileSystem::recordsFolder(), name,
                                    KeyProtocolEngine::ChangeFileUpdated);
}

} // namespace keysim
