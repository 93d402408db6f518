#include "search/textextract/OpenDocumentFilter.h"

#include "core/ContentFile.h"

#include <QVector>
#include <QXmlStreamReader>

namespace {

const QLatin1String kTextNs("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QLatin1String kOldTextNs("http://openoffice.org/2000/text");
const QLatin1String kDcNs("http://purl.org/dc/elements/1.1/");
const QLatin1String kMetaNs("urn:oasis:names:tc:opendocument:xmlns:meta:1.0");
const QLatin1String kOldMetaNs("http://openoffice.org/2000/meta");

bool isTextNs(const QStringRef& ns)
{
    return ns == kTextNs || ns == kOldTextNs;
}

// Elements whose content is not the document's text: a note's number (its body follows and is
// read), deleted text kept for change tracking, a comment's author and date.
bool isSkipped(const QStringRef& ns, const QStringRef& name)
{
    if (ns == kDcNs || ns == kMetaNs || ns == kOldMetaNs)
        return true;
    return isTextNs(ns)
           && (name == QLatin1String("note-citation") || name == QLatin1String("footnote-citation")
               || name == QLatin1String("endnote-citation") || name == QLatin1String("tracked-changes"));
}

// Spaces that text:s elements in a row give at most: enough for any layout, while a count of
// a million (or many such elements) asks for text nobody searches.
constexpr int kMaxSpaceRun = 1024;

bool isSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')
           || c == QLatin1Char('\r');
}

} // namespace

FilterResult OpenDocumentFilter::init(quint32, const FilterControl& limits)
{
    // A flat document is one XML file; the others are zip archives.
    char head[64] = {};
    const qint64 n = document.readFully(0, head, sizeof head);
    const QByteArray start = QByteArray(head, int(qMax<qint64>(n, 0))).trimmed();
    const bool flat = start.startsWith('<') || start.startsWith("\xEF\xBB\xBF<");
    if (flat) {
        if (!openPlainFile(document, limits))
            return FILTER_E_ACCESS;
    } else if (!openArchive(document, limits) || !hasMember(QStringLiteral("content.xml"))) {
        return E_FAIL;
    }

    struct Open
    {
        QString text;
        bool collapsedSpace = true; // at the start, white space is dropped
        bool pendingSpace = false;  // collapsed white space, written only if text follows
        int spaceRun = 0;           // spaces of text:s elements since the last other text

        void flushSpace()
        {
            if (pendingSpace)
                text.append(QLatin1Char(' '));
            pendingSpace = false;
        }
    };
    struct State
    {
        QVector<Open> open;
        int skipped = 0; // depth inside elements whose text is left out
    };
    auto st = std::make_shared<State>();
    const TokenHandler reader = [this, st](QXmlStreamReader& stream) {
        switch (stream.tokenType()) {
        case QXmlStreamReader::StartElement: {
            const QStringRef ns = stream.namespaceUri();
            const QStringRef name = stream.name();
            if (st->skipped > 0 || isSkipped(ns, name)) {
                ++st->skipped;
                break;
            }
            if (!isTextNs(ns))
                break;
            if (name == QLatin1String("p") || name == QLatin1String("h")) {
                st->open.append(Open());
            } else if (!st->open.isEmpty()) {
                Open& p = st->open.last();
                const bool tab = name == QLatin1String("tab") || name == QLatin1String("tab-stop");
                if (name == QLatin1String("s") || tab || name == QLatin1String("line-break"))
                    p.flushSpace();
                if (name == QLatin1String("s")) {
                    bool ok = false;
                    int spaces =
                        stream.attributes().value(ns.toString(), QLatin1String("c")).toInt(&ok);
                    if (!ok || spaces < 1)
                        spaces = 1;
                    spaces = qMin(spaces, kMaxSpaceRun - p.spaceRun);
                    p.text.append(QString(spaces, QLatin1Char(' ')));
                    p.spaceRun += spaces;
                    p.collapsedSpace = false;
                } else if (tab) {
                    p.text.append(QLatin1Char('\t'));
                    p.collapsedSpace = false;
                    p.spaceRun = 0;
                } else if (name == QLatin1String("line-break")) {
                    p.text.append(QLatin1Char('\n'));
                    p.collapsedSpace = true;
                    p.spaceRun = 0;
                }
                servePieceIfLong(p.text);
            }
            break;
        }
        case QXmlStreamReader::EndElement:
            if (st->skipped > 0) {
                --st->skipped;
                break;
            }
            if (isTextNs(stream.namespaceUri()) && !st->open.isEmpty() &&
                (stream.name() == QLatin1String("p") || stream.name() == QLatin1String("h"))) {
                // Collapsed white space at the end is dropped; spaces written as text:s stay.
                endParagraph(st->open.last().text);
                st->open.removeLast();
            }
            break;
        case QXmlStreamReader::Characters:
            if (st->skipped == 0 && !st->open.isEmpty()) {
                Open& p = st->open.last();
                for (QChar c : stream.text()) {
                    if (isSpace(c)) {
                        if (!p.collapsedSpace)
                            p.pendingSpace = true;
                        p.collapsedSpace = true;
                    } else {
                        p.flushSpace();
                        p.text.append(c);
                        p.collapsedSpace = false;
                        p.spaceRun = 0;
                        if (p.text.size() >= kMaxPieceUnits)
                            servePieceIfLong(p.text);
                    }
                }
            }
            break;
        default:
            break;
        }
    };
    if (flat) {
        addMember(QString(), reader);
    } else {
        // The body, then the styles: headers, footers and the master pages' own text.
        addMember(QStringLiteral("content.xml"), reader);
        addMember(QStringLiteral("styles.xml"), reader);
    }
    return S_OK;
}
