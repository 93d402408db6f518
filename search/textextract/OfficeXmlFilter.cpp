#include "search/textextract/OfficeXmlFilter.h"

#include <QVector>
#include <QXmlStreamReader>
#include <quazip/quazip.h>

namespace {

bool hasMember(QuaZip& zip, const QString& name)
{
    return zip.setCurrentFile(name);
}

} // namespace

FilterResult OfficeXmlFilter::init(quint32, const FilterControl& control)
{
    QuaZip zip(path);
    if (!openArchive(zip))
        return E_FAIL;

    FilterResult r = S_OK;
    if (hasMember(zip, QStringLiteral("word/document.xml"))) {
        r = readParagraphs(zip, QStringLiteral("word/document.xml"), control);
        for (const char* extra : {"word/footnotes.xml", "word/endnotes.xml"}) {
            if (filterSucceeded(r) && hasMember(zip, QLatin1String(extra)))
                r = readParagraphs(zip, QLatin1String(extra), control);
        }
    } else if (hasMember(zip, QStringLiteral("xl/workbook.xml"))) {
        r = readWorkbook(zip, control);
    } else if (hasMember(zip, QStringLiteral("ppt/presentation.xml"))) {
        const QStringList slides =
            numberedMembers(zip, QStringLiteral("ppt/slides/slide"), QStringLiteral(".xml"));
        for (const QString& slide : slides) {
            r = readParagraphs(zip, slide, control);
            if (!filterSucceeded(r))
                break;
        }
    } else {
        r = E_FAIL;
    }
    if (!filterSucceeded(r))
        paragraphs.clear();
    return r;
}

FilterResult OfficeXmlFilter::readParagraphs(QuaZip& zip, const QString& member,
                                             const FilterControl& control)
{
    QVector<QString> open;     // text of the paragraphs being read, innermost last
    QVector<QString> elements; // local names of the open elements
    bool inText = false;
    return parseMember(zip, member, control, [&](QXmlStreamReader& xml) {
        switch (xml.tokenType()) {
        case QXmlStreamReader::StartElement: {
            const QStringRef name = xml.name();
            const QString parent = elements.isEmpty() ? QString() : elements.last();
            if (name == QLatin1String("p")) {
                open.append(QString());
            } else if (!open.isEmpty()) {
                if (name == QLatin1String("t"))
                    inText = true;
                else if (name == QLatin1String("tab") && parent == QLatin1String("r"))
                    open.last().append(QLatin1Char('\t'));
                else if ((name == QLatin1String("br") || name == QLatin1String("cr"))
                         && (parent == QLatin1String("r") || parent == QLatin1String("p")))
                    open.last().append(QLatin1Char('\n'));
            }
            elements.append(name.toString());
            break;
        }
        case QXmlStreamReader::EndElement: {
            if (!elements.isEmpty())
                elements.removeLast();
            const QStringRef name = xml.name();
            if (name == QLatin1String("t")) {
                inText = false;
            } else if (name == QLatin1String("p") && !open.isEmpty()) {
                paragraphs.append(open.takeLast());
            }
            break;
        }
        case QXmlStreamReader::Characters:
            if (inText && !open.isEmpty())
                open.last().append(xml.text());
            break;
        default:
            break;
        }
    });
}

FilterResult OfficeXmlFilter::readWorkbook(QuaZip& zip, const FilterControl& control)
{
    // Shared strings: each "si" is one string, the concatenation of its "t" texts outside the
    // phonetic runs ("rPh").
    QStringList shared;
    if (hasMember(zip, QStringLiteral("xl/sharedStrings.xml"))) {
        QString item;
        bool inItem = false, inText = false;
        int phonetic = 0;
        const FilterResult r = parseMember(
            zip, QStringLiteral("xl/sharedStrings.xml"), control, [&](QXmlStreamReader& xml) {
                if (xml.isStartElement()) {
                    if (xml.name() == QLatin1String("si")) {
                        inItem = true;
                        item.clear();
                    } else if (xml.name() == QLatin1String("rPh")) {
                        ++phonetic;
                    } else if (xml.name() == QLatin1String("t")) {
                        inText = true;
                    }
                } else if (xml.isEndElement()) {
                    if (xml.name() == QLatin1String("si")) {
                        shared.append(item);
                        inItem = false;
                    } else if (xml.name() == QLatin1String("rPh")) {
                        --phonetic;
                    } else if (xml.name() == QLatin1String("t")) {
                        inText = false;
                    }
                } else if (xml.isCharacters() && inItem && inText && phonetic == 0) {
                    item.append(xml.text());
                }
            });
        if (!filterSucceeded(r))
            return r;
    }

    const QStringList sheets =
        numberedMembers(zip, QStringLiteral("xl/worksheets/sheet"), QStringLiteral(".xml"));
    for (const QString& sheet : sheets) {
        QStringList cells;
        QString cellType, value, inlineText;
        bool inValue = false, inInlineText = false;
        const FilterResult r = parseMember(zip, sheet, control, [&](QXmlStreamReader& xml) {
            if (xml.isStartElement()) {
                const QStringRef name = xml.name();
                if (name == QLatin1String("row")) {
                    cells.clear();
                } else if (name == QLatin1String("c")) {
                    cellType = xml.attributes().value(QLatin1String("t")).toString();
                    value.clear();
                    inlineText.clear();
                } else if (name == QLatin1String("v")) {
                    inValue = true;
                } else if (name == QLatin1String("t")) {
                    inInlineText = true;
                }
            } else if (xml.isEndElement()) {
                const QStringRef name = xml.name();
                if (name == QLatin1String("v")) {
                    inValue = false;
                } else if (name == QLatin1String("t")) {
                    inInlineText = false;
                } else if (name == QLatin1String("c")) {
                    QString text;
                    if (cellType == QLatin1String("s")) {
                        bool ok = false;
                        const int index = value.trimmed().toInt(&ok);
                        if (ok && index >= 0 && index < shared.size())
                            text = shared.at(index);
                    } else if (cellType == QLatin1String("inlineStr")) {
                        text = inlineText;
                    } else {
                        text = value;
                    }
                    if (!text.isEmpty())
                        cells.append(text);
                } else if (name == QLatin1String("row")) {
                    if (!cells.isEmpty())
                        paragraphs.append(cells.join(QLatin1Char('\t')));
                }
            } else if (xml.isCharacters()) {
                if (inValue)
                    value.append(xml.text());
                else if (inInlineText)
                    inlineText.append(xml.text());
            }
        });
        if (!filterSucceeded(r))
            return r;
    }
    return S_OK;
}
