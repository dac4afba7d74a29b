// Draws every picture of the program and writes them as PNG or GIF files.
//
//   imagegen --images DIR --popups DIR [--font FILE]... [--expect NAME]... [--expect-popup NAME]...
//   imagegen --list
//
// --expect and --expect-popup name the files the build registers (resources and png/ files);
// the run fails when the drawn set differs, so the build's list and the generator cannot
// drift apart unnoticed.

#include "Catalog.h"
#include "Draw.h"
#include "GifWriter.h"

#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QSaveFile>
#include <QSet>
#include <QStringList>

#include <cstdio>

namespace {

void fail(const QString &message)
{
    std::fprintf(stderr, "imagegen: %s\n", qPrintable(message));
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

bool writePng(const QString &path, const QImage &image)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
        fail(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
        return false;
    }
    return true;
}

QStringList namesIn(const Catalog &catalog, Place place)
{
    QStringList names;
    for (const Picture &p : catalog.pictures)
        if (p.place == place)
            names << p.name;
    if (place == Place::Resource)
        for (const Animation &a : catalog.animations)
            names << a.name;
    return names;
}

// Empty when the drawn names are exactly the expected ones, else what differs.
QString difference(const QStringList &drawnList, const QStringList &expectedList)
{
    const QSet<QString> drawn(drawnList.cbegin(), drawnList.cend());
    const QSet<QString> wanted(expectedList.cbegin(), expectedList.cend());
    if (drawn == wanted)
        return QString();
    QStringList missing = (wanted - drawn).values();
    QStringList extra = (drawn - wanted).values();
    missing.sort();
    extra.sort();
    return QStringLiteral("not drawn: [%1], not listed: [%2]")
        .arg(missing.join(QLatin1Char(' ')), extra.join(QLatin1Char(' ')));
}

} // namespace

int main(int argc, char *argv[])
{
    // Drawing text needs a font database, which needs a platform; no display is wanted.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QString imagesDir, popupsDir;
    QStringList fonts, expected, expectedPopups;
    bool checkNames = false;
    bool list = false;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--list")) {
            list = true;
        } else if (a == QLatin1String("--images") && hasValue) {
            imagesDir = args[++i];
        } else if (a == QLatin1String("--popups") && hasValue) {
            popupsDir = args[++i];
        } else if (a == QLatin1String("--font") && hasValue) {
            fonts << args[++i];
        } else if (a == QLatin1String("--expect") && hasValue) {
            expected << args[++i];
            checkNames = true;
        } else if (a == QLatin1String("--expect-popup") && hasValue) {
            expectedPopups << args[++i];
            checkNames = true;
        } else {
            fail(QStringLiteral("unknown or incomplete argument: %1").arg(a));
            return 2;
        }
    }

    const Catalog catalog = buildCatalog();
    if (list) {
        for (const QString &name : namesIn(catalog, Place::Resource))
            std::printf("%s\n", qPrintable(name));
        for (const QString &name : namesIn(catalog, Place::DataRootPng))
            std::printf("png/%s\n", qPrintable(name));
        return 0;
    }
    if (imagesDir.isEmpty() || popupsDir.isEmpty()) {
        fail(QStringLiteral("usage: imagegen --images DIR --popups DIR [--font FILE]... "
                            "[--expect NAME]... [--expect-popup NAME]... | --list"));
        return 2;
    }

    if (checkNames) {
        const QString resources = difference(namesIn(catalog, Place::Resource), expected);
        const QString popups = difference(namesIn(catalog, Place::DataRootPng), expectedPopups);
        if (!resources.isEmpty() || !popups.isEmpty()) {
            fail(QStringLiteral("the build's picture list and the generator disagree; "
                                "resources: %1; png/: %2")
                     .arg(resources.isEmpty() ? QStringLiteral("ok") : resources,
                          popups.isEmpty() ? QStringLiteral("ok") : popups));
            return 1;
        }
    }

    for (const QString &f : fonts) {
        const int id = QFontDatabase::addApplicationFont(f);
        const QStringList families = id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
        if (families.isEmpty())
            fail(QStringLiteral("font not loaded, falling back to the system font: %1").arg(f));
        else
            draw::setFontFamily(families.first());
    }

    if (!QDir().mkpath(imagesDir) || !QDir().mkpath(popupsDir)) {
        fail(QStringLiteral("cannot create the output folders"));
        return 1;
    }

    int written = 0;
    for (const Picture &picture : catalog.pictures) {
        const QString dir = picture.place == Place::Resource ? imagesDir : popupsDir;
        if (!writePng(QDir(dir).filePath(picture.name), render(picture)))
            return 1;
        ++written;
    }
    for (const Animation &animation : catalog.animations) {
        gif::Options options;
        options.delayCs = animation.delayCs;
        const QByteArray bytes = gif::encode(render(animation), options);
        if (bytes.isEmpty()) {
            fail(QStringLiteral("could not encode %1").arg(animation.name));
            return 1;
        }
        if (!writeBytes(QDir(imagesDir).filePath(animation.name), bytes))
            return 1;
        ++written;
    }
    std::printf("imagegen: %d pictures written\n", written);
    return 0;
}
