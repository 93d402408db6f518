// MarkupFilter: the in-process filter for HTML, XHTML and XML files (module "tqfilter-html"),
// so that a page's markup (attribute values, comments, scripts, styles) is never searched as
// its text and a phrase split by a tag is found.
//
// init runs the HTML converter (HtmlConverter) over the file into memory: XML files (".xml")
// give all their character data, the others all text outside "head" with tag names compared
// ignoring case. The encoding comes from the file's declaration ("encoding=" or "charset="),
// else a byte-order mark, else the guess of EncodingDetection. getChunk then serves one line
// of that text per chunk (ParagraphFilter). The text is held at most up to the control's
// bound.
#pragma once

#include "search/textextract/ParagraphFilter.h"

class ContentFile;

class MarkupFilter : public ParagraphFilter
{
public:
    // `source` must stay open while the filter is used.
    explicit MarkupFilter(const ContentFile& source)
        : document(source)
    { }

    FilterResult init(quint32 flags, const FilterControl& control) override;

private:
    const ContentFile& document;
};
