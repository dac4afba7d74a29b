#pragma once

#include "records/MeasureEntry.h"
#include "records/RecordHeader.h"

#include <QAbstractTableModel>
#include <QString>
#include <QVector>

#include <array>

// The memory table: every loaded measure as one row, record by record, with one empty row
// between two records' blocks. Rows hold the 28 entry bytes and a block index, and every cell
// is made when asked for, so 64,000 measures cost a few megabytes and no table items.
//
// DisplayRole is exactly the cell text (the CSV report writes it as it stands); a gap row has
// no text at all. Columns: "Date", "Time", one per used level (two for level 4), then the nine
// fixed ones.
class MeasureMemoryModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column {
        Date,
        Time,
        Level1,
        Level2,
        Level3,
        Level4Name,
        Level4Comment,
        StaticMoment,
        ConnectionNumber,
        ControlResult,
        AngleRanges,
        Angle,
        Result,
        Defect,
        Notes,
        Controller
    };
    enum Role { GapRole = Qt::UserRole + 1, RecordNameRole, OkRole, ColumnKindRole };

    // What one record's block shows besides its entries; fixed when the block is added.
    struct Block
    {
        QString name;
        RecordHeader header;
        QString level1, level2, level3, level4Name, level4Comment;
        bool showDates = true;
        QString controller;
        int firstRow = 0;
        int rows = 0;
        int ok = 0;
        int ng = 0;
    };

    explicit MeasureMemoryModel(QObject *parent = nullptr);

    // The header for these level switches and captions (levels 1-4) and units.
    void setLevels(const std::array<bool, 4> &used, const std::array<QString, 4> &captions, bool kgsm);
    // Titles are translated when the header is built; call after a language change.
    void retranslate();

    // Adds the entries of one record at the end as rows with connection indexes
    // firstIndex, firstIndex + 1, ...; an empty row goes first when the previous row belongs
    // to another record. block carries the record's texts; its counters are filled here.
    void appendMeasures(const Block &block, const QVector<MeasureEntry> &entries, int firstIndex = 0);
    // Removes every row and forgets the last record name.
    void clear();

    int blockCount() const { return m_blocks.size(); }
    const Block &block(int i) const { return m_blocks.at(i); }
    // Block index of a row, -1 for a gap row or a row outside the table.
    int blockOfRow(int row) const;
    Column columnKind(int column) const { return m_columns.at(column); }
    int columnOf(Column kind) const { return m_columns.indexOf(kind); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The text of one cell, as DisplayRole gives it.
    QString cellText(int row, int column) const;

private:
    struct Row
    {
        int block; // -1: the empty row between two records
        int index; // connection index in the record file
        MeasureEntry entry;
    };

    QVariant look(const Row &r, Column kind, bool background) const;

    QVector<Row> m_rows;
    QVector<Block> m_blocks;
    QVector<Column> m_columns;
    QStringList m_titles;
    std::array<bool, 4> m_used{{true, true, true, true}};
    std::array<QString, 4> m_captions;
    bool m_kgsm = false;
};
