// The GIF encoder of the picture generator, checked against Qt's own GIF reader: what we
// write must decode to exactly the pixels we meant, across LZW table resets and code widths.

#include "GifWriter.h"

#include <QBuffer>
#include <QImageReader>
#include <QMovie>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QVector<QImage> decode(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    QVector<QImage> frames;
    for (;;) {
        QImage img = reader.read();
        if (img.isNull())
            break;
        frames.append(img.convertToFormat(QImage::Format_ARGB32));
    }
    return frames;
}

// Frames whose colours fit one palette, so decoding must give them back exactly.
QVector<QImage> paletteFrames(QSize size, int frameCount, int colours, bool holes, quint32 seed)
{
    QRandomGenerator rng(seed);
    QVector<QRgb> palette;
    for (int i = 0; i < colours; ++i)
        palette.append(qRgb(int(rng.bounded(256)), int(rng.bounded(256)), int(rng.bounded(256))));
    QVector<QImage> frames;
    for (int f = 0; f < frameCount; ++f) {
        QImage img(size, QImage::Format_ARGB32);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                const bool hole = holes && rng.bounded(5) == 0;
                img.setPixel(x, y, hole ? 0u : palette[int(rng.bounded(colours))]);
            }
        frames.append(img);
    }
    return frames;
}

// Number of pixels that differ (opaque colour, or transparent vs opaque).
int mismatches(const QImage &expected, const QImage &actual)
{
    int bad = 0;
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x) {
            const QRgb e = expected.pixel(x, y);
            const QRgb a = actual.pixel(x, y);
            if (qAlpha(e) == 0 ? qAlpha(a) != 0 : (a != e))
                ++bad;
        }
    return bad;
}

// A strict reference decoder: refuses codes it does not know yet, and wants the end code
// right after the data with nothing but padding bits behind it. Qt's reader is more
// forgiving (it stops once the frame is full), so this catches what Qt would hide.
bool lzwDecodeStrict(const QByteArray &data, int minCodeSize, QByteArray *out)
{
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    QVector<QByteArray> table;
    int width = 0;
    int prev = -1;
    auto reset = [&] {
        table.clear();
        for (int i = 0; i < clearCode; ++i)
            table.append(QByteArray(1, char(i)));
        table.append(QByteArray()); // clear
        table.append(QByteArray()); // end
        width = minCodeSize + 1;
        prev = -1;
    };
    reset();
    const qint64 totalBits = qint64(data.size()) * 8;
    qint64 pos = 0;
    for (;;) {
        if (pos + width > totalBits)
            return false;
        int code = 0;
        for (int i = 0; i < width; ++i, ++pos)
            if ((uchar(data[int(pos / 8)]) >> (pos % 8)) & 1)
                code |= 1 << i;
        if (code == clearCode) {
            reset();
            continue;
        }
        if (code == endCode)
            return totalBits - pos < 8;
        QByteArray entry;
        if (code < clearCode || (code > endCode && code < table.size()))
            entry = table[code];
        else if (code == table.size() && prev >= 0)
            entry = table[prev] + table[prev][0];
        else
            return false;
        out->append(entry);
        if (prev >= 0 && table.size() < 4096)
            table.append(table[prev] + entry[0]);
        prev = code;
        if (table.size() == (1 << width) && width < 12)
            ++width;
    }
}

} // namespace

class TestGifWriter : public QObject
{
    Q_OBJECT

private slots:
    void exactRoundTrip_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("frames");
        QTest::addColumn<int>("colours");
        QTest::addColumn<bool>("holes");
        // Noise defeats LZW, so the 12-bit table fills and is cleared many times.
        QTest::newRow("noise, 255 colours, transparency") << QSize(160, 120) << 3 << 255 << true;
        QTest::newRow("noise, 256 colours, opaque") << QSize(256, 256) << 2 << 256 << false;
        // One colour: ever longer runs, each new code one pixel longer.
        QTest::newRow("one colour") << QSize(300, 200) << 2 << 1 << false;
        QTest::newRow("two colours with holes") << QSize(97, 61) << 2 << 2 << true;
        QTest::newRow("five colours") << QSize(33, 17) << 4 << 5 << false;
        QTest::newRow("single pixel") << QSize(1, 1) << 2 << 1 << false;
        QTest::newRow("one long row") << QSize(5000, 1) << 1 << 40 << true;
    }

    void exactRoundTrip()
    {
        QFETCH(QSize, size);
        QFETCH(int, frames);
        QFETCH(int, colours);
        QFETCH(bool, holes);
        const QVector<QImage> source = paletteFrames(size, frames, colours, holes, 1234u + colours);
        const QByteArray bytes = gif::encode(source);
        QVERIFY(bytes.startsWith("GIF89a"));
        QCOMPARE(bytes.back(), char(0x3b));

        const QVector<QImage> decoded = decode(bytes);
        QCOMPARE(decoded.size(), frames);
        for (int f = 0; f < frames; ++f) {
            QCOMPARE(decoded[f].size(), size);
            QCOMPARE(mismatches(source[f], decoded[f]), 0);
        }
    }

    void manyColoursAreReducedClosely()
    {
        // 4096 colours in smooth ramps: the median cut must keep every pixel near its colour.
        QImage img(64, 64, QImage::Format_ARGB32);
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                img.setPixel(x, y, qRgb(x * 4, y * 4, 255 - (x + y) * 2));
        const QVector<QImage> decoded = decode(gif::encode({img}));
        QCOMPARE(decoded.size(), 1);
        int worst = 0;
        qint64 total = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const QRgb a = img.pixel(x, y), b = decoded[0].pixel(x, y);
                const int d = qMax(qAbs(qRed(a) - qRed(b)),
                                   qMax(qAbs(qGreen(a) - qGreen(b)), qAbs(qBlue(a) - qBlue(b))));
                worst = qMax(worst, d);
                total += d;
            }
        QVERIFY2(worst <= 24, qPrintable(QString::number(worst)));
        QVERIFY2(total / (64 * 64) <= 6, qPrintable(QString::number(total / (64 * 64))));

        const QVector<QRgb> palette = gif::reducePalette({{qRgb(1, 2, 3), 5}, {qRgb(200, 100, 0), 1}}, 8);
        QCOMPARE(palette.size(), 2);
    }

    void softEdgesBlendOntoTheMatte()
    {
        QImage img(4, 1, QImage::Format_ARGB32);
        img.setPixel(0, 0, qRgba(255, 0, 0, 255));
        img.setPixel(1, 0, qRgba(255, 0, 0, 200)); // kept, blended
        img.setPixel(2, 0, qRgba(255, 0, 0, 100)); // below the threshold: transparent
        img.setPixel(3, 0, qRgba(0, 0, 0, 0));
        gif::Options options;
        options.matte = qRgb(0, 0, 255);
        const QVector<QImage> decoded = decode(gif::encode({img}, options));
        QCOMPARE(decoded.size(), 1);
        const QImage &d = decoded[0];
        QCOMPARE(d.pixel(0, 0), qRgb(255, 0, 0));
        const QRgb blended = d.pixel(1, 0);
        QCOMPARE(qAlpha(blended), 255);
        QVERIFY(qAbs(qRed(blended) - 200) <= 1);
        QCOMPARE(qGreen(blended), 0);
        QVERIFY(qAbs(qBlue(blended) - 55) <= 1);
        QCOMPARE(qAlpha(d.pixel(2, 0)), 0);
        QCOMPARE(qAlpha(d.pixel(3, 0)), 0);
    }

    void loopsAndTimesInQMovie()
    {
        // The program plays these files from QMovie, so check them the way it will use them.
        const QVector<QImage> frames = paletteFrames(QSize(40, 30), 4, 12, true, 99u);
        gif::Options options;
        options.delayCs = 7;
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("anim.gif"));
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(gif::encode(frames, options));
        }
        QMovie movie(path);
        QVERIFY(movie.isValid());
        QCOMPARE(movie.frameCount(), 4);
        QCOMPARE(movie.loopCount(), -1); // for ever
        for (int i = 0; i < 4; ++i) {
            QVERIFY(movie.jumpToFrame(i));
            QCOMPARE(movie.nextFrameDelay(), 70);
            QCOMPARE(mismatches(frames[i], movie.currentImage().convertToFormat(QImage::Format_ARGB32)), 0);
        }

        // A still picture saved by QImage::save plays as a one-frame movie too.
        const QString png = dir.filePath(QStringLiteral("still.png"));
        QVERIFY(frames[0].save(png, "PNG"));
        QMovie still(png);
        QVERIFY(still.isValid());
        QVERIFY(still.jumpToFrame(0));
        QCOMPARE(still.currentImage().size(), QSize(40, 30));
    }

    void refusesWhatItCannotEncode()
    {
        QVERIFY(gif::encode({}).isEmpty());
        QVERIFY(gif::encode({QImage()}).isEmpty());
        QImage a(10, 10, QImage::Format_ARGB32), b(10, 11, QImage::Format_ARGB32);
        a.fill(Qt::red);
        b.fill(Qt::red);
        QVERIFY(gif::encode({a, b}).isEmpty());
        QVERIFY(gif::encode({QImage(70000, 1, QImage::Format_ARGB32)}).isEmpty());
    }

    void lzwStreamsEndExactly()
    {
        // Every short length, so the end code lands on each code-width boundary, then
        // longer ones that run through table resets.
        QRandomGenerator rng(7);
        QVector<int> lengths;
        for (int len = 0; len < 700; ++len)
            lengths << len;
        for (int len = 700; len < 6000; len += 97)
            lengths << len;
        lengths << 60000;
        for (int minCodeSize : {2, 4, 8}) {
            const int alphabet = 1 << minCodeSize;
            QByteArray noise, runs;
            for (int i = 0; i < 60000; ++i) {
                noise.append(char(rng.bounded(alphabet)));
                runs.append(char((i / 37) % 2));
            }
            for (int len : lengths) {
                for (const QByteArray *src : {&noise, &runs}) {
                    const QByteArray in = src->left(len);
                    QByteArray out;
                    QVERIFY2(lzwDecodeStrict(gif::lzwCompress(in, minCodeSize), minCodeSize, &out),
                             qPrintable(QStringLiteral("min %1, length %2").arg(minCodeSize).arg(len)));
                    QCOMPARE(out, in);
                }
            }
        }
    }
};

QTEST_MAIN(TestGifWriter)
#include "tst_gifwriter.moc"
