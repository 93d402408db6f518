#include "search/index/IndexTables.h"

void IndexTables::compactNames()
{
    NameStore::Compactor compactor(names);
    auto move = [&](quint64, IndexEntry& e) { e.name = compactor.copy(e.name); };
    directories.forEachMutable(move);
    files.forEachMutable(move);
    extraNames.remapNames([&](NameStore::Ref r) { return compactor.copy(r); });
    compactor.finish();
    // The summaries were made from the old references.
    dirFilter.reset();
    fileFilter.reset();
}
