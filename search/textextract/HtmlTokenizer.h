// HtmlTokenizer: the markup reader of HtmlConverter, which feeds it the decoded input piece by
// piece and writes its text through a Utf16Writer (the rules the text follows are described
// in HtmlConverter.h).
//
// A piece must not end inside an entity, a CR LF pair or an opening "<!--" / "<![CDATA[": the
// converter carries such an end over to the next piece. Everything else (a tag, a quoted
// attribute value, a comment, the raw text of a script, a run of text) may span pieces: the
// tokenizer keeps its state between them. The run of text read since the last tag is written
// at the next tag, or once it holds kRunLimit characters; what is left of it when the input
// ends is dropped.
#pragma once

#include "search/textextract/HtmlConverter.h"

#include <QChar>
#include <QString>

class Utf16Writer;

class HtmlTokenizer
{
public:
    HtmlTokenizer(HtmlConverter::Markup markup, Utf16Writer* out)
        : markup_(markup)
        , out_(out)
    { }

    // Reads one piece; raises the cancellation (every 64 Ki characters) when `cancelFlag` is
    // set.
    void feed(const QString& piece, const bool* cancelFlag);

    // A character an entity's name or number may hold: [#A-Za-z0-9].
    static bool isEntityChar(QChar c);

private:
    enum class Special { None, Comment, Cdata, Pi, Decl, Raw };

    // One character inside a comment, processing instruction, declaration, CDATA section or
    // the raw text of a script or style.
    void readSpecial(QChar ch);
    // At "<" (index `at` of `piece`): a comment, CDATA section, processing instruction or
    // declaration, or a tag, begins. Returns the index of the last character taken.
    int openMarkup(const QString& piece, int at);
    // One character of a tag's name or attributes.
    void readTagChar(QChar ch);
    // At ">" ending a tag: line breaks, the note marks, and what is read from here on.
    void closeTag();
    // One character of text (an entity read whole). Returns the index of the last character
    // taken.
    int readText(const QString& piece, int at);
    // Whether text read now is written.
    bool accepting() const;

    // The run of text: written at a tag (writeRun), or in part when it grows to its limit
    // (writeLongRun); writeRunStart writes the beginning of a run.
    int lastNonSpace() const;
    void writeRunStart(int from, int to, bool leading);
    void writeRun();
    void writeLongRun();

    const HtmlConverter::Markup markup_;
    Utf16Writer* const out_;

    // The tag being read.
    bool inTag_ = false;
    bool tagNameDone_ = false;
    bool tagSelfClosed_ = false;
    QString tagName_;
    QString tagAttributes_; // the beginning of its attribute values
    QChar quote_; // the quote of an attribute value being read
    int quoted_ = 0; // characters of that value so far

    bool inBody_ = false; // Body markup: inside a body element
    bool inHead_ = false; // Html markup: inside the head element

    Special special_ = Special::None;
    QString specialEnd_; // what ends the special section ("-->", "]]>", "?>", ">", "</script")
    QString tail_; // the last characters read in it, to find that end

    // Text since the last tag. It is only gathered where text is read (elsewhere it is dropped
    // at the next "<" anyway). `runContinued_`: the run's beginning is already written.
    QString run_;
    bool runContinued_ = false;
    bool atStart_ = true; // nothing written yet
    int pendingBreaks_ = 0; // line breaks owed before the next text
    // White space alone between two tags ("<b>alpha</b> <i>beta</i>") still parts the words
    // around it: a blank is owed to the next text, unless a line break comes first or the
    // text before already ended with a blank.
    bool blankOwed_ = false;
    bool endsWithBlank_ = false; // what was written last is a blank
};
