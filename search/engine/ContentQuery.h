// ContentQuery: a request's contents pattern compiled once per search for matching UTF-8
// bytes (ContentScanner), shared read-only by all candidate checks of that search.
//
// Building a SearchExpression runs the pattern through the lexer and the script-engine parser
// (which checks the syntax with one script run under a process-wide mutex). Doing that once per
// candidate file would serialise the parallel checks on that mutex, so the file search prepares
// one ContentQuery and the checks share it. The Boolean combination is tabulated for every set
// of found terms up to 12 terms; with 13 to 64 terms each set is judged once, when first met,
// under the query's lock. A pattern of more than 64 terms is not for the byte engine
// (`byteEngine` false): the content searcher then reads lines through SearchExpression.
//
// Every term gets a plan that gives exactly the hits StringMatcher finds in the decoded line
// (the reference the line-by-line route used):
// - Ascii: a non-empty ASCII literal without line breaks (substring or whole word). ASCII bytes
//   of UTF-8 decode to themselves and other bytes never to ASCII, so a byte hit is a hit in the
//   text. Ignoring case, only ASCII letters fold, except U+212A (KELVIN SIGN) and U+017F (LONG
//   S), which fold to "k" and "s": a term holding either letter (`foldsSpecial`) is judged by
//   the Decoded plan in a line holding one of those characters.
// - Utf8: a literal with characters beyond ASCII, case-sensitive: its UTF-8 bytes are found
//   where the decoded term is found (UTF-8 is self-synchronising, and a byte the decoder
//   replaces never starts a valid sequence of the term).
// - Regex: a regular expression, matched by ByteRegex on the line's bytes (a line that is not
//   valid UTF-8 is repaired first, as QString::fromUtf8 reads it). `prefilter` is an ASCII run
//   every match holds: only lines holding it are matched.
// - Decoded: anything else (a literal with characters beyond ASCII ignoring case, one with a
//   line break or a U+FFFD): the line is decoded and StringMatcher judges it; `prefilter`, when
//   not empty, is an ASCII run of the term that every hit holds.
// A prefilter is searched ignoring ASCII case when the search ignores case; when it then holds
// "k" or "s" (`prefilterFoldsSpecial`) a line holding U+212A or U+017F is a candidate too.
#pragma once

#include "search/model/ExpressionToken.h"
#include "search/model/MatchOptions.h"

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class ByteRegex;
class ExpressionParser;
class FileSearchRequest;
class StringMatcher;

class ContentQuery
{
public:
    static constexpr int MaxTabulatedTerms = 12;
    static constexpr int MaxByteTerms = 64;

    ContentQuery(const QString& pattern, const MatchOptions& options);
    ~ContentQuery();
    ContentQuery(const ContentQuery&) = delete;
    ContentQuery& operator=(const ContentQuery&) = delete;
    static std::shared_ptr<const ContentQuery> fromRequest(const FileSearchRequest& request);

    enum class Kind { Ascii, Utf8, Regex, Decoded };
    struct Term
    {
        Kind kind = Kind::Decoded;
        QByteArray bytes;         // Ascii (lower-cased when ignoring case), Utf8
        bool foldsSpecial = false; // Ascii ignoring case, holding "k" or "s"
        std::unique_ptr<ByteRegex> regex;
        QByteArray prefilter;     // Regex, Decoded: an ASCII run every hit holds, or empty
        bool prefilterFoldsSpecial = false;
    };

    QString pattern;
    MatchOptions options;
    QStringList terms;
    std::vector<Term> plans;
    // The byte engine takes this pattern (at most MaxByteTerms terms).
    bool byteEngine = false;
    bool wholeWord = false;
    bool ignoreCase = false;
    // The longest literal term in bytes (Ascii, Utf8).
    int longestLiteral = 0;
    // The same terms for StringMatcher, to judge decoded lines.
    std::unique_ptr<StringMatcher> matcher;

    int termCount() const { return terms.size(); }
    quint64 allTerms() const { return termCount() >= 64 ? ~quint64(0) : (quint64(1) << termCount()) - 1; }
    // Whether the expression holds when exactly the terms of `mask` are found.
    bool verdict(quint64 mask) const;

private:
    std::vector<unsigned char> verdicts; // up to MaxTabulatedTerms terms
    mutable QMutex lateLock;             // more terms: judged when first met
    mutable std::unique_ptr<ExpressionParser> lateParser;
    mutable QHash<quint64, bool> lateVerdicts;
    bool noTokens = false;
};

using ContentQueryPtr = std::shared_ptr<const ContentQuery>;
