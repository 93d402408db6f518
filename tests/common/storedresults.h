// What a search stored, read the way the program reads a ResultStore (by list and index):
// folders first, then files, each in the order they were found.
#pragma once

#include "search/model/ResultStore.h"

#include <QList>
#include <QStringList>

namespace testutil {

inline QList<ResultStore::Entry> storedEntries(const ResultStore& store)
{
    QList<ResultStore::Entry> out;
    const ResultStore::Sizes sizes = store.sizes();
    for (int i = 0; i < sizes.dirs; ++i)
        out << store.entryAt(ResultStore::Dirs, i);
    for (int i = 0; i < sizes.files; ++i)
        out << store.entryAt(ResultStore::Files, i);
    return out;
}

inline QStringList storedPaths(const ResultStore& store)
{
    QStringList out;
    for (const ResultStore::Entry& e : storedEntries(store))
        out << ResultStore::entryPath(e);
    return out;
}

} // namespace testutil
