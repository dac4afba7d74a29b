#pragma once

#include <QString>

namespace td {

// A number as the key showed it. The key measures in single precision, so 305.92 arrives as
// 305.920013427734375: a value that is exactly a float is written with the fewest digits that
// read back as that float; any other double keeps every digit it needs. Every file and message
// that carries the key's readings (DFQ, MQTT) writes them through this one function, so they
// agree with each other and with the key's display.
QString keyNumberText(double v);

} // namespace td
