// EPUBConverter: text of EPUB books (extension "epub").
//
// Opens the book as a ZIP archive (member names as UTF-8), finds the package document through
// "META-INF/container.xml" (the first "rootfile" element's "full-path"), reads its manifest
// (items of media type "application/xhtml+xml", id to href) and spine (reading order), and
// runs the HTML converter on every spine document in order. Documents that yield text are
// each followed by an empty line (two CR LF pairs in UTF-16LE).
//
// Output: UTF-16LE; a text file of its own starts with FF FE and goes to the work folder
// (created by an absolute path; the current directory is never changed).
//
// Decisions of this implementation:
// - An href is first looked up as written, relative to the package's folder. Only when no
//   such member exists is it read as a URL (percent escapes decoded, "#fragment" dropped) and
//   resolved (".." and "." steps), so books with escaped or parent-relative hrefs keep their
//   text.
// - What a book makes us decompress is bounded (a small archive can announce gigabytes):
//   container.xml and the package at most 16 MiB each (larger: the book fails), the content
//   documents together at most max(64 MiB, 20 x the archive's size); a document that does
//   not fit any more is skipped with a warning.
// - The book's text ends at textLimit() bytes (TextLimits.h), across its documents: kept up
//   to there, the cut logged as a warning, the conversion a success.
// - A content document that cannot be read to its end (a damaged member) gives the text read
//   before the fault and the warning "Failed to read %1, error %2"; the book goes on.
// - A conversion that fails or is cancelled removes the text file it created.
#pragma once

#include "search/textextract/ToPlainTextConverter.h"

#include <QStringList>

class HtmlConverter;
class QuaZip;

class EPUBConverter : public ToPlainTextConverter
{
public:
    explicit EPUBConverter(HtmlConverter* htmlConverter);

    bool convert(const ContentFile& document, QIODevice* input, QString* outPath,
                 QIODevice* output, const QString& inputEncoding, const bool* cancelFlag) override;
    QString encoding() const override;

    // The package path from container.xml; false when there is no "rootfile" before the
    // document ends or turns out malformed (a member that stops inflating part-way reads as a
    // premature end, which QXmlStreamReader would otherwise report again for ever).
    // Raises the cancellation when `cancelFlag` is set.
    static bool parseContainerXml(QIODevice* device, QString* packagePath,
                                  const bool* cancelFlag = nullptr);
    // The spine's hrefs in reading order (an itemref without an XHTML item gives ""), as far
    // as the package reads without an error. Raises the cancellation when `cancelFlag` is set.
    static void parseOpf(QIODevice* device, QStringList* spine, const bool* cancelFlag = nullptr);

private:
    // What the spine's documents share: the bytes they may still make us decompress, the bytes
    // of text still to be written, and whether the text was cut at its bound.
    struct Budgets
    {
        qint64 content = 0;
        qint64 text = 0;
        bool cut = false;
    };
    // Converts the archive's current member, a spine document, and follows its text with an
    // empty line. False when the output refused the text (a document skipped for its size or
    // unreadable is a success).
    bool convertItem(const ContentFile& document, QuaZip& zip, QIODevice* out, Budgets& budgets,
                     const bool* cancelFlag);

    HtmlConverter* htmlConverter;
};
