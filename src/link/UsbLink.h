#pragma once

#include "base/Timing.h"
#include "link/LinkMode.h"
#include "link/RxDataBuffer.h"

#include <QList>
#include <QObject>
#include <QSerialPort>
#include <QString>

#include <functional>

class cGlobalData;
class ComSlip;
class KeyPort;
class QTimer;

// Finding, opening and supervising the USB key's serial port, and the ComSlip transport on
// it. Keeps no widgets and decides no connection mode: it reports what happened to the port
// through signals, and the key connection makes the mode of them.
//
// Signals:
//  - usbKeyConnected(): the key's port is open and ComSlip exists.
//  - enterNoKeyState(): no key at all; show the no-key page. UsbLink has already re-armed its
//    own 500 ms scan, so nobody must arm another one.
//  - wifiModeRequested(): the scan found no USB key while the Wi-Fi link is ready
//    (cGlobalData::wifiReady) and USB is not in use: the Wi-Fi key list may be taken.
//  - frameReceived(RxDataBuffer): every valid frame from the USB key, interface name
//    already emptied, null address, port 0. For the protocol layer's receive handler.
//  - keyLost(): an open USB link was closed (port error, removal, or a close requested by
//    supervision). Followed by enterNoKeyState().
class UsbLink : public QObject
{
    Q_OBJECT
public:
    struct PortEntry
    {
        QString portName;
        QString serialNumber; // empty when the port has none
    };
    using PortLister = std::function<QList<PortEntry>()>;

    // port: the port to use; when null, the one in globalData->serialPort, and when that is
    // null too a SerialKeyPort is made (owned by this object) and stored there.
    explicit UsbLink(cGlobalData *globalData, KeyPort *port = nullptr, QObject *parent = nullptr,
                     int scanRearmMs = td::timing::portScanRearm,
                     int replyTimeoutMs = td::timing::queueReplyTimeout,
                     int aliveTickMs = td::timing::queueAliveTick);
    ~UsbLink() override;

    // The key's port name, or empty: the --port device while its file exists, else the
    // last port whose serial number starts with "2907".
    QString FindKeyPort() const;
    // Finds the port, opens it and builds ComSlip on it. A link left over from an earlier
    // connection is dropped first.
    bool OpenKeyPort();

    // The last entry whose serial number starts with "2907" (case-sensitive), or empty.
    static QString pickKeyPort(const QList<PortEntry> &ports);
    // Replaces the port enumeration (tests); the default asks QSerialPortInfo.
    void setPortLister(PortLister lister);

    ComSlip *comSlip() const { return m_comSlip; }
    KeyPort *port() const { return m_port; }
    bool isConnected() const { return m_comSlip != nullptr; }
    bool isScanArmed() const;
    // The mode the key connection decided. Without one the link takes no key to be in use:
    // a rig of the link alone then scans as on the no-key page.
    void setModeSource(LinkModeSource source) { m_mode = std::move(source); }

public slots:
    // One scan for the key. Call once when the window is built; afterwards UsbLink re-arms
    // it itself whenever it falls back to the no-key state.
    void TmrCheckSerialPorts();
    bool Com_openSerialPort(QString aCOM);
    // Closes the port, drops ComSlip, and goes back to scanning. Supervision calls this when
    // it decides the USB key is lost.
    void Com_closeSerialPort();
    void Com_handleError(QSerialPort::SerialPortError error);
    void iReceiveUSB_Click(RxDataBuffer aRxDataBuffer);
    // For the supervision tick: when the open port still reports an error, the link is
    // closed (scanning resumes) and true is returned: nothing should be sent this tick.
    bool checkPortError();

signals:
    void usbKeyConnected();
    void enterNoKeyState();
    void wifiModeRequested();
    void frameReceived(RxDataBuffer aRxDataBuffer);
    void keyLost();

private slots:
    void closeAfterPortError();

private:
    void dropLink();
    void goToNoKeyState();
    LinkMode mode() const;
    void scheduleCloseForError(QSerialPort::SerialPortError error, const char *reason);

    cGlobalData *m_data;
    KeyPort *m_port = nullptr;
    ComSlip *m_comSlip = nullptr;
    QString m_openName; // as FindKeyPort gave it (the port may report it shortened)
    QTimer *m_scanTimer;
    QTimer *m_healthTimer;
    PortLister m_lister;
    LinkModeSource m_mode;
    const int m_replyTimeoutMs;
    const int m_aliveTickMs;

    // Port errors of the current connection: each kind is logged once, repeats are counted.
    QList<int> m_loggedErrors;
    int m_readWriteErrors = 0;
    int m_suppressedErrors = 0;
    bool m_closePending = false;
};
