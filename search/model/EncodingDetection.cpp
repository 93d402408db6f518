#include "search/model/EncodingDetection.h"

#include "core/FileNameCodec.h"
#include "core/HandleHolder.h"

#include <QChar>
#include <QFile>
#include <QIODevice>
#include <QLocale>
#include <QTextCodec>

#include <uchardet/uchardet.h>

#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

ushort unitAt(const unsigned char* b, int k, bool bigEndian)
{
    return bigEndian ? ushort(b[k] * 256 + b[k + 1]) : ushort(b[k] + 256 * b[k + 1]);
}

// More than `most` 16-bit units of the window are controls (below 0x20 but tab, line feed,
// page end and carriage return; 0x7F to 0x9F), which no reading of the window as UTF-16 text
// takes for text: a plain loop, so that a binary window (0 units, small numbers) is refused
// before any character-class lookup.
bool controlUnitsExceed(const unsigned char* b, int n, bool bigEndian, qint64 most)
{
    qint64 controls = 0;
    for (int k = 0; k + 1 < n; k += 2) {
        const ushort u = unitAt(b, k, bigEndian);
        controls += (u < 0x20 && u != 9 && u != 10 && u != 12 && u != 13) || (u >= 0x7F && u < 0xA0);
    }
    return controls > most;
}

// UTF-16 told by its blanks (0x20 beside a 0 byte): the window must also read as text, at
// least 97 in 100 of its 16-bit units printable characters, blanks, tabs, line and page ends
// or halves of a surrogate pair. Binary data (an executable, an image) often holds such blank
// pairs, but its other units fall all over the code space: controls, unassigned and
// private-use code points, lone surrogates. Decided as soon as more than 3 in 100 units are no
// text, so a binary file is told after a few units. Gives "BINARY" or `name`.
QString utf16Guess(const unsigned char* b, int n, bool bigEndian, const char* name)
{
    const qint64 mostOther = qint64(n / 2) * 3 / 100;
    if (controlUnitsExceed(b, n, bigEndian, mostOther))
        return QStringLiteral("BINARY");
    qint64 other = 0;
    for (int k = 0; k + 1 < n; k += 2) {
        const ushort u = unitAt(b, k, bigEndian);
        if (u >= 0xD800 && u <= 0xDFFF) {
            if (u <= 0xDBFF) {
                if (k + 3 >= n)
                    continue; // the pair is cut by the end of the window
                const ushort next = unitAt(b, k + 2, bigEndian);
                if (next >= 0xDC00 && next <= 0xDFFF) {
                    k += 2;
                    continue;
                }
            }
        } else if (u == 9 || u == 10 || u == 12 || u == 13 || QChar(u).isPrint()) {
            continue;
        }
        if (++other > mostOther)
            return QStringLiteral("BINARY");
    }
    return QString::fromLatin1(name);
}

// Valid UTF-8 with at least one multi-byte sequence. A sequence that runs past the n bytes read
// is completed from `after` (the bytes that follow the window, `afterCount` of them).
bool looksLikeUtf8(const unsigned char* b, int n, const unsigned char* after, int afterCount)
{
    bool multiByte = false;
    int i = 0;
    while (i < n) {
        const unsigned char lead = b[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        int length;
        if ((lead & 0xE0) == 0xC0)
            length = 2;
        else if ((lead & 0xF0) == 0xE0)
            length = 3;
        else if ((lead & 0xF8) == 0xF0)
            length = 4;
        else
            return false; // a continuation byte, or five and more leading ones
        for (int k = 1; k < length; ++k) {
            const int at = i + k;
            unsigned char c;
            if (at < n)
                c = b[at];
            else if (at - n < afterCount)
                c = after[at - n];
            else
                return false; // the text ends inside a character
            if ((c & 0xC0) != 0x80)
                return false;
        }
        multiByte = true;
        i += length;
    }
    return multiByte;
}

// UTF-16 without a mark: nearly every 16-bit unit is a character of running text (letters,
// digits, punctuation, blanks and line ends of one script family), none is a control, an
// unpaired surrogate, a private-use or unassigned code point, and a good part of the units
// are ideographs, kana or hangul (two-byte characters whose bytes are never 0) or ASCII (whose
// high byte is 0). An 8-bit text read so gives units all over the code space.
bool looksLikeUtf16(const unsigned char* b, int n, bool bigEndian)
{
    const int units = n / 2;
    if (units < 8)
        return false;
    int text = 0, wide = 0, ascii = 0, wideHighLow = 0;
    // Units that are no text so far: past 3 in 100 of all units the answer is no, whatever
    // follows (a binary file is told after a few hundred bytes, not 64 KiB).
    const qint64 mostOther = qint64(units) * 3 / 100;
    if (controlUnitsExceed(b, n, bigEndian, mostOther))
        return false;
    for (int k = 0; k + 1 < n; k += 2) {
        if (qint64(k / 2 - text) > mostOther)
            return false;
        const ushort u = unitAt(b, k, bigEndian);
        const unsigned char low = bigEndian ? b[k + 1] : b[k];
        if (u >= 0xD800 && u <= 0xDFFF) {
            // A surrogate pair counts as text; half of one does not.
            const bool high = u <= 0xDBFF;
            if (high && k + 3 < n) {
                const ushort next = unitAt(b, k + 2, bigEndian);
                if (next >= 0xDC00 && next <= 0xDFFF) {
                    text += 2;
                    k += 2;
                }
            }
            continue;
        }
        if (u == 9 || u == 10 || u == 13 || (u >= 0x20 && u < 0x7F)) {
            ++text;
            ++ascii;
            continue;
        }
        const QChar c(u);
        if (u < 0x20 || (u >= 0x7F && u < 0xA0) || c.category() == QChar::Other_NotAssigned
            || c.category() == QChar::Other_PrivateUse)
            continue;
        if ((u >= 0x3000 && u <= 0x30FF) || (u >= 0x3400 && u <= 0x9FFF) || (u >= 0xAC00 && u <= 0xD7A3)
            || (u >= 0xFF00 && u <= 0xFFEF)) {
            ++wide;
            if (low >= 0x80)
                ++wideHighLow;
        }
        else if (!c.isLetterOrNumber() && !c.isPunct() && !c.isSpace())
            continue;
        ++text;
    }
    // Almost all text, and mostly ideographs and ASCII. ASCII letters read in pairs give
    // ideographs too, but their low bytes are never above 127, while those of real ideographs
    // are so half of the time.
    return text * 100 >= units * 97 && (wide + ascii) * 100 >= units * 90 && wide * 100 >= units * 30
           && wideHighLow * 100 >= wide * 20;
}

// The encoding uchardet sees in the bytes, as a codec name Qt knows; empty without a guess.
QString guessLegacyEncoding(const QByteArray& bytes)
{
    uchardet_t detector = uchardet_new();
    if (!detector)
        return QString();
    QString name;
    if (uchardet_handle_data(detector, bytes.constData(), size_t(bytes.size())) == 0) {
        uchardet_data_end(detector);
        name = QString::fromLatin1(uchardet_get_charset(detector));
    }
    uchardet_delete(detector);
    // ASCII and UTF-8 were ruled out before: bytes that are not valid UTF-8 are no UTF-8 text.
    if (name.isEmpty() || name.compare(QLatin1String("ASCII"), Qt::CaseInsensitive) == 0
        || name.startsWith(QLatin1String("UTF-"), Qt::CaseInsensitive))
        return QString();
    // Names uchardet gives that Qt knows by another.
    static const char* const kAliases[][2] = {{"UHC", "windows-949"}, {"ISO-8859-11", "TIS-620"},
                                              {"MAC-CENTRALEUROPE", "x-mac-centraleurroman"}};
    for (const auto& alias : kAliases) {
        if (name.compare(QLatin1String(alias[0]), Qt::CaseInsensitive) == 0)
            name = QLatin1String(alias[1]);
    }
    const QTextCodec* codec = QTextCodec::codecForName(name.toLatin1());
    return codec ? QString::fromLatin1(codec->name()) : QString();
}

// No 0 byte and no byte above 127, eight bytes at a time.
bool isPlainAscii(const unsigned char* b, int n)
{
    constexpr quint64 ones = 0x0101010101010101ULL;
    constexpr quint64 highs = 0x8080808080808080ULL;
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        quint64 v;
        std::memcpy(&v, b + i, 8);
        if ((v & highs) || ((v - ones) & ~v & highs))
            return false;
    }
    for (; i < n; ++i) {
        if (b[i] == 0 || b[i] >= 0x80)
            return false;
    }
    return true;
}

} // namespace

QString legacyEncodingOfLanguage(const QLocale& locale)
{
    switch (locale.language()) {
    case QLocale::Russian: case QLocale::Ukrainian: case QLocale::Belarusian: case QLocale::Bulgarian:
    case QLocale::Serbian: case QLocale::Macedonian:
        return QStringLiteral("windows-1251");
    case QLocale::Czech: case QLocale::Slovak: case QLocale::Polish: case QLocale::Hungarian:
    case QLocale::Slovenian: case QLocale::Croatian: case QLocale::Romanian: case QLocale::Bosnian:
    case QLocale::Albanian:
        return QStringLiteral("windows-1250");
    case QLocale::Greek:
        return QStringLiteral("windows-1253");
    case QLocale::Turkish: case QLocale::Azerbaijani:
        return QStringLiteral("windows-1254");
    case QLocale::Hebrew:
        return QStringLiteral("windows-1255");
    case QLocale::Arabic: case QLocale::Persian: case QLocale::Urdu:
        return QStringLiteral("windows-1256");
    case QLocale::Estonian: case QLocale::Latvian: case QLocale::Lithuanian:
        return QStringLiteral("windows-1257");
    case QLocale::Vietnamese:
        return QStringLiteral("windows-1258");
    case QLocale::Thai:
        return QStringLiteral("TIS-620");
    case QLocale::Japanese:
        return QStringLiteral("Shift_JIS");
    case QLocale::Korean:
        return QStringLiteral("windows-949");
    case QLocale::Chinese:
        return locale.script() == QLocale::TraditionalChineseScript
                       || locale.country() == QLocale::Taiwan || locale.country() == QLocale::HongKong
                   ? QStringLiteral("Big5")
                   : QStringLiteral("GB18030");
    default:
        return QStringLiteral("windows-1252");
    }
}

QString detectEncoding(QIODevice* device)
{
    if (!device || !device->isOpen())
        return QString();
    if (!device->isSequential())
        device->seek(0);
    const QByteArray window = device->read(EncodingWindow);
    const int n = window.size();
    const auto* b = reinterpret_cast<const unsigned char*>(window.constData());

    if (n == 0)
        return QString();
    // The usual text, told at once: no 0 byte and no byte above 127 in the window. Every test
    // below then gives "" (no mark, no blank beside a 0 byte, no multi-byte sequence).
    if (isPlainAscii(b, n))
        return QString();

    if (n >= 2) {
        if (b[0] == 0xFE && b[1] == 0xFF)
            return QStringLiteral("UTF-16BE");
        if (b[0] == 0xFF && b[1] == 0xFE)
            return QStringLiteral("UTF-16LE");
        if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
            return QStringLiteral("UTF-8");
    }

    // Blanks beside a 0 byte (UTF-16) and the 0-byte rule below need a 0 byte in the window.
    const bool hasZero = std::memchr(b, 0, size_t(n)) != nullptr;
    int le = 0;
    int be = 0;
    for (int i = 0; i < n && hasZero; ++i) {
        // From blank to blank.
        const void* blank = std::memchr(b + i, 0x20, size_t(n - i));
        if (!blank)
            break;
        i = int(static_cast<const unsigned char*>(blank) - b);
        if (i % 2 == 0) {
            if (i + 1 < n && b[i + 1] == 0)
                ++le;
        } else if (b[i - 1] == 0) {
            ++be;
        }
    }
    if (be - le >= 2)
        return utf16Guess(b, n, true, "UTF-16BE");
    if (le - be >= 2)
        return utf16Guess(b, n, false, "UTF-16LE");

    // A 0 byte means binary (an executable, an image, a database), before anything is taken
    // for UTF-8 or an 8-bit text: only a text in UTF-16 holds 0 bytes, and then as the high
    // halves of its ASCII characters.
    if (hasZero) {
        if (looksLikeUtf16(b, n, false))
            return QStringLiteral("UTF-16LE");
        if (looksLikeUtf16(b, n, true))
            return QStringLiteral("UTF-16BE");
        return QStringLiteral("BINARY");
    }

    // A character cut by the window: look at the bytes after it without moving the device.
    char after[3];
    int afterCount = 0;
    if (n == EncodingWindow) {
        const qint64 peeked = device->peek(after, sizeof after);
        afterCount = peeked > 0 ? int(peeked) : 0;
    }
    if (looksLikeUtf8(b, n, reinterpret_cast<const unsigned char*>(after), afterCount))
        return QStringLiteral("UTF-8");

    bool high = false;
    for (int i = 0; i < n && !high; ++i)
        high = b[i] >= 0x80;
    if (!high)
        return QString(); // ASCII: the local encoding reads it

    // An 8-bit or multi-byte encoding: guessed from the text itself.
    const QString guessed = guessLegacyEncoding(window);
    if (!guessed.isEmpty())
        return guessed;
    // Chinese, Japanese or Korean in UTF-16 without a mark has neither blanks nor 0 bytes
    // (and no legacy encoding fits it).
    if (looksLikeUtf16(b, n, false))
        return QStringLiteral("UTF-16LE");
    if (looksLikeUtf16(b, n, true))
        return QStringLiteral("UTF-16BE");
    // No guess: the language of the user's locale decides. Where the locale itself is 8-bit
    // its encoding is the local one ("").
    const QTextCodec* locale = QTextCodec::codecForLocale();
    if (locale && locale->mibEnum() != 106)
        return QString();
    return legacyEncodingOfLanguage(QLocale::system());
}

QString detectFileEncoding(const QString& path)
{
    // Opened without blocking and checked before reading: opening a FIFO would otherwise wait
    // for a writer for ever, and a terminal or device is no file's text.
    HandleHolder fd(::open(FileNameCodec::encode(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd.isValid())
        return QString();
    struct stat st;
    if (::fstat(fd.handle(), &st) != 0 || !S_ISREG(st.st_mode))
        return QString();
    QFile file;
    if (!file.open(fd.handle(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return QString();
    fd.release(); // the file closes it now
    return detectEncoding(&file);
}

bool isAscii(const char* s)
{
    for (; *s; ++s) {
        if (static_cast<unsigned char>(*s) >= 0x80)
            return false;
    }
    return true;
}
