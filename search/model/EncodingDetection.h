// Encoding detection: a guess of a text's encoding from its first 64 KiB.
//
// The guess is a codec name: "UTF-16BE", "UTF-16LE", "UTF-8", "BINARY" (not text; do not search),
// the name of a legacy 8-bit or multi-byte encoding (as QTextCodec names it: "windows-1251",
// "KOI8-R", "Shift_JIS", "GB18030", "Big5", ...) or "" (use the local encoding). On Linux the
// local encoding is the locale's codec (QTextCodec::codecForLocale, usually UTF-8); a
// QTextStream without a codec already uses it, so callers leave the codec unset for "".
//
// A window of 64 KiB, not a few bytes: in many texts (manual pages, logs, source files) the
// first byte above 127 comes after hundreds of ASCII bytes.
//
// Order of the tests: byte-order marks; UTF-16 without a mark, recognised by blanks (0x20) that
// stand beside a 0 byte (a clear majority of one byte order; then "BINARY" when non-printable
// units outnumber printable ones three to one); a 0 byte anywhere in the window: UTF-16 when the
// whole window reads as UTF-16 text (looksLikeUtf16), else "BINARY" (so an executable or a
// shared object whose bytes happen to be valid UTF-8 is never text); UTF-8 with at least one
// multi-byte sequence; "" for ASCII; UTF-16 without 0 bytes and without blanks (Chinese,
// Japanese, Korean: nearly every unit an ideograph, kana, hangul or ASCII); then the guess of
// uchardet (Debian's universal charset detector) over the window; without one, the legacy
// encoding of the user's language (legacyEncodingOfLanguage) where the locale is UTF-8 (a
// UTF-8 locale has no 8-bit encoding of its own), else "" (the locale's own 8-bit encoding).
//
// A multi-byte UTF-8 sequence cut by the end of the window is completed from the bytes
// that follow it (peeked, so the device position is unchanged): a UTF-8 text is recognised
// whatever character straddles the window's end. A sequence cut by the end of the text fails the
// UTF-8 test. Overlong forms and surrogate code points pass.
#pragma once

#include <QString>

class QIODevice;
class QLocale;

// Number of bytes the guess is made from.
constexpr int EncodingWindow = 64 * 1024;

// Seeks the device to 0 (when it can seek), reads up to EncodingWindow bytes and returns the
// guess. The device is left after the bytes read.
QString detectEncoding(QIODevice* device);

// Opens the file read-only and returns its guess; "" when it cannot be opened or is not a regular
// file (a FIFO, socket or device is never read: opening a FIFO would wait for a writer).
QString detectFileEncoding(const QString& path);

// The 8-bit (or, for Chinese, Japanese and Korean, multi-byte) encoding that texts in the
// locale's language were kept in before UTF-8: "windows-1251" for Russian, "Shift_JIS" for
// Japanese, "windows-1252" for the languages of Western Europe and any other.
QString legacyEncodingOfLanguage(const QLocale& locale);

// True when no byte of the NUL-terminated string is 128 or above (the empty string is ASCII).
bool isAscii(const char* s);
