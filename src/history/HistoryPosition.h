#pragma once

#include <QtGlobal>

// Where a reader that follows the history stands: rows come in (tx, id) order. On a server tx is
// the writing transaction's id, so rows become visible in an order a reader can wait for; on
// SQLite writers take turns and tx stays 0, leaving plain id order.
struct HistoryPosition
{
    qint64 tx = 0;
    qint64 id = 0;

    bool operator<(const HistoryPosition &o) const { return tx < o.tx || (tx == o.tx && id < o.id); }
    bool operator==(const HistoryPosition &o) const { return tx == o.tx && id == o.id; }
    bool operator!=(const HistoryPosition &o) const { return !(*this == o); }
};
