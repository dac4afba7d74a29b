#include "publish/HistoryPublishSource.h"

#include "base/Log.h"
#include "history/HistoryStore.h"
#include "measures/MeasureJudgement.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QHash>

namespace {
// Acknowledgements arrive by the thousand a second; the position goes to the database a few
// times a second. A crash repeats at most that much, which consumers drop by the result id.
constexpr int kWriteEveryMs = 200;
// "yyyy-MM-dd HH:mm:ss" as the PC's local time, with the offset it had then. Each local-time
// conversion asks the C library, which looks at the zone file every time; at thousands of
// results a second that was the publisher's largest cost, so the offset is kept per hour.
QDateTime withLocalOffset(const QString &text)
{
    // Read by hand: Qt's format parser costs more than the rest of a message together.
    if (text.size() != 19 || text.at(4) != QLatin1Char('-') || text.at(7) != QLatin1Char('-')
        || text.at(10) != QLatin1Char(' ') || text.at(13) != QLatin1Char(':') || text.at(16) != QLatin1Char(':'))
        return QDateTime();
    bool ok = true;
    auto number = [&](int at, int length) {
        int v = 0;
        for (int i = at; i < at + length; ++i) {
            const int d = text.at(i).unicode() - '0';
            if (d < 0 || d > 9)
                ok = false;
            v = v * 10 + d;
        }
        return v;
    };
    const QDate date(number(0, 4), number(5, 2), number(8, 2));
    const QTime time(number(11, 2), number(14, 2), number(17, 2));
    if (!ok || !date.isValid() || !time.isValid())
        return QDateTime();
    thread_local QHash<qint64, int> offsetOfHour;
    const qint64 hour = date.toJulianDay() * 24 + time.hour();
    auto found = offsetOfHour.constFind(hour);
    if (found == offsetOfHour.constEnd()) {
        if (offsetOfHour.size() > 100000)
            offsetOfHour.clear();
        found = offsetOfHour.insert(hour, QDateTime(date, time, Qt::LocalTime).offsetFromUtc());
    }
    return QDateTime(date, time, Qt::OffsetFromUTC, found.value());
}

} // namespace

HistoryPublishSource::HistoryPublishSource(HistoryStore *store, QString cursorName)
    : m_store(store), m_name(std::move(cursorName))
{
}

HistoryPublishSource::~HistoryPublishSource()
{
    flush();
}

QString HistoryPublishSource::cursorNameFor(const QString &clientIdentity)
{
    return QStringLiteral("mqtt/") + clientIdentity;
}

QVector<PublishSource::Item> HistoryPublishSource::itemsAfter(const Cursor &cursor, int limit)
{
    QVector<Item> items;
    const QVector<HistoryMeasure> rows = m_store->measuresAfter(cursor, limit, m_store->station());
    items.reserve(rows.size());
    for (const HistoryMeasure &m : rows)
        items.append({Cursor{m.tx, m.id}, m.keySerial, messageFor(m).toJson()});
    return items;
}

qint64 HistoryPublishSource::countAfter(const Cursor &cursor)
{
    return m_store->countAfter(cursor, m_store->station());
}

std::optional<PublishSource::Cursor> HistoryPublishSource::acknowledgedCursor()
{
    if (!m_acknowledged) {
        // A server away at start would read as "nothing acknowledged" and send the whole
        // history again: the position is asked for again until it is known.
        m_acknowledged = m_store->cursor(m_name);
        if (!m_acknowledged) {
            if (!m_readFailed)
                td::log(QStringLiteral("MQTT: the publishing position %1 cannot be read yet; nothing is sent until it is")
                            .arg(m_name));
            m_readFailed = true;
            return std::nullopt;
        }
        m_readFailed = false;
        m_written = *m_acknowledged;
    }
    return m_acknowledged;
}

bool HistoryPublishSource::setAcknowledgedCursor(const Cursor &cursor)
{
    m_acknowledged = cursor;
    if (m_sinceWrite.isValid() && m_sinceWrite.elapsed() < kWriteEveryMs)
        return true;
    return flush();
}

bool HistoryPublishSource::flush()
{
    if (!m_acknowledged || *m_acknowledged == m_written)
        return true;
    m_sinceWrite.start();
    if (!m_store->setCursor(m_name, *m_acknowledged))
        return false;
    m_written = *m_acknowledged;
    return true;
}

QString HistoryPublishSource::resultIdFor(const HistoryMeasure &m)
{
    QStringList parts{m.keySerial, m.recordName, QString::number(m.connectionIndex), m.measuredAt,
                      QString::number(m.moment, 'g', 9)};
    // A record's first filling keeps the ids the plant already has; a later one reads alike
    // when undated, and only its generation tells the plant it is another tightening.
    if (m.eraseGeneration > 0)
        parts << QString::number(m.eraseGeneration);
    const QString identity = parts.join(QChar(0x1f));
    const QByteArray digest = QCryptographicHash::hash(identity.toUtf8(), QCryptographicHash::Sha1).toHex().left(20);
    return QString::fromLatin1(digest);
}

ResultMessage HistoryPublishSource::messageFor(const HistoryMeasure &m)
{
    ResultMessage r;
    r.resultId = resultIdFor(m);
    r.recordName = m.recordName;
    r.operatorText = m.operatorText;
    r.product = m.product;
    r.operationNumber = m.operationNumber;
    r.node = m.node;
    r.moment = m.moment;
    r.angle = m.angle;
    r.correctedDefect = m.defect;
    r.ok = m.ok;
    r.momentLow = m.momentLow;
    r.momentHigh = m.momentHigh;
    r.angleLow = m.angleLow;
    r.angleHigh = m.angleHigh;
    r.angleChecked = MeasureJudgement::checksAngle(m.algorithm);
    // The key's clock is set from this PC's: its times are the PC's local time, which the
    // offset makes unambiguous for a plant spread over time zones.
    r.measuredAt = withLocalOffset(m.measuredAt);
    r.operatorName = m.operatorName;
    r.keyName = m.keyName;
    r.keySerial = m.keySerial;
    r.calibrationNm = m.calibrationNominal;
    r.unit = m.unit;
    return r;
}
