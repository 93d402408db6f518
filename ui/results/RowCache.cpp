#include "ui/results/RowCache.h"

#include <algorithm>

const FileProperties& RowCache::properties(const ResultStore::Entry& entry)
{
    const Key key{entry.name, entry.path, entry.isDir};
    auto it = map.find(key);
    if (it != map.end()) {
        order.splice(order.begin(), order, it->second);
        return it->second->second;
    }
    ++misses_;
    order.emplace_front(key, FileProperties(ResultStore::entryPath(entry), entry.matches));
    map.emplace(key, order.begin());
    while (int(map.size()) > capacity_) {
        map.erase(order.back().first);
        order.pop_back();
    }
    return order.front().second;
}

void RowCache::setCapacity(int capacity)
{
    capacity_ = std::max(1, capacity);
    while (int(map.size()) > capacity_) {
        map.erase(order.back().first);
        order.pop_back();
    }
}

void RowCache::clear()
{
    map.clear();
    order.clear();
}
