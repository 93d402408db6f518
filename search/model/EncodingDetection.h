// Encoding detection: a guess of a text's encoding from its first 128 bytes.
//
// The guess is a codec name: "UTF-16BE", "UTF-16LE", "UTF-8", "BINARY" (not text; do not search)
// or "" (use the local 8-bit encoding). On Linux the local 8-bit encoding is the locale's codec
// (QTextCodec::codecForLocale, usually UTF-8); a QTextStream without a codec already uses it, so
// callers leave the codec unset for "". Where the locale is UTF-8, a window with bytes above 127
// that are not UTF-8 gives "windows-1252" instead: a UTF-8 locale has no 8-bit encoding, and
// such a text would otherwise be read as replacement characters.
//
// Order of the tests: byte-order marks; UTF-16 without a mark, recognised by blanks (0x20) that
// stand beside a 0 byte (a clear majority of one byte order; then "BINARY" when non-printable
// units outnumber printable ones three to one); UTF-8 with at least one multi-byte sequence;
// "BINARY" when a 0 byte is present; "windows-1252" as said above; else "".
//
// A multi-byte UTF-8 sequence cut by the end of the 128-byte window is completed from the bytes
// that follow it (peeked, so the device position is unchanged): a UTF-8 text is recognised
// whatever character straddles the window's end. A sequence cut by the end of the text fails the
// UTF-8 test. Overlong forms and surrogate code points pass.
#pragma once

#include <QString>

class QIODevice;

// Number of bytes the guess is made from.
constexpr int EncodingWindow = 128;

// Seeks the device to 0 (when it can seek), reads up to 128 bytes and returns the guess. The
// device is left after the bytes read.
QString detectEncoding(QIODevice* device);

// Opens the file read-only and returns its guess; "" when it cannot be opened or is not a regular
// file (a FIFO, socket or device is never read: opening a FIFO would wait for a writer).
QString detectFileEncoding(const QString& path);

// True when no byte of the NUL-terminated string is 128 or above (the empty string is ASCII).
bool isAscii(const char* s);
