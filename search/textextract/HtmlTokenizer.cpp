#include "search/textextract/HtmlTokenizer.h"

#include "core/FileSearchException.h"
#include "search/textextract/Utf16Writer.h"

#include <QStringRef>

namespace {

const QString kTag = QStringLiteral("HtmlConverter");

// Elements that end a line, opening or closing: HTML's blocks, list items, table cells and
// rows, and FictionBook's verses and titles.
const char* const kBlockTags[] = {
    "address", "annotation", "article",     "aside",    "blockquote", "br",
    "caption", "cite",       "dd",          "details",  "dialog",     "div",
    "dl",      "dt",         "empty-line",  "epigraph", "fieldset",   "figcaption",
    "figure",  "footer",     "form",        "h1",       "h2",         "h3",
    "h4",      "h5",         "h6",          "header",   "hr",         "legend",
    "li",      "main",       "nav",         "ol",       "option",     "p",
    "poem",    "pre",        "stanza",      "subtitle", "summary",    "table",
    "tbody",   "td",         "text-author", "tfoot",    "th",         "thead",
    "title",   "tr",         "ul",          "v"};

bool isBlockTag(const QString& name)
{
    for (const char* tag : kBlockTags) {
        if (name == QLatin1String(tag))
            return true;
    }
    return false;
}

// Memory stays bounded whatever the input: a text run is written out once it holds kRunLimit
// characters, and a tag name is kept only up to kTagNameLimit characters (longer than every
// name looked for, so a longer name never matches one).
constexpr int kRunLimit = 64 * 1024;
constexpr int kTagNameLimit = 16;
// An attribute value longer than this ends at its length even without its closing quote, so
// one stray quote cannot hide the rest of a document.
constexpr int kMaxQuoted = 64 * 1024;
constexpr int kAttributesLimit = 256;

const QString kLineBreak = QStringLiteral("\r\n");
const QString kBlank = QStringLiteral(" ");

} // namespace

bool HtmlTokenizer::isEntityChar(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '#';
}

void HtmlTokenizer::feed(const QString& piece, const bool* cancelFlag)
{
    const int n = piece.size();
    const QChar* chars = piece.constData();
    for (int i = 0; i < n; ++i) {
        const QChar ch = chars[i];
        const ushort u = ch.unicode();
        if ((i & 0xFFFF) == 0xFFFF && ToPlainTextConverter::isCanceled(cancelFlag))
            throw FileSearchCancelException("Convert canceled", kTag, __LINE__); // very long lines
        if (special_ != Special::None) {
            readSpecial(ch);
            continue;
        }
        if (inTag_ && !quote_.isNull()) {
            // An attribute value: a ">" in it does not end the tag (but an unclosed quote
            // only holds for so long).
            if (ch == quote_ || ++quoted_ > kMaxQuoted)
                quote_ = QChar();
            else if (tagAttributes_.size() < kAttributesLimit)
                tagAttributes_.append(ch);
            continue;
        }
        if (u == '<')
            i = openMarkup(piece, i);
        else if (u == '>' && inTag_)
            closeTag();
        else if (inTag_)
            readTagChar(ch);
        else if (accepting()) // text outside what is read is never written
            i = readText(piece, i);
        if (run_.size() >= kRunLimit)
            writeLongRun();
    }
}

void HtmlTokenizer::readSpecial(QChar ch)
{
    // Comments, processing instructions, declarations and the raw text of scripts and styles
    // are skipped to their end; a CDATA section is text.
    tail_.append(markup_ == HtmlConverter::Markup::Xml || special_ != Special::Raw ? ch
                                                                                   : ch.toLower());
    if (tail_.size() > specialEnd_.size())
        tail_.remove(0, tail_.size() - specialEnd_.size());
    if (tail_ == specialEnd_) {
        if (special_ == Special::Cdata)
            run_.chop(qMin(run_.size(), specialEnd_.size() - 1));
        if (special_ == Special::Raw) {
            // The rest of the end tag is read as a tag.
            inTag_ = true;
            tagNameDone_ = true;
            tagName_ = QStringLiteral("/raw");
        }
        special_ = Special::None;
        tail_.clear();
        return;
    }
    if (special_ == Special::Cdata && accepting())
        run_.append(ch);
    if (run_.size() >= kRunLimit)
        writeLongRun();
}

int HtmlTokenizer::openMarkup(const QString& piece, int at)
{
    auto ahead = [&](const char* text) {
        return QStringRef(&piece, at + 1, qMin(piece.size() - at - 1, int(qstrlen(text)))) ==
               QLatin1String(text);
    };
    writeRun();
    inTag_ = false;
    tagAttributes_.clear();
    if (ahead("!--")) {
        special_ = Special::Comment;
        specialEnd_ = QStringLiteral("-->");
        at += 3;
    } else if (ahead("![CDATA[")) {
        special_ = Special::Cdata;
        specialEnd_ = QStringLiteral("]]>");
        at += 8;
    } else if (ahead("?")) {
        special_ = Special::Pi;
        specialEnd_ = QStringLiteral("?>");
        at += 1;
    } else if (ahead("!")) {
        special_ = Special::Decl;
        specialEnd_ = QStringLiteral(">");
    } else {
        inTag_ = true;
        tagNameDone_ = false;
        tagName_.clear();
    }
    tail_.clear();
    return at;
}

void HtmlTokenizer::readTagChar(QChar ch)
{
    const ushort u = ch.unicode();
    if (u == ' ' || u == '\t' || u == '\r' || u == '\n') {
        tagNameDone_ = true;
    } else if (u == '"' || u == '\'') {
        if (tagNameDone_) {
            quote_ = ch;
            quoted_ = 0;
        }
    } else if (u == '/' && tagNameDone_) {
        tagSelfClosed_ = true;
    } else if (!tagNameDone_ && tagName_.size() < kTagNameLimit) {
        tagName_.append(ch);
    } else if (tagNameDone_) {
        tagSelfClosed_ = false;
    }
}

void HtmlTokenizer::closeTag()
{
    // The tag's name without "/" at either end, compared ignoring case in HTML; closing and
    // opening block tags alike end a line.
    QString name = markup_ == HtmlConverter::Markup::Html ? tagName_.toLower() : tagName_;
    const bool closing = name.startsWith(QLatin1Char('/'));
    if (closing)
        name.remove(0, 1);
    const bool selfClosing = name.endsWith(QLatin1Char('/')) || tagSelfClosed_;
    if (name.endsWith(QLatin1Char('/')))
        name.chop(1);
    if (name == QLatin1String("section")) {
        pendingBreaks_ = 2;
    } else if (isBlockTag(name)) {
        if (pendingBreaks_ == 0)
            pendingBreaks_ = 1;
    } else if (!closing && accepting() &&
               (name == QLatin1String("sup") ||
                (name == QLatin1String("a") &&
                 tagAttributes_.contains(QLatin1String("noteref"))))) {
        run_.append(QLatin1Char(' ')); // a note's mark never sticks to its word
    }
    if (name == QLatin1String("body")) {
        inBody_ = !closing;
        inHead_ = false;
    } else if (name == QLatin1String("head")) {
        inHead_ = !closing && !selfClosing;
    }
    if (markup_ != HtmlConverter::Markup::Xml && !closing && !selfClosing &&
        (name == QLatin1String("script") || name == QLatin1String("style"))) {
        special_ = Special::Raw;
        specialEnd_ = QLatin1String("</") + name;
        tail_.clear();
    }
    inTag_ = false;
    tagSelfClosed_ = false;
    tagName_.clear();
    tagAttributes_.clear();
    tagNameDone_ = true;
}

int HtmlTokenizer::readText(const QString& piece, int at)
{
    const int n = piece.size();
    const QChar* chars = piece.constData();
    const QChar ch = chars[at];
    const ushort u = ch.unicode();
    if (u == '&') {
        // An entity is "&", 1 to 32 characters of [#A-Za-z0-9] and ";".
        int end = at + 1;
        while (end < n && end - at <= 33 && isEntityChar(chars[end]))
            ++end;
        QString decoded;
        if (end < n && chars[end] == QLatin1Char(';') && end - at - 1 >= 1 && end - at - 1 <= 32)
            decoded = HtmlConverter::decodeEntity(piece.mid(at, end - at + 1));
        if (!decoded.isEmpty()) {
            run_.append(decoded);
            return end;
        }
        run_.append(ch);
    } else if (u == '\r' || u == '\n') {
        // A line end is one blank (CR LF too).
        if (u == '\n' || at + 1 == n || chars[at + 1] != QLatin1Char('\n'))
            run_.append(QLatin1Char(' '));
    } else {
        run_.append(ch);
    }
    return at;
}

bool HtmlTokenizer::accepting() const
{
    switch (markup_) {
    case HtmlConverter::Markup::Body:
        return inBody_;
    case HtmlConverter::Markup::Html:
        return !inHead_;
    case HtmlConverter::Markup::Xml:
        return true;
    }
    return false;
}

int HtmlTokenizer::lastNonSpace() const
{
    int end = run_.size();
    while (end > 0 && run_.at(end - 1).isSpace())
        --end;
    return end;
}

// Writes run_[from, to) as the beginning of a run: at most one blank before it, after the
// pending line breaks unless nothing has been written yet.
void HtmlTokenizer::writeRunStart(int from, int to, bool leading)
{
    const bool broken = !atStart_ && pendingBreaks_ > 0;
    if (!atStart_) {
        for (int i = 0; i < pendingBreaks_; ++i)
            out_->write(kLineBreak);
    }
    pendingBreaks_ = 0;
    if ((leading || (blankOwed_ && !broken)) && !(endsWithBlank_ && !broken))
        out_->write(kBlank);
    blankOwed_ = false;
    out_->write(run_.constData() + from, to - from);
    atStart_ = false;
}

// At a tag: the run, trimmed at both edges to at most one blank.
void HtmlTokenizer::writeRun()
{
    if (!run_.isEmpty()) {
        const bool trailing = run_.at(run_.size() - 1).isSpace();
        const int end = lastNonSpace();
        if (runContinued_) {
            out_->write(run_.constData(), end);
            if (trailing)
                out_->write(kBlank);
            endsWithBlank_ = trailing;
        } else if (end > 0) {
            int begin = 0;
            while (run_.at(begin).isSpace())
                ++begin;
            writeRunStart(begin, end, begin > 0);
            if (trailing)
                out_->write(kBlank);
            endsWithBlank_ = trailing;
        } else if (!atStart_ && !endsWithBlank_) {
            blankOwed_ = true;
        }
    }
    run_.clear();
    runContinued_ = false;
}

// A run grown to kRunLimit: writes all of it up to its last non-blank character (its trailing
// blanks may still be the run's end); a run of blanks alone is kept as one.
void HtmlTokenizer::writeLongRun()
{
    const int end = lastNonSpace();
    if (end == 0) {
        if (runContinued_) {
            out_->write(run_.constData(), run_.size() - 1); // white space inside the run
            run_.remove(0, run_.size() - 1);
        } else {
            run_ = kBlank; // leading white space: one blank at most
        }
        return;
    }
    if (runContinued_) {
        out_->write(run_.constData(), end);
    } else {
        int begin = 0;
        while (run_.at(begin).isSpace())
            ++begin;
        writeRunStart(begin, end, begin > 0);
    }
    endsWithBlank_ = false;
    run_.remove(0, end);
    runContinued_ = true;
}
