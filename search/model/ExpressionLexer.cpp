#include "search/model/ExpressionLexer.h"

#include <string>
#include <vector>

namespace {

// The pattern is processed as a string of 32-bit units: each plain unit is one UTF-16 code unit
// of the pattern; an escaped character is its code unit with `EscapedBit` set. Such a unit
// never equals a plain unit, so escapes survive splitting and trimming, and turning the units
// back into text just drops the bit.
using Units = std::u32string;
constexpr char32_t EscapedBit = 0x10000000;

Units toUnits(const QString& text)
{
    Units units;
    units.reserve(size_t(text.size()));
    for (const QChar c : text)
        units.push_back(c.unicode());
    return units;
}

Units plain(const char* ascii)
{
    Units units;
    for (; *ascii; ++ascii)
        units.push_back(char32_t(uchar(*ascii)));
    return units;
}

Units escaped(char c)
{
    return Units(1, EscapedBit | char32_t(uchar(c)));
}

QString toText(const Units& units)
{
    QString text;
    text.reserve(int(units.size()));
    for (const char32_t u : units)
        text.append(QChar(ushort(u & 0xFFFF)));
    return text;
}

// Replaces every occurrence of `from`, scanning left to right without overlaps.
void replaceAll(Units& units, const Units& from, const Units& to)
{
    Units out;
    out.reserve(units.size());
    size_t i = 0;
    while (i < units.size()) {
        if (units.compare(i, from.size(), from) == 0) {
            out += to;
            i += from.size();
        } else {
            out.push_back(units[i++]);
        }
    }
    units.swap(out);
}

bool isPlainSpace(char32_t u)
{
    return u < 0x10000 && QChar(ushort(u)).isSpace();
}

Units trimmed(const Units& units)
{
    size_t begin = 0;
    size_t end = units.size();
    while (begin < end && isPlainSpace(units[begin]))
        ++begin;
    while (end > begin && isPlainSpace(units[end - 1]))
        --end;
    return units.substr(begin, end - begin);
}

// Splits at the plain unit `separator`, trims every part and drops the empty ones.
std::vector<Units> splitTrimmed(const Units& units, char32_t separator)
{
    std::vector<Units> parts;
    size_t start = 0;
    for (size_t i = 0; i <= units.size(); ++i) {
        if (i == units.size() || units[i] == separator) {
            Units part = trimmed(units.substr(start, i - start));
            if (!part.empty())
                parts.push_back(std::move(part));
            start = i + 1;
        }
    }
    return parts;
}

void emitToken(ExpressionTokens& tokens, int type)
{
    ExpressionToken token;
    token.type = type;
    tokens.append(token);
}

// Emits the groups of one kind: groups are joined by "or" (inclusions) or "and" (exclusions);
// the words of a group by "and" (inclusions) or "or" with a "not" before each word
// (exclusions). An exclusion group of several words is parenthesised.
void emitGroups(const std::vector<Units>& groups, bool excluded, ExpressionTokens& tokens,
                QStringList& terms)
{
    for (size_t g = 0; g < groups.size(); ++g) {
        if (g > 0)
            emitToken(tokens, excluded ? ExpressionToken::And : ExpressionToken::Or);
        const std::vector<Units> words = splitTrimmed(groups[g], U' ');
        const bool parenthesise = excluded && words.size() > 1;
        if (parenthesise)
            emitToken(tokens, ExpressionToken::OpenParenthesis);
        for (size_t w = 0; w < words.size(); ++w) {
            if (w > 0)
                emitToken(tokens, excluded ? ExpressionToken::Or : ExpressionToken::And);
            if (excluded)
                emitToken(tokens, ExpressionToken::Not);
            terms.append(toText(words[w]));
            emitToken(tokens, ExpressionToken::Term);
        }
        if (parenthesise)
            emitToken(tokens, ExpressionToken::CloseParenthesis);
    }
}

} // namespace

void ExpressionLexer::tokenize(const QString& pattern, int boolean, ExpressionTokens& tokens,
                               QStringList& terms) const
{
    if (boolean == 1)
        tokenizeBoolean(pattern, tokens, terms);
    else
        tokenizeList(pattern, tokens, terms);
}

void ExpressionLexer::tokenizeBoolean(const QString& pattern, ExpressionTokens& tokens,
                                      QStringList& terms)
{
    Units units = toUnits(pattern);
    replaceAll(units, plain("\\\\"), plain("\\"));
    replaceAll(units, plain("\\("), escaped('('));
    replaceAll(units, plain("\\)"), escaped(')'));
    replaceAll(units, plain("("), plain(" ( "));
    replaceAll(units, plain(")"), plain(" ) "));

    static const Units andWord = plain("and");
    static const Units orWord = plain("or");
    static const Units notWord = plain("not");
    static const Units open = plain("(");
    static const Units close = plain(")");
    for (const Units& part : splitTrimmed(units, U' ')) {
        if (part == andWord) {
            emitToken(tokens, ExpressionToken::And);
        } else if (part == orWord) {
            emitToken(tokens, ExpressionToken::Or);
        } else if (part == notWord) {
            emitToken(tokens, ExpressionToken::Not);
        } else if (part == open) {
            emitToken(tokens, ExpressionToken::OpenParenthesis);
        } else if (part == close) {
            emitToken(tokens, ExpressionToken::CloseParenthesis);
        } else {
            terms.append(toText(part));
            emitToken(tokens, ExpressionToken::Term);
        }
    }
}

void ExpressionLexer::tokenizeList(const QString& pattern, ExpressionTokens& tokens,
                                   QStringList& terms)
{
    Units units = toUnits(pattern);
    replaceAll(units, plain("\\\\"), plain("\\"));
    replaceAll(units, plain("\\;"), escaped(';'));
    replaceAll(units, plain("\\ "), escaped(' '));

    std::vector<Units> inclusions;
    std::vector<Units> exclusions;
    for (Units& part : splitTrimmed(units, U';')) {
        if (part.compare(0, 2, plain("\\!")) == 0)
            part = escaped('!') + part.substr(2);
        if (part[0] == U'!')
            exclusions.push_back(part.substr(1));
        else
            inclusions.push_back(std::move(part));
    }

    // Several alternatives followed by exclusions: "( a or b ) and not x", never
    // "a or b and not x", which would exclude only from the last alternative.
    const bool parenthesise = inclusions.size() > 1 && !exclusions.empty();
    if (parenthesise)
        emitToken(tokens, ExpressionToken::OpenParenthesis);
    emitGroups(inclusions, false, tokens, terms);
    if (parenthesise)
        emitToken(tokens, ExpressionToken::CloseParenthesis);
    if (!exclusions.empty() && !tokens.isEmpty())
        emitToken(tokens, ExpressionToken::And);
    emitGroups(exclusions, true, tokens, terms);
}
