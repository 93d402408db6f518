#include "search/engine/ContentScanner.h"

#include "core/FileSearchException.h"
#include "search/engine/ContentQuery.h"
#include "search/model/ByteRegex.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/SearchExpression.h"
#include "search/model/StringMatcher.h"
#include "search/model/TempFileHolder.h"

#include <QChar>

#include <algorithm>
#include <cstring>
#include <emmintrin.h>

namespace {

constexpr std::size_t npos = std::size_t(-1);
constexpr std::size_t kCapacity = ContentScanner::kWindowBytes + ContentScanner::kOverlapBytes
                                  + ContentScanner::kBlockBytes + 64;
// Bytes of a long line kept for its findAll record (enough for kMaxLineUnits units).
constexpr int kMaxKeptBytes = ContentScanner::kMaxLineUnits * 3;

using uchar8 = unsigned char;

// The thread's scanning buffer, allocated once per thread. A second scanner alive on the same
// thread at once (never the case in the content searcher) gets one of its own.
struct ThreadBuffer
{
    std::unique_ptr<char[]> memory{new char[kCapacity]};
    bool inUse = false;
};
thread_local ThreadBuffer threadBuffer;

struct FoldTable
{
    uchar8 lower[256];
    uchar8 upper[256];
    FoldTable()
    {
        for (int i = 0; i < 256; ++i) {
            lower[i] = uchar8((i >= 'A' && i <= 'Z') ? i + 32 : i);
            upper[i] = uchar8((i >= 'a' && i <= 'z') ? i - 32 : i);
        }
    }
};
const FoldTable foldTable;

inline bool verifyMiddle(const uchar8* s, const uchar8* t, std::size_t m, bool fold)
{
    if (m <= 2)
        return true;
    if (!fold)
        return std::memcmp(s + 1, t + 1, m - 2) == 0;
    for (std::size_t j = 1; j + 1 < m; ++j) {
        if (foldTable.lower[s[j]] != t[j])
            return false;
    }
    return true;
}

// First position >= from of `t` (m bytes, lower-cased when `fold`) in s[0, n), comparing ASCII
// letters without case when `fold`; npos when there is none. Candidates are positions whose
// first and last bytes both match, 16 at a time; each is then verified.
std::size_t findAscii(const uchar8* s, std::size_t n, const uchar8* t, std::size_t m, bool fold,
                      std::size_t from)
{
    if (m == 0 || n < m || from > n - m)
        return npos;
    const uchar8 first1 = t[0];
    const uchar8 first2 = fold ? foldTable.upper[t[0]] : t[0];
    if (m == 1) {
        if (first1 == first2) {
            const void* hit = std::memchr(s + from, first1, n - from);
            return hit ? std::size_t(static_cast<const uchar8*>(hit) - s) : npos;
        }
        for (std::size_t i = from; i < n; ++i) {
            if (s[i] == first1 || s[i] == first2)
                return i;
        }
        return npos;
    }
    const uchar8 last1 = t[m - 1];
    const uchar8 last2 = fold ? foldTable.upper[t[m - 1]] : t[m - 1];
    const __m128i f1 = _mm_set1_epi8(char(first1));
    const __m128i f2 = _mm_set1_epi8(char(first2));
    const __m128i l1 = _mm_set1_epi8(char(last1));
    const __m128i l2 = _mm_set1_epi8(char(last2));
    std::size_t i = from;
    while (i + m - 1 + 16 <= n) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + m - 1));
        const __m128i eqFirst = _mm_or_si128(_mm_cmpeq_epi8(a, f1), _mm_cmpeq_epi8(a, f2));
        const __m128i eqLast = _mm_or_si128(_mm_cmpeq_epi8(b, l1), _mm_cmpeq_epi8(b, l2));
        unsigned mask = unsigned(_mm_movemask_epi8(_mm_and_si128(eqFirst, eqLast)));
        while (mask) {
            const unsigned bit = unsigned(__builtin_ctz(mask));
            if (verifyMiddle(s + i + bit, t, m, fold))
                return i + bit;
            mask &= mask - 1;
        }
        i += 16;
    }
    for (; i + m <= n; ++i) {
        if ((s[i] == first1 || s[i] == first2) && (s[i + m - 1] == last1 || s[i + m - 1] == last2)
            && verifyMiddle(s + i, t, m, fold))
            return i;
    }
    return npos;
}

std::size_t findBytes(const uchar8* s, std::size_t n, const QByteArray& t, std::size_t from)
{
    const std::size_t m = std::size_t(t.size());
    if (m == 0 || n < m || from > n - m)
        return npos;
    const void* hit = memmem(s + from, n - from, t.constData(), m);
    return hit ? std::size_t(static_cast<const uchar8*>(hit) - s) : npos;
}

// The next U+017F (C5 BF) or U+212A (E2 84 AA) at or after `from`.
std::size_t findSpecial(const uchar8* s, std::size_t n, std::size_t from)
{
    const std::size_t a = findBytes(s, n, QByteArray::fromRawData("\xC5\xBF", 2), from);
    const std::size_t b = findBytes(s, n, QByteArray::fromRawData("\xE2\x84\xAA", 3), from);
    return std::min(a, b);
}

std::size_t countNewlines(const uchar8* s, std::size_t n)
{
    // Byte counters (a match subtracts -1) for up to 255 blocks of 16, then summed.
    std::size_t count = 0;
    std::size_t i = 0;
    const __m128i nl = _mm_set1_epi8('\n');
    while (i + 16 <= n) {
        __m128i counters = _mm_setzero_si128();
        for (int k = 0; k < 255 && i + 16 <= n; ++k, i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
            counters = _mm_sub_epi8(counters, _mm_cmpeq_epi8(v, nl));
        }
        const __m128i sums = _mm_sad_epu8(counters, _mm_setzero_si128());
        count += std::size_t(_mm_cvtsi128_si32(sums)) + std::size_t(_mm_extract_epi16(sums, 4));
    }
    for (; i < n; ++i)
        count += s[i] == '\n';
    return count;
}

bool isWordUnit(char32_t c)
{
    if (c > 0xFFFF)
        return false; // in UTF-16 the neighbour is a surrogate, which is no word character
    const QChar ch(static_cast<ushort>(c));
    const ushort u = ch.unicode();
    return ch.isLetter() || (u >= '0' && u <= '9') || u == '_'
        || (u > 127 && ch.category() == QChar::Number_DecimalDigit);
}

bool isContinuation(uchar8 b)
{
    return (b & 0xC0) == 0x80;
}

// The length of the shortest-form UTF-8 sequence of a valid code point at s[0, n), its code
// point in *c; 0 when the bytes do not start one (the decoder turns that byte into U+FFFD).
std::size_t sequenceAt(const uchar8* s, std::size_t n, char32_t* c)
{
    const uchar8 b = s[0];
    if (b < 0x80) {
        *c = b;
        return 1;
    }
    std::size_t need;
    char32_t min;
    char32_t v;
    if (b >= 0xC2 && b < 0xE0) {
        need = 2;
        min = 0x80;
        v = b & 0x1F;
    } else if (b >= 0xE0 && b < 0xF0) {
        need = 3;
        min = 0x800;
        v = b & 0x0F;
    } else if (b >= 0xF0 && b < 0xF5) {
        need = 4;
        min = 0x10000;
        v = b & 0x07;
    } else {
        return 0;
    }
    if (need > n)
        return 0;
    for (std::size_t k = 1; k < need; ++k) {
        if (!isContinuation(s[k]))
            return 0;
        v = (v << 6) | (s[k] & 0x3F);
    }
    if (v < min || (v >= 0xD800 && v <= 0xDFFF) || v > 0x10FFFF)
        return 0;
    *c = v;
    return need;
}

// The character that ends right before s[pos] (pos > begin) of a text starting at s[begin].
char32_t characterBefore(const uchar8* s, std::size_t begin, std::size_t pos)
{
    const uchar8 b = s[pos - 1];
    if (b < 0x80)
        return b;
    for (std::size_t back = 1; back <= 4 && back <= pos - begin; ++back) {
        if (isContinuation(s[pos - back]))
            continue;
        char32_t c = 0;
        return sequenceAt(s + pos - back, back, &c) == back ? c : char32_t(0xFFFD);
    }
    return 0xFFFD;
}

// The bytes at the end of s[0, n) that begin a character without completing it: a lead byte
// of C2 to F4 followed by fewer continuation bytes than it announces (whatever their values).
std::size_t incompleteTail(const uchar8* s, std::size_t n)
{
    for (std::size_t back = 1; back <= 3 && back <= n; ++back) {
        const uchar8 b = s[n - back];
        if (isContinuation(b))
            continue;
        const std::size_t need = (b >= 0xC2 && b <= 0xDF) ? 2 : (b >= 0xE0 && b <= 0xEF) ? 3
                                 : (b >= 0xF0 && b <= 0xF4) ? 4 : 0;
        return need > back ? back : 0;
    }
    return 0;
}

// Valid UTF-8 (a U+FEFF at the start included, which the reference keeps).
bool validUtf8(const uchar8* s, std::size_t n)
{
    const std::size_t mark = n >= 3 && s[0] == 0xEF && s[1] == 0xBB && s[2] == 0xBF ? 3 : 0;
    return ByteRegex::isValidUtf8(reinterpret_cast<const char*>(s) + mark, n - mark);
}

// The bytes as the decoder reads them, in UTF-8: every byte that does not start a valid
// sequence becomes U+FFFD (EF BF BD), three bytes for one. `replaced` receives the offset in
// the result of every such replacement, in order, so that offsets translate both ways.
struct Repaired
{
    std::string bytes;
    std::vector<quint32> replaced;

    void make(const uchar8* s, std::size_t n)
    {
        bytes.clear();
        replaced.clear();
        for (std::size_t i = 0; i < n;) {
            char32_t c;
            const std::size_t k = sequenceAt(s + i, n - i, &c);
            if (k == 0) {
                replaced.push_back(quint32(bytes.size()));
                bytes.append("\xEF\xBF\xBD", 3);
                ++i;
            } else {
                bytes.append(reinterpret_cast<const char*>(s + i), k);
                i += k;
            }
        }
    }
    // The source offset of a character boundary of the result.
    std::size_t toSource(std::size_t offset) const
    {
        const std::size_t before = std::size_t(std::lower_bound(replaced.begin(), replaced.end(), quint32(offset)) - replaced.begin());
        return offset - 2 * before;
    }
    // The result's offset of a source offset.
    std::size_t fromSource(std::size_t offset) const
    {
        std::size_t lo = 0, hi = replaced.size();
        while (lo < hi) { // replacements that stand for source bytes before `offset`
            const std::size_t mid = (lo + hi) / 2;
            if (replaced[mid] - 2 * mid < offset)
                lo = mid + 1;
            else
                hi = mid;
        }
        return offset + 2 * lo;
    }
};

// Decodes s[0, n) as the decoder does (without dropping a U+FEFF), with, for every UTF-16 unit
// and one past the end, the offset of the byte its character starts at.
QString decodeWithOffsets(const uchar8* s, std::size_t n, std::vector<quint32>* offsets)
{
    QString text(int(n), Qt::Uninitialized);
    QChar* out = text.data();
    int o = 0;
    if (offsets)
        offsets->clear();
    for (std::size_t i = 0; i < n;) {
        char32_t c;
        std::size_t k = sequenceAt(s + i, n - i, &c);
        if (k == 0) {
            c = 0xFFFD;
            k = 1;
        }
        if (c < 0x10000) {
            out[o++] = QChar(ushort(c));
            if (offsets)
                offsets->push_back(quint32(i));
        } else {
            out[o++] = QChar(QChar::highSurrogate(c));
            out[o++] = QChar(QChar::lowSurrogate(c));
            if (offsets) {
                offsets->push_back(quint32(i));
                offsets->push_back(quint32(i));
            }
        }
        i += k;
    }
    if (offsets)
        offsets->push_back(quint32(n));
    text.truncate(o);
    return text;
}

} // namespace

// A part of the current line to judge: the matchers may look at buf[subjectBegin, end) (what
// comes before `from` is context), hits start at `from` or later (terms judged on lines at
// `rescanFrom`, an earlier point when the line is judged in pieces) and before `acceptEnd`.
// `lineEnds`: `end` is the end of the line's text; else the line goes on past `end`.
struct ContentScanner::Piece
{
    std::size_t subjectBegin;
    std::size_t rescanFrom;
    std::size_t from;
    std::size_t acceptEnd;
    std::size_t end;
    bool lineEnds;
};

QString ContentScanner::decodeUtf8(const char* bytes, std::size_t size)
{
    return decodeWithOffsets(reinterpret_cast<const uchar8*>(bytes), size, nullptr);
}

ContentScanner::ContentScanner(const ContentQuery& contentQuery,
                               const FileSearchRequest* searchRequest, int* matchCounter,
                               TempFileHolder* tempFiles)
    : query(contentQuery)
    , request(searchRequest)
    , counter(matchCounter)
    , holder(tempFiles)
    , nextFrom(size_t(contentQuery.termCount()), 0)
    , regexStopped(size_t(contentQuery.termCount()), 0)
{
    if (threadBuffer.inUse) {
        ownBuffer.reset(new char[kCapacity]);
        buf = ownBuffer.get();
    } else {
        threadBuffer.inUse = true;
        buf = threadBuffer.memory.get();
    }
    countLines = tempFiles || (!contentQuery.options.fileScope && contentQuery.verdict(0));
    if (tempFiles) {
        MatchOptions lineOptions = contentQuery.options;
        lineOptions.fileScope = 0;
        positionsExpression.reset(new SearchExpression(contentQuery.pattern, lineOptions));
    }
}

ContentScanner::~ContentScanner()
{
    if (!ownBuffer)
        threadBuffer.inUse = false;
}

char* ContentScanner::space()
{
    return buf + size;
}

bool ContentScanner::feed(const char* data, std::size_t n)
{
    std::memcpy(space(), data, std::min(n, kBlockBytes));
    return commit(std::min(n, kBlockBytes));
}

void ContentScanner::checkCanceled()
{
    if (request && request->canceled)
        throw FileSearchCancelException(QStringLiteral("Request %1 canceled").arg(request->id),
                                        QStringLiteral("ContentSearcher"), 224);
}

bool ContentScanner::done() const
{
    if (counter || holder)
        return false;
    if (query.options.fileScope)
        return fileMask == query.allTerms();
    return matched;
}

bool ContentScanner::commit(std::size_t n)
{
    checkCanceled();
    hadBytes = hadBytes || n > 0;
    size += std::min(n, kBlockBytes);
    if (!done())
        process(false);
    return done();
}

bool ContentScanner::finish()
{
    if (!finished) {
        finished = true;
        if (!done())
            process(true);
    }
    if (query.options.fileScope)
        return query.verdict(fileMask);
    return matched || (lines == 0 && query.verdict(0));
}

void ContentScanner::process(bool atEnd)
{
    const uchar8* s = reinterpret_cast<const uchar8*>(buf);
    const void* lastNewline = size > pos ? memrchr(s + pos, '\n', size - pos) : nullptr;
    if (lastNewline) {
        const std::size_t to = std::size_t(static_cast<const uchar8*>(lastNewline) - s) + 1;
        processLines(pos, to);
        pos = to;
        if (done())
            return;
    }
    if (atEnd) {
        // A character cut short by the end of the text is no part of it (the decoder keeps
        // such bytes waiting for the rest, which never comes).
        size -= incompleteTail(s + pos, size - pos);
        // The last line, without a line end; a "\r" that ends the text is no part of it.
        if (size > pos || lineContinued) {
            const std::size_t textEnd = size > pos && buf[size - 1] == '\r' ? size - 1 : size;
            const std::size_t subjectBegin = lineStart >= base ? std::size_t(lineStart - base) : 0;
            const std::size_t rescan = lineContinued ? std::max(subjectBegin, pos >= kOverlapBytes ? pos - kOverlapBytes : 0) : pos;
            judge(Piece{subjectBegin, rescan, pos, textEnd, textEnd, true});
            if (holder && lineContinued && kept.size() < kMaxKeptBytes)
                kept.append(buf + pos, int(std::min<std::size_t>(textEnd - pos, std::size_t(kMaxKeptBytes - kept.size()))));
            endLine(textEnd);
            pos = size;
        } else if (lines == 0 && hadBytes) {
            // Bytes that decode to nothing (a byte-order mark, a character cut short) still
            // read as one empty line.
            endLine(pos);
        }
        return;
    }
    if (size - pos > kWindowBytes)
        processLongLine();
    // Keep the unjudged bytes and kOverlapBytes before them as context.
    const std::size_t keepFrom = pos > kOverlapBytes ? pos - kOverlapBytes : 0;
    if (keepFrom > 0) {
        std::memmove(buf, buf + keepFrom, size - keepFrom);
        base += keepFrom;
        size -= keepFrom;
        pos -= keepFrom;
    }
}

void ContentScanner::processLongLine()
{
    // A piece of a line longer than the window: what lies in the last kOverlapBytes is judged
    // with the next piece, when more of the line is known.
    const std::size_t subjectBegin = lineStart >= base ? std::size_t(lineStart - base) : 0;
    const std::size_t acceptEnd = size - kOverlapBytes;
    const std::size_t rescan = lineContinued ? std::max(subjectBegin, pos >= kOverlapBytes ? pos - kOverlapBytes : 0) : pos;
    judge(Piece{subjectBegin, rescan, pos, acceptEnd, size, false});
    if (holder && kept.size() < kMaxKeptBytes) {
        kept.append(buf + pos, int(std::min<std::size_t>(acceptEnd - pos, std::size_t(kMaxKeptBytes - kept.size()))));
        keptCut = keptCut || kept.size() >= kMaxKeptBytes;
    }
    pos = acceptEnd;
    lineContinued = true;
}

void ContentScanner::gapLines(std::size_t from, std::size_t to)
{
    // Lines without a term matter only for the line numbers of the records and for an
    // expression that holds for no term.
    if (to <= from || !countLines)
        return;
    const std::size_t n = countNewlines(reinterpret_cast<const uchar8*>(buf) + from, to - from);
    lines += qint64(n);
    // Lines in which no term occurs: they satisfy an expression that holds for no term.
    if (n > 0 && !query.options.fileScope && query.verdict(0))
        matched = true;
}

void ContentScanner::processLines(std::size_t from, std::size_t to)
{
    const uchar8* s = reinterpret_cast<const uchar8*>(buf);
    const int termCount = query.termCount();
    std::size_t p = from;
    auto textEndOf = [&](std::size_t newline, std::size_t lineBegin) {
        return newline > lineBegin && s[newline - 1] == '\r' ? newline - 1 : newline;
    };
    auto judgeLine = [&](std::size_t lineBegin, std::size_t newline) {
        const std::size_t textEnd = textEndOf(newline, lineBegin);
        if (lineContinued) {
            const std::size_t subjectBegin = lineStart >= base ? std::size_t(lineStart - base) : 0;
            const std::size_t rescan = std::max(subjectBegin, lineBegin >= kOverlapBytes ? lineBegin - kOverlapBytes : 0);
            judge(Piece{subjectBegin, rescan, lineBegin, textEnd, textEnd, true});
            if (holder && kept.size() < kMaxKeptBytes)
                kept.append(buf + lineBegin, int(std::min<std::size_t>(textEnd - lineBegin, std::size_t(kMaxKeptBytes - kept.size()))));
        } else {
            judge(Piece{lineBegin, lineBegin, lineBegin, textEnd, textEnd, true});
        }
        endLine(textEnd);
        lineStart = base + newline + 1;
        std::fill(nextFrom.begin(), nextFrom.end(), lineStart);
        if (++sinceCancelCheck % 4096 == 0)
            checkCanceled();
    };

    // The end of a line judged in pieces is judged whatever it holds.
    if (lineContinued) {
        const std::size_t newline = std::size_t(static_cast<const uchar8*>(std::memchr(s + p, '\n', to - p)) - s);
        judgeLine(p, newline);
        p = newline + 1;
        if (done())
            return;
    }

    // Terms that are looked for on every line (no run of their own to find first).
    bool everyLine = false;
    bool special = false;
    for (int t = 0; t < termCount; ++t) {
        const ContentQuery::Term& plan = query.plans[size_t(t)];
        if ((plan.kind == ContentQuery::Kind::Regex || plan.kind == ContentQuery::Kind::Decoded)
            && plan.prefilter.isEmpty())
            everyLine = true;
        special = special || plan.foldsSpecial || plan.prefilterFoldsSpecial;
    }
    if (everyLine || termCount == 0) {
        while (p < to && !done()) {
            const std::size_t newline = std::size_t(static_cast<const uchar8*>(std::memchr(s + p, '\n', to - p)) - s);
            judgeLine(p, newline);
            p = newline + 1;
        }
        return;
    }

    // The next place where a term (or its run) occurs, per term; lines without one are only
    // counted.
    const bool fold = query.ignoreCase;
    auto candidateOf = [&](int t, std::size_t at) -> std::size_t {
        const ContentQuery::Term& plan = query.plans[size_t(t)];
        const QByteArray& needle = plan.kind == ContentQuery::Kind::Ascii || plan.kind == ContentQuery::Kind::Utf8
                                       ? plan.bytes
                                       : plan.prefilter;
        if (plan.kind == ContentQuery::Kind::Utf8)
            return findBytes(s, to, needle, at);
        return findAscii(s, to, reinterpret_cast<const uchar8*>(needle.constData()), std::size_t(needle.size()),
                         fold, at);
    };
    std::size_t candidates[ContentQuery::MaxByteTerms];
    for (int t = 0; t < termCount; ++t)
        candidates[t] = candidateOf(t, p);
    std::size_t specialAt = special ? findSpecial(s, to, p) : npos;
    while (p < to && !done()) {
        std::size_t next = specialAt;
        for (int t = 0; t < termCount; ++t)
            next = std::min(next, candidates[t]);
        if (next == npos || next >= to) {
            gapLines(p, to);
            lineStart = base + to;
            std::fill(nextFrom.begin(), nextFrom.end(), lineStart);
            return;
        }
        const void* before = next > p ? memrchr(s + p, '\n', next - p) : nullptr;
        const std::size_t lineBegin = before ? std::size_t(static_cast<const uchar8*>(before) - s) + 1 : p;
        gapLines(p, lineBegin);
        lineStart = base + lineBegin;
        std::fill(nextFrom.begin(), nextFrom.end(), lineStart);
        const std::size_t newline = std::size_t(static_cast<const uchar8*>(std::memchr(s + next, '\n', to - next)) - s);
        judgeLine(lineBegin, newline);
        p = newline + 1;
        for (int t = 0; t < termCount; ++t) {
            if (candidates[t] < p)
                candidates[t] = candidateOf(t, p);
        }
        if (specialAt < p)
            specialAt = findSpecial(s, to, p);
    }
}

void ContentScanner::judge(const Piece& piece)
{
    const uchar8* s = reinterpret_cast<const uchar8*>(buf);
    const int termCount = query.termCount();
    const bool fold = query.ignoreCase;
    // Decoded once per piece when a term needs it.
    bool decodedReady = false;
    QString decoded;
    std::vector<quint32> offsets;
    std::size_t decodedBegin = 0;
    // Whether the piece holds a character that folds specially; looked for once, when a term
    // first needs to know.
    enum class Special { Unknown, Absent, Present };
    Special special = Special::Unknown;
    bool repairedReady = false;
    bool valid = true;
    Repaired repaired;

    for (int t = 0; t < termCount; ++t) {
        const quint64 bit = quint64(1) << t;
        if ((lineMask & bit) && !counter)
            continue; // found on this line already; nothing to count
        const ContentQuery::Term& plan = query.plans[size_t(t)];
        ContentQuery::Kind kind = plan.kind;
        if (kind == ContentQuery::Kind::Ascii && plan.foldsSpecial) {
            if (special == Special::Unknown)
                special = findSpecial(s, piece.end, piece.rescanFrom) != npos ? Special::Present
                                                                              : Special::Absent;
            if (special == Special::Present)
                kind = ContentQuery::Kind::Decoded;
        }
        const std::size_t hitFloor = std::size_t(std::max<qint64>(qint64(nextFrom[size_t(t)]) - qint64(base), 0));

        if (kind == ContentQuery::Kind::Ascii || kind == ContentQuery::Kind::Utf8) {
            const QByteArray& bytes = plan.bytes;
            const std::size_t m = std::size_t(bytes.size());
            std::size_t at = std::max(piece.from, hitFloor);
            for (;;) {
                const std::size_t hit = kind == ContentQuery::Kind::Utf8
                                            ? findBytes(s, piece.end, bytes, at)
                                            : findAscii(s, piece.end, reinterpret_cast<const uchar8*>(bytes.constData()), m, fold, at);
                if (hit == npos || hit >= piece.acceptEnd)
                    break;
                at = hit + m;
                nextFrom[size_t(t)] = base + at;
                if (query.wholeWord) {
                    if (hit > piece.subjectBegin && isWordUnit(characterBefore(s, piece.subjectBegin, hit)))
                        continue;
                    char32_t after = 0;
                    if (hit + m < piece.end && sequenceAt(s + hit + m, piece.end - hit - m, &after) == 0)
                        after = 0xFFFD;
                    if (hit + m < piece.end && isWordUnit(after))
                        continue;
                }
                lineMask |= bit;
                if (!counter)
                    break;
                ++*counter;
            }
            continue;
        }

        if (kind == ContentQuery::Kind::Regex) {
            if (!plan.regex->isValid())
                continue;
            if (!repairedReady) {
                repairedReady = true;
                valid = validUtf8(s + piece.subjectBegin, piece.end - piece.subjectBegin);
                if (!valid)
                    repaired.make(s + piece.subjectBegin, piece.end - piece.subjectBegin);
            }
            const char* subject = valid ? reinterpret_cast<const char*>(s + piece.subjectBegin) : repaired.bytes.data();
            const std::size_t length = valid ? piece.end - piece.subjectBegin : repaired.bytes.size();
            auto toSource = [&](std::size_t offset) {
                return piece.subjectBegin + (valid ? offset : repaired.toSource(offset));
            };
            const std::size_t fromByte = std::max(piece.rescanFrom, hitFloor) - piece.subjectBegin;
            std::size_t from = valid ? fromByte : repaired.fromSource(fromByte);
            ByteRegex::Match m;
            // The subject is valid UTF-8 (checked, or repaired).
            while (from <= length && plan.regex->find(subject, length, from, &m, true)) {
                const std::size_t start = toSource(m.start);
                const std::size_t end = toSource(m.end);
                // (An empty hit may stand at the very end of a line.)
                if (start > piece.acceptEnd || (start == piece.acceptEnd && !piece.lineEnds))
                    break;
                if (!piece.lineEnds && m.end >= length && start >= piece.end - kOverlapBytes)
                    break; // it touches the end of what is known: judged with the next piece
                lineMask |= bit;
                if (!counter || regexStopped[size_t(t)])
                    break;
                if (m.end <= m.start) {
                    regexStopped[size_t(t)] = 1; // hits are counted up to the first empty one
                    break;
                }
                ++*counter;
                nextFrom[size_t(t)] = base + end;
                from = m.end;
            }
            continue;
        }

        // Judged on the decoded text: StringMatcher's own search, so every hit is the one the
        // reference finds.
        if (!decodedReady) {
            decodedReady = true;
            // A little context before the piece for the word test, from a character start.
            decodedBegin = piece.rescanFrom;
            for (int k = 0; k < 8 && decodedBegin > piece.subjectBegin; ++k) {
                --decodedBegin;
                while (decodedBegin > piece.subjectBegin && isContinuation(s[decodedBegin]))
                    --decodedBegin;
            }
            if (piece.lineEnds && piece.subjectBegin == piece.from)
                decodedBegin = piece.from;
            decoded = decodeWithOffsets(s + decodedBegin, piece.end - decodedBegin, &offsets);
        }
        MatchPositions positions;
        query.matcher->matchTerm(decoded, t, &positions, nullptr);
        for (const MatchPosition& hit : qAsConst(positions)) {
            const std::size_t start = decodedBegin + offsets[size_t(hit.first)];
            const std::size_t end = decodedBegin + offsets[size_t(hit.first + hit.second)];
            if (start < std::max(piece.rescanFrom, hitFloor))
                continue; // context, or counted with the piece before
            if (start >= piece.acceptEnd)
                break;
            if (!piece.lineEnds && end >= piece.end && start >= piece.end - kOverlapBytes)
                break;
            lineMask |= bit;
            nextFrom[size_t(t)] = base + end;
            if (!counter)
                break;
            ++*counter;
        }
    }
}

void ContentScanner::endLine(std::size_t textEnd)
{
    if (query.options.fileScope) {
        fileMask |= lineMask;
    } else if (query.verdict(lineMask)) {
        matched = true;
    }
    if (holder && lineMask) {
        if (lineContinued)
            record(kept.constData(), std::size_t(kept.size()));
        else
            record(buf + std::size_t(lineStart - base), textEnd - std::size_t(lineStart - base));
    }
    ++lines;
    lineMask = 0;
    lineContinued = false;
    kept.clear();
    keptCut = false;
    std::fill(regexStopped.begin(), regexStopped.end(), 0);
}

void ContentScanner::record(const char* text, std::size_t length)
{
    const int lineNumber = int(lines);
    if (recordUnits >= kMaxRecordUnits) {
        holder->matches.append(MatchedLine(lineNumber, {}, QString()));
        return;
    }
    const std::size_t take = std::min<std::size_t>(length, std::size_t(kMaxKeptBytes));
    QString line = decodeUtf8(text, take);
    const bool cut = take < length || line.size() > kMaxLineUnits;
    if (line.size() > kMaxLineUnits) {
        int units = kMaxLineUnits;
        if (QChar::isHighSurrogate(line.at(units - 1).unicode()))
            --units;
        line.truncate(units);
    }
    // The positions StringMatcher gives in the (kept) text; a line cut short keeps its record
    // even when its hits lie beyond the cut.
    MatchPositions positions;
    positionsExpression->match(line, &positions, nullptr);
    if (positions.isEmpty() && !cut)
        return;
    recordUnits += line.size();
    holder->matches.append(MatchedLine(lineNumber, positions, line));
}
