#pragma once

#include "link/KeyPort.h"

// The real port: a QSerialPort behind the KeyPort calls.
class SerialKeyPort : public KeyPort
{
    Q_OBJECT
public:
    explicit SerialKeyPort(QObject *parent = nullptr);

    void setPortName(const QString &name) override;
    QString portName() const override;
    bool setBaudRate(qint32 baudRate) override;
    bool setDataBits(QSerialPort::DataBits dataBits) override;
    bool setParity(QSerialPort::Parity parity) override;
    bool setStopBits(QSerialPort::StopBits stopBits) override;
    bool setFlowControl(QSerialPort::FlowControl flowControl) override;
    bool open(QIODevice::OpenMode mode) override;
    void close() override;
    bool isOpen() const override;
    QSerialPort::SerialPortError error() const override;
    void clearError() override;
    QByteArray readAll() override;
    qint64 write(const QByteArray &data) override;

    QSerialPort *serialPort() { return m_port; }

private:
    QSerialPort *m_port;
};
