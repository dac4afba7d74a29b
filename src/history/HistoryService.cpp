#include "history/HistoryService.h"

#include "base/Log.h"
#include "history/HistoryLocation.h"
#include "history/KeyContext.h"
#include "protocol/FileExchange.h"
#include "protocol/KeyModel.h"
#include "protocol/KeySession.h"
#include "records/RecordFile.h"
#include "records/TemplateListsModel.h"

#include <memory>

namespace {
// How often the age of the oldest question is looked at.
constexpr int kSilenceCheckMs = 500;
} // namespace

HistoryService::HistoryService(QObject *parent) : QObject(parent), m_worker(new HistoryWorker)
{
    setObjectName(QStringLiteral("historyService"));
    m_clock.start();
    m_silence.setInterval(kSilenceCheckMs);
    connect(&m_silence, &QTimer::timeout, this, &HistoryService::checkSilence);
    connect(m_worker, &HistoryWorker::historyChanged, this, &HistoryService::historyChanged);
    connect(m_worker, &HistoryWorker::stateChanged, this, [this](const HistoryState &s) {
        m_state = s;
        const bool away = s.server && !s.online;
        if (!away)
            m_offlineSince = QDateTime();
        else if (!m_offlineSince.isValid())
            m_offlineSince = QDateTime::currentDateTime();
        emit stateChanged();
    });
}

HistoryService::~HistoryService()
{
    disconnect(m_worker, nullptr, this, nullptr);
    if (m_queueWorker) {
        disconnect(m_queueWorker, nullptr, this, nullptr);
        // Only the local queue file behind it: what was handed over to be archived is written.
        HistoryWorker::release(m_queueWorker, 30000, HistoryWorker::Pending::Finish);
    }
    HistoryWorker::release(m_worker);
}

void HistoryService::ensureQueueWorker()
{
    if (m_queueWorker)
        return;
    m_queueWorker = new HistoryWorker(QStringLiteral("history-queue"));
    // The queue's count as its writer sees it: the history's thread may be held by a server
    // that does not answer and then reports nothing.
    connect(m_queueWorker, &HistoryWorker::stateChanged, this, [this](const HistoryState &s) {
        if (!m_queueFirst || !s.open)
            return;
        m_state.queued = s.queued;
        m_state.setAside = s.setAside;
        emit stateChanged();
    });
    if (m_barcodes)
        m_queueWorker->post([source = m_barcodes()](HistoryWorker &w) mutable { w.setBarcodeSource(std::move(source)); });
    if (m_contextSet)
        m_queueWorker->post([c = m_context](HistoryWorker &w) { w.setContext(c); });
}

void HistoryService::drainAfter(int queued)
{
    // Asked, not only posted: a server that holds the drain makes the history "not answering".
    if (queued > 0 && m_queueFirst)
        ask(
            this,
            [](HistoryWorker &w) {
                w.drainQueued();
                return true;
            },
            [](bool) {});
}

quint64 HistoryService::begin()
{
    m_asked.insert(++m_nextId, m_clock.elapsed());
    if (!m_silence.isActive())
        m_silence.start();
    return m_nextId;
}

void HistoryService::end(quint64 id)
{
    m_asked.remove(id);
    checkSilence();
}

void HistoryService::checkSilence()
{
    // The thread answers in order: the oldest open question is the one it is held on.
    const bool answering = m_asked.isEmpty() || m_clock.elapsed() - m_asked.first() < SilentMs;
    if (m_asked.isEmpty())
        m_silence.stop();
    if (answering == m_answering)
        return;
    m_answering = answering;
    td::log(answering ? QStringLiteral("History: answering again")
                      : QStringLiteral("History: no answer for %1 ms").arg(SilentMs));
    emit answeringChanged(answering);
}

void HistoryService::openDatabase(const QString &url)
{
    m_url = url;
    HistoryLocation where;
    QString parseError;
    const bool server = HistoryLocation::parse(url, &where, &parseError) && where.isServer();
    if (server) {
        ensureQueueWorker();
        askOn(
            m_queueWorker, this,
            [url](HistoryWorker &w) {
                QString error;
                const bool ok = w.open(url, &error, HistoryStore::Mode::QueueOnly);
                if (!ok)
                    td::log(QStringLiteral("History queue not available: %1").arg(error));
                return ok;
            },
            [](bool) {});
    } else if (m_queueWorker) {
        // Whatever was handed to it before is written first: its work runs in order.
        m_queueWorker->post([](HistoryWorker &w) { w.store()->close(); });
    }
    m_queueFirst = server;
    ask(
        this,
        [url](HistoryWorker &w) {
            QString error;
            const bool ok = w.open(url, &error);
            return qMakePair(ok, error);
        },
        [this, url](const QPair<bool, QString> &r) {
            if (!r.first)
                td::log(QStringLiteral("History not available: %1").arg(r.second));
            emit opened(r.first, r.second);
        });
}

void HistoryService::setBarcodeSource(std::function<BarcodeSource()> make)
{
    m_barcodes = std::move(make);
    for (HistoryWorker *w : {m_worker, m_queueWorker}) {
        if (w)
            w->post([source = m_barcodes ? m_barcodes() : BarcodeSource()](HistoryWorker &h) mutable {
                h.setBarcodeSource(std::move(source));
            });
    }
}

void HistoryService::setContext(const HistoryArchiver::Context &context)
{
    m_context = context;
    m_contextSet = true;
    postToAll([context](HistoryWorker &w) { w.setContext(context); });
}

void HistoryService::pushTemplates()
{
    if (!m_templates)
        return;
    const TemplateLists lists = m_templates();
    postToAll([lists](HistoryWorker &w) { w.setTemplates(lists); });
}

void HistoryService::follow(KeySession *session)
{
    KeyModel *key = session->model();
    // Until a key has told who it is, the mirror belongs to the last key that did.
    auto current = std::make_shared<HistoryArchiver::Context>(HistoryArchiver::Context::load());
    auto remember = [this, key, current] {
        const HistoryArchiver::Context c = keyContext(*key);
        if (c.keySerial.isEmpty() || c == *current)
            return;
        *current = c;
        setContext(c);
        QString e;
        if (!c.save(&e))
            td::log(e);
    };
    connect(key, &KeyModel::deviceSettingsChanged, this, remember);
    connect(key, &KeyModel::namesChanged, this, remember);
    connect(key, &KeyModel::calibrationChanged, this, remember);
    TemplateListsModel *templates = session->templateLists();
    setTemplatesSource([templates] { return templates->lists(); });

    connect(session->files(), &FileExchange::slot_files_got_file, this, [this](const QStringList &folderAndFile) {
        if (folderAndFile.size() == 2 && folderAndFile.at(0) == QLatin1String("dbsett"))
            archiveRecord(folderAndFile.at(1));
    });
    // A read-out fetches the folder without a notice per file: the folder's completion says
    // every record file is in the mirror.
    connect(session->files(), &FileExchange::slot_files_got_dir, this, [this](const QString &folder) {
        if (folder == QLatin1String("/dbsett") || folder == QLatin1String("dbsett"))
            archiveMirror();
    });
}

void HistoryService::archiveRecord(const QString &name)
{
    pushTemplates();
    askOn(
        archivingWorker(), this,
        [name](HistoryWorker &w) {
            const HistoryStore::AppendResult r = w.archiver()->archiveRecord(name);
            w.announce(r.added > 0);
            return r;
        },
        [this, name](const HistoryStore::AppendResult &r) {
            drainAfter(r.queued);
            if (!r.ok)
                emit problem(tr("The measures of %1 are not in the history: %2").arg(name, r.error));
        });
}

void HistoryService::archiveMirror()
{
    pushTemplates();
    askOn(
        archivingWorker(), this,
        [](HistoryWorker &w) {
            const HistoryArchiver::MirrorResult r = w.archiver()->archiveMirror();
            w.announce(r.added > 0);
            return r;
        },
        [this](const HistoryArchiver::MirrorResult &r) {
            drainAfter(r.queued);
            td::log(QStringLiteral("History: mirror archived, %1 files, %2 measures, %3 new, %4 queued")
                        .arg(r.files)
                        .arg(r.measures)
                        .arg(r.added)
                        .arg(r.queued));
            if (!r.ok())
                emit problem(
                    tr("The measures of %1 records are not in the history: %2").arg(r.failed.size()).arg(r.error));
            emit mirrorArchived(r);
        });
}

void HistoryService::retryQueue()
{
    m_worker->post([](HistoryWorker &w) { w.retryQueue(); });
}

void HistoryService::keepBeforeErase(const QString &name, const RecordFile &fromKey, int keyCount, QObject *receiver,
                                     std::function<void(bool, const QString &)> reply)
{
    pushTemplates();
    auto guard = [this, name, fromKey, keyCount, to = QPointer<QObject>(receiver), reply = std::move(reply)]() {
        if (!to)
            return;
        // The guard drains the queue before it answers (see HistoryArchiver::keepBeforeErase).
        ask(
            to.data(),
            [name, fromKey, keyCount](HistoryWorker &w) {
                QString why;
                const bool kept = w.archiver()->keepBeforeErase(name, fromKey, keyCount, &why);
                w.announce(false);
                return qMakePair(kept, why);
            },
            [reply](const QPair<bool, QString> &r) { reply(r.first, r.second); });
    };
    if (!m_queueFirst) {
        guard();
        return;
    }
    // Archiving handed over before this question may still be on its way to the queue; the
    // queue's thread answers in order, so its answer says all of it is in the file.
    askOn(
        m_queueWorker, this, [](HistoryWorker &) { return true; }, [guard](bool) { guard(); });
}

void HistoryService::noteErased(const QString &name)
{
    ask(
        this,
        [name](HistoryWorker &w) {
            QString why;
            const bool ok = w.archiver()->noteErased(name, &why);
            return ok ? QString() : why;
        },
        [name](const QString &why) {
            if (!why.isEmpty())
                td::log(QStringLiteral("History: erase of %1 not noted: %2").arg(name, why));
        });
}
