#include "measures/MeasureMemoryModel.h"

#include "measures/MeasureCells.h"
#include "measures/MeasureJudgement.h"

#include <cmath>

using MeasureCells::Table;

MeasureMemoryModel::MeasureMemoryModel(QObject *parent) : QAbstractTableModel(parent)
{
    setLevels(m_used, m_captions, false);
}

void MeasureMemoryModel::setLevels(const std::array<bool, 4> &used, const std::array<QString, 4> &captions, bool kgsm)
{
    QVector<Column> columns{Date, Time};
    if (used[0])
        columns << Level1;
    if (used[1])
        columns << Level2;
    if (used[2])
        columns << Level3;
    if (used[3])
        columns << Level4Name << Level4Comment;
    columns << StaticMoment << ConnectionNumber << ControlResult << AngleRanges << Angle << Result << Defect
            << Notes << Controller;

    const bool shapeChanged = columns != m_columns;
    if (shapeChanged)
        beginResetModel();
    m_columns = columns;
    m_used = used;
    m_captions = captions;
    m_kgsm = kgsm;
    retranslate();
    if (shapeChanged)
        endResetModel();
}

void MeasureMemoryModel::retranslate()
{
    const QString unit = m_kgsm ? tr("kgsm") : tr("Nm");
    m_titles.clear();
    for (Column c : qAsConst(m_columns)) {
        switch (c) {
        case Date: m_titles << tr("Date"); break;
        case Time: m_titles << tr("Time"); break;
        case Level1: m_titles << m_captions[0]; break;
        case Level2: m_titles << m_captions[1]; break;
        case Level3: m_titles << m_captions[2]; break;
        case Level4Name: m_titles << m_captions[3] + tr(" - name"); break;
        case Level4Comment: m_titles << m_captions[3] + tr(" - comment"); break;
        case StaticMoment: m_titles << tr("Static moment, ") + unit; break;
        case ConnectionNumber: m_titles << tr("Connection number"); break;
        case ControlResult: m_titles << tr("Control result, ") + unit; break;
        case AngleRanges: m_titles << tr("Angle ranges, gradus"); break;
        case Angle: m_titles << tr("Angle, gradus"); break;
        case Result: m_titles << tr("Result OK/NG"); break;
        case Defect: m_titles << tr("Corrected Deffect, ") + unit; break;
        case Notes: m_titles << tr("Notes"); break;
        case Controller: m_titles << tr("Controller"); break;
        }
    }
    if (!m_columns.isEmpty())
        emit headerDataChanged(Qt::Horizontal, 0, m_columns.size() - 1);
}

void MeasureMemoryModel::appendMeasures(const Block &block, const QVector<MeasureEntry> &entries, int firstIndex)
{
    if (entries.isEmpty())
        return;
    const bool gap = !m_rows.isEmpty() && !m_blocks.isEmpty() && m_blocks.constLast().name != block.name;
    // A record loaded again right after itself continues its own block.
    const bool sameBlock = !m_rows.isEmpty() && !m_blocks.isEmpty() && m_blocks.constLast().name == block.name;
    const int first = m_rows.size();
    const int last = first + entries.size() + (gap ? 1 : 0) - 1;
    beginInsertRows(QModelIndex(), first, last);
    if (gap)
        m_rows.append(Row{-1, 0, MeasureEntry()});
    if (!sameBlock) {
        m_blocks.append(block);
        m_blocks.last().firstRow = m_rows.size();
        m_blocks.last().rows = 0;
        m_blocks.last().ok = 0;
        m_blocks.last().ng = 0;
    }
    const int b = m_blocks.size() - 1;
    Block &target = m_blocks[b];
    m_rows.reserve(m_rows.size() + entries.size());
    for (int i = 0; i < entries.size(); ++i) {
        m_rows.append(Row{b, firstIndex + i, entries.at(i)});
        if (MeasureJudgement::isOk(entries.at(i), target.header))
            ++target.ok;
        else
            ++target.ng;
    }
    target.rows += entries.size();
    endInsertRows();
}

void MeasureMemoryModel::clear()
{
    beginResetModel();
    m_rows.clear();
    m_rows.squeeze();
    m_blocks.clear();
    endResetModel();
}

int MeasureMemoryModel::blockOfRow(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).block : -1;
}

int MeasureMemoryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

int MeasureMemoryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns.size();
}

QString MeasureMemoryModel::cellText(int row, int column) const
{
    if (row < 0 || row >= m_rows.size() || column < 0 || column >= m_columns.size())
        return QString();
    const Row &r = m_rows.at(row);
    if (r.block < 0)
        return QString();
    const Block &b = m_blocks.at(r.block);
    const MeasureEntry &e = r.entry;
    const RecordHeader &h = b.header;
    switch (m_columns.at(column)) {
    case Date: return b.showDates ? MeasureCells::dateText(e) : QStringLiteral(" ");
    case Time: return b.showDates ? MeasureCells::timeText(e) : QStringLiteral(" ");
    case Level1: return b.level1;
    case Level2: return b.level2;
    case Level3: return b.level3;
    case Level4Name: return b.level4Name;
    case Level4Comment: return b.level4Comment;
    case StaticMoment: return MeasureCells::momentRangeText(h);
    case ConnectionNumber: return QStringLiteral("%1/%2").arg(r.index + 1).arg(h.countTotal);
    case ControlResult: return MeasureCells::momentText(e);
    case AngleRanges: return MeasureCells::angleRangeText(h);
    case Angle: return MeasureCells::angleText(e, h.algorithm, Table::Memory);
    case Result: return MeasureCells::verdictText(e, h);
    case Defect: return MeasureCells::defectText(e, Table::Memory);
    case Notes: return QString();
    case Controller: return b.controller;
    }
    return QString();
}

QVariant MeasureMemoryModel::look(const Row &r, Column kind, bool background) const
{
    const RecordHeader &h = m_blocks.at(r.block).header;
    MeasureCells::Look l;
    switch (kind) {
    case ControlResult:
        l = MeasureCells::momentLook(r.entry.moment, h.rangeLow, h.rangeHigh, Table::Memory);
        break;
    case Angle:
        if (!MeasureJudgement::checksAngle(h.algorithm))
            return QVariant();
        l = MeasureCells::angleLook(r.entry.angle, h.angleLow, h.angleHigh);
        break;
    case Defect:
        l = MeasureCells::defectLook(r.entry.correctedDefect, h.rangeLow, h.rangeHigh, Table::Memory);
        break;
    default:
        return QVariant();
    }
    const QColor &c = background ? l.background : l.text;
    return c.isValid() ? QVariant(c) : QVariant();
}

QVariant MeasureMemoryModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || index.column() >= m_columns.size())
        return QVariant();
    const Row &r = m_rows.at(index.row());
    const Column kind = m_columns.at(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return r.block < 0 ? QVariant() : QVariant(cellText(index.row(), index.column()));
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    case Qt::ForegroundRole:
        return r.block < 0 ? QVariant() : look(r, kind, false);
    case Qt::BackgroundRole:
        return r.block < 0 ? QVariant() : look(r, kind, true);
    case GapRole:
        return r.block < 0;
    case RecordNameRole:
        return r.block < 0 ? QVariant() : QVariant(m_blocks.at(r.block).name);
    case OkRole:
        return r.block < 0 ? QVariant() : QVariant(MeasureJudgement::isOk(r.entry, m_blocks.at(r.block).header));
    case ColumnKindRole:
        return int(kind);
    default:
        return QVariant();
    }
}

QVariant MeasureMemoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    // The tool tip carries the whole title where a narrow column shows it elided.
    if (orientation == Qt::Horizontal && (role == Qt::DisplayRole || role == Qt::ToolTipRole) && section >= 0
        && section < m_titles.size())
        return m_titles.at(section);
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return section + 1;
    return QAbstractTableModel::headerData(section, orientation, role);
}
