#include "search/textextract/OfficeXmlFilter.h"

#include <QVector>
#include <QXmlStreamReader>

FilterResult OfficeXmlFilter::init(quint32, const FilterControl& control)
{
    if (!openArchive(path, control))
        return E_FAIL;

    if (hasMember(QStringLiteral("word/document.xml"))) {
        for (const char* member : {"word/document.xml", "word/footnotes.xml", "word/endnotes.xml"})
            addMember(QLatin1String(member), paragraphReader());
        return S_OK;
    }
    if (hasMember(QStringLiteral("xl/workbook.xml"))) {
        auto shared = std::make_shared<QStringList>();
        const FilterResult r = readSharedStrings(shared.get());
        if (!filterSucceeded(r))
            return r;
        const QStringList sheets =
            numberedMembers(QStringLiteral("xl/worksheets/sheet"), QStringLiteral(".xml"));
        for (const QString& sheet : sheets)
            addMember(sheet, rowReader(shared));
        return S_OK;
    }
    if (hasMember(QStringLiteral("ppt/presentation.xml"))) {
        const QStringList slides = numberedMembers(QStringLiteral("ppt/slides/slide"), QStringLiteral(".xml"));
        for (const QString& slide : slides)
            addMember(slide, paragraphReader());
        return S_OK;
    }
    return E_FAIL;
}

ParagraphFilter::TokenHandler OfficeXmlFilter::paragraphReader()
{
    struct State
    {
        QVector<QString> open;     // text of the paragraphs being read, innermost last
        QVector<char> elements;    // open elements: 'r' run, 'p' paragraph, 0 other
        bool inText = false;
    };
    auto st = std::make_shared<State>();
    return [this, st](QXmlStreamReader& xml) {
        switch (xml.tokenType()) {
        case QXmlStreamReader::StartElement: {
            const QStringRef name = xml.name();
            const char parent = st->elements.isEmpty() ? 0 : st->elements.last();
            if (name == QLatin1String("p")) {
                st->open.append(QString());
            } else if (!st->open.isEmpty()) {
                if (name == QLatin1String("t"))
                    st->inText = true;
                else if (name == QLatin1String("tab") && parent == 'r')
                    st->open.last().append(QLatin1Char('\t'));
                else if ((name == QLatin1String("br") || name == QLatin1String("cr"))
                         && (parent == 'r' || parent == 'p'))
                    st->open.last().append(QLatin1Char('\n'));
            }
            st->elements.append(name == QLatin1String("r") ? 'r' : name == QLatin1String("p") ? 'p' : 0);
            break;
        }
        case QXmlStreamReader::EndElement:
            if (!st->elements.isEmpty())
                st->elements.removeLast();
            if (xml.name() == QLatin1String("t"))
                st->inText = false;
            else if (xml.name() == QLatin1String("p") && !st->open.isEmpty())
                paragraphs.append(st->open.takeLast());
            break;
        case QXmlStreamReader::Characters:
            if (st->inText && !st->open.isEmpty())
                st->open.last().append(xml.text());
            break;
        default:
            break;
        }
    };
}

FilterResult OfficeXmlFilter::readSharedStrings(QStringList* shared)
{
    // Each "si" is one string: its "t" texts outside the phonetic runs ("rPh").
    if (!hasMember(QStringLiteral("xl/sharedStrings.xml")))
        return S_OK;
    QString item;
    bool inItem = false, inText = false;
    int phonetic = 0;
    return parseWhole(QStringLiteral("xl/sharedStrings.xml"), [&](QXmlStreamReader& xml) {
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
                shared->append(item);
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
}

ParagraphFilter::TokenHandler OfficeXmlFilter::rowReader(std::shared_ptr<const QStringList> shared)
{
    struct State
    {
        QStringList cells;
        QString cellType, value, inlineText;
        bool inValue = false, inInlineText = false;
    };
    auto st = std::make_shared<State>();
    return [this, st, shared](QXmlStreamReader& xml) {
        if (xml.isStartElement()) {
            const QStringRef name = xml.name();
            if (name == QLatin1String("row")) {
                st->cells.clear();
            } else if (name == QLatin1String("c")) {
                st->cellType = xml.attributes().value(QLatin1String("t")).toString();
                st->value.clear();
                st->inlineText.clear();
            } else if (name == QLatin1String("v")) {
                st->inValue = true;
            } else if (name == QLatin1String("t")) {
                st->inInlineText = true;
            }
        } else if (xml.isEndElement()) {
            const QStringRef name = xml.name();
            if (name == QLatin1String("v")) {
                st->inValue = false;
            } else if (name == QLatin1String("t")) {
                st->inInlineText = false;
            } else if (name == QLatin1String("c")) {
                QString text;
                if (st->cellType == QLatin1String("s")) {
                    bool ok = false;
                    const int index = st->value.trimmed().toInt(&ok);
                    if (ok && index >= 0 && index < shared->size())
                        text = shared->at(index);
                } else if (st->cellType == QLatin1String("inlineStr")) {
                    text = st->inlineText;
                } else {
                    text = st->value;
                }
                if (!text.isEmpty())
                    st->cells.append(text);
            } else if (name == QLatin1String("row")) {
                if (!st->cells.isEmpty())
                    paragraphs.append(st->cells.join(QLatin1Char('\t')));
            }
        } else if (xml.isCharacters()) {
            if (st->inValue)
                st->value.append(xml.text());
            else if (st->inInlineText)
                st->inlineText.append(xml.text());
        }
    };
}
