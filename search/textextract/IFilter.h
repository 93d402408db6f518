// IFilter: the interface of a document filter, a component that turns one document into a
// sequence of chunks of text.
//
// The operations and result codes are those of the filter components the content search
// was designed around, so that the extraction code (extractIFilterText) drives any filter the
// same way:
//   init(flags, control)      prepare the document; a failure code means "cannot filter it";
//   getChunk(&chunk)          move to the next chunk; FILTER_E_END_OF_CHUNKS after the last;
//   getText(&count, buffer)   copy up to `count` UTF-16 units of the current text chunk;
//                             FILTER_S_LAST_TEXT with the last portion, FILTER_E_NO_MORE_TEXT
//                             when nothing is left.
//
// Linux decisions:
// - Filters are ordinary C++ objects created by loadIFilter (IFilterLoader.h) from the module
//   name that the registry file names for the document's extension; no component system.
// - init receives a FilterControl: the caller's cancellation flag, the time limit of the
//   extraction and the bound of its text. Filters that run a long single step (an external
//   program) poll the first two and give up with E_ABORT or FILTER_E_TIMEOUT; a filter that
//   gathers text before it is asked for (an external program's output) keeps no more than
//   the bound (the extraction cuts the text at the bound in any case).
// - Text is UTF-16 (char16_t), as the rest of the program stores text.
#pragma once

#include "search/textextract/TextLimits.h"

#include <QDeadlineTimer>
#include <QtGlobal>

using FilterResult = qint32;

// Result codes (the values of the original component interface).
constexpr FilterResult S_OK = 0;
constexpr FilterResult FILTER_E_END_OF_CHUNKS = qint32(0x80041700u);
constexpr FilterResult FILTER_E_NO_MORE_TEXT = qint32(0x80041701u);
constexpr FilterResult FILTER_E_ACCESS = qint32(0x80041703u);
constexpr FilterResult FILTER_E_NO_TEXT = qint32(0x80041705u);
constexpr FilterResult FILTER_S_LAST_TEXT = qint32(0x00041709u);
constexpr FilterResult FILTER_E_PASSWORD = qint32(0x8004170Bu);
constexpr FilterResult FILTER_E_UNKNOWNFORMAT = qint32(0x8004170Cu);
constexpr FilterResult E_FAIL = qint32(0x80004005u);
constexpr FilterResult E_ABORT = qint32(0x80004004u);
constexpr FilterResult REGDB_E_CLASSNOTREG = qint32(0x80040154u);
// The time limit ran out (the system's "operation timed out" code in result form).
constexpr FilterResult FILTER_E_TIMEOUT = qint32(0x800705B4u);

inline bool filterSucceeded(FilterResult r) { return r >= 0; }

// init flags.
constexpr quint32 IFILTER_INIT_CANON_PARAGRAPHS = 0x1;
constexpr quint32 IFILTER_INIT_HARD_LINE_BREAKS = 0x2;
constexpr quint32 IFILTER_INIT_APPLY_INDEX_ATTRIBUTES = 0x10;
constexpr quint32 IFILTER_INIT_APPLY_OTHER_ATTRIBUTES = 0x20;
constexpr quint32 IFILTER_INIT_INDEXING_ONLY = 0x40;
constexpr quint32 IFILTER_INIT_FILTER_OWNED_VALUE_OK = 0x200;
constexpr quint32 IFILTER_INIT_APPLY_CRAWL_ATTRIBUTES = 0x100;

// Chunk flags and break types.
constexpr int CHUNK_TEXT = 0x1;
constexpr int CHUNK_VALUE = 0x2;
constexpr int CHUNK_NO_BREAK = 0;
constexpr int CHUNK_EOW = 1;
constexpr int CHUNK_EOS = 2;
constexpr int CHUNK_EOP = 3;
constexpr int CHUNK_EOC = 4;

// Description of the current chunk.
struct FilterChunk
{
    quint32 idChunk = 0;
    int breakType = CHUNK_NO_BREAK;
    int flags = 0;
};

// What the caller lets a filter know about the extraction it runs in.
struct FilterControl
{
    const bool* cancelFlag = nullptr;          // set by another thread to cancel
    QDeadlineTimer deadline = QDeadlineTimer::Forever; // end of the time limit
    qint64 maxTextBytes = TextLimits::kMaxTextBytes;   // text of the document at most

    bool canceled() const { return cancelFlag && __atomic_load_n(cancelFlag, __ATOMIC_RELAXED); }
};

class IFilter
{
public:
    virtual ~IFilter() = default;

    virtual FilterResult init(quint32 flags, const FilterControl& control) = 0;
    virtual FilterResult getChunk(FilterChunk* chunk) = 0;
    // `count`: in, the capacity of `buffer` in UTF-16 units; out, the units copied.
    virtual FilterResult getText(quint32* count, char16_t* buffer) = 0;
};
