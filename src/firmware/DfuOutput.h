#pragma once

#include <QByteArray>
#include <QString>

// Everything the program concludes from the DFU tool's text output lives here, so the texts
// it depends on are read in one place.
namespace DfuOutput {

// What a device search found.
enum class Search { NoDevice, DevicePresent };

// A chunk of the tool's output as text: everything from the first NUL on is dropped (the tool
// pads some messages with NULs and garbage after them).
QString chunkText(const QByteArray &bytes);

// A search's result from its whole output. "0 Device(s) found" wins over a device line; an
// output with neither (an error, garbage) counts as no device.
Search searchResult(const QString &output);

// True only when the whole output of a flash run holds the tool's verify message.
bool flashVerified(const QString &output);
// A flash succeeded only when the tool both printed its verify message and exited with 0: an
// error after the verify (or a tool that printed the text and then failed) is no success.
bool flashSucceeded(const QString &output, int exitCode);

// The last percentage (0..100) the text shows, or -1 when it shows none.
int lastPercent(const QString &text);

} // namespace DfuOutput
