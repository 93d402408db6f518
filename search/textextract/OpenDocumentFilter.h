// OpenDocumentFilter: the in-process filter for OpenDocument files (odt, ods, odp).
//
// Reads content.xml of the archive with QuaZip and QXmlStreamReader, a paragraph at a time as
// chunks are asked for (ParagraphFilter): every text:p and text:h is one chunk (a spreadsheet
// cell or a slide's text box holds such paragraphs too). Inside a paragraph text:s gives its count of
// spaces, text:tab a tab, text:line-break a line feed; other white space collapses to one
// space as the format prescribes. Annotations are left out. A paragraph nested in another
// (a footnote body) is its own chunk. The spaces of text:s elements in a row are capped at
// 1024 (a count of a million, repeated, would ask for gigabytes of blanks); a long
// paragraph is served in pieces (ParagraphFilter).
#pragma once

#include "search/textextract/ParagraphFilter.h"

class OpenDocumentFilter : public ParagraphFilter
{
public:
    // `document` must stay open while the filter is used.
    explicit OpenDocumentFilter(const ContentFile& document) : document(document) {}

    FilterResult init(quint32 flags, const FilterControl& control) override;

private:
    const ContentFile& document;
};
