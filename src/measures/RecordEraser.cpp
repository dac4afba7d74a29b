#include "measures/RecordEraser.h"

#include "base/AtomicFile.h"
#include "base/Log.h"
#include "protocol/FileExchange.h"
#include "records/RecordMirror.h"

#include <QFile>

namespace {
const QString kFolder = QStringLiteral("dbsett");
constexpr int kStepMs = 60000;
} // namespace

RecordEraser::RecordEraser(FileExchange *files, Keeper keeper, QObject *parent)
    : QObject(parent), m_files(files), m_keeper(std::move(keeper))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(kStepMs);
    connect(&m_timer, &QTimer::timeout, this, &RecordEraser::onTimeout);
    if (m_files) {
        connect(m_files, &FileExchange::fileFetched, this, &RecordEraser::onFetched);
        connect(m_files, &FileExchange::fileStored, this, &RecordEraser::onStored);
        connect(m_files, &FileExchange::transferFailed, this, &RecordEraser::onFailed);
    }
}

bool RecordEraser::start(const QStringList &names, bool onlyCounted)
{
    if (isRunning())
        return false;
    m_queue = names;
    m_onlyCounted = onlyCounted;
    m_erased.clear();
    m_refused.clear();
    // Finished is always reported from the event loop, so a caller connects after starting.
    moveOn();
    return true;
}

void RecordEraser::moveOn()
{
    m_timer.stop();
    m_step = Step::Between;
    QTimer::singleShot(0, this, &RecordEraser::next);
}

bool RecordEraser::isCurrent(const QString &folder, const QString &file) const
{
    return file == m_current && (folder == kFolder || folder == QLatin1Char('/') + kFolder);
}

void RecordEraser::next()
{
    m_timer.stop();
    m_current.clear();
    m_fromKey.clear();
    if (m_queue.isEmpty()) {
        m_step = Step::Idle;
        emit finished(m_erased, m_refused);
        return;
    }
    m_current = m_queue.takeFirst();
    m_step = Step::Fetching;
    if (!m_files) {
        refuse(tr("no key is connected"));
        return;
    }
    m_timer.start();
    if (!m_files->FetchOne(kFolder, m_current))
        refuse(tr("its file could not be asked from the key"));
}

void RecordEraser::onFetched(const QString &folder, const QString &file)
{
    if (m_step != Step::Fetching || !isCurrent(folder, file))
        return;
    m_timer.stop();
    const QString name = m_current;
    RecordMirror::Loaded loaded = RecordMirror::load(name);
    if (!loaded.exists || !loaded.headerComplete) {
        td::log(QStringLiteral("Erasing measures: %1 is no record file, left alone").arg(name));
        if (m_onlyCounted) {
            moveOn();
            return;
        }
        refuse(tr("its file on the key is no record"));
        return;
    }
    if (m_onlyCounted && loaded.promisedEntries == 0) {
        moveOn();
        return;
    }
    if (loaded.promisedEntries != loaded.record.entries.size()) {
        refuse(tr("its file on the key holds %1 of the %2 measures it counts")
                   .arg(loaded.record.entries.size())
                   .arg(loaded.promisedEntries));
        return;
    }
    if (m_keeper.ask) {
        m_step = Step::Keeping;
        m_record = loaded.record;
        m_timer.start();
        const quint64 question = ++m_question;
        QPointer<RecordEraser> self(this);
        m_keeper.ask(name, loaded.record, loaded.promisedEntries, [self, question](bool kept, const QString &why) {
            if (self)
                self->onKept(question, kept, why);
        });
        return;
    }
    QString why;
    if (!m_keeper.keep) {
        refuse(tr("the history is not available"));
        return;
    }
    if (!m_keeper.keep(name, loaded.record, loaded.promisedEntries, &why)) {
        refuse(why);
        return;
    }
    m_record = loaded.record;
    store();
}

void RecordEraser::onKept(quint64 question, bool kept, const QString &why)
{
    if (m_step != Step::Keeping || question != m_question)
        return;
    m_timer.stop();
    if (!kept) {
        refuse(why);
        return;
    }
    store();
}

void RecordEraser::store()
{
    const QString name = m_current;
    QString why;
    QFile original(RecordMirror::path(name));
    if (original.open(QIODevice::ReadOnly))
        m_fromKey = original.readAll();
    m_record.clearMeasures();
    if (!RecordMirror::write(name, m_record, &why)) {
        refuse(why);
        return;
    }
    m_step = Step::Storing;
    m_timer.start();
    if (!m_files || !m_files->PutFileToFolder(kFolder, RecordMirror::path(name), false))
        refuse(tr("the emptied record could not be sent to the key"));
}

void RecordEraser::onStored(const QString &folder, const QString &file)
{
    if (m_step != Step::Storing || !isCurrent(folder, file))
        return;
    td::log(QStringLiteral("Measures of %1 erased on the key").arg(m_current));
    m_erased << m_current;
    if (m_keeper.erased)
        m_keeper.erased(m_current);
    emit recordErased(m_current);
    moveOn();
}

void RecordEraser::onFailed(const QString &folder, const QString &file, const QString &why)
{
    if ((m_step != Step::Fetching && m_step != Step::Storing) || !isCurrent(folder, file))
        return;
    refuse(why);
}

void RecordEraser::onTimeout()
{
    if (m_step == Step::Keeping) {
        refuse(tr("the history did not answer in time"));
        return;
    }
    if (m_step != Step::Fetching && m_step != Step::Storing)
        return;
    refuse(m_step == Step::Storing ? tr("the key did not confirm the emptied record in time")
                                   : tr("the key did not send the record in time"));
}

void RecordEraser::refuse(const QString &why)
{
    m_timer.stop();
    // The mirror goes back to what the key holds: the key was not emptied.
    QString error;
    if (m_step == Step::Storing && !m_fromKey.isEmpty()
        && !AtomicFile::write(RecordMirror::path(m_current), m_fromKey, &error))
        td::log(QStringLiteral("Erasing measures: the mirror of %1 not restored: %2").arg(m_current, error));
    td::log(QStringLiteral("Erasing measures of %1 refused: %2").arg(m_current, why));
    m_refused << m_current;
    emit recordRefused(m_current, why);
    moveOn();
}
