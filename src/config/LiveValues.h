#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class FileExchange;
class KeyProtocol;
struct RecordFile;

// The live moment and angle of the calibration page. The key has no call that reports its
// sensor readings; what it does report is every tightening, appended to the record it
// measures into, which it announces by FE_FileSystem_Status so that the PC's mirror fetches
// the record again. So each tick asks the key which record that is (FE_PageCurrent_Read),
// and the newest tightening of that record in the mirror is the value shown. One question
// is in flight at a time: a slow key or a long file transfer is not flooded with requests.
class LiveValues : public QObject
{
    Q_OBJECT
public:
    // A question unanswered for this long is given up and asked again.
    static constexpr int AnswerTimeoutMs = 3000;

    LiveValues(KeyProtocol *protocol, FileExchange *files, QObject *parent = nullptr);

    // Above 0 (re)starts the ticks with that period, 0 stops them.
    void setPeriod(int ms);
    int period() const { return m_timer.isActive() ? m_timer.interval() : 0; }
    bool isRunning() const { return m_timer.isActive(); }
    QString currentRecord() const { return m_page; }

    // The newest tightening of a record file's bytes; false when it holds none.
    static bool newestOf(const QByteArray &recordBytes, double *moment, double *angle);

public slots:
    void tick();
    void onCurrentPage(const QString &pagenumber);
    // Re-reads the mirror copy of the current record.
    void refresh();

signals:
    void valuesChanged(double moment, double angle, const QString &record);
    // The key measures into no record, or that record holds no tightening yet.
    void valuesCleared();

private:
    KeyProtocol *m_protocol;
    QTimer m_timer;
    QElapsedTimer m_asked;
    bool m_waiting = false;
    QString m_page;
};
