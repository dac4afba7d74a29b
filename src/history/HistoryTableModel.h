#pragma once

#include "history/HistoryMeasure.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QSet>
#include <QVector>

#include <atomic>
#include <functional>
#include <memory>

// The measures of a filter, newest first, as a table that never holds more than a few pages
// and never waits for them: the count and every page are asked of the history's thread and
// shown when they arrive, a row of a page still on its way reads "Loading…". A million matches
// open as fast as a hundred, and a server that stops answering leaves the table (and the
// window around it) as responsive as before.
class HistoryTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int PageRows = 200;
    static constexpr int CachedPages = 16;

    // How the table reaches the history. Each call answers later through done, on the
    // receiver's thread and only while the receiver lives. wanted() may be called from any
    // thread: false when the answer would be thrown away, so the work can be skipped (and
    // done says so).
    struct Source
    {
        std::function<void(QObject *receiver, const HistoryFilter &filter, std::function<void(qint64 count)> done)>
            count;
        std::function<void(QObject *receiver, const HistoryFilter &filter, const HistorySort &sort, qint64 offset,
                           int limit, std::function<bool()> wanted,
                           std::function<void(const QVector<HistoryMeasure> &rows, bool skipped)> done)>
            page;
    };

    explicit HistoryTableModel(QObject *parent = nullptr);

    // Nothing is asked until a filter is set.
    void setSource(Source source);
    // A new filter: the table empties and counts again.
    void setFilter(const HistoryFilter &filter);
    const HistoryFilter &filter() const { return m_filter; }
    // The database orders the rows (a view cannot sort what it has not read): the table
    // empties and pages again in the new order.
    void setSort(const HistorySort &sort);
    const HistorySort &sort() const { return m_sort; }
    // The column of the table that sorts by the database column, -1 when none does.
    static int columnOf(const QString &databaseColumn);
    // The database column a table column sorts by (the time for one it does not know).
    static QString sortColumn(int column);
    // New measures arrived: counts again, keeping the rows on show until the count is in.
    void refresh();

    // The count for the current filter is in (and the table holds that many rows).
    bool isCounted() const { return m_counted; }
    // The measure of a row when its page is here; a default one otherwise.
    HistoryMeasure measure(int row) const;
    bool isLoaded(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    void retranslate();

signals:
    // The count for the current filter arrived; -1 when it could not be read.
    void counted(qint64 count);
    // The rows of one page arrived.
    void pageArrived(int firstRow, int lastRow);

private:
    // Shared with work waiting on the history's thread, which reads it without a lock.
    struct Wanted
    {
        std::atomic<quint64> generation{0};
        std::atomic<quint64> lastAsked{0};
    };

    const QVector<HistoryMeasure> *cachedPage(int page) const;
    void ask(int page) const;
    void arrived(quint64 generation, int page, const QVector<HistoryMeasure> &rows, bool skipped);
    void count();

    Source m_source;
    HistoryFilter m_filter;
    HistorySort m_sort;
    qint64 m_count = 0;
    bool m_counted = false;
    QStringList m_titles;
    std::shared_ptr<Wanted> m_wanted = std::make_shared<Wanted>();
    quint64 m_generation = 0;
    mutable quint64 m_asked = 0;
    mutable QHash<int, QVector<HistoryMeasure>> m_pages;
    mutable QList<int> m_recent; // page numbers, most recent last
    mutable QSet<int> m_loading;
    mutable QSet<int> m_unreadable; // asked and came back empty: not asked again until a refresh
};
