#include "search/model/ByteRegex.h"

#include "search/model/RegexTranslator.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <QHash>

#include <cstring>
#include <deque>
#include <mutex>
#include <vector>

namespace {

constexpr uint32_t MatchLimit = 10000000;
constexpr std::size_t JitStackStart = 32 * 1024;
constexpr std::size_t JitStackMax = 1024 * 1024;
constexpr std::size_t DfaWorkspaceStart = 1000;
constexpr std::size_t DfaWorkspaceMax = 1 << 20;

// Per-thread match data, JIT stack and DFA workspace.
struct ThreadState
{
    pcre2_match_data* data = nullptr;
    pcre2_jit_stack* jitStack = nullptr;
    std::vector<int> workspace;

    ~ThreadState()
    {
        if (data)
            pcre2_match_data_free(data);
        if (jitStack)
            pcre2_jit_stack_free(jitStack);
    }
    pcre2_match_data* matchData()
    {
        if (!data)
            data = pcre2_match_data_create(1, nullptr);
        return data;
    }
};

ThreadState& threadState()
{
    thread_local ThreadState state;
    return state;
}

pcre2_jit_stack* threadJitStack(void*)
{
    ThreadState& state = threadState();
    if (!state.jitStack)
        state.jitStack = pcre2_jit_stack_create(JitStackStart, JitStackMax, nullptr);
    return state.jitStack;
}

bool isAscii(const char* s, std::size_t n)
{
    uint64_t bits = 0;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        uint64_t word;
        std::memcpy(&word, s + i, 8);
        bits |= word;
    }
    for (; i < n; ++i)
        bits |= uchar(s[i]);
    return (bits & 0x8080808080808080ULL) == 0;
}

inline uchar lowerAscii(uchar c)
{
    return (c >= 'A' && c <= 'Z') ? uchar(c + 32) : c;
}

bool containsFolded(const char* s, std::size_t n, const std::string& t)
{
    const std::size_t m = t.size();
    if (m > n)
        return false;
    const uchar first = uchar(t[0]);
    for (std::size_t i = 0; i + m <= n; ++i) {
        if (lowerAscii(uchar(s[i])) != first)
            continue;
        std::size_t j = 1;
        while (j < m && lowerAscii(uchar(s[i + j])) == uchar(t[j]))
            ++j;
        if (j == m)
            return true;
    }
    return false;
}

bool isLimitError(int rc)
{
    return rc == PCRE2_ERROR_MATCHLIMIT || rc == PCRE2_ERROR_JIT_STACKLIMIT || rc == PCRE2_ERROR_DEPTHLIMIT
        || rc == PCRE2_ERROR_HEAPLIMIT;
}

} // namespace

struct ByteRegex::Compiled
{
    RegexTranslation translation;
    pcre2_code* code = nullptr;
    // The same expression without PCRE2_MATCH_INVALID_UTF, which the DFA matcher refuses; it
    // runs on valid UTF-8 only (it reports an error for anything else).
    pcre2_code* dfaCode = nullptr;
    pcre2_match_context* context = nullptr;
    bool jit = false;
    bool caseSensitive = true;
    QString error;

    ~Compiled()
    {
        if (context)
            pcre2_match_context_free(context);
        if (code)
            pcre2_code_free(code);
        if (dfaCode)
            pcre2_code_free(dfaCode);
    }

    int run(const char* text, std::size_t length, std::size_t from, uint32_t options, pcre2_match_data* data) const
    {
        const auto subject = reinterpret_cast<PCRE2_SPTR>(text);
        if (jit && !(options & PCRE2_ANCHORED))
            return pcre2_jit_match(code, subject, length, from, options, data, context);
        return pcre2_match(code, subject, length, from, options, data, context);
    }

    // The DFA matcher from `from` (anchored there when asked): the longest match of the
    // leftmost start. Negative when it cannot tell (back-references, limits).
    int runDfa(const char* text, std::size_t length, std::size_t from, uint32_t options, pcre2_match_data* data) const
    {
        std::vector<int>& workspace = threadState().workspace;
        if (workspace.size() < DfaWorkspaceStart)
            workspace.resize(DfaWorkspaceStart);
        for (;;) {
            if (!dfaCode)
                return PCRE2_ERROR_NOMATCH;
            const int rc = pcre2_dfa_match(dfaCode, reinterpret_cast<PCRE2_SPTR>(text), length, from, options, data,
                                           context, workspace.data(), workspace.size());
            if (rc != PCRE2_ERROR_DFA_WSSIZE || workspace.size() >= DfaWorkspaceMax)
                return rc;
            workspace.resize(workspace.size() * 4);
        }
    }
};

ByteRegex::ByteRegex(const QString& pattern, bool caseSensitive)
    : d(new Compiled)
{
    d->caseSensitive = caseSensitive;
    d->translation = translateRegExp(pattern, caseSensitive);
    if (!d->translation.valid) {
        d->error = d->translation.error;
        return;
    }
    int errorCode = 0;
    PCRE2_SIZE errorOffset = 0;
    const std::string& p = d->translation.pattern;
    const uint32_t options = PCRE2_UTF | PCRE2_DOLLAR_ENDONLY | PCRE2_MATCH_UNSET_BACKREF;
    d->code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(p.data()), p.size(), options | PCRE2_MATCH_INVALID_UTF,
                            &errorCode, &errorOffset, nullptr);
    if (!d->code) {
        PCRE2_UCHAR message[256];
        pcre2_get_error_message(errorCode, message, sizeof(message));
        d->error = QString::fromUtf8(reinterpret_cast<const char*>(message));
        return;
    }
    d->jit = pcre2_jit_compile(d->code, PCRE2_JIT_COMPLETE) == 0;
    if (!d->translation.backReferences)
        d->dfaCode = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(p.data()), p.size(), options, &errorCode,
                                   &errorOffset, nullptr);
    d->context = pcre2_match_context_create(nullptr);
    pcre2_set_match_limit(d->context, MatchLimit);
    pcre2_jit_stack_assign(d->context, threadJitStack, nullptr);
}

ByteRegex::~ByteRegex() = default;

std::shared_ptr<const ByteRegex> ByteRegex::shared(const QString& pattern, bool caseSensitive)
{
    constexpr int Kept = 64;
    static std::mutex mutex;
    static QHash<QPair<QString, bool>, std::shared_ptr<const ByteRegex>> compiled;
    static std::deque<QPair<QString, bool>> order; // oldest first
    const QPair<QString, bool> key(pattern, caseSensitive);
    {
        std::lock_guard<std::mutex> guard(mutex);
        const auto it = compiled.constFind(key);
        if (it != compiled.constEnd())
            return it.value();
    }
    // Compiled outside the lock; two threads that both missed compile it twice, harmlessly.
    std::shared_ptr<const ByteRegex> made = std::make_shared<const ByteRegex>(pattern, caseSensitive);
    std::lock_guard<std::mutex> guard(mutex);
    if (!compiled.contains(key)) {
        compiled.insert(key, made);
        order.push_back(key);
        if (int(order.size()) > Kept) {
            compiled.remove(order.front());
            order.pop_front();
        }
    }
    return made;
}

bool ByteRegex::isValid() const
{
    return d->code != nullptr;
}

QString ByteRegex::errorString() const
{
    return d->error;
}

const std::string& ByteRegex::requiredLiteral() const
{
    return d->translation.requiredLiteral;
}

bool ByteRegex::contains(const char* text, std::size_t length) const
{
    if (!d->code)
        return false;
    const std::string& literal = d->translation.requiredLiteral;
    if (!literal.empty() && isAscii(text, length)) {
        const bool present = d->caseSensitive ? memmem(text, length, literal.data(), literal.size()) != nullptr
                                              : containsFolded(text, length, literal);
        if (!present)
            return false;
    }
    pcre2_match_data* data = threadState().matchData();
    const int rc = d->run(text, length, 0, 0, data);
    if (rc >= 0)
        return true;
    if (isLimitError(rc))
        return d->runDfa(text, length, 0, 0, data) >= 0;
    return false;
}

bool ByteRegex::find(const char* text, std::size_t length, std::size_t from, Match* match,
                     bool validUtf8) const
{
    const uint32_t check = validUtf8 ? PCRE2_NO_UTF_CHECK : 0;
    if (!d->code || from > length)
        return false;
    pcre2_match_data* data = threadState().matchData();
    int rc = d->run(text, length, from, 0, data);
    if (rc < 0 && !isLimitError(rc))
        return false;
    if (rc < 0) {
        if (d->runDfa(text, length, from, check, data) < 0)
            return false;
    } else if (!d->translation.backReferences) {
        // The leftmost start is the same for both rules; the longest match from it comes from
        // the DFA matcher.
        const std::size_t start = pcre2_get_ovector_pointer(data)[0];
        const std::size_t end = pcre2_get_ovector_pointer(data)[1];
        if (d->runDfa(text, length, start, PCRE2_ANCHORED | check, data) < 0) {
            match->start = start;
            match->end = end;
            return true;
        }
    }
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data);
    match->start = ovector[0];
    match->end = ovector[1];
    return true;
}

bool ByteRegex::isValidUtf8(const char* text, std::size_t length)
{
    const auto* s = reinterpret_cast<const uchar*>(text);
    std::size_t i = 0;
    if (length >= 3 && s[0] == 0xEF && s[1] == 0xBB && s[2] == 0xBF)
        return false; // QString::fromUtf8 drops it
    while (i < length) {
        // Skip ASCII eight bytes at a time.
        while (i + 8 <= length) {
            uint64_t word;
            std::memcpy(&word, s + i, 8);
            if (word & 0x8080808080808080ULL)
                break;
            i += 8;
        }
        if (i >= length)
            break;
        const uchar b = s[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        std::size_t need;
        uchar low = 0x80;
        uchar high = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            need = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            need = 3;
            if (b == 0xE0)
                low = 0xA0;
            else if (b == 0xED)
                high = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            need = 4;
            if (b == 0xF0)
                low = 0x90;
            else if (b == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (i + need > length)
            return false;
        if (s[i + 1] < low || s[i + 1] > high)
            return false;
        for (std::size_t k = 2; k < need; ++k) {
            if ((s[i + k] & 0xC0) != 0x80)
                return false;
        }
        i += need;
    }
    return true;
}

std::string ByteRegex::repairUtf8(const char* text, std::size_t length)
{
    const QByteArray bytes = QString::fromUtf8(text, int(length)).toUtf8();
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}
