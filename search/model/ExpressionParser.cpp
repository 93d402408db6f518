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

// Reverse Polish form of a token list, and whether it is a well-formed expression of the
// grammar the script is written in: or-chains of and-chains of "!"-prefixed terms and
// parenthesised groups. That is exactly what the engine accepts of such scripts, except that
// the engine also takes an operand directly followed by "(" as a call ("%1 (%2 )", ")("),
// valid syntax that only fails when run, and short-circuiting may skip the call entirely
// ("%1 &&%2 (%3 )||%4 " runs without error whenever %1 is 0), so such an expression would hold
// for some masks; here it is not well-formed. Tokens of other types write nothing into the
// script and are skipped. Iterative, so no nesting depth or chain length is too much for it.
constexpr int OpAnd = -1;
constexpr int OpOr = -2;
constexpr int OpNot = -3;
constexpr int OpOpen = -4;

std::vector<int> reversePolish(const ExpressionTokens& tokens, bool* ok)
{
    std::vector<int> out;
    std::vector<int> ops;
    bool expectOperand = true;
    int term = 0;
    auto fail = [&] {
        *ok = false;
        return std::vector<int>();
    };
    auto precedence = [](int op) { return op == OpNot ? 3 : op == OpAnd ? 2 : op == OpOr ? 1 : 0; };
    bool any = false;
    for (const ExpressionToken& token : tokens) {
        switch (token.type) {
        case ExpressionToken::Term:
            if (!expectOperand)
                return fail();
            out.push_back(term++);
            expectOperand = false;
            break;
        case ExpressionToken::Not:
        case ExpressionToken::OpenParenthesis:
            if (!expectOperand)
                return fail();
            ops.push_back(token.type == ExpressionToken::Not ? OpNot : OpOpen);
            break;
        case ExpressionToken::And:
        case ExpressionToken::Or: {
            if (expectOperand)
                return fail();
            const int op = token.type == ExpressionToken::And ? OpAnd : OpOr;
            while (!ops.empty() && ops.back() != OpOpen && precedence(ops.back()) >= precedence(op)) {
                out.push_back(ops.back());
                ops.pop_back();
            }
            ops.push_back(op);
            expectOperand = true;
            break;
        }
        case ExpressionToken::CloseParenthesis:
            if (expectOperand)
                return fail();
            while (!ops.empty() && ops.back() != OpOpen) {
                out.push_back(ops.back());
                ops.pop_back();
            }
            if (ops.empty())
                return fail();
            ops.pop_back();
            break;
        default:
            continue; // writes nothing into the script either
        }
        any = true;
    }
    if (any && expectOperand)
        return fail();
    while (!ops.empty()) {
        if (ops.back() == OpOpen)
            return fail();
        out.push_back(ops.back());
        ops.pop_back();
    }
    *ok = true;
    return out;
}

bool runReversePolish(const std::vector<int>& program, const TermMask& termMask)
{
    std::vector<char> stack;
    stack.reserve(program.size());
    for (const int code : program) {
        if (code >= 0) {
            stack.push_back(termMask.testBit(code) ? 1 : 0);
        } else if (code == OpNot) {
            stack.back() = !stack.back();
        } else {
            const char b = stack.back();
            stack.pop_back();
            stack.back() = code == OpAnd ? (stack.back() && b) : (stack.back() || b);
        }
    }
    return !stack.empty() && stack.back();
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
    bool wellFormed = false;
    std::vector<int> reversed = reversePolish(tokens, &wellFormed);
    if (!wellFormed)
        return; // never valid, whatever the engine would make of it
    polish = reversed;
    {
        QMutexLocker locker(&engineMutex);
        syntaxValid = QScriptEngine::checkSyntax(zeros).state() == QScriptSyntaxCheckResult::Valid;
    }
    // A well-formed script fails the check or the trial run only at the engine's own limits;
    // the trial run, as the evaluation of the empty mask, also seeds the cache.
    bool threw = false;
    bool none = syntaxValid && runScript(zeros, &threw);
    if (!syntaxValid || threw) {
        // The engine refuses expressions nested or chained beyond its depth limit (about
        // 5000 levels: a pasted list of some thousand alternatives). Such an expression is
        // evaluated here instead of being silently never satisfied.
        syntaxValid = !reversed.empty();
        if (!syntaxValid)
            return;
        program.swap(reversed);
        none = runReversePolish(program, TermMask());
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
        const bool result = compute(termMask);
        table[index] = result ? 1 : 0;
        return result;
    }

    const auto it = cache.constFind(termMask);
    if (it != cache.constEnd())
        return it.value();
    const bool result = compute(termMask);
    cache.insert(termMask, result);
    return result;
}

quint64 ExpressionParser::requiredTerms() const
{
    if (!syntaxValid || polish.empty() || placeholderCount > 12)
        return 0;
    const quint64 all = (quint64(1) << placeholderCount) - 1;
    quint64 optional = 0;
    bool satisfiable = false;
    for (quint64 mask = 0; mask <= all; ++mask) {
        if (runReversePolish(polish, TermMask(mask))) {
            satisfiable = true;
            optional |= all & ~mask;
        }
    }
    return satisfiable ? all & ~optional : 0;
}

int ExpressionParser::engineEvaluationCount()
{
    return evaluationCount.load();
}

bool ExpressionParser::compute(const TermMask& termMask) const
{
    if (!program.empty())
        return runReversePolish(program, termMask);
    bool threw = false;
    return runScript(substitute(termMask), &threw);
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
