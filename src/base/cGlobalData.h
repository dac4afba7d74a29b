#pragma once

#include <QObject>
#include <QString>

class KeyPort;
class cWifi;

// The one shared state object. main() makes it before the window; the window resets it and
// every subsystem reaches it through the window's pointer. Page-specific state lives in the
// model objects of the subsystems, not here.
class cGlobalData : public QObject
{
    Q_OBJECT
public:
    explicit cGlobalData(QObject *parent = nullptr);

    // Back to the state of a fresh start (flags and counters zero, the PC address
    // "127.0.0.1"). Command-line options are kept. The connection mode is not kept here: the
    // key connection owns it (KeyConnection::mode()).
    void reset();

    KeyPort *serialPort = nullptr; // the key's port (link/KeyPort.h); made once, never deleted while running
    cWifi *wifi = nullptr;

    QString pcAddress = QStringLiteral("127.0.0.1"); // from settings.ini
    bool wifiReady = false;           // raised 3 s after switching to Wi-Fi

    // Command line.
    QString portOverride;     // --port DEVICE
    QString firmwareServer;   // --firmware-server URL
    QString historyDb;        // --history-db URL (empty: the history page's setting)
    QString mqttUrl;          // --mqtt URL, in place of the stored broker address
    QString station;          // --station NAME, in place of the stored station name
    bool openHistory = false; // --history: the history window opens at start
};
