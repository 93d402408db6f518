#include "core/FileNameCodec.h"

QString FileNameCodec::decode(const char* bytes, int length)
{
    const auto* s = reinterpret_cast<const unsigned char*>(bytes);
    int i = 0;
    while (i < length && s[i] < 0x80)
        ++i;
    if (i == length)
        return QString::fromLatin1(bytes, length);

    QString out;
    out.reserve(length);
    for (int k = 0; k < i; ++k)
        out.append(QChar(s[k]));
    while (i < length) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            out.append(QChar(c));
            ++i;
            continue;
        }
        int need = 0;
        char32_t cp = 0, min = 0;
        if (c >= 0xC2 && c <= 0xDF) { need = 1; cp = c & 0x1F; min = 0x80; }
        else if (c >= 0xE0 && c <= 0xEF) { need = 2; cp = c & 0x0F; min = 0x800; }
        else if (c >= 0xF0 && c <= 0xF4) { need = 3; cp = c & 0x07; min = 0x10000; }
        bool ok = need > 0 && i + need < length;
        if (ok) {
            for (int k = 1; k <= need; ++k) {
                if (i + k >= length || (s[i + k] & 0xC0) != 0x80) { ok = false; break; }
                cp = (cp << 6) | (s[i + k] & 0x3F);
            }
        }
        if (ok && (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)))
            ok = false;
        if (!ok) {
            // One undecodable byte: keep it as a lone low surrogate.
            out.append(QChar(ushort(0xDC00 + c)));
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            out.append(QChar(QChar::highSurrogate(cp)));
            out.append(QChar(QChar::lowSurrogate(cp)));
        } else {
            out.append(QChar(ushort(cp)));
        }
        i += need + 1;
    }
    return out;
}

QByteArray FileNameCodec::encode(const QString& name)
{
    const int n = name.size();
    const QChar* d = name.constData();
    int i = 0;
    while (i < n && d[i].unicode() < 0x80)
        ++i;
    if (i == n)
        return name.toLatin1();

    QByteArray out;
    out.reserve(n * 3);
    for (int k = 0; k < n; ++k) {
        const ushort u = d[k].unicode();
        if (u < 0x80) {
            out.append(char(u));
        } else if (u < 0x800) {
            out.append(char(0xC0 | (u >> 6)));
            out.append(char(0x80 | (u & 0x3F)));
        } else if (QChar::isHighSurrogate(u) && k + 1 < n && QChar::isLowSurrogate(d[k + 1].unicode())) {
            const char32_t cp = QChar::surrogateToUcs4(u, d[k + 1].unicode());
            ++k;
            out.append(char(0xF0 | (cp >> 18)));
            out.append(char(0x80 | ((cp >> 12) & 0x3F)));
            out.append(char(0x80 | ((cp >> 6) & 0x3F)));
            out.append(char(0x80 | (cp & 0x3F)));
        } else if (u >= 0xDC80 && u <= 0xDCFF) {
            out.append(char(u - 0xDC00));  // an escaped raw byte
        } else if (QChar::isSurrogate(u)) {
            out.append("\xEF\xBF\xBD");    // a lone surrogate that is no escape
        } else {
            out.append(char(0xE0 | (u >> 12)));
            out.append(char(0x80 | ((u >> 6) & 0x3F)));
            out.append(char(0x80 | (u & 0x3F)));
        }
    }
    return out;
}
