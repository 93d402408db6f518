// IFilterInfo: one installed IFilter (a content handler that turns a document into text).
//
// The registry scan (search/textextract/) and the helper program's "GET_IFILTERS" answer
// produce these records; the settings store caches two lists of them (IFilterMap), one per
// processor width, and the options page and the content searcher read them.
//
// The fields keep the wide-string types of the registry interface. On Linux wchar_t is
// 32 bits (UTF-32): convert with QString::fromStdWString / QString::toStdWString only, never
// by reinterpreting the characters as UTF-16.
#pragma once

#include <list>
#include <string>

struct IFilterInfo
{
    // The filter's class id in registry form, with braces, spelled as the registry spells it
    // ("{c3278e90-bea7-11cd-b579-08002b30bfeb}"). Compare ignoring case.
    std::wstring clsid;
    // Display name (the default value of the filter's class key); may be empty.
    std::wstring name;
    // Extensions handled by the filter, without the leading dot, as the registry spells them.
    std::list<std::wstring> extensions;

    bool operator==(const IFilterInfo& other) const
    {
        return clsid == other.clsid && name == other.name && extensions == other.extensions;
    }
    bool operator!=(const IFilterInfo& other) const { return !(*this == other); }
};
