#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QObject>
#include <QSerialPort>
#include <QString>

// The serial port as the USB link uses it: just the calls the link makes, so tests can put
// an in-memory port (MemoryKeyPort) where the real one (SerialKeyPort) would be.
class KeyPort : public QObject
{
    Q_OBJECT
public:
    explicit KeyPort(QObject *parent = nullptr)
        : QObject(parent)
    {
    }

    virtual void setPortName(const QString &name) = 0;
    virtual QString portName() const = 0;
    virtual bool setBaudRate(qint32 baudRate) = 0;
    virtual bool setDataBits(QSerialPort::DataBits dataBits) = 0;
    virtual bool setParity(QSerialPort::Parity parity) = 0;
    virtual bool setStopBits(QSerialPort::StopBits stopBits) = 0;
    virtual bool setFlowControl(QSerialPort::FlowControl flowControl) = 0;

    virtual bool open(QIODevice::OpenMode mode) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    virtual QSerialPort::SerialPortError error() const = 0;
    virtual void clearError() = 0;

    virtual QByteArray readAll() = 0;
    // Returns the number of bytes accepted, or -1.
    virtual qint64 write(const QByteArray &data) = 0;

signals:
    void readyRead();
    void errorOccurred(QSerialPort::SerialPortError error);
};
