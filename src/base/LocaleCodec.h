#pragma once

class QTextCodec;

namespace td {

// Whether the system's own 8-bit encoding is a code page (Windows) rather than UTF-8.
bool systemUsesCodePages();

// The codec for file names, the terminal and 8-bit key texts: Windows Cyrillic (CP-1251)
// where the system itself works in code pages, UTF-8 everywhere else. Forcing the code page
// onto a UTF-8 system would turn every Cyrillic file name (a Russian user's home folder) and
// every Russian log line into something else.
QTextCodec *localeCodecFor(bool codePageSystem);

// Installs localeCodecFor(systemUsesCodePages()) as the locale codec.
void setupLocaleCodec();

} // namespace td
