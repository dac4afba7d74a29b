#pragma once

#include "KeyFileSystem.h"
#include "KeyProtocolEngine.h"
#include "KeyState.h"

#include <QFile>
#include <QObject>
#include <QRandomGenerator>
#include <QTimer>

namespace keysim {

// One emulated key: its state, its folders and its protocol engine, plus what it does on
// its own (live tightenings) and the request log. Transports attach to engine(); several
// keys can run side by side, each with its own root.
class SimulatedKey : public QObject
{
    Q_OBJECT
public:
    explicit SimulatedKey(const QString &root, QObject *parent = nullptr);

    // Makes the key folders when missing and loads the state file. False with a reason when
    // the root cannot be used.
    bool start(QString *error);

    // Appends a tightening to the current record every intervalMs and reports it to the PC
    // (0 stops it).
    void setLiveInterval(int intervalMs);
    // Each record gets one tightening right before its file is read for the second time.
    void setTightenOnSecondRead(bool on);
    // One line per request received goes to this file (truncated first).
    bool setRequestLog(const QString &path, QString *error);
    // The text of every JSON request received goes to this file, one line each (truncated
    // first), so a test can compare what the PC sent byte for byte.
    bool setTextLog(const QString &path, QString *error);

    KeyState &state() { return m_state; }
    KeyFileSystem &fileSystem() { return m_fs; }
    KeyProtocolEngine &engine() { return m_engine; }
    QString statePath() const;

public slots:
    // One live tightening now; returns through the engine's notification.
    void measureOnce();

private:
    KeyState m_state;
    KeyFileSystem m_fs;
    KeyProtocolEngine m_engine;
    QTimer m_liveTimer;
    QRandomGenerator m_rng;
    QFile m_requestLog;
    QFile m_textLog;
};

} // namespace keysim
