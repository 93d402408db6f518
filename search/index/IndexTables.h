// IndexTables: the records of one volume index, as one unit.
//
// The folder map, the file map (one record per file: its first name), the further names of
// files with several (ExtraNames), the store of every name and the name filters' summaries of
// the leaves, with the arena the maps' nodes come from. A build or a load makes a complete new set without touching the one searches read,
// and the index swaps them under its lock; the old set is destroyed afterwards.
//
// Not thread-safe: the owner guards it (NTFSDriveDB's read-write lock).
#pragma once

#include "core/Arena.h"
#include "search/index/ExtraNames.h"
#include "search/index/IndexMap.h"
#include "search/index/NameFilter.h"
#include "search/index/NameStore.h"

#include <cstddef>

struct IndexTables
{
    Arena arena;
    IndexMap directories{arena};
    IndexMap files{arena};
    NameStore names;
    ExtraNames extraNames{files, names};
    // Trigram summaries of the leaves of both maps (see NameFilter).
    NameFilter dirFilter;
    NameFilter fileFilter;

    IndexTables() = default;
    IndexTables(const IndexTables&) = delete;
    IndexTables& operator=(const IndexTables&) = delete;

    // Folders plus files (objects, not names).
    std::size_t count() const { return directories.size() + files.size(); }

    // Copies every name in use into new blocks, in the order a search reads them (folders,
    // files, further names), and gives the records their new references.
    void compactNames();
};
