// ContentScanner: matches a contents pattern (ContentQuery) against one text given as UTF-8
// bytes, with the answers of reading it line by line through SearchExpression, without
// decoding the text and without ever holding a whole line.
//
// Lines end at "\n" (a "\r" before it is no part of the line), as QTextStream::readLine splits
// them; the last line needs no "\n" (a "\r" that ends the text is no part of it either); a text
// without bytes has no line.
//
// How the bytes are searched (see ContentQuery for the plan of each term):
// - Literal terms are searched in whole buffers of lines at once (16 bytes at a time); only
//   lines holding a hit are looked at further, so a text where no term occurs costs one pass.
// - Regular expressions run on the lines that hold the expression's required ASCII run (all
//   lines when it has none); terms judged on decoded text likewise on the lines that hold a
//   run of the term. Lines holding U+212A or U+017F are looked at too where ignoring case
//   makes them matter.
// - Line scope: a line satisfies the expression with the set of terms found in it; lines
//   without any term count too where the expression holds for no term ("not x"). File scope:
//   the terms found anywhere. Counting counts every hit of every term on every line (hits never
//   overlap; a regular expression's hits stop at its first empty one), as the reference does.
//
// Bounded cost: the buffer holds at most kWindowBytes of a line (plus kOverlapBytes of what
// came before, and one block being read). A longer line is judged in pieces: literal hits are
// exact across the pieces (a term is shorter than the overlap); a regular expression (or a
// term judged on decoded text) is run again over the last kOverlapBytes of a piece, so only a
// single hit longer than kOverlapBytes that crosses a piece's edge can be judged differently
// from the whole line.
//
// findAll: given a holder, every line holding a term becomes a MatchedLine whose positions
// are those StringMatcher reports in the decoded line (only these lines are decoded). Its text
// is the line, cut at kMaxLineUnits UTF-16 units (positions beyond the cut are not kept); once
// the records hold kMaxRecordUnits units of text in all, further records keep only their line
// number.
//
// One scanner per text and thread; it takes its buffer from the thread (allocated once).
#pragma once

#include <QString>
#include <QtGlobal>

#include <cstddef>
#include <memory>
#include <vector>

class ContentQuery;
class FileSearchRequest;
class SearchExpression;
class TempFileHolder;

class ContentScanner
{
public:
    static constexpr std::size_t kBlockBytes = std::size_t(512) << 10;
    static constexpr std::size_t kWindowBytes = std::size_t(512) << 10;
    static constexpr std::size_t kOverlapBytes = std::size_t(64) << 10;
    static constexpr int kMaxLineUnits = 256 * 1024;
    static constexpr qint64 kMaxRecordUnits = qint64(16) << 20;

    // `counter`: null, or a counter that receives every hit (the whole text is then read).
    // `holder`: null, or the findAll record to fill (the whole text is then read).
    ContentScanner(const ContentQuery& query, const FileSearchRequest* request, int* counter,
                   TempFileHolder* holder);
    ~ContentScanner();
    ContentScanner(const ContentScanner&) = delete;
    ContentScanner& operator=(const ContentScanner&) = delete;

    // Room for at most kBlockBytes more bytes of text: write them there, then commit them.
    char* space();
    // Takes `size` bytes written into space(). True when reading can stop: the answer is
    // known and nothing more is to be counted or recorded. Throws FileSearchCancelException
    // when the request is cancelled.
    bool commit(std::size_t size);
    // Copies and commits bytes (at most kBlockBytes).
    bool feed(const char* data, std::size_t size);
    // The text had bytes, even if none of them reached the scanner (a byte-order mark alone).
    void markNotEmpty() { hadBytes = true; }
    // The end of the text: the verdict.
    bool finish();
    // Lines of the text (known after finish; with neither a holder nor an expression that
    // holds for no term, only the lines holding a term are counted).
    qint64 lineCount() const { return lines; }

    // UTF-8 as QString::fromUtf8 reads it, but keeping a U+FEFF at the start.
    static QString decodeUtf8(const char* bytes, std::size_t size);

private:
    struct Piece;
    void process(bool atEnd);
    void processLines(std::size_t from, std::size_t to);
    void processLongLine();
    void judge(const Piece& piece);
    void endLine(std::size_t textEnd);
    void gapLines(std::size_t from, std::size_t to);
    void record(const char* text, std::size_t size);
    void checkCanceled();
    bool done() const;

    const ContentQuery& query;
    const FileSearchRequest* request;
    int* counter;
    TempFileHolder* holder;
    std::unique_ptr<SearchExpression> positionsExpression;

    char* buf;
    std::unique_ptr<char[]> ownBuffer; // when the thread's buffer is taken
    std::size_t size = 0;  // bytes in buf
    std::size_t pos = 0;   // first byte not judged yet
    quint64 base = 0;      // absolute offset of buf[0]

    quint64 lineStart = 0; // absolute offset of the current line
    bool lineContinued = false;
    quint64 lineMask = 0;
    std::vector<quint64> nextFrom; // per term: absolute offset its next hit may start at
    std::vector<char> regexStopped; // per term: counting met an empty hit on this line
    QByteArray kept;        // findAll: the beginning of a long line
    bool keptCut = false;

    quint64 fileMask = 0;
    bool matched = false;
    bool finished = false;
    bool hadBytes = false;
    bool countLines = false; // lines without a term are counted (see gapLines)
    qint64 lines = 0;      // lines ended so far
    qint64 recordUnits = 0;
    quint64 sinceCancelCheck = 0;
};
