#include "search/model/ExpressionParser.h"

#include <QMutex>
#include <QMutexLocker>
#include <QScriptEngine>
#include <QScriptSyntaxCheckResult>
#include <QScriptValue>

#include <atomic>

namespace {

QMutex engineMutex;
QScriptEngine* sharedEngine = nullptr; // created once, never destroyed
std::atomic<int> evaluationCount{0};

// Caller holds engineMutex.
QScriptEngine* engine()
{
    if (!sharedEngine)
        sharedEngine = new QScriptEngine;
    return sharedEngine;
}

} // namespace

namespace {

// True when an operand (a term or a parenthesised group) is directly followed by another
// operand or an opening parenthesis. The engine rejects "%1 %2 " as syntax, but reads
// "%1 (%2 )" and ")(" as calls, which are valid syntax and only fail when run, and
// short-circuiting may skip the call entirely ("%1 &&%2 (%3 )||%4 " runs without error
// whenever %1 is 0): such an expression would hold for some masks. Tokens of other types
// write nothing and are skipped.
bool hasAdjacentOperands(const ExpressionTokens& tokens)
{
    bool afterOperand = false;
    for (const ExpressionToken& token : tokens) {
        switch (token.type) {
        case ExpressionToken::Term:
        case ExpressionToken::OpenParenthesis:
            if (afterOperand)
                return true;
            afterOperand = token.type == ExpressionToken::Term;
            break;
        case ExpressionToken::CloseParenthesis:
            afterOperand = true;
            break;
        case ExpressionToken::And:
        case ExpressionToken::Or:
        case ExpressionToken::Not:
            afterOperand = false;
            break;
        default:
            break;
        }
    }
    return false;
}

} // namespace

ExpressionParser::ExpressionParser(const ExpressionTokens& tokens)
    : tokenCount(tokens.size())
{
    {
        QMutexLocker locker(&engineMutex);
        engine();
    }

    for (const ExpressionToken& token : tokens) {
        switch (token.type) {
        case ExpressionToken::Term:
            ++placeholderCount;
            script += QLatin1Char('%') + QString::number(placeholderCount) + QLatin1Char(' ');
            break;
        case ExpressionToken::And:
            script += QLatin1String("&&");
            break;
        case ExpressionToken::Or:
            script += QLatin1String("||");
            break;
        case ExpressionToken::Not:
            script += QLatin1Char('!');
            break;
        case ExpressionToken::OpenParenthesis:
            script += QLatin1Char('(');
            break;
        case ExpressionToken::CloseParenthesis:
            script += QLatin1Char(')');
            break;
        default:
            break;
        }
    }

    const QString zeros = substitute(TermMask());
    if (hasAdjacentOperands(tokens))
        return; // never valid, whatever the engine would make of it
    {
        QMutexLocker locker(&engineMutex);
        syntaxValid = QScriptEngine::checkSyntax(zeros).state() == QScriptSyntaxCheckResult::Valid;
    }
    if (!syntaxValid)
        return;
    // With adjacent operands refused nothing here should fail at run time; the trial run
    // stays as a guard (a failing script is invalid, not true) and, as the evaluation of the
    // empty mask, seeds the cache.
    bool threw = false;
    const bool none = runScript(zeros, &threw);
    if (threw) {
        syntaxValid = false;
        return;
    }
    if (placeholderCount <= TableLimit) {
        table.assign(size_t(1) << placeholderCount, qint8(-1));
        table[0] = none ? 1 : 0;
    } else {
        cache.insert(TermMask(), none);
    }
}

bool ExpressionParser::evaluate(const TermMask& termMask)
{
    if (!syntaxValid)
        return false;

    if (!table.empty()) {
        const size_t index = size_t(termMask.lowBits() & (table.size() - 1));
        const qint8 known = table[index];
        if (known >= 0)
            return known != 0;
        bool threw = false;
        const bool result = runScript(substitute(termMask), &threw);
        table[index] = result ? 1 : 0;
        return result;
    }

    const auto it = cache.constFind(termMask);
    if (it != cache.constEnd())
        return it.value();
    bool threw = false;
    const bool result = runScript(substitute(termMask), &threw);
    cache.insert(termMask, result);
    return result;
}

int ExpressionParser::engineEvaluationCount()
{
    return evaluationCount.load();
}

QString ExpressionParser::substitute(const TermMask& termMask) const
{
    // A placeholder is "%" with its whole number, so %1 is never read as the start of %12.
    QString text;
    text.reserve(script.size());
    const int n = script.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = script.at(i);
        if (c != QLatin1Char('%') || i + 1 >= n || !script.at(i + 1).isDigit()) {
            text.append(c);
            continue;
        }
        int number = 0;
        int j = i + 1;
        while (j < n && script.at(j).isDigit()) {
            number = number * 10 + script.at(j).digitValue();
            ++j;
        }
        text.append(termMask.testBit(number - 1) ? QLatin1Char('1') : QLatin1Char('0'));
        i = j - 1;
    }
    return text;
}

bool ExpressionParser::runScript(const QString& text, bool* threw) const
{
    QMutexLocker locker(&engineMutex);
    QScriptEngine* e = engine();
    evaluationCount.fetch_add(1);
    const QScriptValue value = e->evaluate(text);
    if (e->hasUncaughtException()) {
        e->clearExceptions();
        *threw = true;
        return false;
    }
    *threw = false;
    return value.toBool();
}
