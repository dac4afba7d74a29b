#pragma once

#include "history/HistoryPosition.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <optional>

// What the publisher sends, in order, and how far the broker has acknowledged it. The history
// is the real source: whatever the broker has not acknowledged stays there, so a broker that is
// down or stalls costs no memory and loses nothing.
class PublishSource
{
public:
    using Cursor = HistoryPosition;

    struct Item
    {
        Cursor cursor; // strictly increasing in the order items must go out
        QString keySerial;
        QByteArray payload;
    };

    virtual ~PublishSource() = default;

    // At most limit items after cursor, in cursor order.
    virtual QVector<Item> itemsAfter(const Cursor &cursor, int limit) = 0;
    // -1 when it cannot be counted now.
    virtual qint64 countAfter(const Cursor &cursor) = 0;
    // Everything up to this cursor was acknowledged by the broker; kept across runs. Nothing
    // while it cannot be read: an unknown position is not the start.
    virtual std::optional<Cursor> acknowledgedCursor() = 0;
    virtual bool setAcknowledgedCursor(const Cursor &cursor) = 0;
    // Nothing is in flight (or the publisher stops): a source that keeps the position lazily
    // writes it now.
    virtual void sync() {}

    // What waits for the broker: -1 while the position or the count cannot be read.
    qint64 waiting()
    {
        const std::optional<Cursor> at = acknowledgedCursor();
        return at ? countAfter(*at) : -1;
    }
};
