#include "link/UsbLink.h"

#include "base/Log.h"
#include "base/cGlobalData.h"
#include "link/ComSlip.h"
#include "link/SerialKeyPort.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QSerialPortInfo>
#include <QTimer>

namespace {

QList<UsbLink::PortEntry> systemPorts()
{
    QList<UsbLink::PortEntry> out;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        out.append({info.portName(), info.serialNumber()});
    return out;
}

} // namespace

UsbLink::UsbLink(cGlobalData *globalData, KeyPort *port, QObject *parent, int scanRearmMs,
                 int replyTimeoutMs, int aliveTickMs)
    : QObject(parent)
    , m_data(globalData)
    , m_port(port)
    , m_scanTimer(new QTimer(this))
    , m_healthTimer(new QTimer(this))
    , m_lister(systemPorts)
    , m_replyTimeoutMs(replyTimeoutMs)
    , m_aliveTickMs(aliveTickMs)
{
    td::registerRxDataBufferType();
    if (!m_port && m_data)
        m_port = m_data->serialPort;
    if (!m_port)
        m_port = new SerialKeyPort(this);
    if (m_data)
        m_data->serialPort = m_port;
    connect(m_port, &KeyPort::errorOccurred, this, &UsbLink::Com_handleError);

    // One timer, so entering the no-key state twice never runs two scan chains.
    m_scanTimer->setSingleShot(true);
    m_scanTimer->setInterval(scanRearmMs);
    connect(m_scanTimer, &QTimer::timeout, this, &UsbLink::TmrCheckSerialPorts);

    // While connected, an error that stays set on the port is as final as a removal.
    m_healthTimer->setInterval(scanRearmMs);
    connect(m_healthTimer, &QTimer::timeout, this, &UsbLink::checkPortError);
}

UsbLink::~UsbLink()
{
    m_scanTimer->stop();
    m_healthTimer->stop();
    if (m_port)
        disconnect(m_port, nullptr, this, nullptr);
    if (m_comSlip) {
        m_comSlip->detach();
        delete m_comSlip;
        m_comSlip = nullptr;
    }
    if (m_port && m_port->isOpen())
        m_port->close();
    if (m_data && m_data->serialPort == m_port && m_port && m_port->parent() == this)
        m_data->serialPort = nullptr;
}

void UsbLink::setPortLister(PortLister lister)
{
    m_lister = lister ? std::move(lister) : PortLister(systemPorts);
}

bool UsbLink::isScanArmed() const
{
    return m_scanTimer->isActive();
}

QString UsbLink::pickKeyPort(const QList<PortEntry> &ports)
{
    QString result;
    for (const PortEntry &entry : ports) {
        if (entry.serialNumber.left(4) == QLatin1String("2907"))
            result = entry.portName;
    }
    return result;
}

QString UsbLink::FindKeyPort() const
{
    if (m_data && !m_data->portOverride.isEmpty())
        return QFileInfo::exists(m_data->portOverride) ? m_data->portOverride : QString();
    return pickKeyPort(m_lister());
}

void UsbLink::TmrCheckSerialPorts()
{
    m_scanTimer->stop();
    const QString found = FindKeyPort();
    const LinkMode inUse = mode();

    if (!found.isEmpty()) {
        if (inUse == LinkMode::Wifi)
            return; // a Wi-Fi key is in use; a plugged-in USB key waits for the no-key state
        if (m_comSlip && m_port->isOpen() && m_openName == found)
            return; // already connected to it
        if (!OpenKeyPort()) {
            // Paced retry: a port held by another program must not spin the GUI thread.
            goToNoKeyState();
            return;
        }
        emit usbKeyConnected();
        return;
    }

    if (m_comSlip)
        dropLink(); // the key's port vanished without an error of its own
    if (!m_data || !m_data->wifiReady || inUse == LinkMode::Usb) {
        goToNoKeyState();
        return;
    }
    emit wifiModeRequested();
}

bool UsbLink::OpenKeyPort()
{
    const QString name = FindKeyPort();
    if (name.isEmpty()) {
        td::log(QStringLiteral("USB port not found"));
        return false;
    }
    if (m_comSlip || m_port->isOpen())
        dropLink();

    m_port->clearError();
    if (!Com_openSerialPort(name))
        return false;
    m_openName = name;

    m_loggedErrors.clear();
    m_readWriteErrors = 0;
    m_suppressedErrors = 0;
    m_closePending = false;

    m_comSlip = new ComSlip(nullptr, m_replyTimeoutMs, m_aliveTickMs);
    m_comSlip->attachPort(m_port);
    connect(m_comSlip, &ComSlip::rx_data, this, &UsbLink::iReceiveUSB_Click);
    m_healthTimer->start();
    return true;
}

bool UsbLink::Com_openSerialPort(QString aCOM)
{
    m_port->setPortName(aCOM);
    m_port->setBaudRate(115200);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    const bool ok = m_port->open(QIODevice::ReadWrite);
    td::log((ok ? tr("COM Opened!") : tr("COM Open error")) + aCOM);
    return ok;
}

void UsbLink::dropLink()
{
    m_healthTimer->stop();
    if (m_comSlip) {
        // The transport may be on the call stack (a frame handler decided to close):
        // silence it now, free it once control is back in the event loop.
        disconnect(m_comSlip, nullptr, this, nullptr);
        m_comSlip->detach();
        m_comSlip->deleteLater();
        m_comSlip = nullptr;
    }
    if (m_port->isOpen())
        m_port->close();
}

void UsbLink::Com_closeSerialPort()
{
    const bool wasConnected = m_comSlip != nullptr;
    if (m_port->isOpen())
        m_port->close();
    td::log(tr("COM Disconnected"));
    dropLink();
    m_closePending = false;
    if (wasConnected)
        emit keyLost();
    goToNoKeyState();
}

LinkMode UsbLink::mode() const
{
    return m_mode ? m_mode() : LinkMode::None;
}

void UsbLink::goToNoKeyState()
{
    m_scanTimer->start();
    emit enterNoKeyState();
}

void UsbLink::Com_handleError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError)
        return; // Qt reports the clearing of an error through the same signal

    if (!m_loggedErrors.contains(int(error))) {
        m_loggedErrors.append(int(error));
        td::log(tr("Com_handleError") + QChar(int(error)));
    } else {
        ++m_suppressedErrors;
    }

    if (!m_comSlip)
        return; // an open attempt failed, or nothing is connected: the scan handles it

    if (error == QSerialPort::ResourceError) {
        scheduleCloseForError(error, "removed");
    } else if (error == QSerialPort::ReadError || error == QSerialPort::WriteError) {
        // A vanished far end (pseudo-terminal, USB adapter) shows as a read error that
        // fires on every notification instead of a removal.
        if (++m_readWriteErrors >= 2)
            scheduleCloseForError(error, "repeats");
    }
}

bool UsbLink::checkPortError()
{
    if (!m_comSlip || !m_port->isOpen())
        return false;
    const QSerialPort::SerialPortError error = m_port->error();
    if (error == QSerialPort::NoError)
        return false;
    scheduleCloseForError(error, "persists");
    return true;
}

void UsbLink::scheduleCloseForError(QSerialPort::SerialPortError error, const char *reason)
{
    if (m_closePending)
        return;
    m_closePending = true;
    m_healthTimer->stop();
    td::log(QStringLiteral("USB port error %1 %2, closing the link")
                .arg(int(error))
                .arg(QLatin1String(reason)));
    // Closing from inside the port's own notification is not safe; do it from the event
    // loop, once, however many more errors arrive meanwhile.
    QMetaObject::invokeMethod(this, &UsbLink::closeAfterPortError, Qt::QueuedConnection);
}

void UsbLink::closeAfterPortError()
{
    if (!m_closePending)
        return;
    if (m_suppressedErrors > 0)
        td::log(QStringLiteral("USB port error repeated %1 more times").arg(m_suppressedErrors));
    Com_closeSerialPort();
}

void UsbLink::iReceiveUSB_Click(RxDataBuffer aRxDataBuffer)
{
    aRxDataBuffer.interfaceName.clear();
    emit frameReceived(aRxDataBuffer);
}
