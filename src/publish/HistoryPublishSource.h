#pragma once

#include "history/HistoryMeasure.h"
#include "publish/PublishSource.h"
#include "publish/ResultMessage.h"

#include <QElapsedTimer>
#include <QString>

class HistoryStore;

// The tightening history as the publisher's source: the measures this station archived (the
// store's station; another station's rows are that station's to send) in (tx, id) order, each
// as one result message, and the acknowledged position kept in the history itself under a name of this
// station's, so a restart goes on where the broker stopped acknowledging.
class HistoryPublishSource : public PublishSource
{
public:
    // cursorName: one per station and broker (see cursorNameFor).
    HistoryPublishSource(HistoryStore *store, QString cursorName);
    ~HistoryPublishSource() override;

    static QString cursorNameFor(const QString &clientIdentity);

    QVector<Item> itemsAfter(const Cursor &cursor, int limit) override;
    qint64 countAfter(const Cursor &cursor) override;
    std::optional<Cursor> acknowledgedCursor() override;
    bool setAcknowledgedCursor(const Cursor &cursor) override;

    // Writes a position held back by the throttle.
    bool flush();
    void sync() override { flush(); }

    static ResultMessage messageFor(const HistoryMeasure &m);
    // Stable for one measure on every station and every repeat: the history's own identity of
    // a measure (key serial, record, index, time, moment).
    static QString resultIdFor(const HistoryMeasure &m);

private:
    HistoryStore *m_store;
    QString m_name;
    std::optional<Cursor> m_acknowledged; // not read yet, or the history could not be read
    Cursor m_written;
    bool m_readFailed = false;
    QElapsedTimer m_sinceWrite;
};
