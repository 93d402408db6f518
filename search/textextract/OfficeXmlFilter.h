// OfficeXmlFilter: the in-process filter for Office Open XML documents (docx, xlsx, pptx).
//
// The document is a zip archive; the filter reads its XML members with QuaZip and
// QXmlStreamReader, a paragraph at a time as chunks are asked for (ParagraphFilter):
// - docx, docm, dotx, dotm: the paragraphs ("p") of word/document.xml, then of the footnotes,
//   endnotes, comments, headers and footers.
//   Text comes from "t" elements only (deleted text and field codes are left out); a tab
//   inside a run gives a tab, a break a line feed. A paragraph nested in another (a text box)
//   is its own chunk, served before the paragraph around it.
// - xlsx: every row of every worksheet (xl/worksheets/sheetN.xml, in N order) is one chunk,
//   its non-empty cells joined by tabs, each as shown: shared strings resolved (read during
//   init), inline strings, numbers and dates through their cell's number format (xl/styles.xml,
//   NumberFormat; the date system of xl/workbook.xml), TRUE/FALSE, the text results of
//   formulas, and the sheet's page headers and footers (NumberFormat::headerFooterText);
//   then the comments (xl/commentsN.xml) and the text of shapes and text boxes
//   (xl/drawings/drawingN.xml). (xlsx, xlsm, xltx.)
//   What a workbook makes us hold is bounded: a cell's text at 32,767 characters (the most
//   the applications that write these files put in one), the shared-string table at 2 Mi
//   strings and 16 Mi characters (strings past that are left out, with a warning), and a row
//   of many cells naming one long string is served in pieces (ParagraphFilter).
// - pptx, pptm, ppsx, ppsm, potx, potm: the paragraphs of every slide (ppt/slides/slideN.xml,
//   in N order), then of the speaker notes, the slide masters and the comments.
// The kind is recognised from the archive's members, not from the file's extension.
#pragma once

#include "search/textextract/NumberFormat.h"
#include "search/textextract/ParagraphFilter.h"

#include <QHash>
#include <QVector>

class OfficeXmlFilter : public ParagraphFilter
{
public:
    // `source` must stay open while the filter is used.
    explicit OfficeXmlFilter(const ContentFile& source)
        : document(source)
    { }

    FilterResult init(quint32 flags, const FilterControl& control) override;

private:
    struct CellStyles
    {
        QHash<int, QString> formats; // custom number formats by id
        QVector<int> xfFormats;      // the number format id of each cell style
        bool date1904 = false;
        QString formatOf(int style) const
        {
            const int id = style >= 0 && style < xfFormats.size() ? xfFormats.at(style) : 0;
            return formats.value(id, NumberFormat::builtIn(id));
        }
    };

    // Paragraphs are the elements named `paragraphName`, their text that of the elements
    // named `textName` (local names).
    TokenHandler paragraphReader(const QString& paragraphName = QStringLiteral("p"),
                                 const QString& textName = QStringLiteral("t"));
    TokenHandler rowReader(std::shared_ptr<const QStringList> shared,
                           std::shared_ptr<const CellStyles> styles);
    FilterResult readSharedStrings(QStringList* shared);
    FilterResult readStyles(CellStyles* styles);

    const ContentFile& document;
};
