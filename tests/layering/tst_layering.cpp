// Reads every #include "..." under src/ and holds each against the table of rooms beside this
// test: a room reaching one it may not fails here, not only in a review.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {

// The room of a path relative to src/: its folder, a folder of ui/ being a room of its own.
QString roomOf(const QString &relative)
{
    if (relative == QLatin1String("main.cpp"))
        return QStringLiteral("main");
    const QStringList parts = relative.split(QLatin1Char('/'));
    if (parts.size() < 2)
        return relative;
    if (parts.at(0) == QLatin1String("ui") && parts.size() > 2)
        return parts.at(0) + QLatin1Char('/') + parts.at(1);
    return parts.at(0);
}

bool isCore(const QString &room)
{
    return !room.startsWith(QLatin1String("ui/")) && room != QLatin1String("ui") && room != QLatin1String("cli")
           && room != QLatin1String("main");
}

class Layering
{
public:
    bool load(const QString &tablePath, QString *error)
    {
        QFile file(tablePath);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            *error = file.errorString();
            return false;
        }
        QTextStream in(&file);
        int number = 0;
        while (!in.atEnd()) {
            ++number;
            const QString line = in.readLine().section(QLatin1Char('#'), 0, 0).trimmed();
            if (line.isEmpty())
                continue;
            const int colon = line.indexOf(QLatin1Char(':'));
            if (colon <= 0) {
                *error = QStringLiteral("line %1: no 'room:'").arg(number);
                return false;
            }
            const QString room = line.left(colon).trimmed();
            if (m_allowed.contains(room)) {
                *error = QStringLiteral("line %1: %2 twice").arg(number).arg(room);
                return false;
            }
            m_allowed.insert(room, line.mid(colon + 1).split(QLatin1Char(' '), Qt::SkipEmptyParts));
        }
        return true;
    }

    bool mayInclude(const QString &from, const QString &to) const
    {
        if (from == to)
            return true;
        for (const QString &entry : m_allowed.value(from)) {
            if (entry == to || (entry == QLatin1String("core") && isCore(to))
                || (entry == QLatin1String("ui/*") && to.startsWith(QLatin1String("ui/"))))
                return true;
        }
        return false;
    }

    // One line per include a room may not make, and per room the table does not know.
    QStringList check(const QString &srcDir) const
    {
        static const QRegularExpression include(QStringLiteral("^\\s*#\\s*include\\s*\"([^\"]+)\""));
        const QDir src(srcDir);
        QStringList found;
        QSet<QString> unknown;
        QDirIterator it(srcDir, {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString relative = src.relativeFilePath(path);
            const QString from = roomOf(relative);
            if (!m_allowed.contains(from)) {
                if (!unknown.contains(from))
                    found << QStringLiteral("%1: the room %2 has no line in the table").arg(relative, from);
                unknown.insert(from);
                continue;
            }
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
                found << QStringLiteral("%1: not readable").arg(relative);
                continue;
            }
            QTextStream in(&file);
            int number = 0;
            while (!in.atEnd()) {
                ++number;
                const QRegularExpressionMatch m = include.match(in.readLine());
                // A name without a folder is the file's neighbour or a generated header.
                if (!m.hasMatch() || !m.captured(1).contains(QLatin1Char('/')))
                    continue;
                const QString target = m.captured(1);
                if (!src.exists(target))
                    continue;
                const QString to = roomOf(target);
                if (!mayInclude(from, to))
                    found << QStringLiteral("%1:%2: %3 may not include %4 (%5)").arg(relative).arg(number).arg(from, to, target);
            }
        }
        found.sort();
        return found;
    }

private:
    QHash<QString, QStringList> m_allowed;
};

QString tablePath()
{
    return QStringLiteral(TD_LAYERING_TABLE);
}

} // namespace

class TestLayering : public QObject
{
    Q_OBJECT

private slots:
    void sourceTreeKeepsItsRooms()
    {
        Layering layering;
        QString error;
        QVERIFY2(layering.load(tablePath(), &error), qPrintable(error));
        const QStringList found = layering.check(QStringLiteral(TD_SOURCE_TREE));
        // One line each: a failure message of its own would be cut short.
        for (const QString &line : found)
            qWarning().noquote() << line;
        QVERIFY2(found.isEmpty(), qPrintable(QStringLiteral("%1 includes reach a room they may not").arg(found.size())));
    }

    // The checker itself, on small trees of files that make one include each against the same
    // table: what must fail does, and what the table allows passes.
    void checkerCatchesViolations_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("includes");
        QTest::addColumn<bool>("violation");
        QTest::newRow("core reaches a page") << "history/HistoryStore.cpp" << "ui/history/HistoryPage.h" << true;
        QTest::newRow("core reaches the command line") << "publish/PublishStation.cpp" << "cli/CliSupport.h" << true;
        QTest::newRow("a page reaches the frame") << "ui/history/HistoryWiring.cpp" << "ui/frame/MainWindow.h" << true;
        QTest::newRow("a page reaches a page not listed") << "ui/publish/PublishWiring.cpp" << "ui/history/HistoryPage.h"
                                                          << true;
        QTest::newRow("base reaches up") << "base/Log.cpp" << "link/UsbLink.h" << true;
        QTest::newRow("main reaches a page") << "main.cpp" << "ui/history/HistoryPage.h" << true;
        QTest::newRow("a room with no line") << "newroom/Thing.cpp" << "base/Log.h" << true;
        QTest::newRow("a page stands on the core") << "ui/history/HistoryPage.cpp" << "history/HistoryStore.h" << false;
        QTest::newRow("a page reaches one listed") << "ui/measures/MemoryWiring.cpp" << "ui/levels/LevelTree.h" << false;
        QTest::newRow("the frame places a page") << "ui/frame/MainWindowPages.cpp" << "ui/history/HistoryPage.h" << false;
        QTest::newRow("the station builds the core") << "station/Station.cpp" << "publish/PublishStation.h" << false;
        QTest::newRow("the command line stands on the core") << "cli/PullCommand.cpp" << "station/Station.h" << false;
    }

    void checkerCatchesViolations()
    {
        QFETCH(QString, file);
        QFETCH(QString, includes);
        QFETCH(bool, violation);
        QTemporaryDir tree;
        QVERIFY(tree.isValid());
        auto write = [&tree](const QString &relative, const QByteArray &text) {
            const QString path = tree.filePath(relative);
            QDir().mkpath(QFileInfo(path).path());
            QFile f(path);
            return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
        };
        QVERIFY(write(includes, "#pragma once\n"));
        // The include sits among others a checker must pass over: a neighbour, a system header
        // and one in a comment.
        QVERIFY(write(file, "#include \"Neighbour.h\"\n#include <QObject>\n// #include \"cli/CliSupport.h\"\n"
                            "  #  include \"" + includes.toUtf8() + "\"\n"));
        QVERIFY(write(QStringLiteral("cli/CliSupport.h"), "#pragma once\n"));

        Layering layering;
        QString error;
        QVERIFY2(layering.load(tablePath(), &error), qPrintable(error));
        const QStringList found = layering.check(tree.path());
        QCOMPARE(found.size(), violation ? 1 : 0);
        if (violation)
            QVERIFY2(found.first().startsWith(file), qPrintable(found.first()));
    }
};

QTEST_GUILESS_MAIN(TestLayering)
#include "tst_layering.moc"
