#pragma once

#include "history/HistoryArchiver.h"

class KeyModel;

// Who measured with what, as the key in use has told it: its serial, name, operator, unit and
// the calibration in force. Empty serial until the key's settings have arrived.
HistoryArchiver::Context keyContext(const KeyModel &key);
