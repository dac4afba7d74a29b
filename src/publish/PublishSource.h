#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// What the publisher sends, in order, and how far the broker has acknowledged it. The history
// is the real source: whatever the broker has not acknowledged stays there, so a broker that is
// down or stalls costs no memory and loses nothing.
class PublishSource
{
public:
    struct Item
    {
        qint64 cursor = 0; // strictly increasing in the order items must go out
        QString keySerial;
        QByteArray payload;
    };

    virtual ~PublishSource() = default;

    // At most limit items after cursor, in cursor order.
    virtual QVector<Item> itemsAfter(qint64 cursor, int limit) = 0;
    virtual qint64 countAfter(qint64 cursor) = 0;
    // Everything up to this cursor was acknowledged by the broker; kept across runs.
    virtual qint64 acknowledgedCursor() = 0;
    virtual bool setAcknowledgedCursor(qint64 cursor) = 0;
    // Nothing is in flight (or the publisher stops): a source that keeps the position lazily
    // writes it now.
    virtual void sync() {}
};
