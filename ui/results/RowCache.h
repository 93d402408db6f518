// RowCache: the file-system record (size and times) of recently shown result items, so that a
// repaint does not stat a file again. Keyed by the item itself (its pooled name and folder),
// not by its row: rows move while a search adds folders or a sort runs, items do not. The
// least recently used record is dropped when the cache is full; the capacity follows the
// number of rows the window shows (at least 100), so a tall window never thrashes it.
#pragma once

#include "search/model/FileProperties.h"
#include "search/model/ResultStore.h"

#include <list>
#include <unordered_map>

class RowCache
{
public:
    explicit RowCache(int capacity = 100) : capacity_(capacity) {}

    // The record of `entry`, read with one stat on a miss.
    const FileProperties& properties(const ResultStore::Entry& entry);
    void setCapacity(int capacity);
    int capacity() const { return capacity_; }
    int size() const { return int(map.size()); }
    void clear();
    // Number of records read from the file system since construction (for tests and figures).
    int misses() const { return misses_; }

private:
    struct Key
    {
        const char* name;
        const char* path;
        bool isDir;
        bool operator==(const Key& o) const { return name == o.name && path == o.path && isDir == o.isDir; }
    };
    struct KeyHash
    {
        std::size_t operator()(const Key& k) const noexcept
        {
            return std::hash<const void*>()(k.name) * 31 + std::hash<const void*>()(k.path) + (k.isDir ? 1 : 0);
        }
    };
    using Node = std::pair<Key, FileProperties>;

    int capacity_;
    int misses_ = 0;
    std::list<Node> order; // most recent first
    std::unordered_map<Key, std::list<Node>::iterator, KeyHash> map;
};
