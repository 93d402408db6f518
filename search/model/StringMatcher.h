// StringMatcher: finds terms in a text as substrings, whole words, regular expressions
// (the QRegExp syntax, matched by ByteRegex on UTF-8) or, for file names, wildcard patterns ("?" any one character but ".",
// "*" any run; a wildcard term must match the whole name).
//
// Substring and whole-word search follow QString::indexOf with the matcher's case sensitivity;
// hits never overlap (the next search starts after the previous hit, also after a hit the word
// test rejected). A word character is a letter, an ASCII digit, a non-ASCII decimal digit or
// "_". Wildcard comparison folds case per UTF-16 unit with QChar::toLower (the locale-
// independent Unicode mapping; the C library's towlower depends on the process locale).
//
// Hot path: matchUtf8 matches a UTF-8 name directly. ASCII terms are searched byte-wise (16
// bytes at a time for names of up to 64 bytes) in ASCII names, and in substring mode also in
// other names that hold neither of the two characters that fold to ASCII letters (U+017F,
// U+212A); a term whose case-folded form is not ASCII is refused at once for ASCII names.
// Any other text is decoded into a stack buffer and, for case-insensitive terms, case-folded
// per code point with Qt's folding and searched as QString's case-insensitive search does.
// Every path gives exactly the answers of match(QString::fromUtf8(...)).
//
// Regular expressions are compiled once (PCRE2 with JIT; matchers of the same pattern share the
// compiled expression, see ByteRegex::shared) and matched on the UTF-8
// bytes: matchUtf8 hands a valid UTF-8 name over as it is (an invalid one is first repaired
// the way QString::fromUtf8 reads it); match() encodes its QString as UTF-8 once and maps the
// byte offsets of the hits back to UTF-16 positions.
//
// A matcher is immutable between compilations (constructor, setOptions), so one matcher may
// serve several threads at once as long as nobody calls setOptions meanwhile.
#pragma once

#include "search/model/ByteRegex.h"
#include "search/model/IStringMatcher.h"
#include "search/model/MatchOptions.h"

#include <QByteArray>
#include <QStringList>
#include <QVector>

#include <memory>
#include <string>
#include <vector>

class StringMatcher : public IStringMatcher
{
public:
    enum Mode { SubstringMode = 0, WholeWordMode = 1, RegexMode = 2 };

    StringMatcher(const QStringList& terms, const MatchOptions& options);
    StringMatcher(const StringMatcher&) = delete;
    StringMatcher& operator=(const StringMatcher&) = delete;

    // Replaces kind, case sensitivity and the names flag, and compiles again.
    void setOptions(const MatchOptions& options);

    TermMask match(const QString& text, const TermMask& wanted, MatchPositions* positions,
                   int* counter) const override;
    TermMask matchUtf8(const char* text, int length, const TermMask& wanted) const override;
    // matchUtf8 for the first 64 terms, with plain words as masks (the name index's hot path).
    quint64 matchUtf8Bits(const char* text, int length, quint64 wanted) const;

    // The test of one term.
    bool matchTerm(const QString& text, int index, MatchPositions* positions, int* counter) const;

    // Runs of at least three ASCII characters that every text in which term `index` is found
    // contains, lower-cased (ASCII letters only). Characters outside ASCII and wildcards split
    // the term; a regular expression gives its required literal.
    std::vector<std::string> requiredRuns(int index) const;
    // Indexes of the wildcard terms, ascending.
    const QVector<int>& wildcardTermIndexes() const { return wildcardTerms; }

    // Wildcard match of a whole text; exposed for tests.
    static bool wildcardMatch(const QChar* pattern, int patternLength, const QChar* text,
                              int textLength, bool caseSensitive);

private:
    struct TermPlan
    {
        bool wildcard = false;
        // The term is ASCII: it can be searched byte-wise in an ASCII text. `bytes` holds it,
        // lower-cased when the matcher is not case sensitive.
        bool ascii = false;
        QByteArray bytes;
        const uchar* asciiData = nullptr; // bytes.constData()
        int asciiLength = 0;
        uchar ends[32] = {}; // 16 copies of the first byte, 16 of the last
        // The term case-folded per code point (one value per UTF-16 unit, as QString's
        // case-insensitive search compares), and whether a folded value is above ASCII (then
        // the term cannot occur in an ASCII text).
        std::u32string folded;
        bool foldedBeyondAscii = false;
    };
    struct Utf8Text;

    void compile();
    bool testTerm(int index, const QChar* text, int length, const QString* original,
                  MatchPositions* positions, int* counter) const;
    bool testLiteral(int index, const QChar* text, int length, MatchPositions* positions,
                     int* counter) const;
    bool testRegex(int index, const QString& text, MatchPositions* positions) const;
    bool testRegexUtf8(int index, const char* text, int length) const;
    void prepareUtf8(Utf8Text& text) const;
    bool testUtf8(int index, Utf8Text& text) const;
    bool testAscii(int index, const uchar* text, int length, bool padded) const;
    bool testFolded(int index, Utf8Text& text) const;

    QStringList terms;
    int mode = SubstringMode;
    bool caseSensitive = false;
    bool wildcards = false;
    QVector<int> wildcardTerms;
    // One compiled expression per term (regular-expression mode only).
    std::vector<std::shared_ptr<const ByteRegex>> regexes;
    std::vector<TermPlan> plans;
    quint64 firstTermBits = 0; // bits of terms 0 to 63
    quint64 asciiTermBits = 0; // terms 0 to 63 made of ASCII characters only
    quint64 wildcardBits = 0;  // terms 0 to 63 that are wildcard terms
};
