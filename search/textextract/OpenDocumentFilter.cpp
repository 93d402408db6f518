#include "search/textextract/OpenDocumentFilter.h"

#include <QVector>
#include <QXmlStreamReader>
#include <quazip/quazip.h>

namespace {

const QLatin1String kTextNs("urn:oasis:names:tc:opendocument:xmlns:text:1.0");
const QLatin1String kOfficeNs("urn:oasis:names:tc:opendocument:xmlns:office:1.0");

bool isSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')
           || c == QLatin1Char('\r');
}

} // namespace

FilterResult OpenDocumentFilter::init(quint32, const FilterControl& control)
{
    QuaZip zip(path);
    if (!openArchive(zip))
        return E_FAIL;

    struct Open
    {
        QString text;
        bool collapsedSpace = true; // at the start, white space is dropped
    };
    QVector<Open> open;
    int skipped = 0; // depth inside annotations
    const FilterResult r = parseMember(
        zip, QStringLiteral("content.xml"), control, [&](QXmlStreamReader& xml) {
            switch (xml.tokenType()) {
            case QXmlStreamReader::StartElement: {
                const QStringRef ns = xml.namespaceUri();
                const QStringRef name = xml.name();
                if (skipped > 0 || (ns == kOfficeNs && name == QLatin1String("annotation"))) {
                    ++skipped;
                    break;
                }
                if (ns != kTextNs)
                    break;
                if (name == QLatin1String("p") || name == QLatin1String("h")) {
                    open.append(Open());
                } else if (!open.isEmpty()) {
                    Open& p = open.last();
                    if (name == QLatin1String("s")) {
                        bool ok = false;
                        int n = xml.attributes().value(kTextNs, QLatin1String("c")).toInt(&ok);
                        if (!ok || n < 1)
                            n = 1;
                        p.text.append(QString(qMin(n, 4096), QLatin1Char(' ')));
                        p.collapsedSpace = false;
                    } else if (name == QLatin1String("tab")) {
                        p.text.append(QLatin1Char('\t'));
                        p.collapsedSpace = false;
                    } else if (name == QLatin1String("line-break")) {
                        p.text.append(QLatin1Char('\n'));
                        p.collapsedSpace = true;
                    }
                }
                break;
            }
            case QXmlStreamReader::EndElement:
                if (skipped > 0) {
                    --skipped;
                    break;
                }
                if (xml.namespaceUri() == kTextNs && !open.isEmpty()
                    && (xml.name() == QLatin1String("p") || xml.name() == QLatin1String("h"))) {
                    QString text = open.takeLast().text;
                    while (text.endsWith(QLatin1Char(' ')))
                        text.chop(1);
                    paragraphs.append(text);
                }
                break;
            case QXmlStreamReader::Characters:
                if (skipped == 0 && !open.isEmpty()) {
                    Open& p = open.last();
                    const QStringRef chars = xml.text();
                    for (QChar c : chars) {
                        if (isSpace(c)) {
                            if (!p.collapsedSpace)
                                p.text.append(QLatin1Char(' '));
                            p.collapsedSpace = true;
                        } else {
                            p.text.append(c);
                            p.collapsedSpace = false;
                        }
                    }
                }
                break;
            default:
                break;
            }
        });
    if (!filterSucceeded(r)) {
        paragraphs.clear();
        return r == FILTER_E_ACCESS ? E_FAIL : r;
    }
    return S_OK;
}
