#pragma once

#include <QByteArray>
#include <QImage>
#include <QRgb>
#include <QVector>

// Qt reads GIF but cannot write it, so the busy animations are encoded here: one global
// palette shared by all frames, LZW-compressed frames, an endless loop.
namespace gif {

struct Options
{
    int delayCs = 8;                    // per frame, in hundredths of a second
    QRgb matte = qRgb(240, 240, 240);   // what half-transparent edges are blended onto
    int alphaThreshold = 128;           // pixels below this alpha become the transparent index
    int loopCount = 0;                  // 0 = loop for ever
};

// Encodes frames of one size as a looping GIF89a. Returns an empty array when there is
// nothing sensible to encode (no frames, empty or mismatched sizes, larger than 65535).
QByteArray encode(const QVector<QImage> &frames, const Options &options = Options());

// The GIF flavour of LZW: variable code width from minCodeSize + 1 up to 12 bits, a clear
// code first and whenever the table fills, LSB-first bit packing. Not split into sub-blocks.
QByteArray lzwCompress(const QByteArray &indices, int minCodeSize);

// Reduces a colour histogram (opaque colours and their pixel counts) to at most maxColors
// representatives by median cut. Returns the colours unchanged when they already fit.
QVector<QRgb> reducePalette(const QVector<QPair<QRgb, int>> &histogram, int maxColors);

} // namespace gif
