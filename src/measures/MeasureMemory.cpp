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
    ReportDatabase::Batch batch(m_reportDb);
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
    if (m_reportDb && m_reportDb->isOpen()) {
        const TemplateLists empty;
        const TemplateLists &t = m_records ? m_records->templates() : empty;
        m_reportDb->insertMeasures(name, h, entries, t);
    }
    m_model.appendMeasures(makeBlock(name, h), entries, 0);
    emit storeChanged();
    return true;
}

int MeasureMemory::loadRecords(const QStringList &names)
{
    ReportDatabase::Batch batch(m_reportDb);
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
    if (m_reportDb && m_reportDb->isOpen()) {
        const TemplateLists empty;
        m_reportDb->insertMeasure(
            ReportDatabase::measureValues(name, index, entry, h, m_records ? m_records->templates() : empty));
    }
    m_model.appendMeasures(makeBlock(name, h), {entry}, index);
    emit storeChanged();
}

void MeasureMemory::clearMeasureStore()
{
    if (m_reportDb)
        m_reportDb->clearRecords();
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

void MeasureMemory::setEraseKeeper(RecordEraser::Keeper keeper)
{
    m_keeper = std::move(keeper);
    delete m_eraser;
    m_eraser = nullptr;
}

bool MeasureMemory::startErase(const QStringList &names, bool onlyCounted)
{
    QString why;
    if (!m_files)
        why = tr("no key is connected");
    else if (!m_keeper.keep && !m_keeper.ask)
        why = tr("the history is not available");
    else if (m_eraser && m_eraser->isRunning())
        why = tr("an erase is already running");
    if (!why.isEmpty()) {
        td::log(QStringLiteral("Erasing measures refused: %1").arg(why));
        emit eraseRefused(QString(), why);
        return false;
    }
    if (!m_eraser) {
        m_eraser = new RecordEraser(m_files, m_keeper, this);
        connect(m_eraser, &RecordEraser::recordRefused, this, &MeasureMemory::eraseRefused);
        connect(m_eraser, &RecordEraser::finished, this, &MeasureMemory::onEraseFinished);
    }
    return m_eraser->start(names, onlyCounted);
}

bool MeasureMemory::eraseAllMeasures()
{
    const QDir dir(RecordMirror::folder());
    if (!startErase(dir.entryList(QStringList{QStringLiteral("*")}, QDir::Files, QDir::Name), true))
        return false;
    m_erasingOne.clear();
    return true;
}

bool MeasureMemory::eraseRecordMeasures(const QString &name)
{
    if (!startErase({name}, false))
        return false;
    m_erasingOne = name;
    if (m_files) {
        m_awaitingKey[name] = true;
        connect(m_files, &FileExchange::files_put_file, this, &MeasureMemory::slot_files_put_file_RecordUpdated,
                Qt::UniqueConnection);
    }
    return true;
}

void MeasureMemory::onEraseFinished(const QStringList &erased, const QStringList &refused)
{
    if (!m_erasingOne.isEmpty()) {
        if (!erased.contains(m_erasingOne))
            m_awaitingKey.remove(m_erasingOne);
        // The table shows the record as it is now.
        loadRecordMeasures(m_erasingOne, true);
    } else if (!erased.isEmpty()) {
        clearMeasureStore();
    }
    if (m_awaitingKey.isEmpty() && m_files)
        disconnect(m_files, &FileExchange::files_put_file, this, &MeasureMemory::slot_files_put_file_RecordUpdated);
    if (m_records && !erased.isEmpty())
        m_records->rebuild();
    emit eraseFinished(erased, refused);
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
