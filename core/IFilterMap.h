// IFilterMap: the installed IFilters of one processor width, in the order the scan produced
// them. Not keyed: lookups (Settings::filterName, the content searcher) walk it in order,
// and the first match wins.
#pragma once

#include "core/IFilterInfo.h"

#include <list>

using IFilterMap = std::list<IFilterInfo>;
