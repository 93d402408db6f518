// RegexTranslator: turns a pattern in the regular-expression syntax users type (the syntax of
// Qt 5's QRegExp::RegExp) into an equivalent PCRE2 pattern for UTF-8 subjects, so that
// ByteRegex can match UTF-8 bytes directly with the same answers.
//
// The input syntax, token by token:
// - "." any character (newlines too); "[...]" and "[^...]" sets, where "]" right after "[" or
//   "[^" is a member, "a-" and "-" at the end are members, "z-a" is the range a-z, and the
//   escapes \d \D \s \S \w \W add their categories; ranges against a category add "-".
// - \d \s \w (and negations) by Qt's character categories: \d decimal digits; \s the
//   separators and 9-13, 0x85; \w letters, marks, numbers and "_". \b and \B test those word
//   characters on both sides.
// - \a \f \n \r \t \v, \0ooo (octal, at most 0377), \xhhhh (at most four hex digits, none
//   meaning NUL), \1 .. \N back-references (one to a group that does not exist matches the
//   empty text); every other escaped character is itself (\e is "e", \Q is "Q").
// - "^" and "$" only at the very start and end of the text (never at line breaks; "$" not
//   before a final newline); anchors and lookaheads may carry a quantifier (with a minimum of
//   0 they drop out).
// - Quantifiers * + ? {n} {n,} {,m} {n,m} {} (at most 1024; greedy; none may follow another:
//   "a**" and "a*?" are errors); groups ( ), (?: ), lookaheads (?= ) (?! ); lookbehinds,
//   other "(?" forms, an unmatched ")" "]" "}" and an unterminated set are errors.
// - Case-insensitive: a character matches every character with the same simple lower-case
//   form (QChar::toLower); a set matches a character when it holds its lower- or upper-case
//   form (a negated set: when it refuses neither). A pattern made only of characters (no set,
//   anchor, group, quantifier or "|") is looked for as QString::indexOf looks for its
//   lower-case form ignoring case: unit by unit, case folded (so "\u03C3" finds the final
//   sigma and "s" the long s, and a capital I with dot above, whose lower-case form is two
//   units, is not found).
// A pattern with an error is invalid and matches nothing.
//
// Characters are code points: a character outside the Basic Multilingual Plane is one
// character (QRegExp saw two UTF-16 units) with its own category; sets whose ranges take in
// surrogate units take in these characters.
//
// Categories become PCRE2's Unicode properties; ranges are written out as code points, their
// case-insensitive forms computed from Qt's own case tables.
//
// Two differences, faults of QRegExp not kept: "\b" and "\B" at the start of a lookahead see
// the character before it (QRegExp matched a lookahead as a text of its own, so "a(?=\bb)"
// found "ab"); and ignoring case, a capital I with dot above (U+0130) in a pattern that is not
// a plain string finds itself (QRegExp first looked for the pattern's lower-case form, two
// units long, and so never found it).
//
// Also gives the longest run of ASCII characters that every match must contain (a prefilter:
// a text without it cannot match), lower-cased when the expression ignores case, or an empty
// string when there is none.
#pragma once

#include <QString>

#include <string>

struct RegexTranslation
{
    bool valid = false;
    QString error;         // why the pattern is invalid
    std::string pattern;   // the PCRE2 pattern (UTF-8), meant for PCRE2_UTF | PCRE2_DOLLAR_ENDONLY
    bool backReferences = false;
    std::string requiredLiteral;
};

RegexTranslation translateRegExp(const QString& pattern, bool caseSensitive);
