// IFilterListSource: where the settings store gets fresh lists of installed IFilters.
//
// Settings::updateIFilterMaps asks a source for both lists and caches them. The engine facade
// implements it (the in-process list comes from the registry-file scan, the 64-bit list from
// the helper program); tests inject their own lists. Implementations may block (the helper
// request); the store calls them without holding its lock.
#pragma once

#include "core/IFilterMap.h"

class IFilterListSource
{
public:
    virtual ~IFilterListSource() = default;

    // The IFilters run inside this process (the "32-bit" list). Never throws; problems only
    // shorten the list.
    virtual IFilterMap listIFilters32() = 0;
    // The IFilters run by the helper program (the "64-bit" list); empty when the helper does
    // not run or does not answer.
    virtual IFilterMap listIFilters64() = 0;
};
