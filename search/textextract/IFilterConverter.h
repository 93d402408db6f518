// IFilterConverter: the converter that runs a document filter (IFilter.h) inside this process,
// and the scan of the registry that lists the installed filters.
//
// getIFiltersFromRegistry walks two steps over the registry (IRegistry.h):
//  1. every key "Software\Classes\.<ext>" whose "PersistentHandler" subkey has a non-empty
//     default value adds <ext> to that handler (handler ids compared lower-cased);
//  2. for every handler, in ascending order of its lower-cased id: the filter id under
//     "CLSID\<handler>\PersistentAddinsRegistered\{89BCB740-...}", the filter's display name
//     (default value of "CLSID\<filter>") and its module ("CLSID\<filter>\InprocServer32")
//     must all be present; then one IFilterInfo (filter id, name, the handler's extensions).
// Problems go to the debug output (qDebug) only and shorten the list. Values are read whole,
// whatever their length.
//
// extractIFilterText loads the filter for an opened document (IFilterLoader.h; the filter reads
// the document's descriptor, never its path), initialises it and writes
// the text of its text chunks to a new file "ifilterXXXXXX.tmp" in the folder: UTF-16
// little-endian with a byte-order mark, carriage returns turned into line feeds, "\r\n" after
// every chunk that ends a sentence, paragraph or chapter. getChunk failing with E_ABORT or
// FILTER_E_TIMEOUT (filters that read the document chunk by chunk) counts as cancellation or
// time-out; any other failure ends the chunks. The text is written as the filter hands it out
// and ends at `maxTextBytes` bytes (TextLimits.h): no more chunks are asked for, the text up
// to the bound is kept, the cut is logged as a warning and the result is the file as usual.
// It returns the file's path, "TIMEOUT"
// when the time limit (seconds, 0 none) ran out, or an empty string on failure or
// cancellation. The function removes its own file whenever it does not return its path
// (failure, cancellation, time-out), so no partial text is left behind.
//
// The text files are created owner-only (0600) with a unique name; the folder is created
// (0700) when missing.
#pragma once

#include "core/IFilterInfo.h"
#include "search/textextract/IRegistry.h"
#include "search/textextract/ToPlainTextConverter.h"

#include <list>
#include <string>

// The filters of the process-wide registry (RegistryFile::machine()).
std::list<IFilterInfo> getIFiltersFromRegistry();
std::list<IFilterInfo> getIFiltersFromRegistry(const IRegistry& registry);

// Uses the process-wide registry to find the filter.
std::wstring extractIFilterText(const ContentFile& document, const std::wstring& folder,
                                const bool* cancelFlag, int timeLimitSeconds);
std::wstring extractIFilterText(const IRegistry& registry, const ContentFile& document,
                                const std::wstring& folder, const bool* cancelFlag,
                                int timeLimitSeconds,
                                qint64 maxTextBytes = TextLimits::kMaxTextBytes);

class IFilterConverter : public ToPlainTextConverter
{
public:
    // Runs extractIFilterText (no time limit, textLimit()) into the work folder. `input`,
    // `output` and `inputEncoding` are not used: the document is read and a file is always
    // written.
    bool convert(const ContentFile& document, QIODevice* input, QString* outPath,
                 QIODevice* output, const QString& inputEncoding, const bool* cancelFlag) override;
    // Empty: the file starts with a byte-order mark.
    QString encoding() const override;
};
