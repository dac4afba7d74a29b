#include "history/HistoryTableModel.h"

#include "history/HistoryDatabase.h"
#include "history/HistoryExport.h"

#include <QBrush>
#include <QColor>

namespace {
constexpr int kResultColumn = 7;
}

HistoryTableModel::HistoryTableModel(QObject *parent) : QAbstractTableModel(parent)
{
    m_titles = HistoryExport::columnTitles();
}

void HistoryTableModel::setDatabase(HistoryDatabase *db)
{
    m_db = db;
    refresh();
}

void HistoryTableModel::setFilter(const HistoryFilter &filter)
{
    m_filter = filter;
    refresh();
}

void HistoryTableModel::refresh()
{
    beginResetModel();
    m_pages.clear();
    m_recent.clear();
    m_count = m_db && m_db->isOpen() ? qMax<qint64>(0, m_db->count(m_filter)) : 0;
    endResetModel();
}

void HistoryTableModel::retranslate()
{
    m_titles = HistoryExport::columnTitles();
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

const QVector<HistoryMeasure> *HistoryTableModel::pageOf(int row) const
{
    if (!m_db || row < 0 || row >= m_count)
        return nullptr;
    const int page = row / PageRows;
    auto found = m_pages.find(page);
    if (found == m_pages.end()) {
        if (m_pages.size() >= CachedPages) {
            m_pages.remove(m_recent.takeFirst());
        }
        found = m_pages.insert(page, m_db->page(m_filter, qint64(page) * PageRows, PageRows));
    } else {
        m_recent.removeOne(page);
    }
    m_recent.append(page);
    return &found.value();
}

HistoryMeasure HistoryTableModel::measure(int row) const
{
    const QVector<HistoryMeasure> *page = pageOf(row);
    if (!page)
        return HistoryMeasure();
    return page->value(row % PageRows);
}

int HistoryTableModel::rowCount(const QModelIndex &parent) const
{
    // A view holds int rows; a history past two thousand million rows shows its newest ones.
    return parent.isValid() ? 0 : int(qMin<qint64>(m_count, std::numeric_limits<int>::max()));
}

int HistoryTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_titles.size();
}

QVariant HistoryTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole && role != Qt::ForegroundRole)
        return QVariant();
    const QVector<HistoryMeasure> *page = pageOf(index.row());
    const int at = index.row() % PageRows;
    if (!page || at >= page->size())
        return QVariant();
    const HistoryMeasure &m = page->at(at);
    if (role == Qt::ForegroundRole)
        return index.column() == kResultColumn && !m.ok ? QVariant(QBrush(QColor(Qt::red))) : QVariant();
    return HistoryExport::rowTexts(m).value(index.column());
}

QVariant HistoryTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return section + 1;
    return m_titles.value(section);
}
