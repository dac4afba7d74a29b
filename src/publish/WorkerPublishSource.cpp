#include "publish/WorkerPublishSource.h"

#include "base/Log.h"
#include "history/HistoryWorker.h"
#include "publish/HistoryPublishSource.h"

#include <QJsonDocument>
#include <QTimer>

namespace {
// As HistoryPublishSource: the position goes to the database a few times a second at most.
constexpr int kWriteEveryMs = 200;
} // namespace

WorkerPublishSource::WorkerPublishSource(HistoryWorker *worker, QString cursorName, QObject *parent)
    : QObject(parent), m_worker(worker), m_name(std::move(cursorName))
{
}

WorkerPublishSource::~WorkerPublishSource()
{
    // Nobody is left to hear the answer; the write still goes.
    if (m_worker && m_acknowledged && *m_acknowledged != m_written)
        m_worker->post([name = m_name, at = *m_acknowledged](HistoryWorker &w) { w.store()->setCursor(name, at); });
}

QVector<PublishSource::Item> WorkerPublishSource::itemsAfter(const Cursor &cursor, int limit)
{
    int start = -1;
    if (cursor == m_from) {
        start = 0;
    } else {
        for (int i = 0; i < m_ahead.size(); ++i) {
            if (m_ahead.at(i).cursor == cursor) {
                start = i + 1;
                break;
            }
        }
    }
    if (start < 0) {
        // Another place than the one read ahead (a reconnection starts again from the
        // acknowledged position): what was read is of no use.
        m_ahead.clear();
        m_from = cursor;
        m_reading = false;
        ++m_readSerial;
        readAhead(cursor);
        return {};
    }
    const QVector<Item> out = m_ahead.mid(start, limit);
    const int used = start + out.size();
    if (used > 0) {
        m_from = m_ahead.at(used - 1).cursor;
        m_ahead.remove(0, used);
    }
    if (m_ahead.size() < ReadAhead / 2)
        readAhead(m_ahead.isEmpty() ? m_from : m_ahead.last().cursor);
    return out;
}

void WorkerPublishSource::readAhead(const Cursor &after)
{
    if (m_reading || !m_worker)
        return;
    m_reading = true;
    const quint64 serial = m_readSerial;
    m_worker->post(
        this,
        [after](HistoryWorker &w) {
            QVector<Item> items;
            const QVector<HistoryMeasure> rows = w.store()->measuresAfter(after, ReadAhead, w.store()->station());
            items.reserve(rows.size());
            for (const HistoryMeasure &m : rows)
                items.append({Cursor{m.tx, m.id}, m.keySerial, HistoryPublishSource::messageFor(m).toJson()});
            return items;
        },
        [this, after, serial](const QVector<Item> &items) {
            if (serial != m_readSerial)
                return; // the publisher moved elsewhere meanwhile
            m_reading = false;
            const Cursor tail = m_ahead.isEmpty() ? m_from : m_ahead.last().cursor;
            if (after != tail || items.isEmpty())
                return;
            m_ahead += items;
            emit ready();
        });
}

qint64 WorkerPublishSource::countAfter(const Cursor &cursor)
{
    askCount(cursor);
    return m_count;
}

void WorkerPublishSource::askCount(const Cursor &after)
{
    if (m_counting || !m_worker)
        return;
    m_counting = true;
    m_worker->post(
        this, [after](HistoryWorker &w) { return w.store()->countAfter(after, w.store()->station()); },
        [this](qint64 n) {
            m_counting = false;
            if (n == m_count)
                return;
            m_count = n;
            emit ready();
        });
}

std::optional<PublishSource::Cursor> WorkerPublishSource::acknowledgedCursor()
{
    if (m_acknowledged || m_askingCursor || !m_worker)
        return m_acknowledged;
    // A server away at start would read as "nothing acknowledged" and send the whole history
    // again: the position is asked for until it is known.
    m_askingCursor = true;
    m_worker->post(
        this, [name = m_name](HistoryWorker &w) { return w.store()->cursor(name); },
        [this](const std::optional<Cursor> &at) {
            m_askingCursor = false;
            if (!at) {
                if (!m_readFailed)
                    td::log(QStringLiteral("MQTT: the publishing position %1 cannot be read yet; nothing is sent until it is")
                                .arg(m_name));
                m_readFailed = true;
                return;
            }
            m_readFailed = false;
            if (!m_acknowledged) {
                m_acknowledged = at;
                m_written = *at;
            }
            emit ready();
        });
    return std::nullopt;
}

bool WorkerPublishSource::setAcknowledgedCursor(const Cursor &cursor)
{
    m_acknowledged = cursor;
    if (m_sinceWrite.isValid() && m_sinceWrite.elapsed() < kWriteEveryMs)
        return true;
    flush();
    return true;
}

void WorkerPublishSource::flush()
{
    if (!m_acknowledged || *m_acknowledged == m_written || m_writing || !m_worker)
        return;
    m_sinceWrite.start();
    const Cursor at = *m_acknowledged;
    m_writing = true;
    m_worker->post(
        this, [name = m_name, at](HistoryWorker &w) { return w.store()->setCursor(name, at); },
        [this, at](bool ok) {
            m_writing = false;
            if (!ok) {
                td::log(QStringLiteral("MQTT: the publishing cursor could not be saved"));
                return;
            }
            m_written = at;
            // Acknowledgements that came during the write go at the next turn.
            const int wait = int(qMax<qint64>(0, kWriteEveryMs - m_sinceWrite.elapsed()));
            QTimer::singleShot(wait, this, [this] { flush(); });
        });
}
