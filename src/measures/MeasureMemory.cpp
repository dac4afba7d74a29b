#include "measures/MeasureMemory.h"

#include "base/Log.h"
#include "measures/MeasureCells.h"
#include "protocol/FileExchange.h"
#include "protocol/KeyProtocol.h"
#include "records/RecordList.h"
#include "records/RecordMirror.h"
#include "reports/ReportDatabase.h"

#include <QDir>

namespace {
const QString kRecordsFolder = QStringLiteral("dbsett");
}

MeasureMemory::MeasureMemory(RecordList *records, QObject *parent) : QObject(parent), m_records(records)
{
}

void MeasureMemory::setKeyLink(FileExchange *files, KeyProtocol *protocol)
{
    m_files = files;
    m_protocol = protocol;
}

void MeasureMemory::setLevels(const std::array<bool, 4> &used, const std::array<QString, 4> &captions)
{
    m_used = used;
    m_captions = captions;
    const bool kgsm = m_settings ? m_settings().kgsm : false;
    m_model.setLevels(used, captions, kgsm);
}

MeasureMemoryModel::Block MeasureMemory::makeBlock(const QString &name, const RecordHeader &header) const
{
    const TemplateLists empty;
    const TemplateLists &t = m_records ? m_records->templates() : empty;
    const Settings s = m_settings ? m_settings() : Settings();
    MeasureMemoryModel::Block b;
    b.name = name;
    b.header = header;
    b.level1 = t.fioText(header.fioIndex, 0) + QLatin1Char(' ') + t.fioText(header.fioIndex, 1) + QLatin1Char(' ')
               + t.fioText(header.fioIndex, 2);
    b.level2 = t.wheelText(header.wheelIndex);
    b.level3 = header.operationNumber();
    b.level4Name = t.uzelText(header.uzelIndex, 0);
    b.level4Comment = t.uzelText(header.uzelIndex, 1) + QLatin1Char(' ') + t.uzelText(header.uzelIndex, 2);
    b.showDates = MeasureCells::showsDates(header.algorithm, s.dataTimeOn);
    b.controller = s.operatorName;
    return b;
}

bool MeasureMemory::isLoadedRecord(const QString &name) const
{
    return !m_records || m_records->indexOf(name) >= 0;
}

bool MeasureMemory::loadRecordMeasures(const QString &name, bool clearFirst)
{
    ReportDatabase::Batch batch;
    const RecordMirror::Loaded loaded = RecordMirror::load(name);
    if (!loaded.exists || !loaded.headerComplete)
        return false;
    emit recordLoaded(name, loaded.record.header);
    if (clearFirst)
        clearMeasureStore();
    const QVector<MeasureEntry> &entries = loaded.record.entries;
    if (entries.isEmpty())
        return true;
    if (!isLoadedRecord(name)) {
        td::log(QStringLiteral("Measures of %1 skipped: no such record in the list").arg(name));
        return true;
    }
    const RecordHeader &h = loaded.record.header;
    if (ReportDatabase::isOpen()) {
        const TemplateLists empty;
        const TemplateLists &t = m_records ? m_records->templates() : empty;
        ReportDatabase::insertMeasures(name, h, entries, t);
    }
    m_model.appendMeasures(makeBlock(name, h), entries, 0);
    emit storeChanged();
    return true;
}

int MeasureMemory::loadRecords(const QStringList &names)
{
    ReportDatabase::Batch batch;
    clearMeasureStore();
    for (const QString &name : names)
        loadRecordMeasures(name, false);
    int measures = 0;
    for (int b = 0; b < m_model.blockCount(); ++b)
        measures += m_model.block(b).rows;
    return measures;
}

void MeasureMemory::addMeasureRow(const QString &name, int index, const MeasureEntry &entry)
{
    if (!isLoadedRecord(name))
        return;
    const RecordMirror::Loaded loaded = RecordMirror::load(name);
    if (!loaded.headerComplete)
        return;
    const RecordHeader &h = loaded.record.header;
    if (ReportDatabase::isOpen()) {
        const TemplateLists empty;
        ReportDatabase::insertMeasure(
            ReportDatabase::measureValues(name, index, entry, h, m_records ? m_records->templates() : empty));
    }
    m_model.appendMeasures(makeBlock(name, h), {entry}, index);
    emit storeChanged();
}

void MeasureMemory::clearMeasureStore()
{
    ReportDatabase::clearRecords();
    m_model.clear();
    emit storeChanged();
}

MeasureMemory::Summary MeasureMemory::eraseAllSummary() const
{
    Summary s;
    const QDir dir(RecordMirror::folder());
    for (const QString &name : dir.entryList(QStringList{QStringLiteral("*")}, QDir::Files, QDir::Name)) {
        const RecordMirror::Loaded loaded = RecordMirror::load(name);
        if (!loaded.headerComplete || loaded.promisedEntries == 0)
            continue;
        ++s.records;
        s.measures += loaded.record.entries.size();
    }
    return s;
}

bool MeasureMemory::eraseFile(const QString &name, bool onlyCounted, bool makeCurrent)
{
    RecordMirror::Loaded loaded = RecordMirror::load(name);
    if (!loaded.exists || !loaded.headerComplete) {
        td::log(QStringLiteral("Erasing measures: %1 is no record file, left alone").arg(name));
        return false;
    }
    if (onlyCounted && loaded.promisedEntries == 0)
        return false;
    loaded.record.clearMeasures();
    QString error;
    if (!RecordMirror::write(name, loaded.record, &error)) {
        td::log(QStringLiteral("Erasing measures of %1 failed: %2").arg(name, error));
        return false;
    }
    td::log(QStringLiteral("Measures of %1 erased in the mirror").arg(name));
    if (m_files) {
        m_awaitingKey[name] = m_awaitingKey.value(name) || makeCurrent;
        connect(m_files, &FileExchange::files_put_file, this, &MeasureMemory::slot_files_put_file_RecordUpdated,
                Qt::UniqueConnection);
        if (!m_files->PutFileToFolder(kRecordsFolder, RecordMirror::path(name), false))
            td::log(QStringLiteral("Erased record %1 was not sent to the key").arg(name));
    }
    return true;
}

bool MeasureMemory::guardAllows(const QStringList &names)
{
    if (!m_eraseGuard)
        return true;
    QString why;
    if (m_eraseGuard(names, &why))
        return true;
    td::log(QStringLiteral("Erasing measures refused, they are not kept: %1").arg(why));
    emit eraseRefused(why);
    return false;
}

int MeasureMemory::eraseAllMeasures()
{
    int erased = 0;
    const QDir dir(RecordMirror::folder());
    const QStringList names = dir.entryList(QStringList{QStringLiteral("*")}, QDir::Files, QDir::Name);
    if (!guardAllows(names))
        return -1;
    for (const QString &name : names) {
        if (eraseFile(name, true, false))
            ++erased;
    }
    clearMeasureStore();
    if (m_records && erased > 0)
        m_records->rebuild();
    return erased;
}

bool MeasureMemory::eraseRecordMeasures(const QString &name)
{
    if (!guardAllows({name}))
        return false;
    if (!eraseFile(name, false, true))
        return false;
    // The table shows the record as it is now: without measures.
    loadRecordMeasures(name, true);
    if (m_records)
        m_records->rebuild();
    return true;
}

void MeasureMemory::slot_files_put_file_RecordUpdated(const QStringList &folderAndFile)
{
    if (folderAndFile.size() != 2)
        return;
    const QString folder = folderAndFile.at(0);
    const QString file = folderAndFile.at(1);
    if (folder != kRecordsFolder && folder != QLatin1Char('/') + kRecordsFolder)
        return;
    if (!m_awaitingKey.contains(file))
        return;
    const bool makeCurrent = m_awaitingKey.take(file);
    if (m_awaitingKey.isEmpty() && m_files)
        disconnect(m_files, &FileExchange::files_put_file, this, &MeasureMemory::slot_files_put_file_RecordUpdated);
    if (makeCurrent && m_protocol)
        m_protocol->FE_PageCurrent_Write(file);
    td::log(QStringLiteral("PUT to Key in DIR:") + folder + QStringLiteral("FILE:") + file);
    if (m_records)
        m_records->rebuild();
}
