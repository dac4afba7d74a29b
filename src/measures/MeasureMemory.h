#pragma once

#include "measures/MeasureMemoryModel.h"
#include "records/RecordHeader.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class FileExchange;
class KeyProtocol;
class RecordList;

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
    // Erasing is refused unless the guard confirms that every measure of the named records is
    // kept elsewhere (the history); *why then says what went wrong.
    using EraseGuard = std::function<bool(const QStringList &names, QString *why)>;
    void setEraseGuard(EraseGuard guard) { m_eraseGuard = std::move(guard); }

    // Zeroes the count of every record file that has one and sends each to the key. A file
    // that is no record (shorter than a header) is skipped and logged. Returns the records
    // erased, -1 when the guard refused (nothing was erased).
    int eraseAllMeasures();
    // The same for one record, whatever its count. False when its file is missing or no record.
    bool eraseRecordMeasures(const QString &name);

    // The texts a record's block shows (levels, controller, whether dates are shown).
    MeasureMemoryModel::Block makeBlock(const QString &name, const RecordHeader &header) const;

signals:
    // A record file was read: the record panel shows these parameters.
    void recordLoaded(const QString &name, const RecordHeader &header);
    // The store was emptied or filled: per-block counters changed.
    void storeChanged();
    // Nothing was erased: the measures could not be kept first.
    void eraseRefused(const QString &why);

private slots:
    void slot_files_put_file_RecordUpdated(const QStringList &folderAndFile);

private:
    bool isLoadedRecord(const QString &name) const;
    bool guardAllows(const QStringList &names);
    bool eraseFile(const QString &name, bool onlyCounted, bool makeCurrent);

    MeasureMemoryModel m_model;
    RecordList *m_records;
    FileExchange *m_files = nullptr;
    KeyProtocol *m_protocol = nullptr;
    std::function<Settings()> m_settings;
    EraseGuard m_eraseGuard;
    QHash<QString, bool> m_awaitingKey; // erased records the key has not yet confirmed -> make current
    std::array<bool, 4> m_used{{true, true, true, true}};
    std::array<QString, 4> m_captions;
};
