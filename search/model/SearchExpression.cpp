#include "search/model/SearchExpression.h"

#include "search/model/ExpressionLexer.h"
#include "search/model/ExpressionParser.h"
#include "search/model/StringMatcher.h"

SearchExpression::SearchExpression(const QString& pattern, const MatchOptions& options,
                                   IExpressionLexer* lexer)
    : options(options)
    , lexer(lexer ? lexer : new ExpressionLexer)
{
    ExpressionTokens tokens;
    QStringList terms;
    this->lexer->tokenize(pattern, options.boolean, tokens, terms);
    termCount_ = terms.size();
    all = TermMask::firstBits(termCount_);
    parser.reset(new ExpressionParser(tokens));
    matcher.reset(new StringMatcher(terms, options));
}

SearchExpression::~SearchExpression() = default;

int SearchExpression::match(const QString& text, MatchPositions* positions, int* counter)
{
    if (termCount_ == 0)
        return Matches;
    if (options.fileScope) {
        termMask |= matcher->match(text, all.without(termMask), positions, counter);
    } else {
        termMask = matcher->match(text, all, positions, counter);
    }
    return judge(termMask);
}

int SearchExpression::matchUtf8(const char* text, int length)
{
    if (termCount_ == 0)
        return Matches;
    if (options.fileScope) {
        termMask |= matcher->matchUtf8(text, length, all.without(termMask));
    } else {
        termMask = matcher->matchUtf8(text, length, all);
    }
    return judge(termMask);
}

int SearchExpression::judge(const TermMask& found)
{
    if (options.fileScope && found.count() != termCount_)
        return Undecided;
    return parser->evaluate(found) ? Matches : NoMatch;
}

int SearchExpression::evaluate()
{
    if (termCount_ == 0)
        return Matches;
    return parser->evaluate(termMask) ? Matches : NoMatch;
}
