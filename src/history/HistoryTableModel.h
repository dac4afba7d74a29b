#pragma once

#include "history/HistoryMeasure.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QVector>

class HistoryDatabase;

// The measures of a filter, newest first, as a table that never holds more than a few pages:
// the row count comes from one COUNT, and rows are fetched a page at a time when the view
// asks for them, so a million matches open as fast as a hundred.
class HistoryTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int PageRows = 200;
    static constexpr int CachedPages = 16;

    explicit HistoryTableModel(QObject *parent = nullptr);

    void setDatabase(HistoryDatabase *db);
    void setFilter(const HistoryFilter &filter);
    const HistoryFilter &filter() const { return m_filter; }
    // Counts and drops the cached pages (new measures arrived).
    void refresh();

    // The measure of a row (fetched if needed); a default one outside the table.
    HistoryMeasure measure(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void retranslate();

private:
    const QVector<HistoryMeasure> *pageOf(int row) const;

    HistoryDatabase *m_db = nullptr;
    HistoryFilter m_filter;
    qint64 m_count = 0;
    QStringList m_titles;
    mutable QHash<int, QVector<HistoryMeasure>> m_pages;
    mutable QList<int> m_recent; // page numbers, most recent last
};
