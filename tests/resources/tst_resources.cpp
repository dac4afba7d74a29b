// Every picture and the font the program loads by name must be in the compiled-in resources
// (or the data root's png/ folder) and be a real picture, not an empty placeholder.

#include <QDir>
#include <QFontDatabase>
#include <QImage>
#include <QMovie>
#include <QSet>
#include <QtTest>

namespace {

const char *const kStills[] = {
    "about.png", "calibrate.png", "database.png", "menulevels.png", "records.png", "templates.png",
    "usb.png", "wifi.png", "null.png", "logo_usb.png", "logo_wifi.png", "init_find.png", "torquedesk.png",
    "logo_trevonics_red3.png", "bat_lvl0.png", "bat_lvl1.png", "bat_lvl2.png", "bat_lvl3.png",
    "bat_lvl4.png", "bat_lvl5.png", "wifi_lvl0.png", "wifi_lvl1.png", "wifi_lvl2.png",
    "wifi_lvl3.png", "rotate1a.png", "rotate2a.png", "rotateFFa.png", "vnim.png", "bad_moment.png",
    "lock.png", "unlock.png", "message1.png", "fw_download.png", "fw_ok.png", "fw_bad.png",
    "fw_nofound.png", "fw_noconnect.png", "key_found.png", "is_used.png", "not_used.png",
    "key_sm.png"};
const char *const kAnimations[] = {"wait.gif", "wait2.gif", "rocket.gif"};

QString resourcePath(const QString &name)
{
    return QStringLiteral(":/resource/images/") + name;
}

// Distinct ARGB values and the share of pixels that are not (nearly) transparent.
struct Look
{
    int colours = 0;
    double coverage = 0;
};

Look look(const QImage &image)
{
    const QImage img = image.convertToFormat(QImage::Format_ARGB32);
    QSet<QRgb> colours;
    qint64 visible = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            colours.insert(c);
            if (qAlpha(c) > 32)
                ++visible;
        }
    Look l;
    l.colours = colours.size();
    l.coverage = img.isNull() ? 0 : double(visible) / (qint64(img.width()) * img.height());
    return l;
}

void verifyPicture(const QImage &img, const QString &what)
{
    QVERIFY2(!img.isNull(), qPrintable(what + QStringLiteral(" does not load")));
    QVERIFY2(img.width() >= 16 && img.height() >= 16 && img.width() <= 512 && img.height() <= 512,
             qPrintable(QStringLiteral("%1: odd size %2x%3").arg(what).arg(img.width()).arg(img.height())));
    const Look l = look(img);
    QVERIFY2(l.colours >= 3, qPrintable(QStringLiteral("%1: only %2 colours").arg(what).arg(l.colours)));
    QVERIFY2(l.coverage >= 0.02,
             qPrintable(QStringLiteral("%1: almost empty (%2 visible)").arg(what).arg(l.coverage)));
}

// Pixels of a strong, clearly coloured paint: what the level pictures fill in.
int colouredPixels(const QImage &image)
{
    const QImage img = image.convertToFormat(QImage::Format_ARGB32);
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = QColor::fromRgba(img.pixel(x, y));
            if (c.alpha() > 200 && c.hsvSaturation() > 120 && c.value() > 100)
                ++n;
        }
    return n;
}

} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The resources live in the static core library; nothing else references them.
        Q_INIT_RESOURCE(torquedesk);
        QVERIFY(QDir(QStringLiteral(":/resource/images")).exists());
    }

    void stills_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : kStills)
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void stills()
    {
        QFETCH(QString, name);
        verifyPicture(QImage(resourcePath(name)), name);
    }

    void nothingStrayInTheResources()
    {
        // Whatever else is there must at least be a loadable picture.
        QSet<QString> known;
        for (const char *n : kStills)
            known.insert(QString::fromLatin1(n));
        for (const char *n : kAnimations)
            known.insert(QString::fromLatin1(n));
        const QStringList present = QDir(QStringLiteral(":/resource/images")).entryList(QDir::Files);
        for (const QString &name : present)
            if (!known.contains(name))
                verifyPicture(QImage(resourcePath(name)), name);
    }

    void levelsAreTellable()
    {
        // Each level must look different from its neighbours, and more filled means more.
        QVector<int> battery;
        QVector<QImage> batteryImages;
        for (int level = 0; level <= 5; ++level) {
            batteryImages.append(QImage(resourcePath(QStringLiteral("bat_lvl%1.png").arg(level))));
            battery.append(colouredPixels(batteryImages.last()));
        }
        for (int level = 1; level <= 5; ++level) {
            QVERIFY(batteryImages[level] != batteryImages[level - 1]);
            if (level >= 2)
                QVERIFY2(battery[level] > battery[level - 1],
                         qPrintable(QStringLiteral("battery %1: %2 vs %3").arg(level).arg(battery[level]).arg(battery[level - 1])));
        }

        QVector<int> wifi;
        QVector<QImage> wifiImages;
        for (int level = 0; level <= 3; ++level) {
            wifiImages.append(QImage(resourcePath(QStringLiteral("wifi_lvl%1.png").arg(level))));
            wifi.append(colouredPixels(wifiImages.last()));
        }
        for (int level = 1; level <= 3; ++level) {
            QVERIFY(wifiImages[level] != wifiImages[level - 1]);
            if (level >= 2)
                QVERIFY2(wifi[level] > wifi[level - 1],
                         qPrintable(QStringLiteral("wifi %1: %2 vs %3").arg(level).arg(wifi[level]).arg(wifi[level - 1])));
        }

        const QImage cw(resourcePath(QStringLiteral("rotate1a.png")));
        const QImage ccw(resourcePath(QStringLiteral("rotate2a.png")));
        QVERIFY(cw != ccw);
    }

    void animations_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : kAnimations)
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void animations()
    {
        QFETCH(QString, name);
        QMovie movie(resourcePath(name));
        QVERIFY2(movie.isValid(), qPrintable(name));
        QVERIFY2(movie.frameCount() > 1, qPrintable(QString::number(movie.frameCount())));
        QCOMPARE(movie.loopCount(), -1);
        QImage first;
        bool moves = false;
        for (int i = 0; i < movie.frameCount(); ++i) {
            QVERIFY(movie.jumpToFrame(i));
            const QImage frame = movie.currentImage();
            verifyPicture(frame, QStringLiteral("%1 frame %2").arg(name).arg(i));
            QVERIFY(movie.nextFrameDelay() >= 20 && movie.nextFrameDelay() <= 200);
            if (i == 0)
                first = frame;
            else if (frame != first)
                moves = true;
        }
        QVERIFY2(moves, "all frames are the same");
    }

    void popupPicturesBesideTheProgram_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("warning") << QStringLiteral("warning_128.png");
        QTest::newRow("help") << QStringLiteral("help_128.png");
    }

    void popupPicturesBesideTheProgram()
    {
        QFETCH(QString, name);
        const QString root = qEnvironmentVariable("TD_BUILD_DIR", QDir::currentPath());
        const QImage img(root + QStringLiteral("/png/") + name);
        verifyPicture(img, name);
        QCOMPARE(img.size(), QSize(128, 128));
    }

    void font()
    {
        const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/resource/fonts/Roboto-Light.ttf"));
        QVERIFY(id >= 0);
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        QVERIFY(!families.isEmpty());
        QVERIFY2(families.first().startsWith(QLatin1String("Roboto")), qPrintable(families.first()));
    }
};

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
