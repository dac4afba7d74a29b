// File names and the debug log in a Russian user's world: a data root named in Cyrillic
// must be the folder of that name on disk, and a Russian log line must reach the terminal
// as the terminal's own encoding (UTF-8 here), not as Windows Cyrillic.
#include "base/AtomicFile.h"
#include "base/LocaleCodec.h"
#include "base/Log.h"
#include "base/LogOutput.h"
#include "base/Paths.h"
#include "base/SettingsFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCodec>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Whether the exact bytes name an existing file or folder, bypassing every codec.
bool existsAsBytes(const QByteArray &path)
{
    struct stat st {};
    return ::stat(path.constData(), &st) == 0;
}

} // namespace

class TestLocaleCodec : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { td::setupLocaleCodec(); }
    void cleanupTestCase() { Paths::setDataRoot(QString()); }

    void codePageOnlyWhereTheSystemUsesOne()
    {
        QCOMPARE(td::localeCodecFor(true)->mibEnum(), 2251); // windows-1251
        QCOMPARE(td::localeCodecFor(false)->mibEnum(), 106); // UTF-8
        QCOMPARE(QTextCodec::codecForLocale()->mibEnum(), td::systemUsesCodePages() ? 2251 : 106);
    }

    void cyrillicDataRoot()
    {
        QTemporaryDir base;
        QVERIFY(base.isValid());
        const QString folder = QStringLiteral("Данные Иванова");
        Paths::setDataRoot(base.path() + QLatin1Char('/') + folder);
        QVERIFY(QDir().mkpath(Paths::settingsDir()));
        QVERIFY(SettingsFile::save(Paths::settingsIni(), AppSettings()));
        QVERIFY(QDir().mkpath(Paths::downloadDir(QStringLiteral("dbsett"))));
        QString error;
        QVERIFY2(AtomicFile::write(Paths::downloadDir(QStringLiteral("dbsett")) + QStringLiteral("/запись"), "abc",
                                   &error, AtomicFile::Durability::RenameOnly),
                 qPrintable(error));

        // On disk, under the UTF-8 name the user sees in the file manager.
        const QByteArray root = base.path().toUtf8() + '/' + folder.toUtf8();
        QVERIFY(existsAsBytes(root + "/settings/settings.ini"));
        QVERIFY(existsAsBytes(root + "/download/dbsett/" + QStringLiteral("запись").toUtf8()));
        QCOMPARE(QDir(base.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{folder});
        QFile back(Paths::downloadDir(QStringLiteral("dbsett")) + QStringLiteral("/запись"));
        QVERIFY(back.open(QIODevice::ReadOnly));
        QCOMPARE(back.readAll(), QByteArray("abc"));
    }

    void russianLogLineReachesTheTerminalIntact()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("stderr.txt"));
        std::fflush(stderr);
        const int saved = ::dup(2);
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        QVERIFY(saved >= 0 && fd >= 0);
        ::dup2(fd, 2);
        ::close(fd);
        td::installBufferedLogOutput();
        td::log(QStringLiteral("Ключ не отвечает"));
        td::flushLogOutput();
        std::fflush(stderr);
        ::dup2(saved, 2);
        ::close(saved);

        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray out = f.readAll();
        QVERIFY2(out.contains(QStringLiteral(": Ключ не отвечает\n").toUtf8()), out.toHex().constData());
    }
};

QTEST_GUILESS_MAIN(TestLocaleCodec)
#include "tst_localecodec.moc"
