// ContentQuery: a request's contents pattern compiled once per search, shared read-only by all
// candidate checks of that search.
//
// Building a SearchExpression runs the pattern through the lexer and the script-engine parser
// (which checks the syntax with one script run under a process-wide mutex). Doing that once per
// candidate file would serialise the parallel checks on that mutex, so the file search prepares
// one ContentQuery and the checks share it.
//
// The query also decides whether the raw-byte scan (ByteScanner) may answer for a text file:
// it may when every term is a non-empty ASCII literal without line breaks (substring or whole
// word, any case mode), there are at most `MaxFastTerms` terms, and the Boolean combination has
// been tabulated for every set of found terms (`verdicts`).
//
// Other patterns with at most `MaxFastTerms` terms (regular expressions without the anchors "^"
// and "$" and without negative lookahead "(?!", non-ASCII terms) may still be pre-tested on whole blocks of decoded text with the
// matcher (`matcher`): when no term occurs anywhere in the text, every line holds the empty set
// of terms and the verdict is verdict(0) without reading line by line; a text in which some
// term occurs goes the line-by-line route through SearchExpression. (Without those constructs a
// hit inside a line is also a hit inside the block holding that line: what follows a line in
// the block is only a line break, which no positive part of the pattern needs to see.)
#pragma once

#include "search/model/ExpressionToken.h"
#include "search/model/MatchOptions.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class FileSearchRequest;
class StringMatcher;

class ContentQuery
{
public:
    static constexpr int MaxFastTerms = 8;

    ContentQuery(const QString& pattern, const MatchOptions& options);
    ~ContentQuery();
    ContentQuery(const ContentQuery&) = delete;
    ContentQuery& operator=(const ContentQuery&) = delete;
    static std::shared_ptr<const ContentQuery> fromRequest(const FileSearchRequest& request);

    QString pattern;
    MatchOptions options;
    QStringList terms;

    // Raw-byte route (see above).
    bool fastEligible = false;
    // Terms as bytes, lower-cased when the search ignores case.
    std::vector<QByteArray> termBytes;
    // Case-insensitive search for a term with "k" or "s": the Unicode folding also matches
    // U+212A (KELVIN SIGN) and U+017F (LONG S), so a UTF-8 text holding either needs the
    // line-by-line route.
    bool needsFoldCheck = false;
    // Block pre-test (see above): the terms' matcher, null when the pattern does not allow it.
    std::unique_ptr<StringMatcher> matcher;
    // verdicts[mask]: whether the expression holds when exactly the terms of `mask` are found
    // (filled for at most MaxFastTerms terms).
    std::vector<unsigned char> verdicts;

    int termCount() const { return terms.size(); }
    bool verdict(unsigned mask) const { return verdicts[mask] != 0; }
};

using ContentQueryPtr = std::shared_ptr<const ContentQuery>;
