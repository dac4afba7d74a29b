#pragma once

#include "link/KeyPort.h"

#include <QList>

// An in-memory port for tests: received bytes are fed in, errors injected, writes captured.
class MemoryKeyPort : public KeyPort
{
    Q_OBJECT
public:
    explicit MemoryKeyPort(QObject *parent = nullptr);

    void setPortName(const QString &name) override { m_name = name; }
    QString portName() const override { return m_name; }
    bool setBaudRate(qint32 baudRate) override;
    bool setDataBits(QSerialPort::DataBits dataBits) override;
    bool setParity(QSerialPort::Parity parity) override;
    bool setStopBits(QSerialPort::StopBits stopBits) override;
    bool setFlowControl(QSerialPort::FlowControl flowControl) override;
    bool open(QIODevice::OpenMode mode) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    QSerialPort::SerialPortError error() const override { return m_error; }
    void clearError() override;
    QByteArray readAll() override;
    qint64 write(const QByteArray &data) override;

    // Test side.
    void feedReceived(const QByteArray &bytes); // appends and emits readyRead
    void injectError(QSerialPort::SerialPortError error); // sets it and emits errorOccurred
    void setOpenFails(bool fails) { m_openFails = fails; }
    QList<QByteArray> writes() const { return m_writes; }
    QByteArray takeWritten();
    int openCount() const { return m_openCount; }

    qint32 baudRate() const { return m_baud; }
    QSerialPort::DataBits dataBits() const { return m_dataBits; }
    QSerialPort::Parity parity() const { return m_parity; }
    QSerialPort::StopBits stopBits() const { return m_stopBits; }
    QSerialPort::FlowControl flowControl() const { return m_flow; }
    QIODevice::OpenMode openMode() const { return m_mode; }

signals:
    void dataWritten(const QByteArray &data);

private:
    QString m_name;
    qint32 m_baud = 9600;
    QSerialPort::DataBits m_dataBits = QSerialPort::Data8;
    QSerialPort::Parity m_parity = QSerialPort::NoParity;
    QSerialPort::StopBits m_stopBits = QSerialPort::OneStop;
    QSerialPort::FlowControl m_flow = QSerialPort::NoFlowControl;
    QIODevice::OpenMode m_mode = QIODevice::NotOpen;
    bool m_open = false;
    bool m_openFails = false;
    int m_openCount = 0;
    QSerialPort::SerialPortError m_error = QSerialPort::NoError;
    QByteArray m_rx;
    QList<QByteArray> m_writes;
};
