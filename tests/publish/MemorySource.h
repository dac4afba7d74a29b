#pragma once

#include "publish/PublishSource.h"

#include <algorithm>

// A history stand-in for the publisher's tests: numbered results, one key, and a cursor kept
// in memory.
class MemorySource : public PublishSource
{
public:
    void add(int count, const QString &serial = QStringLiteral("2907A"))
    {
        for (int i = 0; i < count; ++i) {
            const qint64 cursor = m_items.size() + 1;
            m_items.append({Cursor{0, cursor}, serial, QStringLiteral("{\"id\":\"r%1\"}").arg(cursor).toUtf8()});
        }
    }

    QVector<Item> itemsAfter(const Cursor &cursor, int limit) override
    {
        ++m_fetches;
        QVector<Item> out;
        for (qint64 i = std::max<qint64>(cursor.id, 0); i < m_items.size() && out.size() < limit; ++i)
            out << m_items.at(int(i));
        return out;
    }
    qint64 countAfter(const Cursor &cursor) override { return std::max<qint64>(0, m_items.size() - cursor.id); }
    std::optional<Cursor> acknowledgedCursor() override { return Cursor{0, m_acknowledged}; }
    bool setAcknowledgedCursor(const Cursor &cursor) override
    {
        if (cursor.id < m_acknowledged)
            m_backwards = true;
        m_acknowledged = cursor.id;
        return true;
    }

    qint64 acknowledged() const { return m_acknowledged; }

    qint64 total() const { return m_items.size(); }
    bool wentBackwards() const { return m_backwards; }
    int fetches() const { return m_fetches; }

private:
    QVector<Item> m_items;
    qint64 m_acknowledged = 0;
    bool m_backwards = false;
    int m_fetches = 0;
};
