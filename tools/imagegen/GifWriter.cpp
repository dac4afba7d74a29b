#include "GifWriter.h"

#include <QHash>

#include <algorithm>
#include <climits>
#include <array>

namespace gif {

namespace {

constexpr int kMaxCode = 4095; // 12-bit codes

void put16(QByteArray &out, int value)
{
    out.append(char(value & 0xff));
    out.append(char((value >> 8) & 0xff));
}

class BitWriter
{
public:
    explicit BitWriter(QByteArray &out) : m_out(out) {}

    void write(int code, int width)
    {
        m_acc |= quint32(code) << m_bits;
        m_bits += width;
        while (m_bits >= 8) {
            m_out.append(char(m_acc & 0xff));
            m_acc >>= 8;
            m_bits -= 8;
        }
    }

    void flush()
    {
        if (m_bits > 0)
            m_out.append(char(m_acc & 0xff));
        m_acc = 0;
        m_bits = 0;
    }

private:
    QByteArray &m_out;
    quint32 m_acc = 0;
    int m_bits = 0;
};

struct Entry
{
    std::array<int, 3> c; // r, g, b
    int count;
};

int channelRange(const QVector<Entry> &e, int begin, int end, int ch)
{
    int lo = 255, hi = 0;
    for (int i = begin; i < end; ++i) {
        lo = std::min(lo, e[i].c[ch]);
        hi = std::max(hi, e[i].c[ch]);
    }
    return hi - lo;
}

int bitsFor(int count)
{
    int bits = 1;
    while ((1 << bits) < count)
        ++bits;
    return bits;
}

int nearest(const QVector<QRgb> &palette, QRgb c)
{
    int best = 0;
    int bestDist = INT_MAX;
    for (int i = 0; i < palette.size(); ++i) {
        const int dr = qRed(palette[i]) - qRed(c);
        const int dg = qGreen(palette[i]) - qGreen(c);
        const int db = qBlue(palette[i]) - qBlue(c);
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDist) {
            bestDist = d;
            best = i;
        }
    }
    return best;
}

} // namespace

QByteArray lzwCompress(const QByteArray &indices, int minCodeSize)
{
    const int clearCode = 1 << minCodeSize;
    const int endCode = clearCode + 1;
    QByteArray out;
    BitWriter bits(out);
    QHash<quint32, int> table;
    int next = 0;
    int width = 0;
    auto reset = [&] {
        table.clear();
        next = endCode + 1;
        width = minCodeSize + 1;
    };
    reset();
    bits.write(clearCode, width);
    if (indices.isEmpty()) {
        bits.write(endCode, width);
        bits.flush();
        return out;
    }

    int prefix = uchar(indices[0]);
    for (int i = 1; i < indices.size(); ++i) {
        const int k = uchar(indices[i]);
        const quint32 key = (quint32(prefix) << 8) | quint32(k);
        const auto it = table.constFind(key);
        if (it != table.cend()) {
            prefix = it.value();
            continue;
        }
        bits.write(prefix, width);
        const int code = next++;
        table.insert(key, code);
        // The decoder learns each entry one code later than we do, so it widens its codes
        // exactly when our newest code no longer fits; a full table is cleared at once,
        // before any 4096th entry could be needed.
        if (code == kMaxCode) {
            bits.write(clearCode, width);
            reset();
        } else if (code >= (1 << width)) {
            ++width;
        }
        prefix = k;
    }
    bits.write(prefix, width);
    // Reading that last code makes the decoder add one more entry; if that fills the current
    // width it reads the end code one bit wider.
    if (next == (1 << width) && width < 12)
        ++width;
    bits.write(endCode, width);
    bits.flush();
    return out;
}

QVector<QRgb> reducePalette(const QVector<QPair<QRgb, int>> &histogram, int maxColors)
{
    QVector<QRgb> palette;
    if (histogram.isEmpty() || maxColors < 1)
        return palette;
    if (histogram.size() <= maxColors) {
        for (const auto &h : histogram)
            palette.append(h.first | 0xff000000u);
        return palette;
    }

    QVector<Entry> e;
    e.reserve(histogram.size());
    for (const auto &h : histogram)
        e.append(Entry{{qRed(h.first), qGreen(h.first), qBlue(h.first)}, std::max(1, h.second)});

    struct Box
    {
        int begin, end;
    };
    QVector<Box> boxes{{0, int(e.size())}};
    while (boxes.size() < maxColors) {
        // Split the box with the widest spread on any channel; that is where one
        // representative colour would be most wrong.
        int pick = -1, pickCh = 0, pickRange = 0;
        for (int b = 0; b < boxes.size(); ++b) {
            if (boxes[b].end - boxes[b].begin < 2)
                continue;
            for (int ch = 0; ch < 3; ++ch) {
                const int r = channelRange(e, boxes[b].begin, boxes[b].end, ch);
                if (r > pickRange) {
                    pickRange = r;
                    pick = b;
                    pickCh = ch;
                }
            }
        }
        if (pick < 0)
            break;
        const Box box = boxes[pick];
        std::sort(e.begin() + box.begin, e.begin() + box.end,
                  [pickCh](const Entry &a, const Entry &b) { return a.c[pickCh] < b.c[pickCh]; });
        qint64 total = 0;
        for (int i = box.begin; i < box.end; ++i)
            total += e[i].count;
        qint64 acc = 0;
        int cut = box.begin + 1;
        for (int i = box.begin; i < box.end - 1; ++i) {
            acc += e[i].count;
            cut = i + 1;
            if (acc * 2 >= total)
                break;
        }
        boxes[pick] = Box{box.begin, cut};
        boxes.append(Box{cut, box.end});
    }

    for (const Box &b : boxes) {
        qint64 sum[3] = {0, 0, 0};
        qint64 n = 0;
        for (int i = b.begin; i < b.end; ++i) {
            for (int ch = 0; ch < 3; ++ch)
                sum[ch] += qint64(e[i].c[ch]) * e[i].count;
            n += e[i].count;
        }
        palette.append(qRgb(int((sum[0] + n / 2) / n), int((sum[1] + n / 2) / n),
                            int((sum[2] + n / 2) / n)));
    }
    return palette;
}

QByteArray encode(const QVector<QImage> &frames, const Options &options)
{
    if (frames.isEmpty())
        return {};
    const QSize size = frames.first().size();
    if (size.isEmpty() || size.width() > 0xffff || size.height() > 0xffff)
        return {};

    // Flatten every frame to opaque colours or "transparent" first, so the palette is built
    // from what will actually be shown.
    const QRgb transparentMark = 0x00000000u;
    QVector<QVector<QRgb>> flat;
    QHash<QRgb, int> counts;
    bool anyTransparent = false;
    for (const QImage &frame : frames) {
        if (frame.size() != size)
            return {};
        const QImage img = frame.convertToFormat(QImage::Format_ARGB32);
        QVector<QRgb> px;
        px.reserve(size.width() * size.height());
        for (int y = 0; y < size.height(); ++y) {
            const QRgb *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
            for (int x = 0; x < size.width(); ++x) {
                const QRgb c = line[x];
                const int a = qAlpha(c);
                if (a < options.alphaThreshold) {
                    px.append(transparentMark);
                    anyTransparent = true;
                    continue;
                }
                auto blend = [a](int fg, int bg) { return (fg * a + bg * (255 - a) + 127) / 255; };
                const QRgb o = qRgb(blend(qRed(c), qRed(options.matte)),
                                    blend(qGreen(c), qGreen(options.matte)),
                                    blend(qBlue(c), qBlue(options.matte)));
                px.append(o);
                ++counts[o];
            }
        }
        flat.append(px);
    }

    QVector<QPair<QRgb, int>> histogram;
    histogram.reserve(counts.size());
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        histogram.append({it.key(), it.value()});
    // Hash order varies between runs; sorting keeps the output byte-identical.
    std::sort(histogram.begin(), histogram.end(),
              [](const QPair<QRgb, int> &a, const QPair<QRgb, int> &b) { return a.first < b.first; });
    QVector<QRgb> palette = reducePalette(histogram, anyTransparent ? 255 : 256);
    if (palette.isEmpty())
        palette.append(options.matte | 0xff000000u);
    const int transparentIndex = anyTransparent ? palette.size() : -1;
    const int tableBits = bitsFor(palette.size() + (anyTransparent ? 1 : 0));
    const int minCodeSize = std::max(2, tableBits);

    QHash<QRgb, int> indexOf;
    for (const auto &h : histogram)
        indexOf.insert(h.first, nearest(palette, h.first));

    QByteArray out("GIF89a");
    put16(out, size.width());
    put16(out, size.height());
    out.append(char(0x80 | (7 << 4) | (tableBits - 1))); // global table, 8-bit colour resolution
    out.append(char(0));                                 // background index
    out.append(char(0));                                 // no aspect ratio
    for (int i = 0; i < (1 << tableBits); ++i) {
        const QRgb c = i < palette.size() ? palette[i] : options.matte;
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }

    // NETSCAPE2.0 application extension: the loop count.
    out.append("\x21\xff\x0b", 3);
    out.append("NETSCAPE2.0");
    out.append("\x03\x01", 2);
    put16(out, std::clamp(options.loopCount, 0, 0xffff));
    out.append(char(0));

    for (const QVector<QRgb> &px : flat) {
        // Graphic control: every frame covers the whole canvas; with transparency the canvas
        // is cleared between frames so no earlier frame shows through.
        out.append("\x21\xf9\x04", 3);
        out.append(char(anyTransparent ? ((2 << 2) | 1) : (1 << 2)));
        put16(out, std::clamp(options.delayCs, 0, 0xffff));
        out.append(char(anyTransparent ? transparentIndex : 0));
        out.append(char(0));

        out.append(char(0x2c));
        put16(out, 0);
        put16(out, 0);
        put16(out, size.width());
        put16(out, size.height());
        out.append(char(0)); // no local table, not interlaced

        QByteArray indices;
        indices.resize(px.size());
        for (int i = 0; i < px.size(); ++i)
            indices[i] = char(px[i] == transparentMark ? transparentIndex : indexOf.value(px[i]));

        const QByteArray data = lzwCompress(indices, minCodeSize);
        out.append(char(minCodeSize));
        for (int pos = 0; pos < data.size(); pos += 255) {
            const int n = std::min(255, int(data.size()) - pos);
            out.append(char(n));
            out.append(data.constData() + pos, n);
        }
        out.append(char(0));
    }
    out.append(char(0x3b));
    return out;
}

} // namespace gif
