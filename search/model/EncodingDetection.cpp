#include "search/model/EncodingDetection.h"

#include "core/FileNameCodec.h"
#include "core/HandleHolder.h"

#include <QChar>
#include <QFile>
#include <QIODevice>
#include <QTextCodec>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isPrintableUnit(ushort unit)
{
    return QChar(unit).isPrint() || unit == 9 || unit == 10 || unit == 13 || unit == 32;
}

// "BINARY" when non-printable 16-bit units outnumber printable ones three to one, else `name`.
QString utf16Guess(const unsigned char* b, int n, bool bigEndian, const char* name)
{
    int printable = 0;
    int other = 0;
    for (int k = 0; k < n - 1; k += 2) {
        const ushort unit = bigEndian ? ushort(b[k] * 256 + b[k + 1]) : ushort(b[k] + 256 * b[k + 1]);
        if (isPrintableUnit(unit))
            ++printable;
        else
            ++other;
    }
    return other * 3 > printable ? QStringLiteral("BINARY") : QString::fromLatin1(name);
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

} // namespace

QString detectEncoding(QIODevice* device)
{
    if (!device || !device->isOpen())
        return QString();
    if (!device->isSequential())
        device->seek(0);
    char buffer[EncodingWindow];
    const qint64 got = device->read(buffer, EncodingWindow);
    const int n = got > 0 ? int(got) : 0;
    const auto* b = reinterpret_cast<const unsigned char*>(buffer);

    if (n == 0)
        return QString();

    if (n >= 2) {
        if (b[0] == 0xFE && b[1] == 0xFF)
            return QStringLiteral("UTF-16BE");
        if (b[0] == 0xFF && b[1] == 0xFE)
            return QStringLiteral("UTF-16LE");
        if (n >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF)
            return QStringLiteral("UTF-8");
    }

    int le = 0;
    int be = 0;
    for (int i = 0; i < n; ++i) {
        if (b[i] != 0x20)
            continue;
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
    for (int i = 0; i < n; ++i) {
        if (b[i] == 0)
            return QStringLiteral("BINARY");
        high = high || b[i] >= 0x80;
    }
    // Bytes above 127 that are not UTF-8 are an 8-bit text. Where the locale itself is UTF-8
    // it has no 8-bit encoding to read them with (they would all become U+FFFD and never
    // match), so they are read as Windows-1252, the superset of Latin-1 such files are in.
    if (high) {
        const QTextCodec* locale = QTextCodec::codecForLocale();
        if (locale && locale->mibEnum() == 106)
            return QStringLiteral("windows-1252");
    }
    return QString();
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
