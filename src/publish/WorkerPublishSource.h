#pragma once

#include "publish/PublishSource.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>

class HistoryWorker;

// The history as the publisher's source when the history lives on a thread of its own: every
// read and every cursor write is asked of that thread, and the publisher is handed what has
// already arrived. Rows are read ahead in batches; the waiting count and the acknowledged
// position are the last ones the history told. Nothing here waits: what is not here yet reads
// as "nothing now" and ready() says when to look again.
class WorkerPublishSource : public QObject, public PublishSource
{
    Q_OBJECT
public:
    static constexpr int ReadAhead = 500;

    WorkerPublishSource(HistoryWorker *worker, QString cursorName, QObject *parent = nullptr);
    ~WorkerPublishSource() override;

    QVector<Item> itemsAfter(const Cursor &cursor, int limit) override;
    qint64 countAfter(const Cursor &cursor) override;
    std::optional<Cursor> acknowledgedCursor() override;
    bool setAcknowledgedCursor(const Cursor &cursor) override;
    void sync() override { flush(); }

signals:
    // Rows, the position or the count arrived: the publisher may look again.
    void ready();

private:
    void readAhead(const Cursor &after);
    void askCount(const Cursor &after);
    void flush();

    QPointer<HistoryWorker> m_worker;
    QString m_name;
    // Rows read ahead: they follow m_from, in order.
    Cursor m_from;
    QVector<Item> m_ahead;
    bool m_reading = false;
    quint64 m_readSerial = 0; // answers to reads asked before a move are dropped
    bool m_askingCursor = false;
    bool m_readFailed = false;
    bool m_counting = false;
    qint64 m_count = -1;
    std::optional<Cursor> m_acknowledged;
    Cursor m_written;
    bool m_writing = false;
    QElapsedTimer m_sinceWrite;
};
