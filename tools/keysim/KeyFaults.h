#pragma once

#include <QByteArray>

namespace keysim {

// The misbehaviour a test can order from the emulated key. Zero (or a negative time) means
// the fault is off.
struct FaultSettings
{
    int latencyMs = 0;      // every frame leaves this much later
    int dropEvery = 0;      // the Nth, 2Nth, ... reply is never sent
    int corruptEvery = 0;   // the Nth, 2Nth, ... reply goes out with a wrong CRC
    int silentAfterMs = -1; // from then on nothing is answered or sent
    int unplugAfterMs = -1; // then the line goes away
    int baud = 0;           // output paced at this line rate, 10 bits per byte
};

// Counts replies and decides the fate of each. Only replies are counted: the key's own
// notifications pass unharmed, so a test can tell exactly which request lost its answer.
class FaultCounter
{
public:
    enum class Fate { Send, Drop, Corrupt };

    explicit FaultCounter(const FaultSettings &settings = {});

    Fate nextReply();
    quint64 replies() const { return m_replies; }
    quint64 dropped() const { return m_dropped; }
    quint64 corrupted() const { return m_corrupted; }

private:
    FaultSettings m_settings;
    quint64 m_replies = 0;
    quint64 m_dropped = 0;
    quint64 m_corrupted = 0;
};

// The same SLIP frame with its CRC byte changed, still correctly stuffed, so the receiver
// takes the whole frame and then rejects it on the CRC. A frame too short to hold a CRC
// comes back unchanged.
QByteArray corruptFrameCrc(const QByteArray &frame);

} // namespace keysim
