#pragma once

#include "KeyFaults.h"
#include "link/SlipCodec.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

class QSocketNotifier;

namespace keysim {

class KeyProtocolEngine;

// The key's USB port: a pseudo-terminal whose slave side the PC opens as a serial port.
// Bytes from the PC are SLIP-decoded and CRC-checked into bodies for the engine; the
// engine's answers are framed and go out through the fault knobs (drop, corrupt, latency,
// line-rate pacing, silence, unplug).
class PtyTransport : public QObject
{
    Q_OBJECT
public:
    // Output that cannot be written (nobody reads the slave side) is held up to this much,
    // then thrown away, so a key left alone does not grow without bound.
    static constexpr int MaxPendingOutput = 256 * 1024;
    // How often paced output is released; small against a frame's time on a real line.
    static constexpr int PaceTickMs = 5;
    // Pause of the read notifier after the line reports a hang-up.
    static constexpr int HangupBackoffMs = 100;

    PtyTransport(KeyProtocolEngine *engine, const FaultSettings &faults, QObject *parent = nullptr);
    ~PtyTransport() override;

    // Makes the pseudo-terminal (raw mode) and starts serving it; the silence and unplug
    // clocks start here. False with a reason when the system refuses.
    bool open(QString *error);
    // The device the PC opens, e.g. /dev/pts/7.
    QString devicePath() const { return m_devicePath; }
    bool isOpen() const { return m_master >= 0; }
    bool isSilent() const { return m_silent; }
    const FaultCounter &faults() const { return m_counter; }

public slots:
    // Closes the pseudo-terminal as if the cable were pulled.
    void unplug();
    void sendFrame(const QByteArray &body, bool isReply);

signals:
    void unplugged();
    void frameReceived();

private slots:
    void onReadable();
    void onWritable();
    void releaseDelayed();
    void paceTick();
    void fallSilent();

private:
    void queueWire(const QByteArray &wire);
    void writePending();
    void closeFds();

    KeyProtocolEngine *m_engine;
    FaultSettings m_settings;
    FaultCounter m_counter;
    SlipReceiver m_receiver;

    int m_master = -1;
    int m_slaveKeepAlive = -1;
    QString m_devicePath;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;

    bool m_silent = false;
    bool m_heardFromPc = false;
    QElapsedTimer m_clock;

    struct Delayed
    {
        qint64 due;
        QByteArray wire;
    };
    QList<Delayed> m_delayed;
    QTimer m_delayTimer;

    QByteArray m_pending; // framed bytes not yet written
    QTimer m_paceTimer;
    qint64 m_lastPace = 0;
    double m_credit = 0;
};

} // namespace keysim
