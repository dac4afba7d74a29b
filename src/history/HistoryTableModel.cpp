#include "history/HistoryTableModel.h"

#include "history/HistoryExport.h"

#include <QBrush>
#include <QColor>
#include <QFont>

#include <limits>

namespace {
constexpr int kResultColumn = 7;
// The database column behind each of HistoryExport::columnTitles().
const char *const kSortColumns[] = {"measured_at", "key_serial", "record_name", "connection_index",
                                    "moment", "angle", "defect", "verdict", "moment_low", "operator_text",
                                    "product", "operation_number", "node", "operator_name", "barcode1",
                                    "calibration_file", "received_at", "station"};
} // namespace

int HistoryTableModel::columnOf(const QString &databaseColumn)
{
    for (int i = 0; i < int(sizeof(kSortColumns) / sizeof(kSortColumns[0])); ++i) {
        if (databaseColumn == QLatin1String(kSortColumns[i]))
            return i;
    }
    return -1;
}

QString HistoryTableModel::sortColumn(int column)
{
    const int n = int(sizeof(kSortColumns) / sizeof(kSortColumns[0]));
    return QLatin1String(column >= 0 && column < n ? kSortColumns[column] : kSortColumns[0]);
}

void HistoryTableModel::setSort(const HistorySort &sort)
{
    if (sort == m_sort)
        return;
    m_sort = sort;
    beginResetModel();
    m_pages.clear();
    m_recent.clear();
    m_unreadable.clear();
    m_loading.clear();
    // Pages on their way are in the old order.
    m_generation = ++m_wanted->generation;
    endResetModel();
    // A count on its way belonged to the generation just left behind.
    if (!m_counted)
        count();
}

HistoryTableModel::HistoryTableModel(QObject *parent) : QAbstractTableModel(parent)
{
    m_titles = HistoryExport::columnTitles();
}

void HistoryTableModel::setSource(Source source)
{
    m_source = std::move(source);
}

void HistoryTableModel::setFilter(const HistoryFilter &filter)
{
    beginResetModel();
    m_filter = filter;
    m_count = 0;
    m_counted = false;
    m_pages.clear();
    m_recent.clear();
    m_unreadable.clear();
    endResetModel();
    count();
}

void HistoryTableModel::refresh()
{
    count();
}

void HistoryTableModel::count()
{
    m_generation = ++m_wanted->generation;
    m_loading.clear();
    if (!m_source.count) {
        emit counted(-1);
        return;
    }
    const quint64 generation = m_generation;
    m_source.count(this, m_filter, [this, generation](qint64 n) {
        if (generation != m_generation)
            return;
        beginResetModel();
        m_pages.clear();
        m_recent.clear();
        m_unreadable.clear();
        m_count = qMax<qint64>(0, n);
        m_counted = n >= 0;
        endResetModel();
        emit counted(n);
    });
}

void HistoryTableModel::retranslate()
{
    m_titles = HistoryExport::columnTitles();
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

const QVector<HistoryMeasure> *HistoryTableModel::cachedPage(int page) const
{
    auto found = m_pages.constFind(page);
    if (found == m_pages.constEnd())
        return nullptr;
    if (m_recent.last() != page) {
        m_recent.removeOne(page);
        m_recent.append(page);
    }
    return &found.value();
}

void HistoryTableModel::ask(int page) const
{
    if (!m_source.page || m_loading.contains(page) || m_unreadable.contains(page))
        return;
    m_loading.insert(page);
    const quint64 generation = m_generation;
    const quint64 serial = ++m_asked;
    m_wanted->lastAsked = serial;
    std::shared_ptr<Wanted> shared = m_wanted;
    // A page scrolled past long ago is not worth a query: while the history's thread was busy,
    // the view may have asked for dozens.
    auto wanted = [shared, generation, serial] {
        return shared->generation == generation && shared->lastAsked - serial < quint64(CachedPages);
    };
    auto *self = const_cast<HistoryTableModel *>(this);
    m_source.page(self, m_filter, m_sort, qint64(page) * PageRows, PageRows, wanted,
                  [self, generation, page](const QVector<HistoryMeasure> &rows, bool skipped) {
                      self->arrived(generation, page, rows, skipped);
                  });
}

void HistoryTableModel::arrived(quint64 generation, int page, const QVector<HistoryMeasure> &rows, bool skipped)
{
    if (generation != m_generation)
        return;
    m_loading.remove(page);
    const qint64 first = qint64(page) * PageRows;
    if (first >= rowCount())
        return;
    if (skipped) {
        // Still on screen, the view paints it again and so asks again; off screen, nothing.
        emit dataChanged(index(int(first), 0), index(int(qMin<qint64>(first + PageRows, rowCount()) - 1), 0));
        return;
    }
    if (rows.isEmpty()) {
        m_unreadable.insert(page);
        emit dataChanged(index(int(first), 0), index(int(first), 0));
        return;
    }
    if (m_pages.size() >= CachedPages && !m_recent.isEmpty())
        m_pages.remove(m_recent.takeFirst());
    m_pages.insert(page, rows);
    m_recent.removeOne(page);
    m_recent.append(page);
    const int last = int(qMin<qint64>(first + PageRows, rowCount()) - 1);
    emit dataChanged(index(int(first), 0), index(last, columnCount() - 1));
    emit pageArrived(int(first), last);
}

HistoryMeasure HistoryTableModel::measure(int row) const
{
    if (row < 0 || row >= rowCount())
        return HistoryMeasure();
    const QVector<HistoryMeasure> *page = cachedPage(row / PageRows);
    return page ? page->value(row % PageRows) : HistoryMeasure();
}

bool HistoryTableModel::isLoaded(int row) const
{
    return row >= 0 && row < rowCount() && m_pages.contains(row / PageRows);
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
    if (!index.isValid() || index.row() >= rowCount())
        return QVariant();
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole && role != Qt::ForegroundRole && role != Qt::BackgroundRole && role != Qt::FontRole)
        return QVariant();
    const int pageNumber = index.row() / PageRows;
    const QVector<HistoryMeasure> *page = cachedPage(pageNumber);
    if (!page) {
        ask(pageNumber);
        if (role == Qt::BackgroundRole || role == Qt::FontRole)
            return QVariant();
        if (role == Qt::ForegroundRole)
            return QVariant(QBrush(QColor(Qt::gray)));
        return index.column() == 0 && !m_unreadable.contains(pageNumber) ? QVariant(tr("Loading…")) : QVariant();
    }
    const int at = index.row() % PageRows;
    if (at >= page->size())
        return QVariant();
    const HistoryMeasure &m = page->at(at);
    // A rejected tightening shows across the whole row, not only in its result cell.
    if (role == Qt::BackgroundRole)
        return m.ok ? QVariant() : QVariant(QBrush(QColor(255, 222, 222)));
    if (role == Qt::FontRole) {
        if (m.ok || index.column() != kResultColumn)
            return QVariant();
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    if (role == Qt::ForegroundRole)
        return index.column() == kResultColumn && !m.ok ? QVariant(QBrush(QColor(180, 0, 0))) : QVariant();
    return HistoryExport::rowTexts(m, HistoryExport::Unit::Shown).value(index.column());
}

QVariant HistoryTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return section + 1;
    return m_titles.value(section);
}
