// MatchOptions: the matcher settings for one part (name or contents) of a search request.
//
// Built by FileSearchRequest::matchOptions(forName). Read by StringMatcher (kind,
// caseSensitive, forName), the expression lexer (boolean) and SearchExpression (fileScope).
#pragma once

struct MatchOptions
{
    // 0 substring (also used for the "Boolean" expression type), 1 whole word, 2 regular
    // expression.
    int kind = 0;
    bool caseSensitive = false;
    // True for file names: only then are "?" and "*" wildcard characters.
    bool forName = false;
    // 1 when the pattern uses the Boolean grammar (and / or / not / parentheses), else 0 (the
    // list grammar: ";" between alternatives, blanks between words, leading "!" to exclude).
    int boolean = 0;
    // 1 when the terms are collected over every text fed to one SearchExpression (contents
    // with scope "File"); 0 when each text is judged alone.
    int fileScope = 0;
};
