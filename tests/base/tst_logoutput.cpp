// The buffered debug-log output: no line lost or reordered, held back only until the event loop
// idles, and a warning never waits behind the buffer.
#include "base/Log.h"
#include "base/LogOutput.h"

#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

class TestLogOutput : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_path;
    int m_savedStderr = -1;

    QByteArray written()
    {
        std::fflush(stderr);
        QFile f(m_path);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

    void idle()
    {
        QEventLoop loop;
        QTimer::singleShot(30, &loop, &QEventLoop::quit);
        loop.exec();
    }

private slots:
    void initTestCase()
    {
        m_path = m_dir.filePath(QStringLiteral("stderr.txt"));
        m_savedStderr = dup(STDERR_FILENO);
        const int fd = ::open(QFile::encodeName(m_path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        QVERIFY(fd >= 0);
        dup2(fd, STDERR_FILENO);
        ::close(fd);
        td::installBufferedLogOutput();
        td::installBufferedLogOutput(); // a second call must not double every line
    }

    void cleanupTestCase()
    {
        td::flushLogOutput();
        dup2(m_savedStderr, STDERR_FILENO);
        ::close(m_savedStderr);
    }

    void linesWaitForIdleThenAllArriveOnce()
    {
        const int before = written().size();
        for (int i = 0; i < 20; ++i)
            td::log(QStringLiteral("idle-line %1").arg(i));
        QCOMPARE(written().size(), before); // still in the buffer: no call per line
        idle();
        const QByteArray out = written().mid(before);
        for (int i = 0; i < 20; ++i)
            QCOMPARE(out.count(QStringLiteral(": idle-line %1\n").arg(i).toUtf8()), 1);
        QVERIFY(out.indexOf(": idle-line 3\n") < out.indexOf(": idle-line 4\n"));
    }

    void warningGoesOutAtOnceAfterWhatCameBefore()
    {
        const int before = written().size();
        td::log(QStringLiteral("before-warning"));
        qWarning("the-warning");
        const QByteArray out = written().mid(before);
        QVERIFY(out.contains("before-warning\n"));
        QVERIFY(out.indexOf("before-warning") < out.indexOf("the-warning"));
    }

    void threadsLoseNothingAndKeepTheirOrder()
    {
        const int before = written().size();
        QList<QThread *> threads;
        for (int t = 0; t < 3; ++t) {
            threads << QThread::create([t] {
                for (int i = 0; i < 2000; ++i)
                    td::log(QStringLiteral("t%1-%2").arg(t).arg(i));
            });
            threads.last()->start();
        }
        for (QThread *th : threads) {
            QVERIFY(th->wait(20000));
            delete th;
        }
        td::flushLogOutput();
        const QByteArray out = written().mid(before);
        for (int t = 0; t < 3; ++t) {
            int last = -1;
            for (int i = 0; i < 2000; i += 97) {
                const QByteArray line = QStringLiteral(": t%1-%2\n").arg(t).arg(i).toUtf8();
                const int at = out.indexOf(line);
                QVERIFY2(at > last, line.constData());
                QCOMPARE(out.count(line), 1);
                last = at;
            }
        }
        QCOMPARE(out.count('\n'), 6000);
    }
};

QTEST_GUILESS_MAIN(TestLogOutput)
#include "tst_logoutput.moc"
