#include "search/textextract/OpenDocumentFilter.h"

#include <QVector>
#include <QXmlStreamReader>

namespace {

const QLatin1String kTextNs("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QLatin1String kOfficeNs("urn:oasis:names:tc:opendocument:xmlns:office:1.0");

// Spaces that text:s elements in a row give at most: enough for any layout, while a count of
// a million (or many such elements) asks for text nobody searches.
constexpr int kMaxSpaceRun = 1024;

bool isSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')
           || c == QLatin1Char('\r');
}

} // namespace

FilterResult OpenDocumentFilter::init(quint32, const FilterControl& control)
{
    if (!openArchive(document, control) || !hasMember(QStringLiteral("content.xml")))
        return E_FAIL;

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
        int skipped = 0; // depth inside annotations
    };
    auto st = std::make_shared<State>();
    addMember(QStringLiteral("content.xml"), [this, st](QXmlStreamReader& xml) {
        switch (xml.tokenType()) {
        case QXmlStreamReader::StartElement: {
            const QStringRef ns = xml.namespaceUri();
            const QStringRef name = xml.name();
            if (st->skipped > 0 || (ns == kOfficeNs && name == QLatin1String("annotation"))) {
                ++st->skipped;
                break;
            }
            if (ns != kTextNs)
                break;
            if (name == QLatin1String("p") || name == QLatin1String("h")) {
                st->open.append(Open());
            } else if (!st->open.isEmpty()) {
                Open& p = st->open.last();
                if (name == QLatin1String("s") || name == QLatin1String("tab")
                    || name == QLatin1String("line-break"))
                    p.flushSpace();
                if (name == QLatin1String("s")) {
                    bool ok = false;
                    int n = xml.attributes().value(kTextNs, QLatin1String("c")).toInt(&ok);
                    if (!ok || n < 1)
                        n = 1;
                    n = qMin(n, kMaxSpaceRun - p.spaceRun);
                    p.text.append(QString(n, QLatin1Char(' ')));
                    p.spaceRun += n;
                    p.collapsedSpace = false;
                } else if (name == QLatin1String("tab")) {
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
            if (xml.namespaceUri() == kTextNs && !st->open.isEmpty()
                && (xml.name() == QLatin1String("p") || xml.name() == QLatin1String("h"))) {
                // Collapsed white space at the end is dropped; spaces written as text:s stay.
                endParagraph(st->open.last().text);
                st->open.removeLast();
            }
            break;
        case QXmlStreamReader::Characters:
            if (st->skipped == 0 && !st->open.isEmpty()) {
                Open& p = st->open.last();
                for (QChar c : xml.text()) {
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
    });
    return S_OK;
}
