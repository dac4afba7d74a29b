#include "KeyFaults.h"

#include "link/SlipCodec.h"

namespace keysim {

FaultCounter::FaultCounter(const FaultSettings &settings)
    : m_settings(settings)
{
}

FaultCounter::Fate FaultCounter::nextReply()
{
    ++m_replies;
    // Dropping wins when both knobs hit the same reply: a lost frame cannot also be corrupt.
    if (m_settings.dropEvery > 0 && m_replies % quint64(m_settings.dropEvery) == 0) {
        ++m_dropped;
        return Fate::Drop;
    }
    if (m_settings.corruptEvery > 0 && m_replies % quint64(m_settings.corruptEvery) == 0) {
        ++m_corrupted;
        return Fate::Corrupt;
    }
    return Fate::Send;
}

QByteArray corruptFrameCrc(const QByteArray &frame)
{
    // Layout: END, stuffed body, stuffed CRC (one byte, or ESC plus one), END.
    const int n = frame.size();
    if (n < 3 || uchar(frame.at(n - 1)) != SlipCodec::END)
        return frame;
    int crcStart = n - 2;
    uchar crc = uchar(frame.at(n - 2));
    if (n >= 4 && uchar(frame.at(n - 3)) == SlipCodec::ESC
        && (crc == SlipCodec::ESC_END || crc == SlipCodec::ESC_ESC)) {
        crcStart = n - 3;
        crc = crc == SlipCodec::ESC_END ? SlipCodec::END : SlipCodec::ESC;
    }
    if (crcStart < 1)
        return frame;
    const uchar wrong = crc ^ 0x5A;
    QByteArray out = frame.left(crcStart);
    if (wrong == SlipCodec::END) {
        out.append(char(SlipCodec::ESC));
        out.append(char(SlipCodec::ESC_END));
    } else if (wrong == SlipCodec::ESC) {
        out.append(char(SlipCodec::ESC));
        out.append(char(SlipCodec::ESC_ESC));
    } else {
        out.append(char(wrong));
    }
    out.append(char(SlipCodec::END));
    return out;
}

} // namespace keysim
