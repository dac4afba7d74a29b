#pragma once

#include "measures/MeasureMemoryModel.h"
#include "measures/RecordEraser.h"
#include "records/RecordHeader.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class FileExchange;
class KeyProtocol;
class RecordList;
class ReportDatabase;

// Measures of the local record files, shown in the memory model and mirrored row for row into
// the report database's scratch table; and erasing them, on the PC and on the key.
//
// The record files of the dbsett mirror are the only copy the PC keeps: the model and the
// table "records" are filled from them and emptied together.
class MeasureMemory : public QObject
{
    Q_OBJECT
public:
    // What the key's settings say about how measures are shown.
    struct Settings
    {
        bool dataTimeOn = false; // "DataTime" is 1
        bool kgsm = false;       // "Units" is 1
        QString operatorName;    // the "Operator Name:" of the key settings
    };

    // records: the loaded records (measures of others are skipped) and their template texts;
    // may be null (every record counts, texts from empty lists).
    explicit MeasureMemory(RecordList *records, QObject *parent = nullptr);

    MeasureMemoryModel *model() { return &m_model; }
    void setSettingsSource(std::function<Settings()> source) { m_settings = std::move(source); }
    // Erased files go to the key through files; protocol makes an erased record current.
    void setKeyLink(FileExchange *files, KeyProtocol *protocol);
    // Where the measures shown are also stored as report rows; none: they are only shown.
    void setReportDatabase(ReportDatabase *db) { m_reportDb = db; }

    // The header follows the level switches and captions (levels 1-4).
    void setLevels(const std::array<bool, 4> &used, const std::array<QString, 4> &captions);

    // Reads the mirror's record file and adds its measures; with clearFirst the store is
    // emptied first. A missing file loads nothing. A file promising more entries than it holds
    // shows those it has (the shortfall is logged). False when nothing could be read.
    bool loadRecordMeasures(const QString &name, bool clearFirst);
    // Empties the store, then loads every named record whose file counts measures, in one
    // database transaction. Returns the number of measures loaded.
    int loadRecords(const QStringList &names);
    // One measure: its database row, then its table row.
    void addMeasureRow(const QString &name, int index, const MeasureEntry &entry);
    // "DELETE FROM records" and every table row.
    void clearMeasureStore();

    // What erasing every record would take away: records whose count is not zero, and the
    // measures their files hold.
    struct Summary
    {
        int records = 0;
        int measures = 0;
    };
    Summary eraseAllSummary() const;
    // Erasing asks the keeper (the history) to keep what the key holds first; without one,
    // nothing is erased.
    void setEraseKeeper(RecordEraser::Keeper keeper);
    RecordEraser *eraser() const { return m_eraser; }

    // Empties on the key every record whose file there counts measures (see RecordEraser),
    // then empties the table. False, with eraseRefused, when nothing was started (no key, no
    // history, an erase already running).
    bool eraseAllMeasures();
    // The same for one record, whatever its count; it becomes the key's current record.
    bool eraseRecordMeasures(const QString &name);

    // The texts a record's block shows (levels, controller, whether dates are shown).
    MeasureMemoryModel::Block makeBlock(const QString &name, const RecordHeader &header) const;

signals:
    // A record file was read: the record panel shows these parameters.
    void recordLoaded(const QString &name, const RecordHeader &header);
    // The store was emptied or filled: per-block counters changed.
    void storeChanged();
    // Nothing of record name (empty: of any record) was erased; why says what was missing.
    void eraseRefused(const QString &name, const QString &why);
    // An erase has ended: the records emptied on the key and those left as they were.
    void eraseFinished(const QStringList &erased, const QStringList &refused);

private slots:
    void slot_files_put_file_RecordUpdated(const QStringList &folderAndFile);

private:
    bool isLoadedRecord(const QString &name) const;
    bool startErase(const QStringList &names, bool onlyCounted);
    void onEraseFinished(const QStringList &erased, const QStringList &refused);

    MeasureMemoryModel m_model;
    RecordList *m_records;
    FileExchange *m_files = nullptr;
    KeyProtocol *m_protocol = nullptr;
    ReportDatabase *m_reportDb = nullptr;
    std::function<Settings()> m_settings;
    RecordEraser *m_eraser = nullptr;
    RecordEraser::Keeper m_keeper;
    QString m_erasingOne; // the record "clean one" empties; empty when all are
    QHash<QString, bool> m_awaitingKey; // erased records the key has not yet confirmed -> make current
    std::array<bool, 4> m_used{{true, true, true, true}};
    std::array<QString, 4> m_captions;
};
