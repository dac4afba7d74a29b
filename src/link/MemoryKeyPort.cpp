#include "link/MemoryKeyPort.h"

MemoryKeyPort::MemoryKeyPort(QObject *parent)
    : KeyPort(parent)
{
}

bool MemoryKeyPort::setBaudRate(qint32 baudRate)
{
    m_baud = baudRate;
    return true;
}

bool MemoryKeyPort::setDataBits(QSerialPort::DataBits dataBits)
{
    m_dataBits = dataBits;
    return true;
}

bool MemoryKeyPort::setParity(QSerialPort::Parity parity)
{
    m_parity = parity;
    return true;
}

bool MemoryKeyPort::setStopBits(QSerialPort::StopBits stopBits)
{
    m_stopBits = stopBits;
    return true;
}

bool MemoryKeyPort::setFlowControl(QSerialPort::FlowControl flowControl)
{
    m_flow = flowControl;
    return true;
}

bool MemoryKeyPort::open(QIODevice::OpenMode mode)
{
    if (m_open) {
        m_error = QSerialPort::OpenError;
        emit errorOccurred(m_error);
        return false;
    }
    if (m_openFails) {
        m_error = QSerialPort::PermissionError;
        emit errorOccurred(m_error);
        return false;
    }
    ++m_openCount;
    m_open = true;
    m_mode = mode;
    m_rx.clear();
    return true;
}

void MemoryKeyPort::close()
{
    m_open = false;
    m_mode = QIODevice::NotOpen;
}

void MemoryKeyPort::clearError()
{
    m_error = QSerialPort::NoError;
}

QByteArray MemoryKeyPort::readAll()
{
    QByteArray out;
    out.swap(m_rx);
    return out;
}

qint64 MemoryKeyPort::write(const QByteArray &data)
{
    if (!m_open)
        return -1;
    m_writes.append(data);
    emit dataWritten(data);
    return data.size();
}

void MemoryKeyPort::feedReceived(const QByteArray &bytes)
{
    if (!m_open)
        return;
    m_rx.append(bytes);
    emit readyRead();
}

void MemoryKeyPort::injectError(QSerialPort::SerialPortError error)
{
    m_error = error;
    emit errorOccurred(error);
}

QByteArray MemoryKeyPort::takeWritten()
{
    QByteArray all;
    for (const QByteArray &w : qAsConst(m_writes))
        all.append(w);
    m_writes.clear();
    return all;
}
