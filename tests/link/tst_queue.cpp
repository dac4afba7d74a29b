#include "LogCapture.h"
#include "link/MyQueueTX.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QtTest>

namespace {

const QString kUsb = QStringLiteral("USB");

QueueElement makeElement(int id, const QString &iface, int attempts, int noReply = 0)
{
    QueueElement e;
    e.interfaceName = iface;
    e.packetClass = 0x30;
    e.subCode = 0x01;
    const uchar bytes[4] = {uchar(id), uchar(id >> 8), uchar(id >> 16), uchar(id >> 24)};
    e.setPayload(bytes, 4);
    e.attempts = quint16(attempts);
    e.noReply = noReply;
    return e;
}

int idOf(const QueueElement &e)
{
    return int(e.payload[0]) | int(e.payload[1]) << 8 | int(e.payload[2]) << 16
           | int(e.payload[3]) << 24;
}

// Plays the link: records every transmission and starts the reply timer for those that
// expect a reply, as the real link does once the frame is written.
class FakeLink : public QObject
{
    Q_OBJECT
public:
    explicit FakeLink(MyQueueTX *queue)
        : m_queue(queue)
    {
        connect(queue, SIGNAL(resultReady(QueueElement)), this, SLOT(onResult(QueueElement)),
                Qt::QueuedConnection);
        m_clock.start();
    }

    struct Sent
    {
        int id;
        QString iface;
        qint64 at;
        int timeouts; // reply time-outs logged before this transmission (-1: not counted)
    };
    // Counts the queue's time-out lines, so ordering is checked by events, not by the clock.
    const LogCapture *log = nullptr;
    QList<Sent> sent;
    std::function<void(const QueueElement &)> onSend;

    QList<int> ids() const
    {
        QList<int> out;
        for (const Sent &s : sent)
            out.append(s.id);
        return out;
    }
    qint64 now() const { return m_clock.elapsed(); }

signals:
    void transmitted();

public slots:
    void onResult(QueueElement e)
    {
        sent.append({idOf(e), e.interfaceName, m_clock.elapsed(),
                     log ? log->count(QStringLiteral(" *** Error: Queue timer")) : -1});
        if (e.noReply != 1)
            m_queue->startReplyTimer();
        if (onSend)
            onSend(e);
        emit transmitted();
    }

private:
    MyQueueTX *m_queue;
    QElapsedTimer m_clock;
};

} // namespace

class TestQueue : public QObject
{
    Q_OBJECT
private slots:
    // No reply on USB: sent, time-out, sent again, time-out, then the next element.
    void usbResendsOnceThenMovesOn()
    {
        LogCapture log;
        MyQueueTX q(QString(), 80, 1000);
        FakeLink link(&q);
        q.enqueue(makeElement(1, kUsb, 3));
        q.enqueue(makeElement(2, kUsb, 3));

        QTRY_COMPARE_WITH_TIMEOUT(link.sent.size(), 3, 2000);
        QCOMPARE(link.ids(), (QList<int>{1, 1, 2}));
        // Each step waited for the reply timer.
        QVERIFY(link.sent[1].at - link.sent[0].at >= 60);
        QVERIFY(link.sent[2].at - link.sent[1].at >= 60);
        QCOMPARE(log.count(QStringLiteral(" *** Error: Queue timer")), 2);
        QCOMPARE(log.count(QStringLiteral(" *** Bad Error")), 0);
        QVERIFY(log.lines().first().contains(QStringLiteral(" *** Error: Queue timer 1 CMD: 48 MAC USB")));

        // Element 2 is answered: nothing is resent.
        q.replyReceived(QString());
        QTest::qWait(200);
        QCOMPARE(link.sent.size(), 3);
        QVERIFY(!q.isAwaitingReply());
        QCOMPARE(q.currentClass(), uchar(0));
    }

    // A Wi-Fi key's command with 8 attempts: eight transmissions, then the list is dropped.
    void wifiAttemptsThenListDropped()
    {
        LogCapture log;
        MyQueueTX q(QStringLiteral("AA:BB"), 30, 1000);
        FakeLink link(&q);
        q.enqueue(makeElement(7, QStringLiteral("AA:BB"), 8));
        q.enqueue(makeElement(8, QStringLiteral("AA:BB"), 8));
        q.enqueue(makeElement(9, QStringLiteral("AA:BB"), 8));

        QTRY_COMPARE_WITH_TIMEOUT(log.count(QStringLiteral(" *** Bad Error: Queue timer")), 1, 3000);
        QTest::qWait(150);
        QCOMPARE(link.ids(), QVector<int>(8, 7).toList());
        QCOMPARE(log.count(QStringLiteral(" *** Error: Queue timer")), 8);
        QCOMPARE(q.pendingCount(), 0);
        QVERIFY(log.lines().last().contains(QStringLiteral("CMD: 48 MAC AA:BB")));

        // The queue still works afterwards.
        q.enqueue(makeElement(10, QStringLiteral("AA:BB"), 8));
        QTRY_VERIFY(link.sent.size() >= 9);
        QCOMPARE(link.sent.at(8).id, 10);
        q.clear();
    }

    // attempts 1 ends after one time-out (and drops the list, as the count reaches it);
    // attempts 2 on USB likewise after the single resend.
    void smallAttemptCounts()
    {
        LogCapture log;
        MyQueueTX q(QString(), 30, 1000);
        FakeLink link(&q);
        q.enqueue(makeElement(1, kUsb, 1));
        q.enqueue(makeElement(2, kUsb, 1));
        QTRY_COMPARE_WITH_TIMEOUT(log.count(QStringLiteral(" *** Bad Error")), 1, 2000);
        QTest::qWait(100);
        QCOMPARE(link.ids(), QList<int>{1});

        q.enqueue(makeElement(3, kUsb, 2));
        q.enqueue(makeElement(4, kUsb, 2));
        QTRY_COMPARE_WITH_TIMEOUT(log.count(QStringLiteral(" *** Bad Error")), 2, 2000);
        QTest::qWait(100);
        QCOMPARE(link.ids(), (QList<int>{1, 3, 3}));
    }

    // The resent command's reply ends the wait; the next element follows at once.
    void replyAfterFirstTimeout()
    {
        LogCapture log;
        MyQueueTX q(QString(), 100, 1000);
        FakeLink link(&q);
        link.log = &log;
        link.onSend = [&](const QueueElement &) {
            if (link.sent.size() == 2) // the resend: answer it right away
                QTimer::singleShot(5, &q, [&q] { q.replyReceived(kUsb); });
        };
        q.enqueue(makeElement(1, kUsb, 3));
        q.enqueue(makeElement(2, kUsb, 3));
        QTRY_COMPARE_WITH_TIMEOUT(link.sent.size(), 3, 2000);
        QCOMPARE(link.ids(), (QList<int>{1, 1, 2}));
        QVERIFY(link.sent[1].at - link.sent[0].at >= 80);
        QCOMPARE(link.sent[1].timeouts, 1);
        QVERIFY2(link.sent[2].timeouts == 1, "next element waited for a time-out");
    }

    // A noReply command between two normal ones is released without waiting.
    void noReplyBetweenNormalCommands()
    {
        LogCapture log;
        MyQueueTX q(QString(), 150, 1000);
        FakeLink link(&q);
        link.log = &log;
        link.onSend = [&](const QueueElement &e) {
            if (e.noReply != 1)
                QTimer::singleShot(2, &q, [&q] { q.replyReceived(QString()); });
        };
        q.enqueue(makeElement(1, kUsb, 3));
        q.enqueue(makeElement(2, kUsb, 3, 1));
        q.enqueue(makeElement(3, kUsb, 3));
        QTRY_COMPARE_WITH_TIMEOUT(link.sent.size(), 3, 1000);
        QCOMPARE(link.ids(), (QList<int>{1, 2, 3}));
        QVERIFY2(link.sent[2].timeouts == 0, "a command waited for a time-out");

        // A noReply element alone leaves nothing waiting and no timer running.
        q.enqueue(makeElement(4, kUsb, 3, 1));
        QTRY_COMPARE(link.sent.size(), 4);
        QTest::qWait(20);
        QVERIFY(!q.isAwaitingReply());
        QVERIFY(!q.isReplyTimerActive());
        QCOMPARE(q.currentNoReply(), 1);
    }

    // Elements for another interface are dropped; "USB" passes any queue.
    void foreignElementsDropped()
    {
        MyQueueTX q(QStringLiteral("KEY1"), 100, 1000);
        FakeLink link(&q);
        link.onSend = [&](const QueueElement &) {
            QTimer::singleShot(1, &q, [&q] { q.replyReceived(kUsb); });
        };
        q.enqueue(makeElement(1, QStringLiteral("KEY2"), 3));
        q.enqueue(makeElement(2, QStringLiteral("KEY1"), 3));
        q.enqueue(makeElement(3, QString(), 3));
        q.enqueue(makeElement(4, kUsb, 3));
        QTRY_COMPARE_WITH_TIMEOUT(link.sent.size(), 2, 1000);
        QTest::qWait(50);
        QCOMPARE(link.ids(), (QList<int>{2, 4}));

        MyQueueTX usb(QString(), 100, 1000);
        FakeLink usbLink(&usb);
        usb.enqueue(makeElement(5, QStringLiteral("KEY1"), 3, 1));
        usb.enqueue(makeElement(6, kUsb, 3, 1));
        QTRY_COMPARE(usbLink.sent.size(), 1);
        QTest::qWait(30);
        QCOMPARE(usbLink.ids(), QList<int>{6});
    }

    // A Wi-Fi reply is matched by name; a reply while nothing waits releases nothing, so
    // the next command still waits for its own reply or time-out.
    void replyMatchingAndStaleReplies()
    {
        MyQueueTX q(QStringLiteral("KEY1"), 120, 1000);
        FakeLink link(&q);
        q.enqueue(makeElement(1, QStringLiteral("KEY1"), 8));
        QTRY_COMPARE(link.sent.size(), 1);
        QCOMPARE(q.currentInterfaceName(), QStringLiteral("KEY1"));
        q.replyReceived(QStringLiteral("KEY9")); // another key's frame
        QVERIFY(q.isAwaitingReply());
        q.replyReceived(QStringLiteral("KEY1"));
        QVERIFY(!q.isAwaitingReply());
        QCOMPARE(q.currentInterfaceName(), QString());

        // Unsolicited frames while idle.
        for (int i = 0; i < 5; ++i)
            q.replyReceived(kUsb);
        q.enqueue(makeElement(2, QStringLiteral("KEY1"), 8));
        QTRY_COMPARE(link.sent.size(), 2);
        const qint64 first = link.sent.last().at;
        QTRY_COMPARE_WITH_TIMEOUT(link.sent.size(), 3, 1000);
        QVERIFY2(link.sent.last().at - first >= 100, "a stale reply released the wait");
        q.clear();
    }

    // A reply owes the waiting thread exactly one release, whether the next command is
    // queued in the same turn (the read-out's case), later, or a clear comes in between:
    // a second release would send the command after next without waiting for its reply.
    void replyReleasesTheThreadExactlyOnce()
    {
        // No reply time-out within the test: only a release can move the queue on.
        MyQueueTX q(QString(), 60000, 1000);
        FakeLink link(&q);
        const auto stillWaits = [&link](int sent) {
            QTest::qWait(120);
            return link.sent.size() == sent;
        };

        q.enqueue(makeElement(1, kUsb, 3));
        QTRY_COMPARE(link.sent.size(), 1);
        q.replyReceived(kUsb);
        q.enqueue(makeElement(2, kUsb, 3));
        q.enqueue(makeElement(3, kUsb, 3));
        QTRY_COMPARE(link.sent.size(), 2);
        QVERIFY2(stillWaits(2), "command 3 went out before command 2 was answered");

        // Answered with nothing queued: the loop releases the thread; the next command is
        // sent at once and the one after it still waits.
        q.replyReceived(kUsb);
        QTRY_COMPARE(link.sent.size(), 3);
        q.replyReceived(kUsb);
        QTest::qWait(30);
        q.enqueue(makeElement(4, kUsb, 3));
        q.enqueue(makeElement(5, kUsb, 3));
        QTRY_COMPARE(link.sent.size(), 4);
        QVERIFY2(stillWaits(4), "command 5 went out before command 4 was answered");

        // A reply and a clear in the same turn release once between them.
        q.replyReceived(kUsb);
        q.clear();
        q.enqueue(makeElement(6, kUsb, 3));
        q.enqueue(makeElement(7, kUsb, 3));
        QTRY_COMPARE(link.sent.size(), 5);
        QVERIFY2(stillWaits(5), "reply and clear released the thread twice");
        q.replyReceived(kUsb);
        QTRY_COMPARE(link.sent.size(), 6);
        QCOMPARE(link.ids(), (QList<int>{1, 2, 3, 4, 6, 7}));
        q.clear();
    }

    // Alive countdown: ticks down to 0, a Wi-Fi reply sets it back to 10.
    void aliveCountdown()
    {
        MyQueueTX q(QStringLiteral("KEY1"), 1000, 10);
        QCOMPARE(q.aliveCountdown(), 10);
        QTRY_COMPARE_WITH_TIMEOUT(q.aliveCountdown(), 0, 2000);
        QTest::qWait(30);
        QCOMPARE(q.aliveCountdown(), 0);
        q.replyReceived(QStringLiteral("KEY1"));
        QVERIFY(q.aliveCountdown() > 5);
        q.replyReceived(kUsb); // USB frames say nothing about a Wi-Fi key
    }

    // clear() wakes a waiting thread, drops the list and abandons the command in flight.
    void clearAndShutdown()
    {
        MyQueueTX q(QString(), 60, 1000);
        FakeLink link(&q);
        for (int i = 0; i < 5; ++i)
            q.enqueue(makeElement(i, kUsb, 3));
        QTRY_COMPARE(link.sent.size(), 1);
        QVERIFY(q.pendingCount() == 4);
        q.clear();
        QCOMPARE(q.pendingCount(), 0);
        QTest::qWait(200);
        QCOMPARE(link.ids(), QList<int>{0});
        QVERIFY(q.isActive());

        q.shutdown();
        QVERIFY(q.isFinished());
    }

    // Shutdown ends a thread that waits for a reply. The reply timer belongs to the thread
    // that calls shutdown, which blocks in it: were the wait not released, shutdown would
    // never return, so returning at all (with no time-out logged) is the proof.
    void shutdownReleasesAWaitingThread()
    {
        LogCapture log;
        MyQueueTX q(QString(), 600000, 1000);
        FakeLink link(&q);
        q.enqueue(makeElement(9, kUsb, 3));
        q.enqueue(makeElement(10, kUsb, 3));
        QTRY_COMPARE(link.sent.size(), 1);
        QTRY_VERIFY(q.isReplyTimerActive());
        q.shutdown();
        QVERIFY(!q.isActive());
        QVERIFY(q.isFinished());
        QCOMPARE(log.count(QStringLiteral(" *** Error: Queue timer")), 0);
        QCoreApplication::processEvents();
        QCOMPARE(link.ids(), QList<int>{9});
    }

    // The queue says which command it gave up unanswered, once, after its last transmission;
    // an answered or cleared command is never reported.
    void givenUpCommandsAreReported()
    {
        LogCapture log;
        MyQueueTX q(QString(), 30, 1000);
        FakeLink link(&q);
        QList<int> givenUp;
        QList<int> sentWhenGivenUp;
        connect(&q, &MyQueueTX::commandGivenUp, this, [&](const QueueElement &e) {
            givenUp << idOf(e);
            sentWhenGivenUp << link.sent.size();
        });
        link.onSend = [&](const QueueElement &e) {
            if (idOf(e) == 2 || (idOf(e) == 3 && link.sent.size() == 5)) // 2 at once, 3 on its resend
                QTimer::singleShot(0, &q, [&q] { q.replyReceived(kUsb); });
        };
        for (int id : {1, 2, 3, 4})
            q.enqueue(makeElement(id, kUsb, 3));
        QTRY_COMPARE_WITH_TIMEOUT(givenUp.size(), 2, 5000);
        QCOMPARE(givenUp, (QList<int>{1, 4}));
        QCOMPARE(link.ids(), (QList<int>{1, 1, 2, 3, 3, 4, 4}));
        QCOMPARE(sentWhenGivenUp, (QList<int>{2, 7}));

        // Cleared while waiting: abandoned by the caller, not given up. The clear follows the
        // send in the same turn, before the 30 ms reply time-out can resend it.
        link.onSend = [&q](const QueueElement &e) {
            if (idOf(e) == 5)
                q.clear();
        };
        q.enqueue(makeElement(5, kUsb, 3));
        QTRY_COMPARE(link.sent.size(), 8);
        QTRY_VERIFY(!q.isAwaitingReply());
        QTest::qWait(100);
        QCOMPARE(givenUp.size(), 2);
        QCOMPARE(link.sent.size(), 8);

        // A Wi-Fi key's command after all its attempts.
        MyQueueTX wifi(QStringLiteral("AA:BB"), 10, 1000);
        FakeLink wifiLink(&wifi);
        QList<int> wifiGivenUp;
        connect(&wifi, &MyQueueTX::commandGivenUp, this, [&](const QueueElement &e) { wifiGivenUp << idOf(e); });
        wifi.enqueue(makeElement(6, QStringLiteral("AA:BB"), 4));
        QTRY_COMPARE_WITH_TIMEOUT(wifiGivenUp, QList<int>{6}, 5000);
        QCOMPARE(wifiLink.ids(), (QList<int>{6, 6, 6, 6}));
    }

    // Replies racing the time-out, many times over: every element goes out, in order, at
    // most twice on USB, and no stray release survives to cut a later wait short.
    void repliesRacingTimeouts()
    {
        LogCapture log; // keep the time-out lines out of the output
        const int timeout = 6;
        MyQueueTX q(QString(), timeout, 1000);
        FakeLink link(&q);
        QRandomGenerator rng(4711);
        link.onSend = [&](const QueueElement &e) {
            if (e.noReply == 1)
                return;
            // Mostly around the time-out, sometimes twice for one transmission.
            const int delay = int(rng.bounded(2 * timeout + 2));
            QTimer::singleShot(delay, &q, [&q] { q.replyReceived(kUsb); });
            if (rng.bounded(10) == 0)
                QTimer::singleShot(delay + 1, &q, [&q] { q.replyReceived(QString()); });
        };

        const int n = 600;
        for (int i = 0; i < n; ++i)
            q.enqueue(makeElement(i, kUsb, 3, rng.bounded(20) == 0 ? 1 : 0));
        QTRY_VERIFY_WITH_TIMEOUT(!link.sent.isEmpty() && link.sent.last().id == n - 1, 60000);
        QTRY_VERIFY_WITH_TIMEOUT(!q.isAwaitingReply(), 2000);
        // Let every scheduled (late) reply land before the last check.
        QTest::qWait(100);

        QHash<int, int> times;
        int previous = -1;
        for (const FakeLink::Sent &s : link.sent) {
            QVERIFY2(s.id >= previous, "element sent out of order");
            previous = s.id;
            ++times[s.id];
        }
        for (int i = 0; i < n; ++i) {
            QVERIFY2(times.value(i) >= 1, qPrintable(QStringLiteral("element %1 lost").arg(i)));
            QVERIFY2(times.value(i) <= 2, qPrintable(QStringLiteral("element %1 sent %2 times").arg(i).arg(times.value(i))));
        }
        QCOMPARE(log.count(QStringLiteral(" *** Bad Error")), 0);

        // With the traffic gone, a new command must wait for its full time-out before its
        // one resend.
        link.onSend = nullptr;
        const int before = link.sent.size();
        q.enqueue(makeElement(n, kUsb, 3));
        QTRY_COMPARE_WITH_TIMEOUT(link.sent.size(), before + 2, 2000);
        QTest::qWait(50);
        QCOMPARE(link.sent.size(), before + 2);
        QCOMPARE(link.sent.at(before).id, n);
        QCOMPARE(link.sent.at(before + 1).id, n);
        QVERIFY2(link.sent.at(before + 1).at - link.sent.at(before).at >= timeout - 1,
                 "a leftover release skipped the wait");
        q.clear();
    }
};

QTEST_GUILESS_MAIN(TestQueue)
#include "tst_queue.moc"
