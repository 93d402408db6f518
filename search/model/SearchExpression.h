// SearchExpression: decides whether a text satisfies one part (name or contents) of a request.
//
// Built from a pattern and MatchOptions: the lexer splits the pattern into terms and tokens,
// the parser judges term combinations, the string matcher finds the terms. Verdicts:
// 0 undecided, 1 match, 2 no match.
//
// - Names and contents with scope "Line" (fileScope 0): every `match` judges its text alone.
// - Contents with scope "File" (fileScope 1): the terms found are collected over every text fed
//   to the expression (one expression per file). `match` answers 0 until every term has been
//   seen, then the parser's verdict; after the last line `evaluate` gives the verdict for the
//   terms collected.
// - An empty or blank pattern has no tokens and matches everything (`match` and `evaluate`
//   both give 1). A pattern made only of operators ("not", "(", "and") has no terms but is an
//   invalid expression and matches nothing.
//
// Hot path for the name index: `matchUtf8` takes the UTF-8 bytes of a name and gives the same
// verdict as `match(QString::fromUtf8(...))`, without decoding into a QString and without a heap
// allocation (names of up to 1024 bytes, all modes but regular expressions), and without the
// script engine once a combination of found terms has been judged (see ExpressionParser).
//
// An expression belongs to one thread at a time; each worker builds its own.
#pragma once

#include "search/model/IExpressionLexer.h"
#include "search/model/IExpressionParser.h"
#include "search/model/IStringMatcher.h"
#include "search/model/MatchOptions.h"
#include "search/model/TermMask.h"

#include <QString>
#include <memory>
#include <string>
#include <vector>

class ExpressionParser;
class StringMatcher;

class SearchExpression
{
public:
    enum Verdict { Undecided = 0, Matches = 1, NoMatch = 2 };

    // Takes ownership of `lexer`; null means a new ExpressionLexer.
    SearchExpression(const QString& pattern, const MatchOptions& options,
                     IExpressionLexer* lexer = nullptr);
    ~SearchExpression();
    SearchExpression(const SearchExpression&) = delete;
    SearchExpression& operator=(const SearchExpression&) = delete;

    // Verdict for `text`; positions and counter go to the matcher unchanged.
    int match(const QString& text, MatchPositions* positions = nullptr, int* counter = nullptr);

    // Verdict for a UTF-8 text of `length` bytes; the allocation-free form of match().
    int matchUtf8(const char* text, int length);

    // End-of-file verdict: 1 when the terms collected satisfy the expression, else 2.
    int evaluate();

    int termCount() const { return termCount_; }
    // Runs of ASCII characters (lower-cased letters) that every text this expression matches
    // contains: those of the terms present in every combination that satisfies it. Empty when
    // there are none to be had (no such term, more than 12 terms, an empty pattern).
    std::vector<std::string> requiredLiterals() const;
    const MatchOptions& matchOptions() const { return options; }

private:
    int judge(const TermMask& found);

    MatchOptions options;
    std::unique_ptr<IExpressionParser> parser;
    std::unique_ptr<IStringMatcher> matcher;
    std::unique_ptr<IExpressionLexer> lexer;
    TermMask termMask;
    int termCount_ = 0;
    bool matchesEverything = false; // the pattern gave no tokens at all
    TermMask all;
    // The owned parser and matcher as their own classes, for the word-sized hot path of
    // expressions with up to 64 terms.
    ExpressionParser* wordParser = nullptr;
    StringMatcher* wordMatcher = nullptr;
    // Terms present in every combination that satisfies the expression (up to 12 terms).
    quint64 requiredBits = 0;
};
