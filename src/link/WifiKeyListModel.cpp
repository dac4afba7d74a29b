#include "link/WifiKeyListModel.h"

WifiKeyListModel::WifiKeyListModel(QObject *parent) : QAbstractListModel(parent) {}

int WifiKeyListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

QVariant WifiKeyListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= m_rows.size())
        return {};
    const Row &row = m_rows.at(index.row());
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return row.text;
    if (role == IdentifierRole || role == Qt::ToolTipRole)
        return row.identifier;
    return {};
}

QHash<int, QByteArray> WifiKeyListModel::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert(IdentifierRole, "identifier");
    return names;
}

QString WifiKeyListModel::text(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).text : QString();
}

QString WifiKeyListModel::identifier(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).identifier : QString();
}

void WifiKeyListModel::append(const QString &identifier, const QString &text)
{
    beginInsertRows(QModelIndex(), m_rows.size(), m_rows.size());
    m_rows.append({identifier, text});
    endInsertRows();
}

void WifiKeyListModel::setText(int row, const QString &text)
{
    if (row < 0 || row >= m_rows.size() || m_rows.at(row).text == text)
        return;
    m_rows[row].text = text;
    const QModelIndex i = index(row);
    emit dataChanged(i, i, {Qt::DisplayRole, Qt::EditRole});
}

void WifiKeyListModel::remove(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.remove(row);
    endRemoveRows();
}
