// ContentSearchOptions: the settings of the contents search, carried from the settings store
// (Settings::contentSearchOptions) into the engine, so that the engine never reads the
// settings file itself. A plain copyable value.
//
// The default value has empty lists and all three flags false (the store's defaults are
// different: build the record with Settings::contentSearchOptions).
#pragma once

#include "core/IFilterMap.h"

#include <QStringList>

struct ContentSearchOptions
{
    IFilterMap ifilters32;               // the store's in-process IFilter list
    IFilterMap ifilters64;               // the store's helper-program IFilter list
    QStringList disabledFilters;         // setting 5 "IFilters/DisabledFilters" (CLSIDs)
    QStringList disabledExtensions;      // array "IFilters/DisabledExtensions"
    QStringList disabledExtensions64;    // array "IFilters/DisabledExtensions64"
    bool autoDetectEncoding = false;     // setting 0 "AutoDetectEncoding"
    bool skipBinary = false;             // setting 1 "SkipBinary"
    bool useBuiltInPDF = false;          // setting 2 "UseBuiltInPDF"
};
