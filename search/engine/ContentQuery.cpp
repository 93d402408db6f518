#include "search/engine/ContentQuery.h"

#include "search/model/ByteRegex.h"
#include "search/model/ExpressionLexer.h"
#include "search/model/ExpressionParser.h"
#include "search/model/FileSearchRequest.h"
#include "search/model/StringMatcher.h"

#include <QMutexLocker>

namespace {

bool holdsFoldingLetter(const QByteArray& lowerAscii)
{
    return lowerAscii.contains('k') || lowerAscii.contains('s');
}

QByteArray lowerAscii(QByteArray bytes)
{
    for (char& c : bytes) {
        if (c >= 'A' && c <= 'Z')
            c = char(c + 32);
    }
    return bytes;
}

// The longest run of ASCII characters of `term` (lower-cased when `fold`); empty when none.
QByteArray longestAsciiRun(const QString& term, bool fold)
{
    QByteArray best, run;
    for (const QChar c : term) {
        const ushort u = c.unicode();
        if (u >= 128 || u == '\n' || u == '\r') {
            if (run.size() > best.size())
                best = run;
            run.clear();
        } else {
            run.append(char(u));
        }
    }
    if (run.size() > best.size())
        best = run;
    return fold ? lowerAscii(best) : best;
}

} // namespace

ContentQuery::ContentQuery(const QString& text, const MatchOptions& matchOptions)
    : pattern(text)
    , options(matchOptions)
{
    ExpressionLexer lexer;
    ExpressionTokens tokens;
    lexer.tokenize(text, matchOptions.boolean, tokens, terms);
    noTokens = tokens.isEmpty();
    wholeWord = matchOptions.kind == 1;
    ignoreCase = !matchOptions.caseSensitive;
    matcher.reset(new StringMatcher(terms, matchOptions));
    byteEngine = terms.size() <= MaxByteTerms;

    plans.resize(size_t(terms.size()));
    for (int i = 0; i < terms.size() && byteEngine; ++i) {
        const QString& term = terms.at(i);
        Term& plan = plans[size_t(i)];
        if (matchOptions.kind == 2) {
            plan.kind = Kind::Regex;
            plan.regex.reset(new ByteRegex(term, matchOptions.caseSensitive));
            plan.prefilter = QByteArray::fromStdString(plan.regex->requiredLiteral());
            if (ignoreCase)
                plan.prefilter = lowerAscii(plan.prefilter);
            plan.prefilterFoldsSpecial = ignoreCase && holdsFoldingLetter(plan.prefilter);
            continue;
        }
        bool ascii = !term.isEmpty();
        bool plainUnicode = !term.isEmpty();
        for (int k = 0; k < term.size(); ++k) {
            const ushort u = term.at(k).unicode();
            if (u == '\n' || u == '\r' || u == 0xFFFD)
                ascii = plainUnicode = false;
            if (u >= 128)
                ascii = false;
            if (QChar::isHighSurrogate(u)) {
                if (k + 1 >= term.size() || !QChar::isLowSurrogate(term.at(k + 1).unicode()))
                    plainUnicode = false;
                else
                    ++k;
            } else if (QChar::isLowSurrogate(u)) {
                plainUnicode = false;
            }
        }
        if (ascii) {
            plan.kind = Kind::Ascii;
            plan.bytes = ignoreCase ? lowerAscii(term.toLatin1()) : term.toLatin1();
            plan.foldsSpecial = ignoreCase && holdsFoldingLetter(plan.bytes);
        } else if (plainUnicode && !ignoreCase) {
            plan.kind = Kind::Utf8;
            plan.bytes = term.toUtf8();
        } else {
            plan.kind = Kind::Decoded;
            plan.prefilter = longestAsciiRun(term, ignoreCase);
            plan.prefilterFoldsSpecial = ignoreCase && holdsFoldingLetter(plan.prefilter);
        }
        if (plan.kind == Kind::Ascii || plan.kind == Kind::Utf8)
            longestLiteral = std::max(longestLiteral, int(plan.bytes.size()));
    }

    // Tabulate the Boolean combination once (at most 2^12 script runs, each cached by the
    // parser anyway), so that the parallel checks never enter the script engine. Only a
    // pattern without any token matches everything; one made only of operators ("not", "( )")
    // has no terms but is invalid and matches nothing, as SearchExpression judges it.
    if (terms.size() <= MaxTabulatedTerms) {
        ExpressionParser parser(tokens);
        const unsigned combinations = 1u << terms.size();
        verdicts.resize(combinations);
        for (unsigned mask = 0; mask < combinations; ++mask)
            verdicts[mask] = noTokens ? 1 : (parser.evaluate(TermMask(mask)) ? 1 : 0);
    } else if (byteEngine) {
        lateParser.reset(new ExpressionParser(tokens));
    }
}

ContentQuery::~ContentQuery() = default;

bool ContentQuery::verdict(quint64 mask) const
{
    if (noTokens)
        return true;
    if (!verdicts.empty())
        return verdicts[size_t(mask)] != 0;
    QMutexLocker locker(&lateLock);
    const auto known = lateVerdicts.constFind(mask);
    if (known != lateVerdicts.constEnd())
        return *known;
    const bool holds = lateParser && lateParser->evaluate(TermMask(mask));
    lateVerdicts.insert(mask, holds);
    return holds;
}

std::shared_ptr<const ContentQuery> ContentQuery::fromRequest(const FileSearchRequest& request)
{
    return std::make_shared<const ContentQuery>(request.contents, request.matchOptions(false));
}
