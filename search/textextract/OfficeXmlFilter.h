// OfficeXmlFilter: the in-process filter for Office Open XML documents (docx, xlsx, pptx).
//
// The document is a zip archive; the filter reads its XML members with QuaZip and
// QXmlStreamReader while init runs and serves one chunk per paragraph:
// - docx: the paragraphs ("p") of word/document.xml, then of the footnotes and endnotes.
//   Text comes from "t" elements only (deleted text and field codes are left out); a tab
//   inside a run gives a tab, a break a line feed. A paragraph nested in another (a text box)
//   is its own chunk.
// - xlsx: every row of every worksheet (xl/worksheets/sheetN.xml, in N order) is one chunk,
//   its non-empty cells joined by tabs: shared strings resolved, inline strings, else the
//   stored value (numbers as written; formulas are not text).
// - pptx: the paragraphs of every slide (ppt/slides/slideN.xml, in N order).
// The kind is recognised from the archive's members, not from the file's extension.
#pragma once

#include "search/textextract/ParagraphFilter.h"

class QuaZip;

class OfficeXmlFilter : public ParagraphFilter
{
public:
    explicit OfficeXmlFilter(const QString& path) : path(path) {}

    FilterResult init(quint32 flags, const FilterControl& control) override;

private:
    FilterResult readParagraphs(QuaZip& zip, const QString& member, const FilterControl& control);
    FilterResult readWorkbook(QuaZip& zip, const FilterControl& control);

    QString path;
};
