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
            m_items.append({cursor, serial, QStringLiteral("{\"id\":\"r%1\"}").arg(cursor).toUtf8()});
        }
    }

    QVector<Item> itemsAfter(qint64 cursor, int limit) override
    {
        ++m_fetches;
        QVector<Item> out;
        for (qint64 i = std::max<qint64>(cursor, 0); i < m_items.size() && out.size() < limit; ++i)
            out << m_items.at(int(i));
        return out;
    }
    qint64 countAfter(qint64 cursor) override { return std::max<qint64>(0, m_items.size() - cursor); }
    qint64 acknowledgedCursor() override { return m_acknowledged; }
    bool setAcknowledgedCursor(qint64 cursor) override
    {
        if (cursor < m_acknowledged)
            m_backwards = true;
        m_acknowledged = cursor;
        return true;
    }

    qint64 total() const { return m_items.size(); }
    bool wentBackwards() const { return m_backwards; }
    int fetches() const { return m_fetches; }

private:
    QVector<Item> m_items;
    qint64 m_acknowledged = 0;
    bool m_backwards = false;
    int m_fetches = 0;
};
