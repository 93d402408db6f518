// ByteScanner: the contents test of a text file on its raw bytes, without decoding lines into
// strings. The content searcher uses it for files read as UTF-8 (or Latin-1) text when the
// pattern allows it (ContentQuery::fastEligible); it gives the same answers as feeding every
// decoded line to a SearchExpression:
//
// - Lines end at "\n" only, as QTextStream::readLine splits them; a term never holds a line
//   break, so a hit never spans two lines.
// - Terms are ASCII, and every ASCII byte of a UTF-8 or Latin-1 text decodes to itself, so a
//   byte hit is a hit in the decoded text, in the same order; hits do not overlap (the next
//   search starts after the previous hit, also after one rejected by the word test), as
//   StringMatcher does. Without case sensitivity only ASCII letters fold, except for U+212A
//   and U+017F, which ContentQuery::needsFoldCheck sends to the line-by-line route.
// - Whole words: the character before and after a hit is decoded from the bytes (UTF-8: one
//   code point, U+FFFD for a broken sequence, a supplementary character is a surrogate and no
//   word character) and tested as StringMatcher tests word characters.
// - Counting counts every accepted hit of every term in the whole text.
//
// Feed it whole lines (regions that start at a line start and end after a "\n" or at the end
// of the text), in order. One scanner per file and thread; it allocates nothing, however many
// hits a region holds.
#pragma once

#include <cstddef>

class ContentQuery;

class ByteScanner
{
public:
    // `counter`: null, or a counter to increase by every match (then the whole text is read).
    ByteScanner(const ContentQuery& query, bool utf8, int* counter);

    // Scans a region of whole lines. Returns true when reading can stop: the answer is known
    // (and nothing is being counted), or the text needs the line-by-line route.
    bool feed(const char* data, size_t size);

    // The text holds a character that only the line-by-line route judges exactly.
    bool needsSlowRoute() const { return slow; }

    // The verdict after the last region.
    bool result() const;

    // First position >= from of the term `term` (m bytes, lower-cased when `fold`) in s[0, n),
    // comparing ASCII letters without case when `fold`; n when there is none.
    static size_t findTerm(const unsigned char* s, size_t n, const unsigned char* term, size_t m,
                           bool fold, size_t from);

private:
    bool acceptHit(const unsigned char* s, size_t n, size_t hit, size_t m) const;
    // Calls onHit(position) for every accepted hit of term t, in order, while it returns true.
    template <class OnHit>
    void forEachHit(const unsigned char* s, size_t n, int t, OnHit onHit) const;
    // The first accepted hit of term t at or after `from`; n when there is none.
    size_t nextHit(const unsigned char* s, size_t n, int t, size_t from) const;
    bool feedFileScope(const unsigned char* s, size_t n);
    bool feedLineScope(const unsigned char* s, size_t n);

    const ContentQuery& query;
    bool utf8;
    int* counter;
    bool fileScope;
    bool wholeWord;
    bool fold;
    unsigned allTerms;
    unsigned found = 0;   // file scope: terms seen so far
    bool matched = false; // line scope: some line satisfied the expression
    bool slow = false;
};
