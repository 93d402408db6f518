// OfficeXmlFilter: the in-process filter for Office Open XML documents (docx, xlsx, pptx).
//
// The document is a zip archive; the filter reads its XML members with QuaZip and
// QXmlStreamReader, a paragraph at a time as chunks are asked for (ParagraphFilter):
// - docx: the paragraphs ("p") of word/document.xml, then of the footnotes and endnotes.
//   Text comes from "t" elements only (deleted text and field codes are left out); a tab
//   inside a run gives a tab, a break a line feed. A paragraph nested in another (a text box)
//   is its own chunk, served before the paragraph around it.
// - xlsx: every row of every worksheet (xl/worksheets/sheetN.xml, in N order) is one chunk,
//   its non-empty cells joined by tabs: shared strings resolved (read during init), inline
//   strings, else the stored value (numbers as written; formulas are not text).
//   What a workbook makes us hold is bounded: a cell's text at 32,767 characters (the most
//   the applications that write these files put in one), the shared-string table at 2 Mi
//   strings and 16 Mi characters (strings past that are left out, with a warning), and a row
//   of many cells naming one long string is served in pieces (ParagraphFilter).
// - pptx: the paragraphs of every slide (ppt/slides/slideN.xml, in N order).
// The kind is recognised from the archive's members, not from the file's extension.
#pragma once

#include "search/textextract/ParagraphFilter.h"

class OfficeXmlFilter : public ParagraphFilter
{
public:
    // `document` must stay open while the filter is used.
    explicit OfficeXmlFilter(const ContentFile& document) : document(document) {}

    FilterResult init(quint32 flags, const FilterControl& control) override;

private:
    TokenHandler paragraphReader();
    TokenHandler rowReader(std::shared_ptr<const QStringList> shared);
    FilterResult readSharedStrings(QStringList* shared);

    const ContentFile& document;
};
