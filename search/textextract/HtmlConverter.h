// HtmlConverter: turns XHTML-like markup into plain text.
//
// Keeps the text of every "body" element (a FictionBook has one for the book and one for its
// notes), drops every tag, ends a line at the block elements, opening or closing (paragraphs,
// headings h1 to h6, divisions, list items and lists, block quotes, definition terms and
// descriptions, table rows and cells, line breaks, FictionBook's verses and titles; see
// kBlockTags), and makes "section" two line breaks; decodes character entities and trims the
// white space at both edges of each text run to at most one blank. Comments, processing
// instructions and declarations are skipped to their end whatever they hold, and the raw text
// of "script" and "style" elements never reaches the output; a CDATA section is text. A ">"
// inside a quoted attribute value does not end its tag. A note's mark (a superscript, or a
// link marked as a note reference: epub:type="noteref", role="doc-noteref") starts with a
// blank, so it never sticks to the word before it. Tag names are compared exactly
// (case-sensitive). Registered for "fb2"; the EPUB and Mobipocket converters run it on their
// content.
// Other callers choose what is read (Markup): HTML files and KF8 books all text outside
// "head", with tag names compared ignoring case (a body tag is optional in HTML and a KF8
// book's skeleton holds an empty one); XML files all character data.
//
// Output: UTF-16 little-endian. A text file of its own starts with the mark FF FE; text
// written into a caller's device carries no mark (the caller writes it).
//
// Decisions of this implementation:
// - Entities are decoded by a table of our own (the HTML 4 named entities plus "apos", and
//   decimal or hexadecimal character references), not by a rich-text document: it is
//   thread-safe, needs no GUI library and decodes the same names. Only "&" followed by 1 to
//   32 characters of [#A-Za-z0-9] and ";" is an entity; an unknown one stays as written. The
//   whole decoded text is kept (a character outside the BMP stays a surrogate pair);
//   no-break space becomes a blank.
// - A line end counts as white space: inside a tag it ends the tag name, in text it is a
//   blank, so words on two source lines are not glued together.
// - The encoding declaration ("encoding=" and a quoted name within the first 200 characters)
//   is looked up by peeking at the input, so sequential devices work too; the name may be
//   quoted with double or single quotes.
// - A "<" starts a new tag name even inside a tag, so a stray "<" in the text ("x<y and
//   <p>") does not glue its letters to the next tag's name and cost that tag its break.
// - Memory stays bounded whatever the input: it is read in pieces of 64 Ki characters (line
//   ends LF, CR LF and a lone CR handled across pieces), only text that is read is kept,
//   a run of text is written out once it holds 64 Ki characters and tag names are kept only
//   up to 16 characters. So the end of such a long run is written even when no "<" follows
//   it (a short run there is dropped as usual).
// - The text ends at textLimit() bytes (TextLimits.h): kept up to there, the cut logged as a
//   warning, the conversion a success.
// - Reading ends where the input gives no more data, even when the device does not say it is at
//   its end (a damaged zip member fails every read without ever reaching its end).
// - The text file is created in the work folder by an absolute path; the process's current
//   directory is never changed (it is process-wide and the converters run on many threads).
// - A conversion that fails or is cancelled removes the text file it created.
#pragma once

#include "search/textextract/ToPlainTextConverter.h"

#include <QString>

class HtmlConverter : public ToPlainTextConverter
{
public:
    bool convert(const ContentFile& document, QIODevice* input, QString* outPath,
                 QIODevice* output, const QString& inputEncoding, const bool* cancelFlag) override;
    QString encoding() const override;

    // convert() within a budget of text bytes that several calls share (the EPUB and
    // Mobipocket converters pass theirs): at most *budget bytes of text are written (a file's
    // mark not counted), *budget is lowered by what was written, and *cut is set when the text
    // went on past it (the input is then not read further). The cut is not logged.
    // Which text of the markup is read.
    enum class Markup {
        Body, // the text inside every "body" element; names compared exactly (XHTML, FictionBook)
        Html, // all text outside "head"; names compared ignoring case (HTML files, KF8 books)
        Xml   // all character data (XML files)
    };
    bool convertWithin(const ContentFile& document, QIODevice* input, QString* outPath,
                       QIODevice* output, const QString& inputEncoding, const bool* cancelFlag,
                       qint64* budget, bool* cut, Markup markup = Markup::Body);

    // Decodes one entity, "&" to ";" inclusive. Returns the decoded text, or an empty string
    // when the entity is malformed or unknown.
    static QString decodeEntity(const QString& entity);

    // The codec name declared by "encoding=" in `head` (its first 200 characters are looked
    // at), else by an HTML "charset=" (in its first 1024 characters), or empty.
    static QString declaredEncoding(const QString& head);
};
