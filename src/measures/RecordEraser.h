#pragma once

#include "records/RecordFile.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

class FileExchange;

// Empties records on the key without losing a tightening. For each record in turn: fetch its
// file from the key again (the mirror may be hours old and the fitter has tightened since),
// hand what the key holds to the keeper, and only when the keeper vouches that every one of
// those measures is kept, send the emptied file to the key and wait until the key has taken
// it. A file from the key that holds fewer entries than its header counts is never emptied.
// A record is reported erased only once the key has confirmed the whole file.
class RecordEraser : public QObject
{
    Q_OBJECT
public:
    struct Keeper
    {
        // Keeps what the key's file holds; true only when every measure the key counts for
        // the record is kept for good. *why says what is not.
        std::function<bool(const QString &name, const RecordFile &fromKey, int keyCount, QString *why)> keep;
        // The same question for a keeper on another thread: it answers later by done(kept,
        // why). Used instead of keep when set; no answer within the step time is a refusal.
        std::function<void(const QString &name, const RecordFile &fromKey, int keyCount,
                            std::function<void(bool kept, const QString &why)> done)>
            ask;
        // The key has taken the emptied record.
        std::function<void(const QString &name)> erased;
    };

    RecordEraser(FileExchange *files, Keeper keeper, QObject *parent = nullptr);

    // How long one fetch or one upload may take before the record is given up.
    void setStepTimeout(int ms) { m_timer.setInterval(ms); }

    // Starts emptying the named records of the key's dbsett folder. onlyCounted: a record whose
    // file on the key counts no measure is left as it is. False (nothing started) while a run
    // is going on.
    bool start(const QStringList &names, bool onlyCounted);
    bool isRunning() const { return m_step != Step::Idle; }

signals:
    void recordErased(const QString &name);
    // Nothing of this record was erased on the key.
    void recordRefused(const QString &name, const QString &why);
    void finished(const QStringList &erased, const QStringList &refused);

private:
    enum class Step { Idle, Between, Fetching, Keeping, Storing };

    void next();
    // The next record, from the event loop: the exchange's signals may come from inside a call.
    void moveOn();
    void onFetched(const QString &folder, const QString &file);
    void onStored(const QString &folder, const QString &file);
    void onFailed(const QString &folder, const QString &file, const QString &why);
    void onKept(quint64 question, bool kept, const QString &why);
    // Empties the record in the mirror and sends it to the key.
    void store();
    void onTimeout();
    void refuse(const QString &why);
    bool isCurrent(const QString &folder, const QString &file) const;

    QPointer<FileExchange> m_files;
    Keeper m_keeper;
    QTimer m_timer;
    Step m_step = Step::Idle;
    bool m_onlyCounted = true;
    QStringList m_queue;
    QString m_current;
    RecordFile m_record; // as fetched, while the keeper is asked
    quint64 m_question = 0; // answers to an earlier question are dropped
    QByteArray m_fromKey; // the record as the key held it, put back in the mirror if the upload fails
    QStringList m_erased;
    QStringList m_refused;
};
