#pragma once

#include <functional>

// The link the key in use speaks over. KeyConnection alone decides it from what the links
// report; the links and the protocol layer below it only read it, through a source the key
// connection hands them, so no copy of it can drift from the one that is announced.
enum class LinkMode { None = 0, Usb = 1, Wifi = 2 };

using LinkModeSource = std::function<LinkMode()>;
