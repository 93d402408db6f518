#include "search/model/RegexTranslator.h"

#include <QChar>

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

namespace {

constexpr int Eos = -1;
constexpr int InfiniteRepeat = 1025; // a bound of 1025 or more is an error
constexpr int MaxBackReference = 14;
constexpr char BackReferenceMark = '\x01'; // never written otherwise: literals are escaped

constexpr quint32 flag(QChar::Category c)
{
    return quint32(1) << int(c);
}

const quint32 MarkFlags = flag(QChar::Mark_NonSpacing) | flag(QChar::Mark_SpacingCombining) | flag(QChar::Mark_Enclosing);
const quint32 NumberFlags = flag(QChar::Number_DecimalDigit) | flag(QChar::Number_Letter) | flag(QChar::Number_Other);
const quint32 LetterFlags = flag(QChar::Letter_Uppercase) | flag(QChar::Letter_Lowercase) | flag(QChar::Letter_Titlecase)
    | flag(QChar::Letter_Modifier) | flag(QChar::Letter_Other);
const quint32 SpaceFlags = flag(QChar::Separator_Space) | flag(QChar::Separator_Line) | flag(QChar::Separator_Paragraph);

// A character set as QRegExp keeps one: categories, ranges of UTF-16 units, negation.
struct CharSet
{
    quint32 categories = 0;
    std::vector<std::pair<char16_t, char16_t>> ranges;
    bool negative = false;

    void addRange(char16_t from, char16_t to)
    {
        if (from > to)
            std::swap(from, to);
        ranges.emplace_back(from, to);
    }
    void addSingleton(char16_t c) { ranges.emplace_back(c, c); }

};

void appendHex(std::string& out, uint value)
{
    static const char digits[] = "0123456789ABCDEF";
    char buffer[8];
    int n = 0;
    do {
        buffer[n++] = digits[value & 0xF];
        value >>= 4;
    } while (value);
    out += "\\x{";
    while (n)
        out += buffer[--n];
    out += '}';
}

void appendCodePoint(std::string& out, uint cp)
{
    if ((cp >= 'a' && cp <= 'z') || (cp >= 'A' && cp <= 'Z') || (cp >= '0' && cp <= '9'))
        out += char(cp);
    else
        appendHex(out, cp);
}

// PCRE2's names of Qt's character categories, by QChar::Category value.
const char* const CategoryNames[] = {"Mn", "Mc", "Me", "Nd", "Nl", "No", "Zs", "Zl", "Zp", "Cc",
                                     "Cf", "Cs", "Co", "Cn", "Lu", "Ll", "Lt", "Lm", "Lo", "Pc",
                                     "Pd", "Ps", "Pe", "Pi", "Pf", "Po", "Sm", "Sc", "Sk", "So"};

// Appends the code-point ranges of `members` (units 0-FFFF, then [0x10000] for everything
// beyond) as class items; returns whether there was any.
bool appendRanges(std::string& out, const std::vector<bool>& members)
{
    bool any = false;
    uint start = 0;
    bool open = false;
    auto close = [&](uint end) {
        appendHex(out, start);
        if (end != start) {
            out += '-';
            appendHex(out, end);
        }
        any = true;
        open = false;
    };
    for (uint u = 0; u <= 0xFFFF; ++u) {
        const bool member = members[u];
        if (member && !open) {
            start = u;
            open = true;
        } else if (!member && open) {
            close(u - 1);
        }
    }
    if (open)
        close(0xFFFF);
    if (members[0x10000]) {
        start = 0x10000;
        close(0x10FFFF);
    }
    return any;
}

bool inRanges(const CharSet& set, char16_t u)
{
    for (const auto& r : set.ranges) {
        if (u >= r.first && u <= r.second)
            return true;
    }
    return false;
}

// A set as a PCRE2 class: its categories as Unicode properties, its ranges as code points.
// Ignoring case, a range unit matches every character whose lower- or upper-case form it is.
// Ranges that take in surrogate units take in the characters beyond the Basic Multilingual
// Plane, which QRegExp saw as surrogates.
std::string classOf(const CharSet& set, bool caseSensitive)
{
    if (set.negative && !set.categories && set.ranges.empty())
        return "(?s:.)";
    std::string items;
    for (int c = 0; c < 30; ++c) {
        if (set.categories & (quint32(1) << c)) {
            items += "\\p{";
            items += CategoryNames[c];
            items += '}';
        }
    }
    if (!set.ranges.empty()) {
        std::vector<bool> members(0x10001, false);
        for (uint u = 0; u <= 0xFFFF; ++u) {
            if (u >= 0xD800 && u <= 0xDFFF)
                continue;
            const char16_t unit = char16_t(u);
            members[u] = caseSensitive ? inRanges(set, unit)
                                       : inRanges(set, char16_t(QChar::toLower(u))) || inRanges(set, char16_t(QChar::toUpper(u)));
        }
        members[0x10000] = inRanges(set, char16_t(0xD800));
        appendRanges(items, members);
    }
    if (items.empty())
        return set.negative ? "(?s:.)" : "(?!)";
    return (set.negative ? "[^" : "[") + items + ']';
}

// Units grouped by a one-unit case mapping (the simple lower-case form, or the case folding).
struct CaseGroups
{
    std::vector<char16_t> order;         // units sorted by their mapped form
    std::vector<uint> first;             // per mapped form: its first index in `order`
    std::vector<char16_t> mapped;

    explicit CaseGroups(uint (*map)(uint))
        : first(0x10001, 0)
        , mapped(0x10000)
    {
        std::vector<uint> count(0x10000, 0);
        for (uint u = 0; u <= 0xFFFF; ++u) {
            mapped[u] = char16_t(map(u));
            ++count[mapped[u]];
        }
        uint at = 0;
        for (uint l = 0; l <= 0xFFFF; ++l) {
            first[l] = at;
            at += count[l];
        }
        first[0x10000] = at;
        order.resize(at);
        std::vector<uint> fill(first.begin(), first.end() - 1);
        for (uint u = 0; u <= 0xFFFF; ++u)
            order[fill[mapped[u]]++] = char16_t(u);
    }

    // A class of every unit that maps like `u` (u itself when it is alone).
    std::string classFor(char16_t u) const
    {
        std::string out;
        const char16_t key = mapped[u];
        std::vector<char16_t> same;
        for (uint i = first[key]; i < first[uint(key) + 1]; ++i) {
            if (order[i] < 0xD800 || order[i] > 0xDFFF)
                same.push_back(order[i]);
        }
        if (same.size() <= 1) {
            appendCodePoint(out, u);
            return out;
        }
        out = "[";
        for (char16_t c : same)
            appendHex(out, c);
        out += ']';
        return out;
    }
};

const CaseGroups& lowerGroups()
{
    static const CaseGroups groups([](uint u) { return QChar::toLower(u); });
    return groups;
}

const CaseGroups& foldGroups()
{
    static const CaseGroups groups([](uint u) { return QChar::toCaseFolded(u); });
    return groups;
}

std::string literalOf(char16_t u, bool caseSensitive)
{
    if (u >= 0xD800 && u <= 0xDFFF)
        return "(?!)"; // a lone surrogate never occurs in decoded text
    if (caseSensitive) {
        std::string out;
        appendCodePoint(out, u);
        return out;
    }
    return lowerGroups().classFor(u);
}

// A pattern made only of characters, ignoring case, is looked for as QString::indexOf looks for
// its lower-case form: unit by unit, case folded.
std::string foldedStringOf(const QString& units)
{
    const QString lower = units.toLower();
    std::string out;
    for (int i = 0; i < lower.size(); ++i) {
        const char16_t u = lower.at(i).unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < lower.size() && QChar::isLowSurrogate(lower.at(i + 1).unicode())) {
            appendHex(out, QChar::surrogateToUcs4(u, lower.at(i + 1).unicode()));
            ++i;
        } else if (QChar::isSurrogate(u)) {
            out += "(?!)";
        } else {
            out += foldGroups().classFor(u);
        }
    }
    return out;
}

const std::string& wordClass()
{
    static const std::string text = "[\\p{L}\\p{M}\\p{N}_]";
    return text;
}

enum TokenKind {
    TokEos,
    TokChar,
    TokSet,
    TokDollar,
    TokCaret,
    TokWord,
    TokNonWord,
    TokLeftParen,
    TokGroupParen, // (?:
    TokPositiveLookahead,
    TokNegativeLookahead,
    TokRightParen,
    TokQuantifier,
    TokBar,
    TokBackReference,
};

class Translator
{
public:
    Translator(const QString& pattern, bool sensitive)
        : in(pattern)
        , caseSensitive(sensitive)
    {
    }

    RegexTranslation run()
    {
        RegexTranslation result;
        ch = next();
        engines.emplace_back();
        token = readToken();
        std::string body;
        parseExpression(body, 0, true);
        if (token != TokEos)
            fail(token == TokRightParen ? "missing left delim" : "unexpected end");
        if (!error.isEmpty()) {
            result.error = error;
            return result;
        }
        result.valid = true;
        result.backReferences = !references.empty();
        result.pattern = trivial && !caseSensitive ? foldedStringOf(trivialUnits) : resolveReferences(body);
        if (!topLevelAlternation)
            result.requiredLiteral = bestRun;
        return result;
    }

private:
    struct Reference
    {
        int engine;
        int number;
    };

    int next() { return pos < in.size() ? int(in.at(pos++).unicode()) : Eos; }

    void fail(const char* message)
    {
        if (error.isEmpty())
            error = QString::fromLatin1(message);
    }

    // QRegExp's escapes after a backslash; `classSet` receives the categories of \d \s \w and
    // their negations. Returns the token kind; a character goes to `charValue`.
    TokenKind readEscape(CharSet& classSet)
    {
        const int prev = ch;
        if (prev == Eos) {
            fail("unexpected end");
            charValue = '\\';
            return TokChar;
        }
        ch = next();
        switch (prev) {
        case 'a': charValue = '\a'; return TokChar;
        case 'f': charValue = '\f'; return TokChar;
        case 'n': charValue = '\n'; return TokChar;
        case 'r': charValue = '\r'; return TokChar;
        case 't': charValue = '\t'; return TokChar;
        case 'v': charValue = '\v'; return TokChar;
        case '0': {
            uint value = 0;
            for (int i = 0; i < 3 && ch >= '0' && ch <= '7'; ++i) {
                value = (value << 3) | uint(ch - '0');
                ch = next();
            }
            if (value & ~0377u)
                fail("invalid octal value");
            charValue = char16_t(value);
            return TokChar;
        }
        case 'B':
            return TokNonWord;
        case 'b':
            return TokWord;
        case 'D':
            classSet.categories |= ~flag(QChar::Number_DecimalDigit);
            return TokSet;
        case 'd':
            classSet.categories |= flag(QChar::Number_DecimalDigit);
            return TokSet;
        case 'S':
            classSet.categories |= ~(SpaceFlags | flag(QChar::Other_Control));
            classSet.addRange(0x0000, 0x0008);
            classSet.addRange(0x000e, 0x001f);
            classSet.addRange(0x007f, 0x0084);
            classSet.addRange(0x0086, 0x009f);
            return TokSet;
        case 's':
            classSet.categories |= SpaceFlags;
            classSet.addRange(0x0009, 0x000d);
            classSet.addSingleton(0x0085);
            return TokSet;
        case 'W':
            classSet.categories |=
                ~(MarkFlags | NumberFlags | LetterFlags | flag(QChar::Punctuation_Connector));
            classSet.addRange(0x203f, 0x2040);
            classSet.addSingleton(0x2054);
            classSet.addSingleton(0x30fb);
            classSet.addRange(0xfe33, 0xfe34);
            classSet.addRange(0xfe4d, 0xfe4f);
            classSet.addSingleton(0xff3f);
            classSet.addSingleton(0xff65);
            return TokSet;
        case 'w':
            classSet.categories |= MarkFlags | NumberFlags | LetterFlags;
            classSet.addSingleton('_');
            return TokSet;
        case 'x': {
            uint value = 0;
            for (int i = 0; i < 4; ++i) {
                const int low = ch == Eos ? Eos : int(QChar::toLower(uint(ch)));
                if (low >= '0' && low <= '9')
                    value = (value << 4) | uint(low - '0');
                else if (low >= 'a' && low <= 'f')
                    value = (value << 4) | uint(low - 'a' + 10);
                else
                    break;
                ch = next();
            }
            charValue = char16_t(value);
            return TokChar;
        }
        default:
            break;
        }
        if (prev >= '1' && prev <= '9') {
            int value = prev - '0';
            while (ch >= '0' && ch <= '9') {
                value = std::min(value * 10 + (ch - '0'), 1 << 20);
                ch = next();
            }
            referenceNumber = value;
            return TokBackReference;
        }
        charValue = char16_t(prev);
        return TokChar;
    }

    int readRepeat(int fallback)
    {
        if (ch < '0' || ch > '9')
            return fallback;
        int value = 0;
        do {
            value = 10 * value + ch - '0';
            if (value >= InfiniteRepeat) {
                fail("bad repetition syntax");
                value = fallback;
            }
            ch = next();
        } while (ch >= '0' && ch <= '9');
        return value;
    }

    TokenKind readToken()
    {
        set = CharSet();
        minRepeat = maxRepeat = 0;
        const int prev = ch;
        ch = next();
        switch (prev) {
        case Eos:
            return TokEos;
        case '$':
            return TokDollar;
        case '(':
            if (ch == '?') {
                const int kind = next();
                ch = next();
                switch (kind) {
                case '!': return TokNegativeLookahead;
                case '=': return TokPositiveLookahead;
                case ':': return TokGroupParen;
                case '<': fail("lookbehinds not supported"); return TokGroupParen;
                default: fail("bad lookahead syntax"); return TokGroupParen;
                }
            }
            return TokLeftParen;
        case ')':
            return TokRightParen;
        case '*':
            minRepeat = 0;
            maxRepeat = InfiniteRepeat;
            return TokQuantifier;
        case '+':
            minRepeat = 1;
            maxRepeat = InfiniteRepeat;
            return TokQuantifier;
        case '?':
            minRepeat = 0;
            maxRepeat = 1;
            return TokQuantifier;
        case '.':
            set.negative = true;
            return TokSet;
        case '[':
            readSet();
            return TokSet;
        case '\\':
            return readEscape(set);
        case ']':
            fail("missing left delim");
            charValue = ']';
            return TokChar;
        case '^':
            return TokCaret;
        case '{':
            minRepeat = readRepeat(0);
            maxRepeat = minRepeat;
            if (ch == ',') {
                ch = next();
                maxRepeat = readRepeat(InfiniteRepeat);
            }
            if (maxRepeat < minRepeat)
                fail("invalid interval");
            if (ch != '}')
                fail("bad repetition syntax");
            ch = next();
            return TokQuantifier;
        case '|':
            return TokBar;
        case '}':
            fail("missing left delim");
            charValue = '}';
            return TokChar;
        default:
            charValue = char16_t(prev);
            return TokChar;
        }
    }

    void readSet()
    {
        if (ch == '^') {
            set.negative = true;
            ch = next();
        }
        bool charPending = false;
        bool rangePending = false;
        char16_t pending = 0;
        do {
            if (ch == '-' && charPending && !rangePending) {
                rangePending = true;
                ch = next();
                continue;
            }
            if (charPending && !rangePending) {
                set.addSingleton(pending);
                charPending = false;
            }
            TokenKind kind;
            if (ch == '\\') {
                ch = next();
                kind = readEscape(set);
            } else {
                kind = TokChar;
                charValue = char16_t(ch);
                ch = next();
            }
            if (kind == TokSet) {
                if (rangePending) {
                    set.addSingleton('-');
                    set.addSingleton(pending);
                    charPending = false;
                    rangePending = false;
                }
            } else if (kind == TokChar) {
                if (rangePending) {
                    set.addRange(pending, charValue);
                    charPending = false;
                    rangePending = false;
                } else {
                    pending = charValue;
                    charPending = true;
                }
            } else {
                fail("bad char class syntax");
            }
        } while (ch != ']' && ch != Eos);
        if (rangePending)
            set.addSingleton('-');
        if (charPending)
            set.addSingleton(pending);
        if (ch == Eos)
            fail("unexpected end");
        else
            ch = next();
    }

    // One atom: its PCRE2 text, and whether it is zero-width (an anchor or a lookahead).
    // Advances to the token after it. `literal` is set to the atom's character when it is one
    // ASCII character (for the required-literal run).
    void parseAtom(std::string& out, int engine, bool& zeroWidth, int& literal)
    {
        zeroWidth = false;
        literal = -1;
        if (token != TokChar)
            trivial = false;
        switch (token) {
        case TokChar: {
            const char16_t u = charValue;
            trivialUnits += QChar(u);
            if (QChar::isHighSurrogate(u)) {
                // A surrogate pair written in the pattern is one character.
                const int savedPos = pos;
                const int savedCh = ch;
                const TokenKind following = readToken();
                if (following == TokChar && QChar::isLowSurrogate(charValue)) {
                    trivialUnits += QChar(charValue);
                    appendHex(out, uint(QChar::surrogateToUcs4(u, charValue)));
                    break;
                }
                pos = savedPos;
                ch = savedCh;
                out += "(?!)";
                break;
            }
            out += literalOf(u, caseSensitive);
            if (u < 128)
                literal = caseSensitive ? int(u) : int(QChar::toLower(uint(u)));
            break;
        }
        case TokSet:
            out += classOf(set, caseSensitive);
            break;
        case TokDollar:
            out += '$';
            zeroWidth = true;
            break;
        case TokCaret:
            out += '^';
            zeroWidth = true;
            break;
        case TokWord:
            out += "(?:(?<=" + wordClass() + ")(?!" + wordClass() + ")|(?<!" + wordClass() + ")(?=" + wordClass() + "))";
            zeroWidth = true;
            break;
        case TokNonWord:
            out += "(?:(?<=" + wordClass() + ")(?=" + wordClass() + ")|(?<!" + wordClass() + ")(?!" + wordClass() + "))";
            zeroWidth = true;
            break;
        case TokPositiveLookahead:
        case TokNegativeLookahead: {
            // A lookahead is an expression of its own: its groups are numbered apart.
            const bool negative = token == TokNegativeLookahead;
            const int inner = int(engines.size());
            engines.emplace_back();
            token = readToken();
            std::string body;
            parseExpression(body, inner, false);
            if (token != TokRightParen)
                fail("bad lookahead syntax");
            out += negative ? "(?!" : "(?=";
            out += body;
            out += ')';
            zeroWidth = true;
            break;
        }
        case TokLeftParen:
        case TokGroupParen: {
            const bool capturing = token == TokLeftParen;
            if (capturing)
                engines[size_t(engine)].push_back(++groupCount);
            token = readToken();
            std::string body;
            parseExpression(body, engine, false);
            if (token != TokRightParen)
                fail("unexpected end");
            out += capturing ? "(" : "(?:";
            out += body;
            out += ')';
            break;
        }
        case TokQuantifier:
            fail("bad repetition syntax");
            break;
        case TokBackReference:
            if (referenceNumber > MaxBackReference)
                fail("met internal limit");
            references.push_back(Reference{engine, referenceNumber});
            out += BackReferenceMark;
            out += std::to_string(references.size() - 1);
            out += BackReferenceMark;
            break;
        default:
            fail("disabled feature used");
            break;
        }
        token = readToken();
    }

    void parseFactor(std::string& out, int engine, bool topLevel)
    {
        std::string atom;
        bool zeroWidth = false;
        int literal = -1;
        parseAtom(atom, engine, zeroWidth, literal);
        if (token != TokQuantifier) {
            out += atom;
            if (topLevel)
                extendRun(literal, zeroWidth, true);
            return;
        }
        const int low = minRepeat;
        const int high = maxRepeat;
        trivial = false;
        token = readToken();
        if (topLevel)
            extendRun(low >= 1 ? literal : -1, zeroWidth && low >= 1, false);
        if (high == 0)
            return; // the atom is cleared: it matches the empty text
        if (zeroWidth) {
            // An anchor or a lookahead holds at one place: repeated it is itself, optional
            // it always holds.
            if (low >= 1)
                out += atom;
            return;
        }
        out += "(?:" + atom + ')';
        if (low == 0 && high == InfiniteRepeat)
            out += '*';
        else if (low == 1 && high == InfiniteRepeat)
            out += '+';
        else if (low == 0 && high == 1)
            out += '?';
        else if (high == InfiniteRepeat)
            out += '{' + std::to_string(low) + ",}";
        else if (low == high)
            out += '{' + std::to_string(low) + '}';
        else
            out += '{' + std::to_string(low) + ',' + std::to_string(high) + '}';
    }

    void parseTerm(std::string& out, int engine, bool topLevel)
    {
        while (token != TokEos && token != TokRightParen && token != TokBar)
            parseFactor(out, engine, topLevel);
        if (topLevel)
            extendRun(-1, false, false);
    }

    void parseExpression(std::string& out, int engine, bool topLevel)
    {
        parseTerm(out, engine, topLevel);
        while (token == TokBar) {
            if (topLevel)
                topLevelAlternation = true;
            trivial = false;
            out += '|';
            token = readToken();
            parseTerm(out, engine, topLevel);
        }
    }

    // Follows runs of required ASCII characters at the top level: a character extends the
    // run (and ends it when `keepOpen` is false: it may repeat); zero-width atoms keep it; any
    // other atom ends it.
    void extendRun(int literal, bool zeroWidth, bool keepOpen)
    {
        if (literal >= 0) {
            currentRun += char(literal);
            if (keepOpen)
                return;
        } else if (zeroWidth) {
            return;
        }
        if (currentRun.size() > bestRun.size())
            bestRun = currentRun;
        currentRun.clear();
    }

    std::string resolveReferences(const std::string& body) const
    {
        std::string out;
        out.reserve(body.size());
        for (size_t i = 0; i < body.size(); ++i) {
            if (body[i] != BackReferenceMark) {
                out += body[i];
                continue;
            }
            const size_t end = body.find(BackReferenceMark, i + 1);
            const Reference& r = references[size_t(std::stoi(body.substr(i + 1, end - i - 1)))];
            const std::vector<int>& groups = engines[size_t(r.engine)];
            // A reference to a group that does not exist matches the empty text.
            if (r.number <= int(groups.size())) {
                const std::string ref = "\\g{" + std::to_string(groups[size_t(r.number - 1)]) + '}';
                out += caseSensitive ? ref : "(?i:" + ref + ')';
            }
            i = end;
        }
        return out;
    }

    const QString in;
    const bool caseSensitive;
    int pos = 0;
    int ch = Eos;
    TokenKind token = TokEos;
    CharSet set;
    char16_t charValue = 0;
    int referenceNumber = 0;
    int minRepeat = 0;
    int maxRepeat = 0;
    QString error;
    int groupCount = 0;
    std::vector<std::vector<int>> engines; // per expression: its groups' PCRE2 numbers
    std::vector<Reference> references;
    bool topLevelAlternation = false;
    bool trivial = true;   // only characters: no set, anchor, group, quantifier or alternation
    QString trivialUnits;
    std::string currentRun;
    std::string bestRun;
};

} // namespace

RegexTranslation translateRegExp(const QString& pattern, bool caseSensitive)
{
    return Translator(pattern, caseSensitive).run();
}
