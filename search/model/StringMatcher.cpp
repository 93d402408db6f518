#include "search/model/StringMatcher.h"

#include <QStringView>

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// Texts up to this many UTF-16 units are decoded on the stack by matchUtf8.
constexpr int StackUnits = 1024;
// ASCII texts up to this many bytes are copied (and folded) into a padded stack buffer and
// searched 16 bytes at a time.
constexpr int PaddedLimit = 64;
constexpr int Padding = 16;

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

// Search in a copy padded with `Padding` readable bytes after `n`: candidates are positions
// where the first and the last byte of the term both match, 16 positions at a time.
// `ends` holds 16 copies of the term's first byte, then 16 of its last byte.
int findPadded(const uchar* buffer, int n, const uchar* t, int m, const uchar* ends, int from)
{
    const int lastStart = n - m;
    if (from > lastStart)
        return -1;
#ifdef __SSE2__
    const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(ends));
    const __m128i last = _mm_loadu_si128(reinterpret_cast<const __m128i*>(ends + 16));
    for (int i = from; i <= lastStart; i += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(buffer + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(buffer + i + m - 1));
        unsigned bits = unsigned(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first),
                                                                 _mm_cmpeq_epi8(b, last))));
        const int span = lastStart - i; // candidates at offsets 0 .. span of this block
        if (span < 15)
            bits &= (2u << span) - 1;
        while (bits) {
            const int k = __builtin_ctz(bits);
            const uchar* at = buffer + i + k;
            int j = 1;
            while (j < m - 1 && at[j] == t[j])
                ++j;
            if (j >= m - 1)
                return i + k;
            bits &= bits - 1;
        }
    }
    return -1;
#else
    (void)ends;
    return findBytes(buffer, n, t, m, from);
#endif
}

// Copies an ASCII-candidate text into `buffer` (at least n + Padding bytes, n <= PaddedLimit),
// zero-pads it, lower-cases A-Z when `fold` is set, and tells whether every byte is ASCII.
bool copyPadded(const uchar* s, int n, uchar* buffer, bool fold)
{
#ifdef __SSE2__
    // Copy with fixed-size, possibly overlapping moves (no library call for short names).
    if (n >= 16) {
        for (int i = 0; i + 16 <= n; i += 16)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(buffer + i),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(buffer + n - 16),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + n - 16)));
    } else if (n >= 8) {
        quint64 head, tail;
        std::memcpy(&head, s, 8);
        std::memcpy(&tail, s + n - 8, 8);
        std::memcpy(buffer, &head, 8);
        std::memcpy(buffer + n - 8, &tail, 8);
    } else if (n >= 4) {
        quint32 head, tail;
        std::memcpy(&head, s, 4);
        std::memcpy(&tail, s + n - 4, 4);
        std::memcpy(buffer, &head, 4);
        std::memcpy(buffer + n - 4, &tail, 4);
    } else {
        for (int i = 0; i < n; ++i)
            buffer[i] = s[i];
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(buffer + n), _mm_setzero_si128());
    __m128i high = _mm_setzero_si128();
    const __m128i beforeA = _mm_set1_epi8('A' - 1);
    const __m128i afterZ = _mm_set1_epi8('Z' + 1);
    const __m128i caseBit = _mm_set1_epi8(0x20);
    for (int i = 0; i < n; i += 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(buffer + i));
        high = _mm_or_si128(high, v);
        if (fold) {
            // Signed compares: bytes above 127 are negative and never upper-case letters.
            const __m128i upper = _mm_and_si128(_mm_cmpgt_epi8(v, beforeA), _mm_cmplt_epi8(v, afterZ));
            v = _mm_add_epi8(v, _mm_and_si128(upper, caseBit));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(buffer + i), v);
        }
    }
    return _mm_movemask_epi8(high) == 0;
#else
    std::memcpy(buffer, s, size_t(n));
    std::memset(buffer + n, 0, Padding);
    if (fold) {
        for (int i = 0; i < n; ++i)
            buffer[i] = asciiLower.map[buffer[i]];
    }
    return isAscii(s, n);
#endif
}

// Only two characters outside ASCII fold to ASCII letters: U+017F (UTF-8 C5 BF) to "s" and
// U+212A (E2 84 AA) to "k". A padded text without the lead bytes C5 and E2 holds neither, so
// there an ASCII term can only match ASCII bytes.
bool mayFoldToAscii(const uchar* buffer, int n)
{
#ifdef __SSE2__
    const __m128i c5 = _mm_set1_epi8(char(0xC5));
    const __m128i e2 = _mm_set1_epi8(char(0xE2));
    int bits = 0;
    for (int i = 0; i < n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(buffer + i));
        bits |= _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, c5), _mm_cmpeq_epi8(v, e2)));
    }
    return bits != 0;
#else
    for (int i = 0; i < n; ++i) {
        if (buffer[i] == 0xC5 || buffer[i] == 0xE2)
            return true;
    }
    return false;
#endif
}

// The case folding QString's case-insensitive search applies to unit i of a text: a low
// surrogate after a high surrogate folds as the whole code point; every value is compared in
// full (no truncation to 16 bits).
inline char32_t foldUnit(const QChar* text, int i)
{
    const ushort u = text[i].unicode();
    if (u < 128)
        return (u >= 'A' && u <= 'Z') ? char32_t(u + 32) : char32_t(u);
    if (QChar::isLowSurrogate(u) && i > 0 && QChar::isHighSurrogate(text[i - 1].unicode()))
        return QChar::toCaseFolded(QChar::surrogateToUcs4(text[i - 1].unicode(), u));
    return QChar::toCaseFolded(uint(u));
}

int findFolded(const char32_t* s, int n, const char32_t* t, int m, int from)
{
    const char32_t first = t[0];
    for (int i = from; i <= n - m; ++i) {
        if (s[i] != first)
            continue;
        int j = 1;
        while (j < m && s[i + j] == t[j])
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

// The wildcard walk over units of a pattern and a whole text, comparing fold(unit)s: "*" any
// run, "?" any one unit but "."; a failed attempt retries one text unit further from the
// last "*", and once the text has run out there is no retry.
template <typename Unit, typename Fold>
bool wildcardWalk(const Unit* pattern, int patternLength, const Unit* text, int textLength, Fold fold)
{
    int patternAnchor = 0;
    int textAnchor = 0;
    bool starSeen = false;
    int p = 0;
    int t = 0;
    for (;;) {
        if (t == textLength)
            return p == patternLength || (pattern[p] == Unit('*') && p == patternLength - 1);
        bool failed;
        if (p == patternLength) {
            failed = true;
        } else {
            const Unit pc = pattern[p];
            if (pc == Unit('*')) {
                if (p == patternLength - 1)
                    return true;
                patternAnchor = p + 1;
                textAnchor = t;
                starSeen = true;
                ++p;
                continue;
            }
            if (pc == Unit('?'))
                failed = text[t] == Unit('.');
            else
                failed = fold(pc) != fold(text[t]);
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

} // namespace

StringMatcher::StringMatcher(const QStringList& searchTerms, const MatchOptions& matchOptions)
    : terms(searchTerms)
    , mode(matchOptions.kind)
    , caseSensitive(matchOptions.caseSensitive)
    , wildcards(matchOptions.forName)
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
    firstTermBits = terms.size() >= 64 ? ~quint64(0) : (quint64(1) << terms.size()) - 1;
    asciiTermBits = 0;
    wildcardBits = 0;
    wildcardTerms.clear();
    plans.assign(size_t(terms.size()), TermPlan());
    for (int i = 0; i < terms.size(); ++i) {
        const QString& term = terms.at(i);
        TermPlan& plan = plans[size_t(i)];
        if (mode == RegexMode) {
            regexes.push_back(ByteRegex::shared(term, caseSensitive));
            continue;
        }
        if (wildcards && (term.contains(QLatin1Char('?')) || term.contains(QLatin1Char('*')))) {
            wildcardTerms.append(i);
            plan.wildcard = true;
            if (i < 64)
                wildcardBits |= quint64(1) << i;
        }
        plan.ascii = !term.isEmpty();
        for (const QChar c : term) {
            if (c.unicode() >= 128) {
                plan.ascii = false;
                break;
            }
        }
        plan.folded.resize(size_t(term.size()));
        for (int k = 0; k < term.size(); ++k) {
            plan.folded[size_t(k)] = foldUnit(term.constData(), k);
            if (plan.folded[size_t(k)] >= 128)
                plan.foldedBeyondAscii = true;
        }
        if (plan.ascii) {
            plan.bytes = term.toLatin1();
            if (!caseSensitive) {
                for (char& c : plan.bytes)
                    c = char(asciiLower.map[uchar(c)]);
            }
            plan.asciiData = reinterpret_cast<const uchar*>(plan.bytes.constData());
            plan.asciiLength = plan.bytes.size();
            std::memset(plan.ends, plan.asciiData[0], 16);
            std::memset(plan.ends + 16, plan.asciiData[plan.asciiLength - 1], 16);
            if (i < 64)
                asciiTermBits |= quint64(1) << i;
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

// The UTF-8 text of one matchUtf8 call and the forms of it that its terms needed so far.
// Only texts of at most `StackUnits` bytes get here (longer ones and regular expressions go
// through match() on the decoded QString), so every form fits the stack buffers.
struct StringMatcher::Utf8Text
{
    const uchar* bytes = nullptr;
    int length = 0;
    bool ascii = false;
    bool padded = false; // `copy` holds the text (folded when not case sensitive)
    bool wideReady = false;
    bool foldedReady = false;
    int wideLength = 0;
    alignas(16) uchar copy[PaddedLimit + Padding];
    char16_t wideBuffer[StackUnits];
    char32_t foldedBuffer[StackUnits];

    const QChar* wide() const { return reinterpret_cast<const QChar*>(wideBuffer); }
};

inline void StringMatcher::prepareUtf8(Utf8Text& text) const
{
    if (text.length <= PaddedLimit) {
        text.padded = true;
        text.ascii = copyPadded(text.bytes, text.length, text.copy, !caseSensitive);
    } else {
        text.ascii = isAscii(text.bytes, text.length);
    }
}

TermMask StringMatcher::matchUtf8(const char* text, int length, const TermMask& wanted) const
{
    TermMask found;
    if (terms.isEmpty() || length < 0 || (!text && length > 0))
        return found;
    if (terms.size() <= 64)
        return TermMask(matchUtf8Bits(text, length, wanted.lowBits()));
    if (mode == RegexMode) {
        for (int i = 0; i < terms.size(); ++i) {
            if (wanted.testBit(i) && testRegexUtf8(i, text, length))
                found.setBit(i);
        }
        return found;
    }
    if (length > StackUnits)
        return match(QString::fromUtf8(text, length), wanted, nullptr, nullptr);
    Utf8Text utf8;
    utf8.bytes = reinterpret_cast<const uchar*>(text);
    utf8.length = length;
    prepareUtf8(utf8);
    for (int i = 0; i < terms.size(); ++i) {
        if (wanted.testBit(i) && testUtf8(i, utf8))
            found.setBit(i);
    }
    return found;
}

quint64 StringMatcher::matchUtf8Bits(const char* text, int length, quint64 wanted) const
{
    wanted &= firstTermBits;
    if (!wanted || length < 0 || (!text && length > 0))
        return 0;
    if (mode == RegexMode) {
        quint64 found = 0;
        while (wanted) {
            const int i = __builtin_ctzll(wanted);
            wanted &= wanted - 1;
            if (testRegexUtf8(i, text, length))
                found |= quint64(1) << i;
        }
        return found;
    }
    if (length > StackUnits)
        return match(QString::fromUtf8(text, length), TermMask(wanted), nullptr, nullptr).lowBits();
    Utf8Text utf8;
    utf8.bytes = reinterpret_cast<const uchar*>(text);
    utf8.length = length;
    prepareUtf8(utf8);
    quint64 found = 0;
    // The usual name search: ASCII literal terms in a short name. An ASCII term matches the
    // same places in the UTF-8 bytes as in the decoded text, since ASCII bytes always decode to
    // themselves and other bytes never to ASCII, except the two characters that fold to ASCII
    // letters. Whole words in non-ASCII names need the neighbouring characters decoded.
    // Wildcard terms walk the bytes of ASCII names only ("?" is one character).
    if (utf8.padded && !(wanted & ~asciiTermBits)
        && (utf8.ascii
            || (mode == SubstringMode && !(wanted & wildcardBits)
                && (caseSensitive || !mayFoldToAscii(utf8.copy, length))))) {
        while (wanted) {
            const int i = __builtin_ctzll(wanted);
            wanted &= wanted - 1;
            const TermPlan& plan = plans[size_t(i)];
            if (plan.wildcard) {
                // The copy and the pattern are both folded already when not case sensitive.
                if (wildcardWalk(plan.asciiData, plan.asciiLength, utf8.copy, length,
                                 [](uchar c) { return c; }))
                    found |= quint64(1) << i;
                continue;
            }
            int from = 0;
            for (;;) {
                const int hit = findPadded(utf8.copy, length, plan.asciiData, plan.asciiLength, plan.ends, from);
                if (hit < 0)
                    break;
                if (mode != WholeWordMode
                    || asciiOnWordBoundaries(utf8.copy, length, hit, plan.asciiLength)) {
                    found |= quint64(1) << i;
                    break;
                }
                from = hit + plan.asciiLength;
            }
        }
        return found;
    }
    while (wanted) {
        const int i = __builtin_ctzll(wanted);
        wanted &= wanted - 1;
        if (testUtf8(i, utf8))
            found |= quint64(1) << i;
    }
    return found;
}

bool StringMatcher::testUtf8(int index, Utf8Text& text) const
{
    const TermPlan& plan = plans[size_t(index)];
    if (text.ascii && !plan.wildcard) {
        if (plan.ascii)
            return testAscii(index, text.padded ? text.copy : text.bytes, text.length, text.padded);
        // Folded ASCII text holds only ASCII values.
        if (caseSensitive || plan.foldedBeyondAscii)
            return false;
    }
    if (!text.wideReady) {
        if (text.ascii) {
            for (int k = 0; k < text.length; ++k)
                text.wideBuffer[k] = text.bytes[k];
            text.wideLength = text.length;
        } else {
            text.wideLength = decodeUtf8(text.bytes, text.length, text.wideBuffer);
        }
        text.wideReady = true;
    }
    if (plan.wildcard) {
        const QString& term = terms.at(index);
        return wildcardMatch(term.constData(), term.size(), text.wide(), text.wideLength, caseSensitive);
    }
    if (caseSensitive)
        return testLiteral(index, text.wide(), text.wideLength, nullptr, nullptr);
    return testFolded(index, text);
}

bool StringMatcher::testFolded(int index, Utf8Text& text) const
{
    if (!text.foldedReady) {
        for (int k = 0; k < text.wideLength; ++k)
            text.foldedBuffer[k] = foldUnit(text.wide(), k);
        text.foldedReady = true;
    }
    const std::u32string& term = plans[size_t(index)].folded;
    const int termLength = int(term.size());
    if (termLength == 0)
        return false;
    int from = 0;
    for (;;) {
        const int hit = findFolded(text.foldedBuffer, text.wideLength, term.data(), termLength, from);
        if (hit < 0)
            return false;
        if (mode != WholeWordMode || onWordBoundaries(text.wide(), text.wideLength, hit, termLength))
            return true;
        from = hit + termLength;
    }
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

bool StringMatcher::testAscii(int index, const uchar* text, int length, bool padded) const
{
    // A padded copy is already folded when the matcher is not case sensitive.
    const TermPlan& plan = plans[size_t(index)];
    const uchar* term = plan.asciiData;
    const int termLength = plan.asciiLength;
    int from = 0;
    for (;;) {
        int hit;
        if (padded)
            hit = findPadded(text, length, term, termLength, plan.ends, from);
        else if (caseSensitive)
            hit = findBytes(text, length, term, termLength, from);
        else
            hit = findBytesFolded(text, length, term, termLength, from);
        if (hit < 0)
            return false;
        if (mode != WholeWordMode || asciiOnWordBoundaries(text, length, hit, termLength))
            return true;
        from = hit + termLength;
    }
}

std::vector<std::string> StringMatcher::requiredRuns(int index) const
{
    std::vector<std::string> runs;
    if (index < 0 || index >= terms.size())
        return runs;
    if (mode == RegexMode) {
        std::string literal = regexes[size_t(index)]->requiredLiteral();
        for (char& c : literal)
            c = char(asciiLower.map[uchar(c)]);
        if (literal.size() >= 3)
            runs.push_back(literal);
        return runs;
    }
    const bool wildcard = plans[size_t(index)].wildcard;
    std::string run;
    auto flush = [&]() {
        if (run.size() >= 3)
            runs.push_back(run);
        run.clear();
    };
    for (const QChar c : terms.at(index)) {
        const ushort u = c.unicode();
        if (u >= 128 || (wildcard && (u == '*' || u == '?')))
            flush();
        else
            run += char(asciiLower.map[u]);
    }
    flush();
    return runs;
}

bool StringMatcher::testRegexUtf8(int index, const char* text, int length) const
{
    const ByteRegex& rx = *regexes[size_t(index)];
    if (ByteRegex::isValidUtf8(text, size_t(length)))
        return rx.contains(text, size_t(length));
    const std::string repaired = ByteRegex::repairUtf8(text, size_t(length));
    return rx.contains(repaired.data(), repaired.size());
}

bool StringMatcher::testRegex(int index, const QString& text, MatchPositions* positions) const
{
    const ByteRegex& rx = *regexes[size_t(index)];
    if (!rx.isValid())
        return false;
    // The text as UTF-8 (a lone surrogate as U+FFFD) in a buffer each thread reuses, and, when
    // positions are wanted and the text is not ASCII, the UTF-16 index of each byte's unit.
    thread_local std::string bytes;
    thread_local std::vector<int> unitOf;
    // A very long text (a minified file is one line) does not leave its buffers behind.
    struct Trim
    {
        ~Trim()
        {
            if (bytes.capacity() > (std::size_t(1) << 20))
                std::string().swap(bytes);
            if (unitOf.capacity() > (std::size_t(1) << 20))
                std::vector<int>().swap(unitOf);
        }
    } trim;
    const int n = text.size();
    const ushort* units = reinterpret_cast<const ushort*>(text.constData());
    bytes.clear();
    bytes.reserve(size_t(n) * 3);
    bool ascii = true;
    for (int i = 0; i < n && ascii; ++i)
        ascii = units[i] < 0x80;
    if (ascii) {
        bytes.resize(size_t(n));
        for (int i = 0; i < n; ++i)
            bytes[size_t(i)] = char(units[i]);
    } else {
        unitOf.clear();
        for (int i = 0; i < n; ++i) {
            uint cp = units[i];
            const int unit = i;
            if (QChar::isHighSurrogate(cp) && i + 1 < n && QChar::isLowSurrogate(units[i + 1])) {
                cp = QChar::surrogateToUcs4(char16_t(cp), units[i + 1]);
                ++i;
            } else if (QChar::isSurrogate(cp)) {
                cp = 0xFFFD;
            }
            char out[4];
            int k;
            if (cp < 0x80) {
                out[0] = char(cp);
                k = 1;
            } else if (cp < 0x800) {
                out[0] = char(0xC0 | (cp >> 6));
                out[1] = char(0x80 | (cp & 0x3F));
                k = 2;
            } else if (cp < 0x10000) {
                out[0] = char(0xE0 | (cp >> 12));
                out[1] = char(0x80 | ((cp >> 6) & 0x3F));
                out[2] = char(0x80 | (cp & 0x3F));
                k = 3;
            } else {
                out[0] = char(0xF0 | (cp >> 18));
                out[1] = char(0x80 | ((cp >> 12) & 0x3F));
                out[2] = char(0x80 | ((cp >> 6) & 0x3F));
                out[3] = char(0x80 | (cp & 0x3F));
                k = 4;
            }
            bytes.append(out, size_t(k));
            if (positions) {
                for (int b = 0; b < k; ++b)
                    unitOf.push_back(unit);
            }
        }
        if (positions)
            unitOf.push_back(n);
    }
    if (!positions)
        return rx.contains(bytes.data(), bytes.size());
    auto unitAt = [&](std::size_t byte) { return ascii ? int(byte) : unitOf[byte]; };
    ByteRegex::Match m;
    // The bytes were made from the text: valid UTF-8.
    if (!rx.find(bytes.data(), bytes.size(), 0, &m, true))
        return false;
    // As QRegExp reported them: every hit from the end of the previous one, until an empty hit.
    for (;;) {
        if (m.end <= m.start)
            break;
        const int start = unitAt(m.start);
        positions->append(MatchPosition(start, unitAt(m.end) - start));
        if (!rx.find(bytes.data(), bytes.size(), m.end, &m, true))
            break;
    }
    return true;
}

bool StringMatcher::wildcardMatch(const QChar* pattern, int patternLength, const QChar* text,
                                  int textLength, bool caseSensitive)
{
    const ushort* p = reinterpret_cast<const ushort*>(pattern);
    const ushort* t = reinterpret_cast<const ushort*>(text);
    if (caseSensitive)
        return wildcardWalk(p, patternLength, t, textLength, [](ushort c) { return c; });
    return wildcardWalk(p, patternLength, t, textLength, foldWildcard);
}
