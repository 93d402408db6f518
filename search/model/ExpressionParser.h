// ExpressionParser: evaluates the Boolean structure of a tokenized pattern with the script
// engine.
//
// The tokens are written out as a Qt Script expression with one placeholder per term ("%1 ",
// "%2 ", ...; "&&", "||", "!", parentheses), e.g. "(a or b) and not c" -> "(%1 ||%2 )&&!%3 ".
// The syntax is checked once, with every placeholder as 0. To evaluate a term mask, each
// placeholder %N becomes 1 when bit N - 1 is set, else 0, and the engine computes the value.
//
// Results are cached per mask, so the engine runs once per distinct combination of found terms:
// for up to 16 terms the cache is a truth table indexed by the mask (one array read per
// record on the hot path), above that a hash keyed by the mask.
//
// Invalid expressions (two terms side by side, an operator at either end, unbalanced
// parentheses, an empty group) are never satisfied. That includes scripts the engine accepts
// as syntax but that fail when run: "report (2015 or 2016)" reads as calling the number before
// the parenthesis, and "a and b (c) or d" would even hold whenever a is missing and d present,
// because the call is skipped by short-circuiting. So the tokens are checked against the
// grammar of the script first (or-chains of and-chains of "not"-prefixed terms and
// parenthesised groups), and only a well-formed expression goes to the engine; as a further
// guard, any evaluation that ends in an exception counts as false (the exception object would
// otherwise read as true and match everything).
//
// The engine has a depth limit (about 5000 nested or chained operators, so a list of some
// thousand pasted alternatives): a well-formed expression beyond it is evaluated by the parser
// itself from its reverse Polish form, with the same operators and precedence, instead of
// never holding.
//
// One process-wide engine, created by the first parser and kept until the process ends (the
// script engine needs the application object: create QCoreApplication first), is shared by
// all parsers; one process-wide mutex guards its creation and every use of it, so
// parsers may live on any threads. A single parser (with its cache) is used by one thread at a
// time.
#pragma once

#include "search/model/ExpressionToken.h"
#include "search/model/IExpressionParser.h"

#include <QHash>
#include <QString>
#include <vector>

class ExpressionParser : public IExpressionParser
{
public:
    explicit ExpressionParser(const ExpressionTokens& tokens);

    bool evaluate(const TermMask& termMask) override;

    // evaluate() for a mask of terms 0 to 63; one array read once the mask has been judged.
    bool evaluateBits(quint64 termMask)
    {
        if (!table.empty()) {
            const qint8 known = table[size_t(termMask & (table.size() - 1))];
            if (known >= 0)
                return known != 0;
        }
        return evaluate(TermMask(termMask));
    }

    bool isSyntaxValid() const { return syntaxValid; }

    // For expressions of up to 12 terms: the mask of the terms present in every combination
    // that satisfies the expression (0 when none is, or for more terms). Computed from the
    // reverse Polish form without the script engine.
    quint64 requiredTerms() const;
    const QString& scriptText() const { return script; }
    int termCount() const { return placeholderCount; }

    // Number of script-engine evaluations made by all parsers of the process (diagnostics
    // and tests: shows that the cache keeps the engine out of repeated evaluations).
    static int engineEvaluationCount();

private:
    bool compute(const TermMask& termMask) const;
    QString substitute(const TermMask& termMask) const;
    bool runScript(const QString& text, bool* threw) const;

    QString script;
    int tokenCount = 0;
    int placeholderCount = 0;
    bool syntaxValid = false;

    // Truth table for up to `TableLimit` terms: -1 unknown, 0 false, 1 true.
    static constexpr int TableLimit = 16;
    std::vector<qint8> table;
    QHash<TermMask, bool> cache;
    // The expression in reverse Polish form, only for one the engine cannot take.
    std::vector<int> program;
    // The reverse Polish form of every well-formed expression (for requiredTerms).
    std::vector<int> polish;
};
