#pragma once

#include "history/HistoryMeasure.h"
#include "history/HistoryStore.h"
#include "records/RecordFile.h"
#include "records/TemplateLists.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

// Copies the measures of the dbsett mirror's record files into the history. A file is one
// transaction: its measures are all kept or none are, and reading the same file again adds
// nothing.
class HistoryArchiver
{
public:
    // Who measured with what: the key and calibration in force when the files arrived. The
    // window keeps the last one in the data root so a run without a key (the start-up pass,
    // the command line) archives a mirror under the same key it came from.
    struct Context
    {
        QString keySerial;
        QString keyName;
        QString operatorName;
        double calibrationNominal = 0;
        QString calibrationFile;
        bool kgsm = false; // the key's "Units" setting

        static QString path(); // <data root>/download/key-identity.ini
        bool save(QString *error) const;
        static Context load();
        bool operator==(const Context &o) const
        {
            return keySerial == o.keySerial && keyName == o.keyName && operatorName == o.operatorName
                   && calibrationNominal == o.calibrationNominal && calibrationFile == o.calibrationFile && kgsm == o.kgsm;
        }
    };

    explicit HistoryArchiver(HistoryStore *store) : m_store(store) {}

    void setContextSource(std::function<Context()> source) { m_context = std::move(source); }
    void setTemplatesSource(std::function<TemplateLists()> source) { m_templates = std::move(source); }
    // The barcode pair linked to a record, if any.
    void setBarcodeSource(std::function<QStringList(const QString &record)> source) { m_barcodes = std::move(source); }

    // The history rows of one record file's measures.
    static QVector<HistoryMeasure> measuresOf(const QString &name, const RecordFile &record, const Context &context,
                                              const TemplateLists &templates, const QStringList &barcodes,
                                              const QString &receivedAt);

    // One mirror file. A file without measures is a success with nothing added.
    HistoryStore::AppendResult archiveRecord(const QString &name);

    struct MirrorResult
    {
        int files = 0;    // record files read
        int measures = 0; // measures they hold
        int added = 0;
        int queued = 0;
        QStringList failed; // files whose measures could not be kept
        QString error;      // the first reason
        bool ok() const { return failed.isEmpty(); }
    };
    // Every file of the mirror, in transactions of about GroupMeasures measures; progress(done,
    // total) after each file.
    static constexpr int GroupMeasures = 20000;
    MirrorResult archiveMirror(const std::function<void(int, int)> &progress = {});

    // Asked right before a record is emptied on the key, with the record file just fetched
    // from the key: archives what it holds and answers true only when the history itself (not
    // a server's local queue) holds every measure the key counts for it, as the same
    // tightenings, durably. A file holding fewer entries than its header counts is refused.
    // *why names what is missing.
    bool keepBeforeErase(const QString &name, const RecordFile &fromKey, int keyCount, QString *why);
    // The record was emptied on the key: its next measures are a new generation.
    bool noteErased(const QString &name, QString *why);

private:
    Context context() const { return m_context ? m_context() : Context::load(); }
    void noteEmpty(const QString &name, const RecordFile &record, const Context &context);
    HistoryStore::AppendResult archiveLoaded(const QString &name, const RecordFile &record, const Context &context,
                                             const TemplateLists &templates);

    HistoryStore *m_store;
    std::function<Context()> m_context;
    std::function<TemplateLists()> m_templates;
    std::function<QStringList(const QString &)> m_barcodes;
};
