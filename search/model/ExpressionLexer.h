// ExpressionLexer: the two pattern grammars of the search fields.
//
// Boolean grammar (expression type "Boolean"): words separated by blanks; the lower-case words
// "and", "or", "not" and the parentheses are operators, everything else is a term. "\\" stands
// for one backslash and "\(" / "\)" for a literal parenthesis inside a term. Two terms side by
// side get no operator (the parser then rejects the expression).
//
// List grammar (all other types): ";" separates alternative groups, blanks separate the words of
// a group (all must occur), and a group starting with "!" is an exclusion (none of its words may
// occur together). "\\" is one backslash, "\;" and "\ " are a literal ";" and blank, and a group
// starting with "\!" is an inclusion whose first word starts with "!". Tokens:
//   a b; c        ->  a and b or c
//   a; !x         ->  a and not x
//   a; b; !t      ->  ( a or b ) and not t
//   a; !x y       ->  a and ( not x or not y )
// The inclusions are put in parentheses when there are several groups and exclusions follow,
// and an exclusion group of several words is put in parentheses, so that every exclusion
// applies to the whole expression whatever the operator precedence. A lone "!" is an empty
// exclusion group: it gives no term, but after other groups its leading "and" still stands and
// the parser rejects the incomplete expression.
//
// Escaped characters are marked outside the UTF-16 range while the pattern is split, so no
// character of the pattern (full-width or private-use letters included) is ever mistaken for
// an escape or changed.
#pragma once

#include "search/model/IExpressionLexer.h"

class ExpressionLexer : public IExpressionLexer
{
public:
    void tokenize(const QString& pattern, int boolean, ExpressionTokens& tokens,
                  QStringList& terms) const override;

private:
    static void tokenizeBoolean(const QString& pattern, ExpressionTokens& tokens, QStringList& terms);
    static void tokenizeList(const QString& pattern, ExpressionTokens& tokens, QStringList& terms);
};
