#include "link/MyQueueTX.h"

#include "base/Log.h"

#include <QMetaObject>
#include <QMutexLocker>
#include <QTimer>

namespace {
const QString kUsb = QStringLiteral("USB");
}

MyQueueTX::MyQueueTX(const QString &interfaceFilter, int replyTimeoutMs, int aliveTickMs,
                     QObject *parent)
    : QThread(parent)
    , m_filter(interfaceFilter)
    , m_replyTimeoutMs(replyTimeoutMs)
{
    td::registerQueueElementType();

    m_oneSecTimer = new QTimer(this);
    m_oneSecTimer->setInterval(aliveTickMs);
    connect(m_oneSecTimer, &QTimer::timeout, this, &MyQueueTX::slot_iTmrOneSec);
    m_oneSecTimer->start();

    // Not single-shot: the time-out handler stops it, and a reply stops it earlier.
    m_replyTimer = new QTimer(this);
    m_replyTimer->setInterval(replyTimeoutMs);
    connect(m_replyTimer, &QTimer::timeout, this, &MyQueueTX::iUpdateTimer);

    m_ackTimer = new QTimer(this);
    m_ackTimer->setSingleShot(true);
    m_ackTimer->setInterval(0);
    connect(m_ackTimer, &QTimer::timeout, this, &MyQueueTX::releaseAck);

    start(QThread::InheritPriority);
}

MyQueueTX::~MyQueueTX()
{
    shutdown();
}

void MyQueueTX::enqueue(const QueueElement &element)
{
    {
        QMutexLocker lock(&m_mutex);
        m_list.append(element);
    }
    m_items.release();
    // The command this one follows is answered: the thread now finds it waiting instead of
    // going back to sleep for it.
    releaseAck();
}

void MyQueueTX::releaseAck()
{
    if (!m_ackPending || QThread::currentThread() != thread())
        return;
    m_ackPending = false;
    m_ackTimer->stop();
    m_reply.release();
}

int MyQueueTX::pendingCount() const
{
    QMutexLocker lock(&m_mutex);
    return m_list.size();
}

void MyQueueTX::clear()
{
    stopReplyTimer();
    bool wake = false;
    {
        QMutexLocker lock(&m_mutex);
        m_list.clear();
        ++m_generation;
        wake = m_awaiting;
        m_awaiting = false;
    }
    m_items.release();
    if (wake)
        m_reply.release();
}

void MyQueueTX::stop()
{
    m_stop.store(true);
    m_items.release();
    m_reply.release();
}

void MyQueueTX::shutdown()
{
    if (!isRunning() && isFinished())
        return;
    clear();
    stop();
    quit();
    requestInterruption();
    wait();
}

void MyQueueTX::replyReceived(const QString &interfaceName)
{
    const bool usbName = interfaceName.isEmpty() || interfaceName == kUsb;
    if (!usbName)
        resetAlive();

    bool wake = false;
    {
        QMutexLocker lock(&m_mutex);
        if (!usbName && interfaceName != m_currentInterface)
            return;
        m_currentClass = 0;
        m_currentInterface.clear();
        wake = m_awaiting;
        m_awaiting = false;
        m_lastWaitTimedOut = false;
    }
    stopReplyTimer();
    if (!wake)
        return;
    if (QThread::currentThread() != thread()) {
        m_reply.release();
        return;
    }
    // The reply is usually handled by queueing the next command at once; the thread is
    // released by that enqueue, or when control is back in the event loop if none comes.
    // Released here, the thread would wake only to sleep again until the next command.
    m_ackPending = true;
    m_ackTimer->start();
}

void MyQueueTX::startReplyTimer()
{
    {
        QMutexLocker lock(&m_mutex);
        if (!m_awaiting)
            return;
    }
    if (QThread::currentThread() == m_replyTimer->thread())
        m_replyTimer->start();
    else
        QMetaObject::invokeMethod(m_replyTimer, "start", Qt::QueuedConnection);
}

void MyQueueTX::stopReplyTimer()
{
    if (QThread::currentThread() == m_replyTimer->thread())
        m_replyTimer->stop();
    else
        QMetaObject::invokeMethod(m_replyTimer, "stop", Qt::QueuedConnection);
}

bool MyQueueTX::isActive() const
{
    return isRunning() && !m_stop.load();
}

bool MyQueueTX::isAwaitingReply() const
{
    QMutexLocker lock(&m_mutex);
    return m_awaiting;
}

bool MyQueueTX::isReplyTimerActive() const
{
    return m_replyTimer->isActive();
}

uchar MyQueueTX::currentClass() const
{
    QMutexLocker lock(&m_mutex);
    return m_currentClass;
}

QString MyQueueTX::currentInterfaceName() const
{
    QMutexLocker lock(&m_mutex);
    return m_currentInterface;
}

int MyQueueTX::currentNoReply() const
{
    QMutexLocker lock(&m_mutex);
    return m_currentNoReply;
}

uchar MyQueueTX::currentAttempts() const
{
    QMutexLocker lock(&m_mutex);
    return m_currentAttempts;
}

int MyQueueTX::timeoutCount() const
{
    QMutexLocker lock(&m_mutex);
    return m_timeoutCount;
}

void MyQueueTX::iUpdateTimer()
{
    m_replyTimer->stop();

    QMutexLocker lock(&m_mutex);
    // A time-out that lost the race against the reply (or a clear) releases nothing.
    if (!m_awaiting)
        return;
    ++m_timeoutCount;
    td::log(QStringLiteral(" *** Error: Queue timer %1 CMD: %2 MAC %3")
                .arg(m_timeoutCount)
                .arg(int(m_currentClass))
                .arg(m_currentInterface));
    if (m_timeoutCount == int(m_currentAttempts)) {
        m_timeoutCount = 0;
        m_currentAttempts = 0;
        m_list.clear();
        td::log(QStringLiteral(" *** Bad Error: Queue timer CMD: %1 MAC %2")
                    .arg(int(m_currentClass))
                    .arg(m_currentInterface));
    }
    m_awaiting = false;
    m_lastWaitTimedOut = true;
    lock.unlock();
    m_reply.release();
}

void MyQueueTX::slot_iTmrOneSec()
{
    int value = m_alive.load();
    while (value > 0 && !m_alive.compare_exchange_weak(value, value - 1)) {
    }
}

bool MyQueueTX::accepts(const QString &interfaceName) const
{
    return interfaceName == m_filter || interfaceName == kUsb;
}

bool MyQueueTX::stopping() const
{
    return m_stop.load() || isInterruptionRequested();
}

void MyQueueTX::setInFlightLocked(const QueueElement &element)
{
    m_currentClass = element.packetClass;
    m_currentInterface = element.interfaceName;
    m_currentAttempts = static_cast<uchar>(element.attempts & 0xFF);
    m_currentNoReply = element.noReply;
    m_awaiting = true;
    m_lastWaitTimedOut = false;
}

void MyQueueTX::emitTransmission(const QueueElement &element)
{
    ++m_transmissions;
    emit resultReady(element);
}

void MyQueueTX::waitForReply()
{
    if (!stopping())
        m_reply.acquire();
}

void MyQueueTX::run()
{
    while (!stopping()) {
        m_items.acquire();
        if (stopping())
            break;

        QueueElement element;
        quint64 generation = 0;
        {
            QMutexLocker lock(&m_mutex);
            // The count can run ahead of the list after a clear; nothing to do then.
            if (m_list.isEmpty())
                continue;
            element = m_list.takeFirst();
            generation = m_generation;
        }

        if (!accepts(element.interfaceName))
            continue; // another link's element

        if (element.noReply == 1) {
            {
                QMutexLocker lock(&m_mutex);
                m_currentNoReply = 1;
                m_timeoutCount = 0;
            }
            emitTransmission(element);
            continue;
        }

        {
            QMutexLocker lock(&m_mutex);
            m_timeoutCount = 0;
            setInFlightLocked(element);
        }
        emitTransmission(element);
        waitForReply();
        if (stopping())
            break;

        // A Wi-Fi key's own commands get all their attempts; anything on the USB link is
        // sent at most twice before the queue moves on.
        const bool retryAll = element.interfaceName == m_filter && element.interfaceName != kUsb;
        for (int i = 1; !stopping(); ++i) {
            {
                QMutexLocker lock(&m_mutex);
                if (i >= int(m_currentAttempts) || m_timeoutCount != i
                    || m_generation != generation)
                    break; // answered, used up, or cleared meanwhile
                setInFlightLocked(element);
            }
            emitTransmission(element);
            waitForReply();
            if (!retryAll)
                break;
        }
        bool givenUp = false;
        {
            QMutexLocker lock(&m_mutex);
            givenUp = m_lastWaitTimedOut && m_generation == generation;
            m_lastWaitTimedOut = false;
        }
        if (givenUp && !stopping())
            emit commandGivenUp(element);
    }
}
