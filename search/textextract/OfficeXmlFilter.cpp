#include "search/textextract/OfficeXmlFilter.h"

#include "core/ContentFile.h"
#include "core/Logger.h"
#include "search/textextract/NumberFormat.h"

#include <QVector>
#include <QXmlStreamReader>

namespace {

const QString kTab = QStringLiteral("\t");
const QString kLineFeed = QStringLiteral("\n");

// A cell holds at most 32,767 characters in the applications that write these files; longer
// text in one is cut there.
constexpr int kMaxCellUnits = 32767;
// The shared-string table of one workbook holds at most this many strings and characters.
constexpr int kMaxSharedStrings = 1 << 21;
constexpr qint64 kMaxSharedStringUnits = qint64(16) << 20;

void appendCellText(QString& cell, const QStringRef& text)
{
    cell.append(text.left(kMaxCellUnits - cell.size()));
}

// The page headers and footers of a worksheet (in its "headerFooter" element).
bool isHeaderFooter(const QStringRef& name)
{
    return name == QLatin1String("oddHeader") || name == QLatin1String("oddFooter")
           || name == QLatin1String("evenHeader") || name == QLatin1String("evenFooter")
           || name == QLatin1String("firstHeader") || name == QLatin1String("firstFooter");
}

} // namespace

FilterResult OfficeXmlFilter::init(quint32, const FilterControl& limits)
{
    if (!openArchive(document, limits))
        return E_FAIL;

    auto addNumbered = [this](const char* prefix, const TokenHandler& handler) {
        for (const QString& member : numberedMembers(QLatin1String(prefix), QStringLiteral(".xml")))
            addMember(member, handler);
    };
    if (hasMember(QStringLiteral("word/document.xml"))) {
        for (const char* member : {"word/document.xml", "word/footnotes.xml", "word/endnotes.xml",
                                   "word/comments.xml"})
            addMember(QLatin1String(member), paragraphReader());
        addNumbered("word/header", paragraphReader());
        addNumbered("word/footer", paragraphReader());
        return S_OK;
    }
    if (hasMember(QStringLiteral("xl/workbook.xml"))) {
        auto shared = std::make_shared<QStringList>();
        const FilterResult r = readSharedStrings(shared.get());
        if (!filterSucceeded(r))
            return r;
        auto styles = std::make_shared<CellStyles>();
        const FilterResult s = readStyles(styles.get());
        if (!filterSucceeded(s) && s != FILTER_E_ACCESS)
            return s;
        addNumbered("xl/worksheets/sheet", rowReader(shared, styles));
        // Comments and the text of shapes and text boxes.
        addNumbered("xl/comments", paragraphReader(QStringLiteral("comment"), QStringLiteral("t")));
        addNumbered("xl/drawings/drawing", paragraphReader());
        return S_OK;
    }
    if (hasMember(QStringLiteral("ppt/presentation.xml"))) {
        addNumbered("ppt/slides/slide", paragraphReader());
        addNumbered("ppt/notesSlides/notesSlide", paragraphReader());
        addNumbered("ppt/slideMasters/slideMaster", paragraphReader());
        addNumbered("ppt/comments/comment", paragraphReader(QStringLiteral("cm"), QStringLiteral("text")));
        return S_OK;
    }
    return E_FAIL;
}

ParagraphFilter::TokenHandler OfficeXmlFilter::paragraphReader(const QString& paragraphName,
                                                              const QString& textName)
{
    struct State
    {
        QVector<QString> open;     // text of the paragraphs being read, innermost last
        QVector<char> elements;    // open elements: 'r' run, 'p' paragraph, 0 other
        bool inText = false;
    };
    auto st = std::make_shared<State>();
    return [this, st, paragraphName, textName](QXmlStreamReader& stream) {
        switch (stream.tokenType()) {
        case QXmlStreamReader::StartElement: {
            const QStringRef name = stream.name();
            const char parent = st->elements.isEmpty() ? 0 : st->elements.last();
            if (name == paragraphName) {
                st->open.append(QString());
            } else if (!st->open.isEmpty()) {
                if (name == textName)
                    st->inText = true;
                else if (name == QLatin1String("tab") && parent == 'r')
                    appendText(st->open.last(), QStringRef(&kTab));
                else if ((name == QLatin1String("br") || name == QLatin1String("cr"))
                         && (parent == 'r' || parent == 'p'))
                    appendText(st->open.last(), QStringRef(&kLineFeed));
            }
            st->elements.append(name == QLatin1String("r") ? 'r' : name == paragraphName ? 'p' : 0);
            break;
        }
        case QXmlStreamReader::EndElement:
            if (!st->elements.isEmpty())
                st->elements.removeLast();
            if (stream.name() == textName)
                st->inText = false;
            else if (stream.name() == paragraphName && !st->open.isEmpty()) {
                endParagraph(st->open.last());
                st->open.removeLast();
            }
            break;
        case QXmlStreamReader::Characters:
            if (st->inText && !st->open.isEmpty())
                appendText(st->open.last(), stream.text());
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
    bool inItem = false, inText = false, bounded = false;
    int phonetic = 0;
    qint64 unitsLeft = kMaxSharedStringUnits;
    const FilterResult r =
        parseWhole(QStringLiteral("xl/sharedStrings.xml"), [&](QXmlStreamReader& stream) {
            if (stream.isStartElement()) {
                if (stream.name() == QLatin1String("si")) {
                    inItem = true;
                    item.clear();
                } else if (stream.name() == QLatin1String("rPh")) {
                    ++phonetic;
                } else if (stream.name() == QLatin1String("t")) {
                    inText = true;
                }
            } else if (stream.isEndElement()) {
                if (stream.name() == QLatin1String("si")) {
                    inItem = false;
                    // Past the table's bound the strings are left out; an empty one keeps the
                    // indices of those before it.
                    if (shared->size() >= kMaxSharedStrings || item.size() > unitsLeft) {
                        bounded = true;
                        item.clear();
                    }
                    if (shared->size() < kMaxSharedStrings) {
                        unitsLeft -= item.size();
                        shared->append(item);
                    }
                } else if (stream.name() == QLatin1String("rPh")) {
                    --phonetic;
                } else if (stream.name() == QLatin1String("t")) {
                    inText = false;
                }
            } else if (stream.isCharacters() && inItem && inText && phonetic == 0) {
                appendCellText(item, stream.text());
            }
        });
    if (bounded)
        TQ_LOG_WARNING(
            "OfficeXmlFilter",
            QStringLiteral("The shared strings of %1 exceed the bound; the rest are left out")
                .arg(document.path()));
    return r;
}

FilterResult OfficeXmlFilter::readStyles(CellStyles* styles)
{
    // The date system of the workbook.
    parseWhole(QStringLiteral("xl/workbook.xml"), [&](QXmlStreamReader& stream) {
        if (stream.isStartElement() && stream.name() == QLatin1String("workbookPr")) {
            const QStringRef v = stream.attributes().value(QLatin1String("date1904"));
            styles->date1904 = v == QLatin1String("1") || v == QLatin1String("true");
        }
    });
    // Custom number formats by id, and the number format of each cell style (the "xf"
    // elements of cellXfs, in order).
    int inCellXfs = 0;
    return parseWhole(QStringLiteral("xl/styles.xml"), [&](QXmlStreamReader& stream) {
        if (stream.isStartElement()) {
            const QStringRef name = stream.name();
            if (name == QLatin1String("numFmt") && styles->formats.size() < 65536) {
                bool ok = false;
                const int id = stream.attributes().value(QLatin1String("numFmtId")).toInt(&ok);
                if (ok)
                    styles->formats.insert(id, stream.attributes()
                                                   .value(QLatin1String("formatCode"))
                                                   .toString()
                                                   .left(1024));
            } else if (name == QLatin1String("cellXfs")) {
                ++inCellXfs;
            } else if (name == QLatin1String("xf") && inCellXfs > 0 && styles->xfFormats.size() < 65536) {
                styles->xfFormats.append(
                    stream.attributes().value(QLatin1String("numFmtId")).toInt());
            }
        } else if (stream.isEndElement() && stream.name() == QLatin1String("cellXfs")) {
            --inCellXfs;
        }
    });
}

ParagraphFilter::TokenHandler OfficeXmlFilter::rowReader(std::shared_ptr<const QStringList> shared,
                                                         std::shared_ptr<const CellStyles> styles)
{
    struct State
    {
        QString row; // the row's text not yet served
        bool rowHasCells = false;
        QString cellType, value, inlineText;
        int style = 0;
        bool inValue = false, inInlineText = false;
        QString headerFooter; // the codes of a page header or footer being read
        bool inHeaderFooter = false;
    };
    auto st = std::make_shared<State>();
    return [this, st, shared, styles](QXmlStreamReader& stream) {
        if (stream.isStartElement()) {
            const QStringRef name = stream.name();
            if (name == QLatin1String("row")) {
                st->row.clear();
                st->rowHasCells = false;
            } else if (name == QLatin1String("c")) {
                st->cellType = stream.attributes().value(QLatin1String("t")).toString();
                st->style = stream.attributes().value(QLatin1String("s")).toInt();
                st->value.clear();
                st->inlineText.clear();
            } else if (name == QLatin1String("v")) {
                st->inValue = true;
            } else if (name == QLatin1String("t")) {
                st->inInlineText = true;
            } else if (isHeaderFooter(name)) {
                st->inHeaderFooter = true;
                st->headerFooter.clear();
            }
        } else if (stream.isEndElement()) {
            const QStringRef name = stream.name();
            if (isHeaderFooter(name)) {
                st->inHeaderFooter = false;
                QString text = NumberFormat::headerFooterText(st->headerFooter);
                if (!text.isEmpty())
                    endParagraph(text);
            } else if (name == QLatin1String("v")) {
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
                } else if (st->cellType == QLatin1String("b")) {
                    text = st->value.trimmed() == QLatin1String("1") ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
                } else if (st->cellType.isEmpty() || st->cellType == QLatin1String("n")) {
                    // A number shown through its cell's number format.
                    bool ok = false;
                    const double number = st->value.trimmed().toDouble(&ok);
                    text = ok ? NumberFormat::format(number, styles->formatOf(st->style), styles->date1904)
                              : st->value;
                } else {
                    text = st->value; // a formula's string, an error value, an ISO date
                }
                if (!text.isEmpty()) {
                    // The cells are joined by tabs as they come, so a row of many cells that
                    // all name one long string is served in pieces, never held whole.
                    if (st->rowHasCells)
                        appendText(st->row, QStringRef(&kTab));
                    appendText(st->row, QStringRef(&text));
                    st->rowHasCells = true;
                }
            } else if (name == QLatin1String("row")) {
                if (st->rowHasCells)
                    endParagraph(st->row);
                st->rowHasCells = false;
            }
        } else if (stream.isCharacters()) {
            if (st->inValue)
                appendCellText(st->value, stream.text());
            else if (st->inInlineText)
                appendCellText(st->inlineText, stream.text());
            else if (st->inHeaderFooter)
                appendCellText(st->headerFooter, stream.text());
        }
    };
}
