#include "config/LiveValues.h"

#include "base/Paths.h"
#include "protocol/FileExchange.h"
#include "protocol/KeyProtocol.h"
#include "records/RecordFile.h"

#include <QFile>

#include <cmath>

LiveValues::LiveValues(KeyProtocol *protocol, FileExchange *files, QObject *parent)
    : QObject(parent), m_protocol(protocol)
{
    connect(&m_timer, &QTimer::timeout, this, &LiveValues::tick);
    if (m_protocol)
        connect(m_protocol, &KeyProtocol::currentPageReported, this, &LiveValues::onCurrentPage);
    if (files) {
        connect(files, &FileExchange::slot_files_got_file, this, [this](const QStringList &folderAndFile) {
            if (folderAndFile.value(0) == QLatin1String("dbsett") && folderAndFile.value(1) == m_page)
                refresh();
        });
        connect(files, &FileExchange::slot_files_got_dir, this, [this](const QString &dir) {
            if (dir == QLatin1String("/dbsett"))
                refresh();
        });
    }
}

void LiveValues::setPeriod(int ms)
{
    if (ms > 0) {
        m_timer.start(ms);
    } else {
        m_timer.stop();
        m_waiting = false;
    }
}

void LiveValues::tick()
{
    if (!m_protocol)
        return;
    if (m_waiting && m_asked.isValid() && m_asked.elapsed() < AnswerTimeoutMs)
        return;
    m_waiting = m_protocol->FE_PageCurrent_Read();
    m_asked.start();
}

void LiveValues::onCurrentPage(const QString &pagenumber)
{
    m_waiting = false;
    if (!isRunning())
        return;
    if (pagenumber != m_page) {
        m_page = pagenumber;
        refresh();
    }
}

void LiveValues::refresh()
{
    if (!isRunning())
        return;
    if (m_page.isEmpty() || !Paths::isSafeName(m_page)) {
        emit valuesCleared();
        return;
    }
    QFile f(Paths::downloadDir(QStringLiteral("dbsett")) + QLatin1Char('/') + m_page);
    double moment = 0, angle = 0;
    // A record holds at most 4096 tightenings; more than that is not read.
    if (!f.open(QIODevice::ReadOnly) || !newestOf(f.read(60 + 4097 * 28), &moment, &angle)) {
        emit valuesCleared();
        return;
    }
    emit valuesChanged(moment, angle, m_page);
}

bool LiveValues::newestOf(const QByteArray &recordBytes, double *moment, double *angle)
{
    const RecordFile::ReadResult r = RecordFile::read(recordBytes);
    // A record without tightenings still carries one blank entry.
    if (!r.headerComplete || r.promisedEntries <= 0 || r.record.entries.isEmpty())
        return false;
    const MeasureEntry &e = r.record.entries.last();
    if (!std::isfinite(e.moment) || !std::isfinite(e.angle))
        return false;
    *moment = std::fabs(double(e.moment));
    *angle = double(e.angle);
    return true;
}
