#include "search/model/StringMatcher.h"

#include <QStringView>

#include <cstring>

namespace {

// Texts up to this many UTF-16 units are decoded on the stack by matchUtf8.
constexpr int StackUnits = 1024;

bool isWordChar(QChar c)
{
    const ushort u = c.unicode();
    return c.isLetter() || (u >= '0' && u <= '9') || u == '_'
        || (u > 127 && c.category() == QChar::Number_DecimalDigit);
}

bool onWordBoundaries(const QChar* text, int length, int hit, int termLength)
{
    if (hit > 0 && isWordChar(text[hit - 1]))
        return false;
    const int after = hit + termLength;
    return after >= length || !isWordChar(text[after]);
}

bool isAsciiWordByte(uchar c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool asciiOnWordBoundaries(const uchar* text, int length, int hit, int termLength)
{
    if (hit > 0 && isAsciiWordByte(text[hit - 1]))
        return false;
    const int after = hit + termLength;
    return after >= length || !isAsciiWordByte(text[after]);
}

struct LowerTable
{
    uchar map[256];
    LowerTable()
    {
        for (int i = 0; i < 256; ++i)
            map[i] = uchar((i >= 'A' && i <= 'Z') ? i + 32 : i);
    }
};
const LowerTable asciiLower;

bool isAscii(const uchar* s, int n)
{
    quint64 bits = 0;
    int i = 0;
    for (; i + 8 <= n; i += 8) {
        quint64 word;
        std::memcpy(&word, s + i, 8);
        bits |= word;
    }
    for (; i < n; ++i)
        bits |= s[i];
    return (bits & 0x8080808080808080ULL) == 0;
}

// Case-sensitive byte search from `from`; -1 when absent.
int findBytes(const uchar* s, int n, const uchar* t, int m, int from)
{
    if (from + m > n)
        return -1;
    const void* hit = memmem(s + from, size_t(n - from), t, size_t(m));
    return hit ? int(static_cast<const uchar*>(hit) - s) : -1;
}

// ASCII case-insensitive byte search; `t` is already lower-cased.
int findBytesFolded(const uchar* s, int n, const uchar* t, int m, int from)
{
    const uchar first = t[0];
    const int last = n - m;
    for (int i = from; i <= last; ++i) {
        if (asciiLower.map[s[i]] != first)
            continue;
        int j = 1;
        while (j < m && asciiLower.map[s[i + j]] == t[j])
            ++j;
        if (j == m)
            return i;
    }
    return -1;
}

// UTF-8 to UTF-16 exactly as QString::fromUtf8 reads it: a leading byte-order mark is
// dropped; every byte that does not start a complete, shortest-form sequence of a valid code
// point (no surrogates, nothing above U+10FFFF) becomes one U+FFFD and decoding goes on with
// the next byte. `out` must hold `n` units. Returns the number of units written.
int decodeUtf8(const uchar* s, int n, char16_t* out)
{
    int i = 0;
    int o = 0;
    if (n >= 3 && s[0] == 0xEF && s[1] == 0xBB && s[2] == 0xBF)
        i = 3;
    while (i < n) {
        const uchar b = s[i];
        if (b < 0x80) {
            out[o++] = b;
            ++i;
            continue;
        }
        int need;
        char32_t min;
        char32_t uc;
        if (b < 0xC2) {
            need = 0;
        } else if (b < 0xE0) {
            need = 2;
            min = 0x80;
            uc = b & 0x1F;
        } else if (b < 0xF0) {
            need = 3;
            min = 0x800;
            uc = b & 0x0F;
        } else if (b < 0xF5) {
            need = 4;
            min = 0x10000;
            uc = b & 0x07;
        } else {
            need = 0;
        }
        bool ok = need > 0 && i + need <= n;
        for (int k = 1; ok && k < need; ++k) {
            const uchar c = s[i + k];
            if ((c & 0xC0) != 0x80)
                ok = false;
            else
                uc = (uc << 6) | (c & 0x3F);
        }
        if (ok && (uc < min || (uc >= 0xD800 && uc <= 0xDFFF) || uc > 0x10FFFF))
            ok = false;
        if (!ok) {
            out[o++] = 0xFFFD;
            ++i;
            continue;
        }
        if (uc < 0x10000) {
            out[o++] = char16_t(uc);
        } else {
            out[o++] = char16_t(0xD800 + ((uc - 0x10000) >> 10));
            out[o++] = char16_t(0xDC00 + ((uc - 0x10000) & 0x3FF));
        }
        i += need;
    }
    return o;
}

// Case folding of the wildcard comparison.
inline ushort foldWildcard(ushort c)
{
    if (c >= 'A' && c <= 'Z')
        return ushort(c + 32);
    if ((c >= 'a' && c <= 'z') || (c >= ' ' && c <= '@'))
        return c;
    return QChar(c).toLower().unicode();
}

} // namespace

StringMatcher::StringMatcher(const QStringList& terms, const MatchOptions& options)
    : terms(terms)
    , mode(options.kind)
    , caseSensitive(options.caseSensitive)
    , wildcards(options.forName)
{
    compile();
}

void StringMatcher::setOptions(const MatchOptions& options)
{
    mode = options.kind;
    caseSensitive = options.caseSensitive;
    wildcards = options.forName;
    compile();
}

void StringMatcher::compile()
{
    regexes.clear();
    prototypes.clear();
    wildcardTerms.clear();
    plans.assign(size_t(terms.size()), TermPlan());
    const Qt::CaseSensitivity cs = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (int i = 0; i < terms.size(); ++i) {
        const QString& term = terms.at(i);
        TermPlan& plan = plans[size_t(i)];
        if (mode == RegexMode) {
            QRegExp rx(term, cs, QRegExp::RegExp);
            rx.isValid(); // builds the engine now, so copies made later only read it
            prototypes.append(rx);
            regexes.append(rx);
            continue;
        }
        if (wildcards && (term.contains(QLatin1Char('?')) || term.contains(QLatin1Char('*')))) {
            wildcardTerms.append(i);
            plan.wildcard = true;
        }
        plan.ascii = !term.isEmpty();
        for (const QChar c : term) {
            if (c.unicode() >= 128) {
                plan.ascii = false;
                break;
            }
        }
        if (plan.ascii) {
            plan.bytes = term.toLatin1();
            if (!caseSensitive) {
                for (char& c : plan.bytes)
                    c = char(asciiLower.map[uchar(c)]);
            }
        }
    }
}

TermMask StringMatcher::match(const QString& text, const TermMask& wanted,
                              MatchPositions* positions, int* counter) const
{
    TermMask found;
    for (int i = 0; i < terms.size(); ++i) {
        if (!positions && !wanted.testBit(i))
            continue;
        if (testTerm(i, text.constData(), text.size(), &text, positions, counter))
            found.setBit(i);
    }
    return found;
}

bool StringMatcher::matchTerm(const QString& text, int index, MatchPositions* positions,
                              int* counter) const
{
    if (index < 0 || index >= terms.size())
        return false;
    return testTerm(index, text.constData(), text.size(), &text, positions, counter);
}

TermMask StringMatcher::matchUtf8(const char* text, int length, const TermMask& wanted) const
{
    TermMask found;
    if (terms.isEmpty() || length < 0 || (!text && length > 0))
        return found;
    const uchar* bytes = reinterpret_cast<const uchar*>(text);
    const bool ascii = isAscii(bytes, length);

    char16_t buffer[StackUnits]; // filled only when a term needs the UTF-16 form
    const QChar* wide = nullptr;
    int wideLength = 0;
    QString heapText;
    for (int i = 0; i < terms.size(); ++i) {
        if (!wanted.testBit(i))
            continue;
        const TermPlan& plan = plans[size_t(i)];
        bool hit;
        if (mode == RegexMode) {
            if (heapText.isNull())
                heapText = QString::fromUtf8(text, length);
            hit = testRegex(i, heapText, nullptr);
        } else if (ascii && !plan.wildcard && plan.ascii) {
            hit = testAscii(i, bytes, length);
        } else if (ascii && !plan.wildcard && caseSensitive) {
            hit = false; // a term with a non-ASCII character cannot occur in ASCII text
        } else {
            if (!wide) {
                if (length <= StackUnits) {
                    if (ascii) {
                        for (int k = 0; k < length; ++k)
                            buffer[k] = bytes[k];
                        wideLength = length;
                    } else {
                        wideLength = decodeUtf8(bytes, length, buffer);
                    }
                    wide = reinterpret_cast<const QChar*>(buffer);
                } else {
                    heapText = QString::fromUtf8(text, length);
                    wide = heapText.constData();
                    wideLength = heapText.size();
                }
            }
            hit = testTerm(i, wide, wideLength, nullptr, nullptr, nullptr);
        }
        if (hit)
            found.setBit(i);
    }
    return found;
}

bool StringMatcher::testTerm(int index, const QChar* text, int length, const QString* original,
                             MatchPositions* positions, int* counter) const
{
    if (plans[size_t(index)].wildcard) {
        const QString& term = terms.at(index);
        return wildcardMatch(term.constData(), term.size(), text, length, caseSensitive);
    }
    if (mode == RegexMode) {
        if (original)
            return testRegex(index, *original, positions);
        return testRegex(index, QString(text, length), positions);
    }
    return testLiteral(index, text, length, positions, counter);
}

bool StringMatcher::testLiteral(int index, const QChar* text, int length,
                                MatchPositions* positions, int* counter) const
{
    const QString& term = terms.at(index);
    const int termLength = term.size();
    if (termLength == 0)
        return false;
    const QStringView haystack(text, length);
    const QStringView needle(term);
    const Qt::CaseSensitivity cs = caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    bool found = false;
    qsizetype from = 0;
    for (;;) {
        const qsizetype hit = haystack.indexOf(needle, from, cs);
        if (hit < 0)
            break;
        if (mode != WholeWordMode || onWordBoundaries(text, length, int(hit), termLength)) {
            found = true;
            if (positions)
                positions->append(MatchPosition(int(hit), termLength));
            if (counter)
                ++*counter;
            if (!positions && !counter)
                break; // nothing more to record
        }
        from = hit + termLength;
    }
    return found;
}

bool StringMatcher::testAscii(int index, const uchar* text, int length) const
{
    const TermPlan& plan = plans[size_t(index)];
    const uchar* term = reinterpret_cast<const uchar*>(plan.bytes.constData());
    const int termLength = plan.bytes.size();
    int from = 0;
    for (;;) {
        const int hit = caseSensitive ? findBytes(text, length, term, termLength, from)
                                      : findBytesFolded(text, length, term, termLength, from);
        if (hit < 0)
            return false;
        if (mode != WholeWordMode || asciiOnWordBoundaries(text, length, hit, termLength))
            return true;
        from = hit + termLength;
    }
}

bool StringMatcher::testRegex(int index, const QString& text, MatchPositions* positions) const
{
    const bool own = !regexesInUse.exchange(true, std::memory_order_acquire);
    QRegExp copy;
    QRegExp* rx;
    if (own) {
        rx = &regexes[index];
    } else {
        copy = prototypes.at(index);
        rx = &copy;
    }
    int hit = rx->indexIn(text, 0);
    const bool found = hit >= 0;
    while (positions && hit >= 0) {
        const int matched = rx->matchedLength();
        if (matched <= 0)
            break;
        positions->append(MatchPosition(hit, matched));
        hit = rx->indexIn(text, hit + matched);
    }
    if (own)
        regexesInUse.store(false, std::memory_order_release);
    return found;
}

bool StringMatcher::wildcardMatch(const QChar* pattern, int patternLength, const QChar* text,
                                  int textLength, bool caseSensitive)
{
    int patternAnchor = 0;
    int textAnchor = 0;
    bool starSeen = false;
    int p = 0;
    int t = 0;
    for (;;) {
        bool failed = false;
        if (t == textLength) {
            // No retry once the text has run out.
            return p == patternLength
                || (pattern[p] == QLatin1Char('*') && p == patternLength - 1);
        }
        if (p == patternLength) {
            failed = true;
        } else {
            const ushort pc = pattern[p].unicode();
            const ushort tc = text[t].unicode();
            if (pc == '*') {
                if (p == patternLength - 1)
                    return true;
                patternAnchor = p + 1;
                textAnchor = t;
                starSeen = true;
                ++p;
                continue;
            }
            if (pc == '?') {
                failed = tc == '.';
            } else if (caseSensitive) {
                failed = pc != tc;
            } else {
                failed = foldWildcard(pc) != foldWildcard(tc);
            }
            if (!failed) {
                ++p;
                ++t;
                continue;
            }
        }
        if (!starSeen)
            return false;
        ++textAnchor;
        t = textAnchor;
        p = patternAnchor;
    }
}
