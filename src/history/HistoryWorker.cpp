#include "history/HistoryWorker.h"

#include "base/Log.h"

#include <QCoreApplication>
#include <QTcpSocket>
#include <QThread>

HistoryWorker::HistoryWorker(const QString &threadName) : m_thread(new QThread), m_archiver(&m_store)
{
    qRegisterMetaType<HistoryState>();
    m_thread->setObjectName(threadName);
    m_archiver.setContextSource([this] { return m_context; });
    m_archiver.setTemplatesSource([this] { return m_templates; });
    m_context = HistoryArchiver::Context::load();
    m_retry = new QTimer(this);
    m_retry->setInterval(HistoryStore::RetryMs);
    connect(m_retry, &QTimer::timeout, this, &HistoryWorker::retryQueue);
    moveToThread(m_thread);
    m_thread->start();
}

HistoryWorker::~HistoryWorker()
{
    Q_ASSERT(!m_thread);
}

void HistoryWorker::release(HistoryWorker *worker, int waitMs, Pending pending)
{
    if (worker && worker->shutdown(waitMs, pending))
        delete worker;
}

bool HistoryWorker::shutdown(int waitMs, Pending pending)
{
    if (!m_thread)
        return true;
    if (m_thread->isRunning()) {
        // Finishing lets the work already queued run first: the close below queues after it.
        if (pending == Pending::Drop)
            m_closing = true;
        QThread *home = QCoreApplication::instance() ? QCoreApplication::instance()->thread() : QThread::currentThread();
        // The connections are closed by the thread that opened them, and the worker comes
        // home so that its destructor runs where it is called.
        QMetaObject::invokeMethod(
            this,
            [this, home] {
                m_closing = true;
                m_retry->stop();
                if (m_probe)
                    m_probe->abort();
                m_archiver.setBarcodeSource({});
                m_store.close();
                moveToThread(home);
                QThread::currentThread()->quit();
            },
            Qt::QueuedConnection);
        if (!m_thread->wait(waitMs)) {
            // A server holding a statement past the time-outs: the process is ending anyway,
            // and a thread destroyed while it runs would take the process with it.
            td::log(QStringLiteral("History: the history's thread did not end in time; it is left behind"));
            return false;
        }
    }
    delete m_thread;
    m_thread = nullptr;
    return true;
}

void HistoryWorker::setBarcodeSource(std::function<QStringList(const QString &)> source)
{
    m_archiver.setBarcodeSource(std::move(source));
}

HistoryState HistoryWorker::state()
{
    HistoryState s;
    s.open = m_store.isOpen();
    s.server = m_store.isServer();
    s.online = m_store.isOnline();
    s.display = m_store.display();
    s.queuePath = m_store.queuePath();
    if (s.open && s.server) {
        s.queued = m_store.queuedCount();
        s.setAside = m_store.setAsideCount();
    }
    return s;
}

void HistoryWorker::announce(bool rowsAdded)
{
    emit stateChanged(state());
    if (rowsAdded)
        emit historyChanged();
}

bool HistoryWorker::open(const QString &url, QString *error, HistoryStore::Mode mode)
{
    const bool ok = m_store.open(url, error, QString(), mode);
    if (ok && m_store.isServer() && mode == HistoryStore::Mode::Direct)
        m_retry->start();
    else
        m_retry->stop();
    emit stateChanged(state());
    emit historyChanged();
    return ok;
}

void HistoryWorker::retryQueue()
{
    if (!m_store.isServer() || m_store.queuedCount() == 0 || m_probe)
        return;
    const HistoryLocation &where = m_store.location();
    // A socket folder is on this PC: failing there is immediate, no probe needed.
    if (where.host.isEmpty() || where.host.startsWith(QLatin1Char('/'))) {
        reconnectAndDrain();
        return;
    }
    auto *probe = new QTcpSocket(this);
    m_probe = probe;
    auto unreachable = [this, probe] {
        if (m_probe != probe)
            return;
        td::log(QStringLiteral("History server %1 not reached; the queue waits").arg(m_store.display()));
        m_store.noteServerUnreachable();
        m_probe = nullptr;
        probe->abort();
        probe->deleteLater();
        emit stateChanged(state());
    };
    connect(probe, &QTcpSocket::connected, this, [this, probe] {
        m_probe = nullptr;
        probe->abort();
        probe->deleteLater();
        reconnectAndDrain();
    });
    connect(probe, &QAbstractSocket::errorOccurred, this, unreachable);
    QTimer::singleShot(HistoryStore::ProbeMs, probe, unreachable);
    probe->connectToHost(where.host, quint16(where.port));
}

void HistoryWorker::drainQueued()
{
    if (!m_store.isServer() || m_store.mode() != HistoryStore::Mode::Direct)
        return;
    if (!m_store.isOnline()) {
        retryQueue();
        return;
    }
    QString error;
    const int moved = m_store.drainQueue(&error);
    if (moved < 0)
        td::log(QStringLiteral("History: queue not sent: %1").arg(error));
    announce(moved > 0);
}

void HistoryWorker::reconnectAndDrain()
{
    QString error;
    if (!m_store.reconnect(&error)) {
        emit stateChanged(state());
        return;
    }
    announce(m_store.drainQueue(&error) > 0);
}
