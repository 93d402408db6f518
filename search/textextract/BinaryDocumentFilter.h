// BinaryDocumentFilter: the filter for Word, Excel and PowerPoint 97-2003 documents and RTF,
// over the readers of BinaryDocumentReaders.h. Registered in the helper's registry file
// (modules "tqfilter-msword" for doc, dot and rtf, "tqfilter-msexcel", "tqfilter-mspowerpoint").
//
// init reads the whole document (the readers parse in one pass and hand paragraphs over as
// they find them); getChunk then serves one paragraph per chunk (ParagraphFilter). What a
// document gives is held at most up to the control's bound of text; the readers stop there
// and the text up to it is kept.
//
// The kind is recognised from the bytes, not trusted from the extension alone: a file that
// starts with "{\rtf" is read as RTF whatever its name (Word saves RTF under ".doc" when
// asked), and a compound file that is not of the registered kind is tried as the other two.
// Results: S_OK (also for a document without text), FILTER_E_PASSWORD (encrypted),
// FILTER_E_UNKNOWNFORMAT (not a document of these kinds), E_FAIL (damaged before any text),
// FILTER_E_ACCESS (cannot be opened), E_ABORT and FILTER_E_TIMEOUT (cancelled, out of time).
#pragma once

#include "search/textextract/ParagraphFilter.h"

class ContentFile;
class QIODevice;

class BinaryDocumentFilter : public ParagraphFilter
{
public:
    enum class Kind { Word, Excel, PowerPoint };

    // `source` must stay open while the filter is used.
    BinaryDocumentFilter(Kind format, const ContentFile& source)
        : kind(format)
        , document(source)
    { }

    // Reads the document through its descriptor.
    FilterResult init(quint32 flags, const FilterControl& control) override;

    // The same over an open device (random access for the compound files).
    FilterResult initFrom(QIODevice* device, const FilterControl& control);

private:
    Kind kind;
    const ContentFile& document;
};
