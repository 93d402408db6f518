// RTF text (see BinaryDocumentReaders.h).
//
// The document is read byte by byte through a small buffer: groups ({ }) save and restore
// the reading state (destination, \uc count, current font); control words are a backslash,
// 1 to 32 letters, an optional signed number of at most 10 digits and an optional blank that
// belongs to them; control symbols are a backslash and one other character; \'hh is one byte
// in the current code page; \binN is followed by N raw bytes. 8-bit text is gathered and
// decoded in the code page of the current font (its \fcharset or \cpg in the font table),
// else the document's (\ansicpg; \mac, \pc, \pca), so a double-byte character written as two
// \'hh escapes stays whole. After \uN the next \ucN characters (the fallback for readers
// without Unicode; a \'hh, a character or a control counts one, a group ends it) are skipped.
// Destinations: footnotes, comments (\annotation), headers and footers go to a side text that
// follows the main text; field instructions, pictures, objects' data, the font, colour and
// style tables, document information, list tables, bookmarks, shapes' properties and results
// (the text of a shape is read from its instructions' \shptxt; the result repeats it for
// older readers) and every \* destination not known as text are skipped. \par, \line, \sect, \page, \row end a paragraph; \cell and \tab give a
// tab. Groups nest at most 1024 deep; deeper ones are read as their parent.
#include "search/textextract/BinaryDocumentReaders.h"

#include <QHash>
#include <QIODevice>
#include <QMutex>
#include <QTextCodec>

#include <cstring>
#include <vector>

namespace {

enum class Dest : quint8 { Main, Side, Skip, FontTable };

struct State
{
    Dest dest = Dest::Main;
    int uc = 1;
    int codepage = -1; // -1: the default font's; 0: the document's
};

constexpr int kMaxDepth = 1024;
constexpr qint64 kMaxSideUnits = qint64(16) << 20;

class ByteReader
{
public:
    explicit ByteReader(QIODevice* d) : device(d) {}
    int get()
    {
        if (pos >= buffer.size()) {
            buffer = device->read(65536);
            pos = 0;
            if (buffer.isEmpty())
                return -1;
        }
        return uchar(buffer.at(pos++));
    }
    void unget()
    {
        if (pos > 0)
            --pos;
    }
    void skip(qint64 n)
    {
        while (n > 0) {
            const qint64 inBuffer = buffer.size() - pos;
            if (inBuffer > 0) {
                const qint64 step = qMin(n, inBuffer);
                pos += int(step);
                n -= step;
                continue;
            }
            buffer = device->read(65536);
            pos = 0;
            if (buffer.isEmpty())
                return;
        }
    }

private:
    QIODevice* device;
    QByteArray buffer;
    int pos = 0;
};

int codepageOfCharset(int charset)
{
    switch (charset) {
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0; // ANSI, default, symbol: the document's code page
    }
}

QTextCodec* codecOfCodepage(int cp)
{
    static QHash<int, QTextCodec*> cache;
    static QBasicMutex mutex;
    QMutexLocker lock(&mutex);
    const auto it = cache.constFind(cp);
    if (it != cache.constEnd())
        return *it;
    QTextCodec* c = nullptr;
    switch (cp) {
    case 932: c = QTextCodec::codecForName("Shift_JIS"); break;
    case 936: c = QTextCodec::codecForName("GBK"); break;
    case 949: c = QTextCodec::codecForName("windows-949"); break;
    case 950: c = QTextCodec::codecForName("Big5"); break;
    case 10000: c = QTextCodec::codecForName("macintosh"); break;
    case 437: c = QTextCodec::codecForName("IBM437"); break;
    case 850: c = QTextCodec::codecForName("IBM850"); break;
    case 65001: c = QTextCodec::codecForName("UTF-8"); break;
    default: break;
    }
    if (!c)
        c = QTextCodec::codecForName("windows-" + QByteArray::number(cp));
    if (!c)
        c = QTextCodec::codecForName("CP" + QByteArray::number(cp));
    if (!c)
        c = QTextCodec::codecForName("windows-1252");
    cache.insert(cp, c);
    return c;
}

bool isSkippedDestination(const QByteArray& w)
{
    static const char* const kSkipped[] = {
        "colortbl", "stylesheet", "info", "pict", "objdata", "objclass", "objname", "listtable",
        "listoverridetable", "revtbl", "rsidtbl", "generator", "fldinst", "datastore", "themedata",
        "colorschememapping", "latentstyles", "xmlnstbl", "pgdsctbl", "bkmkstart", "bkmkend",
        "template", "filetbl", "pntext", "pntxta", "pntxtb", "listtext", "shprslt", "sp", "sn", "sv",
        "nonshppict", "falt", "panose", "docvar", "ftnsep", "ftnsepc", "aftnsep", "aftnsepc",
        "atnid", "atnauthor", "atndate", "atnref", "atnparent", "atrfstart", "atrfend", "fontemb",
        "fontfile", "xe", "tc", "userprops", "mmathPr", "wgrffmtfilter", "protusertbl", "passwordhash",
        "blipuid", "fldtype", "bookmark", "title", "subject", "author", "operator", "keywords",
        "comment", "doccomm", "hlinkbase", "category", "company", "manager"};
    for (const char* name : kSkipped) {
        if (w == name)
            return true;
    }
    return false;
}

bool isSideDestination(const QByteArray& w)
{
    static const char* const kSide[] = {"footnote", "annotation", "header", "headerl", "headerr", "headerf",
                                        "footer", "footerl", "footerr", "footerf"};
    for (const char* name : kSide) {
        if (w == name)
            return true;
    }
    return false;
}

class Rtf
{
public:
    Rtf(QIODevice* device, TextSink& out)
        : in(device)
        , sink(out)
    { }

    BinaryDocuments::Result read()
    {
        if (in.get() != '{' || in.get() != '\\' || in.get() != 'r' || in.get() != 't' || in.get() != 'f')
            return BinaryDocuments::Result::NotThisFormat;
        in.unget();
        in.unget();
        in.unget();
        in.unget();
        stack.push_back(state);
        for (int c; (c = in.get()) >= 0;) {
            if (!going())
                return BinaryDocuments::Result::Stopped;
            if (c == '{') {
                flushBytes();
                skipCount = 0;
                if (stack.size() < kMaxDepth)
                    stack.push_back(state);
                else
                    ++overflow;
            } else if (c == '}') {
                flushBytes();
                skipCount = 0;
                if (overflow > 0) {
                    --overflow;
                } else if (!stack.empty()) {
                    if (state.dest == Dest::Side && stack.back().dest != Dest::Side)
                        endParagraph(); // a footnote's or header's last paragraph
                    state = stack.back();
                    stack.pop_back();
                }
                if (stack.empty())
                    break; // the document's group has ended
            } else if (c == '\\') {
                if (!control())
                    return BinaryDocuments::Result::Stopped;
            } else if (c == '\r' || c == '\n') {
                continue;
            } else {
                byte(uchar(c));
            }
        }
        flushBytes();
        if (!endParagraph())
            return BinaryDocuments::Result::Stopped;
        for (const QString& p : side) {
            if (!sink.paragraph(p))
                return BinaryDocuments::Result::Stopped;
        }
        return BinaryDocuments::Result::Ok;
    }

private:
    bool going()
    {
        if (!stopped && !sink.keepGoing())
            stopped = true;
        return !stopped;
    }

    // A fallback character after \u: skipped instead of read.
    bool skipping()
    {
        if (skipCount > 0) {
            --skipCount;
            return true;
        }
        return false;
    }

    void byte(uchar b)
    {
        if (skipping())
            return;
        if (state.dest == Dest::Main || state.dest == Dest::Side) {
            if (pendingBytes.size() < 4096)
                pendingBytes.append(char(b));
            else
                flushBytes(), pendingBytes.append(char(b));
        } else if (state.dest == Dest::FontTable && b == ';') {
            fontDefinition = -1;
        }
    }

    void flushBytes()
    {
        if (pendingBytes.isEmpty())
            return;
        int cp = state.codepage;
        if (cp < 0)
            cp = fontCodepages.value(defaultFont, 0);
        if (cp == 0)
            cp = documentCodepage;
        append(codecOfCodepage(cp)->toUnicode(pendingBytes));
        pendingBytes.clear();
    }

    void append(const QString& text)
    {
        if (state.dest == Dest::Main) {
            current.append(text);
            if (current.size() >= 65536)
                endParagraph();
        } else if (state.dest == Dest::Side) {
            if (sideUnits + text.size() <= kMaxSideUnits) {
                sideCurrent.append(text);
                sideUnits += text.size();
            }
        }
    }

    bool endParagraph()
    {
        if (state.dest == Dest::Side) {
            if (!sideCurrent.isEmpty())
                side.append(sideCurrent);
            sideCurrent.clear();
            return true;
        }
        if (current.isEmpty())
            return true;
        const bool ok = sink.paragraph(current);
        current.clear();
        if (!ok)
            stopped = true;
        return ok;
    }

    bool control()
    {
        int c = in.get();
        if (c < 0)
            return true;
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) {
            symbol(c);
            return true;
        }
        QByteArray word;
        while (c >= 0 && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) && word.size() < 32) {
            word.append(char(c));
            c = in.get();
        }
        bool hasParam = false;
        bool negative = false;
        qint64 param = 0;
        if (c == '-') {
            negative = true;
            c = in.get();
        }
        int digits = 0;
        while (c >= '0' && c <= '9' && digits < 10) {
            param = param * 10 + (c - '0');
            hasParam = true;
            ++digits;
            c = in.get();
        }
        if (negative)
            param = -param;
        if (c != ' ' && c >= 0)
            in.unget();
        return controlWord(word, hasParam, param);
    }

    void symbol(int c)
    {
        if (c == '\'') {
            const int h1 = hexValue(in.get());
            const int h2 = h1 < 0 ? -1 : hexValue(in.get());
            if (h1 >= 0 && h2 >= 0)
                byte(uchar(h1 * 16 + h2));
            return;
        }
        if (c == '*') {
            ignorableNext = true;
            return;
        }
        if (skipping())
            return;
        switch (c) {
        case '\\': case '{': case '}':
            flushBytes();
            append(QString(QChar(c)));
            break;
        case '~':
            flushBytes();
            append(QStringLiteral(" "));
            break;
        case '_':
            flushBytes();
            append(QStringLiteral("-"));
            break;
        case '\r': case '\n':
            flushBytes();
            endParagraph();
            break;
        default:
            break; // \- optional hyphen, \: index subentry, \| formula
        }
    }

    static int hexValue(int c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    bool controlWord(const QByteArray& w, bool hasParam, qint64 param)
    {
        const bool ignorable = ignorableNext;
        ignorableNext = false;
        flushBytes();
        // Destinations.
        if (w == "fonttbl") {
            state.dest = Dest::FontTable;
            return true;
        }
        if (isSideDestination(w)) {
            if (state.dest != Dest::Skip) {
                if (state.dest == Dest::Side)
                    endParagraph();
                state.dest = Dest::Side;
            }
            return true;
        }
        if (isSkippedDestination(w) || (ignorable && w != "fldrslt" && w != "shpinst")) {
            state.dest = Dest::Skip;
            return true;
        }
        if (w == "bin") {
            in.skip(qMax<qint64>(0, param));
            return true;
        }
        if (state.dest == Dest::FontTable) {
            if (w == "f")
                fontDefinition = int(param);
            else if (w == "fcharset" && fontDefinition >= 0 && fontCodepages.size() < 65536)
                fontCodepages.insert(fontDefinition, codepageOfCharset(int(param)));
            else if (w == "cpg" && fontDefinition >= 0 && param > 0 && fontCodepages.size() < 65536)
                fontCodepages.insert(fontDefinition, int(param));
            return true;
        }
        if (w == "u" && hasParam) {
            append(QString(QChar(ushort(param < 0 ? param + 65536 : param))));
            skipCount = state.uc; // the fallback that follows
            return true;
        }
        if (w == "uc") {
            state.uc = int(qBound<qint64>(0, param, 16));
            return true;
        }
        if (w == "ansicpg" && param > 0) {
            documentCodepage = int(param);
            return true;
        }
        if (w == "mac") {
            documentCodepage = 10000;
            return true;
        }
        if (w == "pc") {
            documentCodepage = 437;
            return true;
        }
        if (w == "pca") {
            documentCodepage = 850;
            return true;
        }
        if (w == "deff") {
            defaultFont = int(param);
            return true;
        }
        if (w == "f") {
            state.codepage = fontCodepages.value(int(param), 0);
            return true;
        }
        if (w == "plain") {
            state.codepage = -1;
            return true;
        }
        if (w == "pard")
            return true;
        if (skipping())
            return true;
        if (w == "par" || w == "line" || w == "sect" || w == "page" || w == "row" || w == "softline")
            return endParagraph() || !stopped;
        QString text;
        if (w == "tab" || w == "cell" || w == "nestcell")
            text = QStringLiteral("\t");
        else if (w == "emdash")
            text = QString(QChar(0x2014));
        else if (w == "endash")
            text = QString(QChar(0x2013));
        else if (w == "bullet")
            text = QString(QChar(0x2022));
        else if (w == "lquote")
            text = QString(QChar(0x2018));
        else if (w == "rquote")
            text = QString(QChar(0x2019));
        else if (w == "ldblquote")
            text = QString(QChar(0x201C));
        else if (w == "rdblquote")
            text = QString(QChar(0x201D));
        else if (w == "emspace" || w == "enspace" || w == "qmspace")
            text = QStringLiteral(" ");
        if (!text.isEmpty())
            append(text);
        return true;
    }

    ByteReader in;
    TextSink& sink;
    State state;
    std::vector<State> stack;
    int overflow = 0;
    bool ignorableNext = false;
    int skipCount = 0;
    int documentCodepage = 1252;
    int defaultFont = -1;
    int fontDefinition = -1;
    QHash<int, int> fontCodepages;
    QByteArray pendingBytes;
    QString current;
    QString sideCurrent;
    QStringList side;
    qint64 sideUnits = 0;
    bool stopped = false;
};

} // namespace

namespace BinaryDocuments {

Result readRtf(QIODevice* device, TextSink& sink)
{
    Rtf rtf(device, sink);
    return rtf.read();
}

} // namespace BinaryDocuments
