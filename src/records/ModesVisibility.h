#pragma once

#include "records/RecordParameters.h"

#include <QByteArray>
#include <QVector>

#include <array>

// Which algorithms the key offers in each of its modes, and which parameter fields each
// algorithm uses; read from the key's "ModesVisibility" file in its "templates" folder.
//
// Layout used here: bytes 0..49 availability (mode m, algorithm a at 10*m + a; non-zero =
// offered), byte 50 kept but not interpreted, bytes 51..130 visibility (row a of 8 bytes for
// algorithm a, columns in RecordParameter order, non-zero = shown). The rest of the 561-byte
// file is the key's.
//
// Until a file has arrived (or when the one that arrived is too short to hold both tables)
// every algorithm is offered in every mode and every field is shown, so nothing the user
// may need is hidden by a missing file.
class ModesVisibility
{
public:
    static constexpr int FileSize = 561;
    static constexpr int UsedSize = 131;
    static constexpr int Modes = 5;      // "Basic", "Assembly", "Control", "Control+", "Axial force"
    static constexpr int RowSize = 8;

    ModesVisibility();

    // Takes the tables from a received file. Returns false and keeps the current tables
    // when bytes is shorter than the 131 bytes the tables need.
    bool load(const QByteArray &bytes);
    bool isLoaded() const { return m_loaded; }
    // Back to the everything-shown default.
    void reset();

    // A mode outside 0..4 (a key newer than this program) falls back to offering every
    // algorithm rather than none; an unknown algorithm is never offered.
    bool isAvailable(int mode, int algorithm) const;
    // Codes offered in mode, in code order (what the algorithm combos list).
    QVector<int> availableAlgorithms(int mode) const;
    // Fields outside the visibility columns (head size, bolt counts) are always shown.
    bool isVisible(int algorithm, RecordParameter p) const;
    quint8 byte50() const { return m_byte50; }

private:
    std::array<quint8, Modes * 10> m_available;
    std::array<quint8, 10 * RowSize> m_visible;
    quint8 m_byte50 = 0;
    bool m_loaded = false;
};
