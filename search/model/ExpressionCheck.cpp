#include "search/model/ExpressionCheck.h"

#include "search/model/ByteRegex.h"
#include "search/model/ExpressionLexer.h"
#include "search/model/ExpressionParser.h"

#include <QCoreApplication>
#include <QVector>

namespace {


QString quoted(const QString& text)
{
    return QCoreApplication::translate("ExpressionCheck", "\"%1\"").arg(text);
}

struct Token
{
    int type;
    int position;
    QString text;
};

// The Boolean grammar's tokens with their places: blanks separate words, "(" and ")" stand
// alone, "\\", "\(" and "\)" belong to the word they are in.
QVector<Token> booleanTokens(const QString& pattern)
{
    QVector<Token> tokens;
    const int n = pattern.size();
    int i = 0;
    while (i < n) {
        const QChar c = pattern.at(i);
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (c == QLatin1Char('(') || c == QLatin1Char(')')) {
            tokens.append({c == QLatin1Char('(') ? ExpressionToken::OpenParenthesis : ExpressionToken::CloseParenthesis,
                           i, QString(c)});
            ++i;
            continue;
        }
        const int start = i;
        while (i < n && !pattern.at(i).isSpace() && pattern.at(i) != QLatin1Char('(')
               && pattern.at(i) != QLatin1Char(')')) {
            if (pattern.at(i) == QLatin1Char('\\') && i + 1 < n
                && QStringLiteral("\\()").contains(pattern.at(i + 1)))
                ++i;
            ++i;
        }
        const QString word = pattern.mid(start, i - start);
        int type = ExpressionToken::Term;
        if (word == QLatin1String("and"))
            type = ExpressionToken::And;
        else if (word == QLatin1String("or"))
            type = ExpressionToken::Or;
        else if (word == QLatin1String("not"))
            type = ExpressionToken::Not;
        tokens.append({type, start, word});
    }
    return tokens;
}

ExpressionError at(const Token& token, const QString& message)
{
    return ExpressionError{message, token.position, int(token.text.size())};
}

// The first place where the expression parser's rules fail.
ExpressionError locateBooleanError(const QString& pattern)
{
    const QVector<Token> tokens = booleanTokens(pattern);
    QVector<int> open; // indexes of the "(" not closed yet
    bool expectOperand = true;
    for (int k = 0; k < tokens.size(); ++k) {
        const Token& t = tokens.at(k);
        const Token* before = k > 0 ? &tokens.at(k - 1) : nullptr;
        switch (t.type) {
        case ExpressionToken::Term:
            if (!expectOperand)
                return at(t, QCoreApplication::translate("ExpressionCheck", "%1 follows %2 without \"and\" or \"or\" between them")
                                  .arg(quoted(t.text), quoted(before->text)));
            expectOperand = false;
            break;
        case ExpressionToken::Not:
        case ExpressionToken::OpenParenthesis:
            if (!expectOperand)
                return at(t, QCoreApplication::translate("ExpressionCheck", "%1 follows %2 without \"and\" or \"or\" between them")
                                  .arg(quoted(t.text), quoted(before->text)));
            if (t.type == ExpressionToken::OpenParenthesis)
                open.append(k);
            break;
        case ExpressionToken::And:
        case ExpressionToken::Or:
            if (expectOperand)
                return at(t, before ? QCoreApplication::translate("ExpressionCheck", "%1 follows %2 without a word between them").arg(quoted(t.text), quoted(before->text))
                                    : QCoreApplication::translate("ExpressionCheck", "%1 has no word before it").arg(quoted(t.text)));
            expectOperand = true;
            break;
        case ExpressionToken::CloseParenthesis:
            if (expectOperand) {
                if (before && before->type == ExpressionToken::OpenParenthesis)
                    return ExpressionError{QCoreApplication::translate("ExpressionCheck", "The parentheses hold nothing"), before->position,
                                           t.position - before->position + 1};
                return at(t, before ? QCoreApplication::translate("ExpressionCheck", "%1 follows %2 without a word between them").arg(quoted(t.text), quoted(before->text))
                                    : QCoreApplication::translate("ExpressionCheck", "%1 closes no \"(\"").arg(quoted(t.text)));
            }
            if (open.isEmpty())
                return at(t, QCoreApplication::translate("ExpressionCheck", "%1 closes no \"(\"").arg(quoted(t.text)));
            open.removeLast();
            break;
        }
    }
    if (!tokens.isEmpty() && expectOperand)
        return at(tokens.last(), QCoreApplication::translate("ExpressionCheck", "%1 has no word after it").arg(quoted(tokens.last().text)));
    if (!open.isEmpty())
        return at(tokens.at(open.last()), QCoreApplication::translate("ExpressionCheck", "This \"(\" is never closed"));
    return ExpressionError();
}

// List grammar: a group that is only "!" excludes nothing.
ExpressionError locateListError(const QString& pattern)
{
    int groupStart = 0;
    for (int i = 0; i <= pattern.size(); ++i) {
        if (i < pattern.size() && pattern.at(i) == QLatin1Char('\\')) {
            ++i;
            continue;
        }
        if (i < pattern.size() && pattern.at(i) != QLatin1Char(';'))
            continue;
        const QString group = pattern.mid(groupStart, i - groupStart);
        if (group.trimmed() == QLatin1String("!")) {
            const int bang = groupStart + group.indexOf(QLatin1Char('!'));
            return ExpressionError{QCoreApplication::translate("ExpressionCheck", "\"!\" excludes nothing: write the words to leave out after it"), bang, 1};
        }
        groupStart = i + 1;
    }
    return ExpressionError();
}

} // namespace

namespace ExpressionCheck {

ExpressionError check(const QString& pattern, const MatchOptions& options)
{
    ExpressionTokens tokens;
    QStringList terms;
    ExpressionLexer().tokenize(pattern, options.boolean, tokens, terms);
    if (!tokens.isEmpty() && !ExpressionParser(tokens).isSyntaxValid()) {
        ExpressionError error = options.boolean == 1 ? locateBooleanError(pattern) : locateListError(pattern);
        if (!error.isError())
            error = ExpressionError{QCoreApplication::translate("ExpressionCheck", "The expression is not complete"), -1, 0};
        return error;
    }
    if (options.kind != 2)
        return ExpressionError();
    int from = 0;
    for (const QString& term : qAsConst(terms)) {
        const int position = pattern.indexOf(term, from);
        if (position >= 0)
            from = position + term.size();
        const ByteRegex rx(term, options.caseSensitive);
        if (rx.isValid())
            continue;
        const QString why = rx.errorString();
        return ExpressionError{QCoreApplication::translate("ExpressionCheck", "The regular expression %1 is not valid: %2").arg(quoted(term), why), position,
                               position >= 0 ? int(term.size()) : 0};
    }
    return ExpressionError();
}

} // namespace ExpressionCheck
