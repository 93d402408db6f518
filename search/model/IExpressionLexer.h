// IExpressionLexer: turns the text of a name or contents field into terms and tokens.
#pragma once

#include "search/model/ExpressionToken.h"

#include <QString>
#include <QStringList>

class IExpressionLexer
{
public:
    virtual ~IExpressionLexer() = default;

    // Appends the tokens of `pattern` to `tokens` and its terms to `terms`. `boolean` is
    // MatchOptions::boolean: 1 selects the Boolean grammar, anything else the list grammar.
    virtual void tokenize(const QString& pattern, int boolean, ExpressionTokens& tokens,
                          QStringList& terms) const = 0;
};
