// ByteRegex: a regular expression (the syntax users type, see RegexTranslator) compiled once by
// PCRE2 with its JIT compiler and matched on UTF-8 bytes, without decoding them.
//
// Texts are UTF-8. A byte sequence that is not valid UTF-8 is matched by nothing (not even
// "."), and matching goes on after it; callers that must read such bytes as U+FFFD, as
// QString::fromUtf8 does, repair the text first (repairUtf8). A leading byte-order mark is
// an ordinary character here.
//
// Prefilter: when every match must contain a run of ASCII characters (RegexTranslation::
// requiredLiteral) and the text is ASCII, the run is looked for first, byte-wise, and a text
// without it is refused without running the expression.
//
// Matches: `contains` says whether there is one. `find` gives the leftmost match from a byte
// offset and, of the matches that start there, the longest (QRegExp's rule, so highlighted
// and counted hits are the ones it gave); with back-references, whose longest match PCRE2's
// DFA matcher cannot find, the one the backtracking matcher finds first.
//
// Limits: an expression that backtracks too much on one text (more than 10 million steps, or
// deeper than the JIT stack) is finished by the DFA matcher, whose time is polynomial in the
// text length, so a hostile pattern cannot hang a search; with back-references it counts as
// no match.
//
// Threads: a ByteRegex is immutable after construction; any number of threads may match with
// one at once. Each thread keeps its own match data and JIT stack (thread-local), so a match
// allocates nothing after a thread's first.
#pragma once

#include <QString>

#include <cstddef>
#include <memory>
#include <string>

struct RegexTranslation;

class ByteRegex
{
public:
    struct Match
    {
        std::size_t start = 0; // byte offset
        std::size_t end = 0;   // byte offset just past the match
    };

    ByteRegex(const QString& pattern, bool caseSensitive);
    ~ByteRegex();
    ByteRegex(const ByteRegex&) = delete;
    ByteRegex& operator=(const ByteRegex&) = delete;

    // A compiled expression shared by every caller that asks for the same pattern and case
    // (the last 64 asked for are kept): callers that build matchers often, such as a contents
    // search that builds one per file, compile each expression once.
    static std::shared_ptr<const ByteRegex> shared(const QString& pattern, bool caseSensitive);

    // False for a pattern with a syntax error: it matches nothing.
    bool isValid() const;
    QString errorString() const;

    bool contains(const char* text, std::size_t length) const;
    // The leftmost-longest match that starts at or after byte `from`; false when none.
    // `validUtf8`: the caller knows the whole text is valid UTF-8, so it is not checked again
    // (on a long text searched hit after hit, that check would cost the whole text each time).
    bool find(const char* text, std::size_t length, std::size_t from, Match* match,
              bool validUtf8 = false) const;

    // The ASCII run every match contains (lower-cased when case is ignored), or empty.
    const std::string& requiredLiteral() const;

    // Whether a text is valid UTF-8 as QString::fromUtf8 reads it without replacement.
    static bool isValidUtf8(const char* text, std::size_t length);
    // The UTF-8 form of QString::fromUtf8(text): invalid sequences become U+FFFD, a leading
    // byte-order mark is dropped.
    static std::string repairUtf8(const char* text, std::size_t length);

private:
    struct Compiled;
    std::unique_ptr<Compiled> d;
};
