#include "link/SerialKeyPort.h"

SerialKeyPort::SerialKeyPort(QObject *parent)
    : KeyPort(parent)
    , m_port(new QSerialPort(this))
{
    connect(m_port, &QSerialPort::readyRead, this, &KeyPort::readyRead);
    connect(m_port, &QSerialPort::errorOccurred, this, &KeyPort::errorOccurred);
}

void SerialKeyPort::setPortName(const QString &name)
{
    m_port->setPortName(name);
}

QString SerialKeyPort::portName() const
{
    return m_port->portName();
}

bool SerialKeyPort::setBaudRate(qint32 baudRate)
{
    return m_port->setBaudRate(baudRate);
}

bool SerialKeyPort::setDataBits(QSerialPort::DataBits dataBits)
{
    return m_port->setDataBits(dataBits);
}

bool SerialKeyPort::setParity(QSerialPort::Parity parity)
{
    return m_port->setParity(parity);
}

bool SerialKeyPort::setStopBits(QSerialPort::StopBits stopBits)
{
    return m_port->setStopBits(stopBits);
}

bool SerialKeyPort::setFlowControl(QSerialPort::FlowControl flowControl)
{
    return m_port->setFlowControl(flowControl);
}

bool SerialKeyPort::open(QIODevice::OpenMode mode)
{
    return m_port->open(mode);
}

void SerialKeyPort::close()
{
    m_port->close();
}

bool SerialKeyPort::isOpen() const
{
    return m_port->isOpen();
}

QSerialPort::SerialPortError SerialKeyPort::error() const
{
    return m_port->error();
}

void SerialKeyPort::clearError()
{
    m_port->clearError();
}

QByteArray SerialKeyPort::readAll()
{
    return m_port->readAll();
}

qint64 SerialKeyPort::write(const QByteArray &data)
{
    return m_port->write(data);
}
