// TextLimits: the bounds that every converter and filter of the text extraction holds to for
// one document, in one place.
//
// A small document can ask for gigabytes of text: a shared string of 30,000 characters
// referenced 100,000 times, a run of a million spaces repeated, two thousand pages drawing one
// content stream. So:
// - kMaxTextBytes: the text written for one document (bytes of text, not counting a leading
//   byte-order mark). A converter or filter that reaches it stops there, keeps the text up to
//   the bound (never half a UTF-16 unit or half a surrogate pair), logs the warning of
//   cutMessage() and reports the conversion as successful with the text it has. Converters
//   take a smaller bound through ToPlainTextConverter::setTextLimit, the filter extraction
//   through its `maxTextBytes` argument (tests).
// - kTimeLimitSeconds: how long the external program converting one document may run (the
//   helper's filters and the PDF converter); past it the program is killed, its partial text
//   removed and the conversion fails.
#pragma once

#include <QString>
#include <QtGlobal>

namespace TextLimits {

constexpr qint64 kMaxTextBytes = qint64(256) * 1024 * 1024;
constexpr int kTimeLimitSeconds = 50;

// The warning logged when the text of `path` was cut at `limit` bytes.
inline QString cutMessage(const QString& path, qint64 limit)
{
    return QStringLiteral("The text of %1 exceeds %2 bytes; it is kept up to there").arg(path).arg(limit);
}

// How many of the `count` UTF-16 units at `units` fit into `room` bytes without splitting a
// surrogate pair.
inline qint64 unitsThatFit(const char16_t* units, qint64 count, qint64 room)
{
    qint64 n = qBound<qint64>(0, room / 2, count);
    if (n > 0 && n < count && units[n - 1] >= 0xD800 && units[n - 1] <= 0xDBFF)
        --n; // the pair's high half without its low half
    return n;
}

} // namespace TextLimits
