// The debug-log line: its stamp is the local time of the call, hours to milliseconds without
// leading zeros, from any thread, including across the turn of a second.
#include "base/Log.h"
#include "base/SecretRedaction.h"

#include <QDateTime>
#include <QMutex>
#include <QRegularExpression>
#include <QTest>
#include <QThread>

#include <atomic>

namespace {

QMutex g_mutex;
QStringList g_lines;

void collect(QtMsgType type, const QMessageLogContext &, const QString &msg)
{
    if (type != QtDebugMsg)
        return;
    QMutexLocker lock(&g_mutex);
    g_lines.append(msg);
}

// The stamp of a line "h:m:s:ms: message" as a time; invalid when the line is malformed.
QTime stampOf(const QString &line, const QString &message)
{
    static const QRegularExpression re(
        QStringLiteral("^(0|[1-9]\\d?):(0|[1-9]\\d?):(0|[1-9]\\d?):(0|[1-9]\\d{0,2}): (.*)$"));
    const QRegularExpressionMatch m = re.match(line);
    if (!m.hasMatch() || m.captured(5) != message)
        return QTime();
    return QTime(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(), m.captured(4).toInt());
}

// Logs until the wall clock has passed at least one whole second, checking every line's
// stamp against the clock read just before and just after it. Returns the first problem.
QString logAcrossASecond(const QString &tag)
{
    const QTime start = QTime::currentTime();
    int n = 0;
    for (;;) {
        const QTime before = QTime::currentTime();
        const QString message = tag + QString::number(n++);
        td::log(message);
        const QTime after = QTime::currentTime();
        QString line;
        {
            QMutexLocker lock(&g_mutex);
            for (int i = g_lines.size() - 1; i >= 0; --i) {
                if (g_lines.at(i).endsWith(QStringLiteral(": ") + message)) {
                    line = g_lines.at(i);
                    break;
                }
            }
        }
        const QTime stamp = stampOf(line, message);
        if (!stamp.isValid())
            return QStringLiteral("malformed: ") + line;
        if (after >= before && (stamp < before || stamp > after))
            return QStringLiteral("%1 outside %2 .. %3").arg(line, before.toString("hh:mm:ss.zzz"),
                                                            after.toString("hh:mm:ss.zzz"));
        if (start.msecsTo(after) > 1100 || start.msecsTo(after) < 0)
            return QString();
    }
}

} // namespace

class TestLog : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        g_lines.clear();
        qInstallMessageHandler(collect);
    }
    void cleanup() { qInstallMessageHandler(nullptr); }

    // The stamp td::log writes, at chosen local times: each field without leading zeros,
    // and the once-a-second reuse of hours to seconds never leaks into another second.
    // What the Wi-Fi exchange test does not meet: damaged or cut frames are logged too, and
    // flags named after passwords are no secret.
    void secretsAreHiddenInAnyJsonText_data()
    {
        QTest::addColumn<QByteArray>("in");
        QTest::addColumn<QByteArray>("out");
        QTest::newRow("flags and empties stay")
            << QByteArray("{\"PasswordWrEnable\":1,\"Password\":\"\",\"note\":\"Password\"}")
            << QByteArray("{\"PasswordWrEnable\":1,\"Password\":\"\",\"note\":\"Password\"}");
        QTest::newRow("a number, another case") << QByteArray("{\"password\":1234,\"a\":2}")
                                                << QByteArray("{\"password\":\"***\",\"a\":2}");
        QTest::newRow("cut inside the value") << QByteArray("{\"UserPassword\":\"sec")
                                              << QByteArray("{\"UserPassword\":\"***\"");
    }
    void secretsAreHiddenInAnyJsonText()
    {
        QFETCH(QByteArray, in);
        QFETCH(QByteArray, out);
        QCOMPARE(td::redactSecrets(in), out);
    }

    void stampFormatHasNoLeadingZeros()
    {
        const QDate day(2026, 3, 9);
        auto at = [&](int h, int m, int s, int ms) {
            return td::logStampAt(QDateTime(day, QTime(h, m, s, ms)).toMSecsSinceEpoch());
        };
        QCOMPARE(at(0, 0, 0, 0), QStringLiteral("0:0:0:0"));
        QCOMPARE(at(9, 5, 3, 70), QStringLiteral("9:5:3:70"));
        QCOMPARE(at(9, 5, 3, 7), QStringLiteral("9:5:3:7"));
        QCOMPARE(at(9, 5, 4, 999), QStringLiteral("9:5:4:999"));
        QCOMPARE(at(9, 5, 3, 999), QStringLiteral("9:5:3:999"));
        QCOMPARE(at(23, 59, 58, 999), QStringLiteral("23:59:58:999"));
        QCOMPARE(at(23, 59, 59, 0), QStringLiteral("23:59:59:0"));
    }

    // The line td::log hands to the debug stream is that stamp and the message.
    void lineIsStampAndMessage()
    {
        const qint64 before = QDateTime::currentMSecsSinceEpoch();
        td::log(QStringLiteral("Ключ подключён"));
        const qint64 after = QDateTime::currentMSecsSinceEpoch();
        QCOMPARE(g_lines.size(), 1);
        bool matched = false;
        for (qint64 ms = before; ms <= after && !matched; ++ms)
            matched = g_lines.first() == td::logStampAt(ms) + QStringLiteral(": Ключ подключён");
        QVERIFY2(matched, qPrintable(g_lines.first()));
    }

    void stampIsTheTimeOfTheCall()
    {
        const QString problem = logAcrossASecond(QStringLiteral("main "));
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    void threadsStampTheirOwnLines()
    {
        std::atomic<int> failures{0};
        QString firstProblem;
        QMutex problemMutex;
        QList<QThread *> threads;
        for (int t = 0; t < 3; ++t) {
            threads << QThread::create([&, t] {
                const QString p = logAcrossASecond(QStringLiteral("thread%1 ").arg(t));
                if (!p.isEmpty()) {
                    ++failures;
                    QMutexLocker lock(&problemMutex);
                    firstProblem = p;
                }
            });
            threads.last()->start();
        }
        for (QThread *t : threads) {
            QVERIFY(t->wait(20000));
            delete t;
        }
        QVERIFY2(failures == 0, qPrintable(firstProblem));
    }
};

QTEST_GUILESS_MAIN(TestLog)
#include "tst_log.moc"
