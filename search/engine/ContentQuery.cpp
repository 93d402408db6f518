#include "search/engine/ContentQuery.h"

#include "search/model/ExpressionLexer.h"
#include "search/model/ExpressionParser.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/StringMatcher.h"

ContentQuery::ContentQuery(const QString& pattern, const MatchOptions& options)
    : pattern(pattern)
    , options(options)
{
    ExpressionLexer lexer;
    ExpressionTokens tokens;
    lexer.tokenize(pattern, options.boolean, tokens, terms);

    fastEligible = options.kind != 2 && terms.size() <= MaxFastTerms;
    for (const QString& term : terms) {
        if (!fastEligible)
            break;
        if (term.isEmpty()) {
            fastEligible = false;
            break;
        }
        QByteArray bytes;
        bytes.reserve(term.size());
        for (const QChar c : term) {
            const ushort u = c.unicode();
            if (u >= 128 || u == '\n' || u == '\r') {
                fastEligible = false;
                break;
            }
            char b = char(u);
            if (!options.caseSensitive) {
                if (b >= 'A' && b <= 'Z')
                    b = char(b + 32);
                if (b == 'k' || b == 's')
                    needsFoldCheck = true;
            }
            bytes.append(b);
        }
        termBytes.push_back(bytes);
    }
    if (!fastEligible) {
        termBytes.clear();
        needsFoldCheck = false;
    }
    if (terms.size() > MaxFastTerms)
        return;
    if (!fastEligible) {
        bool anchored = false;
        for (const QString& term : terms)
            anchored = anchored || term.contains(QLatin1Char('^')) || term.contains(QLatin1Char('$'))
                || term.contains(QLatin1String("(?!"));
        if (options.kind != 2 || !anchored)
            matcher.reset(new StringMatcher(terms, options));
    }
    // Tabulate the Boolean combination once (at most 2^8 script runs, each cached by the
    // parser anyway), so that the parallel checks never enter the script engine. Only a
    // pattern without any token matches everything; one made only of operators ("not", "( )")
    // has no terms but is invalid and matches nothing, as SearchExpression judges it.
    ExpressionParser parser(tokens);
    const unsigned combinations = 1u << terms.size();
    verdicts.resize(combinations);
    for (unsigned mask = 0; mask < combinations; ++mask)
        verdicts[mask] = tokens.isEmpty() ? 1 : (parser.evaluate(TermMask(mask)) ? 1 : 0);
}

ContentQuery::~ContentQuery() = default;

std::shared_ptr<const ContentQuery> ContentQuery::fromRequest(const FileSearchRequest& request)
{
    return std::make_shared<const ContentQuery>(request.contents, request.matchOptions(false));
}
