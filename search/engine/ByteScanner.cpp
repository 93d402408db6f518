#include "search/engine/ByteScanner.h"

#include "search/engine/ContentQuery.h"

#include <QChar>

#include <algorithm>
#include <cstring>
#include <emmintrin.h>

namespace {

struct FoldTable
{
    unsigned char lower[256];
    unsigned char upper[256];
    FoldTable()
    {
        for (int i = 0; i < 256; ++i) {
            lower[i] = (unsigned char)((i >= 'A' && i <= 'Z') ? i + 32 : i);
            upper[i] = (unsigned char)((i >= 'a' && i <= 'z') ? i - 32 : i);
        }
    }
};
const FoldTable foldTable;

bool isWordUnit(char32_t c)
{
    if (c > 0xFFFF)
        return false; // in UTF-16 the neighbour is a surrogate, which is no word character
    const QChar ch(static_cast<ushort>(c));
    const ushort u = ch.unicode();
    return ch.isLetter() || (u >= '0' && u <= '9') || u == '_'
        || (u > 127 && ch.category() == QChar::Number_DecimalDigit);
}

bool isContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

// Decodes one UTF-8 sequence at s[0, n); U+FFFD when it is not a complete, shortest-form
// sequence of a valid code point.
char32_t decodeAt(const unsigned char* s, size_t n, size_t* length)
{
    const unsigned char b = s[0];
    int need;
    char32_t min;
    char32_t c;
    if (b < 0x80) {
        *length = 1;
        return b;
    }
    if (b >= 0xC2 && b < 0xE0) {
        need = 2;
        min = 0x80;
        c = b & 0x1F;
    } else if (b >= 0xE0 && b < 0xF0) {
        need = 3;
        min = 0x800;
        c = b & 0x0F;
    } else if (b >= 0xF0 && b < 0xF5) {
        need = 4;
        min = 0x10000;
        c = b & 0x07;
    } else {
        *length = 1;
        return 0xFFFD;
    }
    if (size_t(need) > n) {
        *length = 1;
        return 0xFFFD;
    }
    for (int k = 1; k < need; ++k) {
        if (!isContinuation(s[k])) {
            *length = 1;
            return 0xFFFD;
        }
        c = (c << 6) | (s[k] & 0x3F);
    }
    if (c < min || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
        *length = 1;
        return 0xFFFD;
    }
    *length = size_t(need);
    return c;
}

// The character that ends right before s[pos] (pos > 0), in a UTF-8 text starting at s[0].
char32_t decodeBefore(const unsigned char* s, size_t pos)
{
    const unsigned char b = s[pos - 1];
    if (b < 0x80)
        return b;
    for (size_t back = 1; back <= 4 && back <= pos; ++back) {
        const unsigned char lead = s[pos - back];
        if (isContinuation(lead))
            continue;
        size_t length = 0;
        const char32_t c = decodeAt(s + pos - back, back, &length);
        return length == back ? c : char32_t(0xFFFD);
    }
    return 0xFFFD;
}

// Verifies term bytes 1 .. m-2 (first and last are already known to match).
inline bool verifyMiddle(const unsigned char* s, const unsigned char* t, size_t m, bool foldCase)
{
    if (m <= 2)
        return true;
    if (!foldCase)
        return std::memcmp(s + 1, t + 1, m - 2) == 0;
    for (size_t j = 1; j + 1 < m; ++j) {
        if (foldTable.lower[s[j]] != t[j])
            return false;
    }
    return true;
}

} // namespace

size_t ByteScanner::findTerm(const unsigned char* s, size_t n, const unsigned char* t, size_t m,
                             bool foldCase, size_t from)
{
    if (m == 0 || n < m || from > n - m)
        return n;
    const unsigned char first1 = t[0];
    const unsigned char first2 = foldCase ? foldTable.upper[t[0]] : t[0];
    if (m == 1) {
        if (first1 == first2) {
            const void* hit = std::memchr(s + from, first1, n - from);
            return hit ? size_t(static_cast<const unsigned char*>(hit) - s) : n;
        }
        for (size_t i = from; i < n; ++i) {
            if (s[i] == first1 || s[i] == first2)
                return i;
        }
        return n;
    }
    const unsigned char last1 = t[m - 1];
    const unsigned char last2 = foldCase ? foldTable.upper[t[m - 1]] : t[m - 1];
    // Candidates are positions whose first and last bytes both match, 16 at a time; each one
    // is then verified in full.
    const __m128i f1 = _mm_set1_epi8(char(first1));
    const __m128i f2 = _mm_set1_epi8(char(first2));
    const __m128i l1 = _mm_set1_epi8(char(last1));
    const __m128i l2 = _mm_set1_epi8(char(last2));
    size_t i = from;
    while (i + m - 1 + 16 <= n) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + m - 1));
        const __m128i eqFirst = _mm_or_si128(_mm_cmpeq_epi8(a, f1), _mm_cmpeq_epi8(a, f2));
        const __m128i eqLast = _mm_or_si128(_mm_cmpeq_epi8(b, l1), _mm_cmpeq_epi8(b, l2));
        unsigned mask = unsigned(_mm_movemask_epi8(_mm_and_si128(eqFirst, eqLast)));
        while (mask) {
            const unsigned bit = unsigned(__builtin_ctz(mask));
            if (verifyMiddle(s + i + bit, t, m, foldCase))
                return i + bit;
            mask &= mask - 1;
        }
        i += 16;
    }
    for (; i + m <= n; ++i) {
        if ((s[i] == first1 || s[i] == first2) && (s[i + m - 1] == last1 || s[i + m - 1] == last2)
            && verifyMiddle(s + i, t, m, foldCase))
            return i;
    }
    return n;
}

ByteScanner::ByteScanner(const ContentQuery& query, bool utf8, int* counter)
    : query(query)
    , utf8(utf8)
    , counter(counter)
    , fileScope(query.options.fileScope != 0)
    , wholeWord(query.options.kind == 1)
    , fold(!query.options.caseSensitive)
    , allTerms((1u << query.termCount()) - 1)
{
}

bool ByteScanner::acceptHit(const unsigned char* s, size_t n, size_t hit, size_t m) const
{
    if (!wholeWord)
        return true;
    if (hit > 0) {
        const char32_t before = utf8 ? decodeBefore(s, hit) : char32_t(s[hit - 1]);
        if (isWordUnit(before))
            return false;
    }
    const size_t after = hit + m;
    if (after < n) {
        size_t length = 0;
        const char32_t next = utf8 ? decodeAt(s + after, n - after, &length) : char32_t(s[after]);
        if (isWordUnit(next))
            return false;
    }
    return true;
}

bool ByteScanner::feed(const char* data, size_t size)
{
    if (slow)
        return true;
    const unsigned char* s = reinterpret_cast<const unsigned char*>(data);
    if (query.needsFoldCheck && utf8
        && (memmem(s, size, "\xE2\x84\xAA", 3) || memmem(s, size, "\xC5\xBF", 2))) {
        slow = true;
        return true;
    }
    return fileScope ? feedFileScope(s, size) : feedLineScope(s, size);
}

template <class OnHit>
void ByteScanner::forEachHit(const unsigned char* s, size_t n, int t, OnHit onHit) const
{
    const size_t m = size_t(query.termBytes[size_t(t)].size());
    for (size_t hit = nextHit(s, n, t, 0); hit < n; hit = nextHit(s, n, t, hit + m)) {
        if (!onHit(hit))
            return;
    }
}

bool ByteScanner::feedFileScope(const unsigned char* s, size_t n)
{
    const int termCount = query.termCount();
    for (int t = 0; t < termCount; ++t) {
        const unsigned bit = 1u << t;
        if ((found & bit) && !counter)
            continue;
        forEachHit(s, n, t, [&](size_t) {
            found |= bit;
            if (!counter)
                return false;
            ++*counter;
            return true;
        });
    }
    return !counter && found == allTerms;
}

size_t ByteScanner::nextHit(const unsigned char* s, size_t n, int t, size_t from) const
{
    const QByteArray& term = query.termBytes[size_t(t)];
    const unsigned char* tb = reinterpret_cast<const unsigned char*>(term.constData());
    const size_t m = size_t(term.size());
    for (;;) {
        const size_t hit = findTerm(s, n, tb, m, fold, from);
        if (hit >= n || acceptHit(s, n, hit, m))
            return hit;
        from = hit + m;
    }
}

bool ByteScanner::feedLineScope(const unsigned char* s, size_t n)
{
    if (matched && !counter)
        return true;
    const int termCount = query.termCount();
    // The next accepted hit of every term; the sweep goes from line to line through the lines
    // that hold a hit (a line without one has the empty set of terms, which the caller has
    // made sure does not satisfy the expression). Memory stays the same however many hits a
    // block holds.
    size_t next[ContentQuery::MaxFastTerms];
    for (int t = 0; t < termCount; ++t)
        next[t] = nextHit(s, n, t, 0);
    for (;;) {
        size_t first = n;
        for (int t = 0; t < termCount; ++t)
            first = std::min(first, next[t]);
        if (first >= n)
            break;
        const void* newline = std::memchr(s + first, '\n', n - first);
        const size_t lineEnd = newline ? size_t(static_cast<const unsigned char*>(newline) - s) + 1 : n;
        unsigned mask = 0;
        for (int t = 0; t < termCount; ++t) {
            if (next[t] >= lineEnd)
                continue;
            mask |= 1u << t;
            if (counter) {
                const size_t m = size_t(query.termBytes[size_t(t)].size());
                while (next[t] < lineEnd) {
                    ++*counter;
                    next[t] = nextHit(s, n, t, next[t] + m);
                }
            } else {
                // Hits never span lines: the term's next hit after this line is the first one
                // from the next line's start.
                next[t] = lineEnd < n ? nextHit(s, n, t, lineEnd) : n;
            }
        }
        if (query.verdict(mask)) {
            matched = true;
            if (!counter)
                return true;
        }
    }
    return matched && !counter;
}

bool ByteScanner::result() const
{
    if (fileScope)
        return query.verdict(found);
    return matched;
}
