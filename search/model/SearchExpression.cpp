#include "search/model/SearchExpression.h"

#include "search/model/ExpressionLexer.h"
#include "search/model/ExpressionParser.h"
#include "search/model/StringMatcher.h"

SearchExpression::SearchExpression(const QString& pattern, const MatchOptions& matchOptions,
                                   IExpressionLexer* customLexer)
    : options(matchOptions)
    , lexer(customLexer ? customLexer : new ExpressionLexer)
{
    ExpressionTokens tokens;
    QStringList terms;
    this->lexer->tokenize(pattern, matchOptions.boolean, tokens, terms);
    termCount_ = terms.size();
    matchesEverything = tokens.isEmpty();
    all = TermMask::firstBits(termCount_);
    wordParser = new ExpressionParser(tokens);
    parser.reset(wordParser);
    wordMatcher = new StringMatcher(terms, matchOptions);
    matcher.reset(wordMatcher);
    if (!matchesEverything && termCount_ <= 12)
        requiredBits = wordParser->requiredTerms();
}

SearchExpression::~SearchExpression() = default;

int SearchExpression::match(const QString& text, MatchPositions* positions, int* counter)
{
    if (matchesEverything)
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
    if (matchesEverything)
        return Matches;
    if (termCount_ <= 64) {
        quint64 found;
        if (options.fileScope) {
            found = termMask.lowBits();
            found |= wordMatcher->matchUtf8Bits(text, length, all.lowBits() & ~found);
            termMask.assignLowBits(found);
            if (__builtin_popcountll(found) != termCount_)
                return Undecided;
        } else if (requiredBits && requiredBits != all.lowBits()) {
            // Terms every match holds first: a text without one of them is refused without
            // looking for the others.
            found = wordMatcher->matchUtf8Bits(text, length, requiredBits);
            if (found != requiredBits) {
                termMask.assignLowBits(found);
                return NoMatch;
            }
            found |= wordMatcher->matchUtf8Bits(text, length, all.lowBits() & ~requiredBits);
            termMask.assignLowBits(found);
        } else {
            found = wordMatcher->matchUtf8Bits(text, length, all.lowBits());
            termMask.assignLowBits(found);
        }
        return wordParser->evaluateBits(found) ? Matches : NoMatch;
    }
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
    if (matchesEverything)
        return Matches;
    return parser->evaluate(termMask) ? Matches : NoMatch;
}

std::vector<std::string> SearchExpression::requiredLiterals() const
{
    std::vector<std::string> literals;
    for (int i = 0; i < termCount_ && i < 64; ++i) {
        if (requiredBits & (quint64(1) << i)) {
            const std::vector<std::string> runs = wordMatcher->requiredRuns(i);
            literals.insert(literals.end(), runs.begin(), runs.end());
        }
    }
    return literals;
}
