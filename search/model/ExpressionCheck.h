// ExpressionCheck: whether a name or contents pattern is a valid expression, and if not, what
// is wrong and where, so that a syntax error is told to the user instead of being searched for
// (an invalid expression matches nothing, which would read as "nothing found").
//
// The verdict is the matcher's own: the Boolean structure is valid when the expression parser
// accepts the lexer's tokens, a regular expression when the string matcher's engine (ByteRegex)
// accepts it. The position and the explanation come from a scan of the pattern that follows
// the same grammar:
// - Boolean grammar: the first token where the parser's rules fail (two words side by side, an
//   operator without a word before or after it, an empty group, a ")" that closes nothing, a
//   "(" never closed).
// - List grammar (every other type): a "!" that excludes nothing.
// - Regular expressions: each term is compiled; the first that fails is named with the engine's
//   own message.
// Where the scan cannot place an error the parser found, the error has no position (-1).
// Texts are translated in the context "ExpressionCheck".
#pragma once

#include "search/model/MatchOptions.h"

#include <QString>

struct ExpressionError
{
    // Empty when the pattern is valid.
    QString message;
    // The offending part of the pattern (UTF-16 units); -1 when it cannot be placed.
    int position = -1;
    int length = 0;

    bool isError() const { return !message.isEmpty(); }
};

namespace ExpressionCheck {

ExpressionError check(const QString& pattern, const MatchOptions& options);

} // namespace ExpressionCheck
