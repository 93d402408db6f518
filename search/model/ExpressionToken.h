// ExpressionToken: one token of a search pattern as the expression lexer produces it.
//
// A term token carries no index: the N-th term token of a list stands for the N-th entry of the
// term list produced with it.
#pragma once

#include <QVector>

struct ExpressionToken
{
    enum Type { Term = 0, And = 1, Or = 2, Not = 3, OpenParenthesis = 4, CloseParenthesis = 5 };

    int type = Term;

    bool operator==(const ExpressionToken& other) const { return type == other.type; }
    bool operator!=(const ExpressionToken& other) const { return type != other.type; }
};

using ExpressionTokens = QVector<ExpressionToken>;
