#pragma once

#include <QtGlobal>

// Intervals of the firmware update, in milliseconds. The classes take them as defaults so tests
// drive the same flow with short ones.
namespace td::firmware {

constexpr int researchDelay = 5000;         // a search or flash is followed by a new search
constexpr int downloadStall = 60 * 1000;    // a download without progress this long gives up
constexpr int toolSilence = 10 * 60 * 1000; // a tool silent this long is killed
constexpr int maxRedirects = 5;
// No image for the key comes near this; a server sending more is not sending firmware.
constexpr qint64 maxImageBytes = 64LL * 1024 * 1024;

} // namespace td::firmware
