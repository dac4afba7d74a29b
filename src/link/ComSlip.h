#pragma once

#include "base/Timing.h"
#include "link/QueueElement.h"
#include "link/RxDataBuffer.h"
#include "link/SlipCodec.h"

#include <QObject>
#include <QSerialPort>

class KeyPort;
class MyQueueTX;

// The USB transport on an open port: SLIP frames in (rx_data per valid frame), queued
// commands out, one frame per write. Made when the key's port opens, torn down when it
// closes. Lives in the GUI thread; its queue's thread reaches it only through resultReady.
class ComSlip : public QObject
{
    Q_OBJECT
public:
    static constexpr int OUTPUT_BUFFER_SIZE = 1536;

    explicit ComSlip(QObject *parent = nullptr,
                     int replyTimeoutMs = td::timing::queueReplyTimeout,
                     int aliveTickMs = td::timing::queueAliveTick);
    ~ComSlip() override;

    // Reads from port from now on; the port stays owned by its creator.
    void attachPort(KeyPort *port);

    // Queues one command for the key with interface name "USB". A payload beyond the
    // element's 1024 bytes is cut (and logged). Always true.
    bool QueueCommand(uchar packetClass, uchar subCode, const uchar *payload, quint16 length,
                      uchar attempts, int noReply);

    MyQueueTX *queue() const { return m_queue; }

    // Stops the queue and disconnects from port and queue; afterwards nothing is read,
    // written or emitted. The destructor does this too; the link calls it early when it must
    // drop the transport from inside one of the transport's own signals.
    void detach();

signals:
    void rx_data(RxDataBuffer aRxDataBuffer);
    void interface_changed(int aInterface); // 1 once a port is attached

public slots:
    void SendCommandToUART_QueueElement(QueueElement aElement);
    void handleReadyRead();

private:
    // One encoded byte of the frame being written; the last one writes the whole frame.
    void SendByteSLIP(uchar byte, bool last, int noReply);
    // Logs where + the error's name unless this path already logged that error.
    void logPortErrorOnce(const char *where, QSerialPort::SerialPortError error,
                          QSerialPort::SerialPortError &lastLogged);

    MyQueueTX *m_queue = nullptr;
    uchar m_outputBuffer[OUTPUT_BUFFER_SIZE] = {};
    int m_outputCount = 0;
    SlipReceiver m_receiver;
    KeyPort *m_port = nullptr;
    bool m_detached = false;
    QSerialPort::SerialPortError m_lastReadError = QSerialPort::NoError;
    QSerialPort::SerialPortError m_lastWriteError = QSerialPort::NoError;
};
