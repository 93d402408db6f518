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
// been tabulated for every set of found terms (`verdicts`). Other patterns (regular expressions,
// non-ASCII terms) take the line-by-line route through SearchExpression.
#pragma once

#include "search/model/ExpressionToken.h"
#include "search/model/MatchOptions.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class FileSearchRequest;

class ContentQuery
{
public:
    static constexpr int MaxFastTerms = 8;

    ContentQuery(const QString& pattern, const MatchOptions& options);
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
    // verdicts[mask]: whether the expression holds when exactly the terms of `mask` are found.
    std::vector<unsigned char> verdicts;

    int termCount() const { return terms.size(); }
    bool verdict(unsigned mask) const { return verdicts[mask] != 0; }
};

using ContentQueryPtr = std::shared_ptr<const ContentQuery>;
