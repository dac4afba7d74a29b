#include "link/SerialKeyPort.h"

#ifdef Q_OS_UNIX
#include <cerrno>
#include <unistd.h>
#endif

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
#ifdef Q_OS_UNIX
    // While nothing waits in the port's own buffer a frame goes out in one system call.
    // QSerialPort would buffer it and write it a loop turn later, after switching a write
    // notifier on and off again, each of which wakes the event loop: three wake-ups per
    // round trip of the read-out. What the terminal does not take at once, or an error,
    // goes the ordinary way after it, which keeps the order and reports the error.
    if (m_port->isOpen() && m_port->bytesToWrite() == 0 && m_port->error() == QSerialPort::NoError) {
        const int fd = int(m_port->handle());
        qint64 done = 0;
        while (done < data.size()) {
            const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
            if (n > 0)
                done += n;
            else if (!(n < 0 && errno == EINTR))
                break;
        }
        if (done == data.size())
            return done;
        const qint64 rest = m_port->write(data.mid(int(done)));
        if (rest < 0)
            return done > 0 ? done : -1;
        return done + rest;
    }
#endif
    return m_port->write(data);
}
