// OpenDocumentFilter: the in-process filter for OpenDocument files (odt, ods, odp and their
// templates ott, ots, otp), the flat single-file forms (fodt, fods, fodp) and the
// OpenOffice.org 1.x files (sxw, sxc, sxi), recognised from their bytes (a zip archive or an
// XML file).
//
// Reads content.xml and then styles.xml of the archive (or the flat file whole) with QuaZip
// and QXmlStreamReader, a paragraph at a time as chunks are asked for (ParagraphFilter):
// every text:p and text:h is one chunk (a spreadsheet cell, a slide's text box, speaker notes,
// a header or footer and a master page's text hold such paragraphs too). The text namespace
// of OpenDocument and the older one of OpenOffice.org 1.x are both read. Inside a paragraph
// text:s gives its count of spaces, text:tab (text:tab-stop in 1.x) a tab, text:line-break a
// line feed; other white space collapses to one space as the format prescribes. Comments
// (office:annotation) are read without their author and date; a note's citation (its number)
// is left out, so the number never sticks to the word before it; deleted text kept for
// change tracking is left out. A paragraph nested in another (a footnote body, a comment) is
// its own chunk. The spaces of text:s elements in a row are capped at
// 1024 (a count of a million, repeated, would ask for gigabytes of blanks); a long
// paragraph is served in pieces (ParagraphFilter).
#pragma once

#include "search/textextract/ParagraphFilter.h"

class OpenDocumentFilter : public ParagraphFilter
{
public:
    // `source` must stay open while the filter is used.
    explicit OpenDocumentFilter(const ContentFile& source)
        : document(source)
    { }

    FilterResult init(quint32 flags, const FilterControl& control) override;

private:
    const ContentFile& document;
};
