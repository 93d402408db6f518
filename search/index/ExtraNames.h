// ExtraNames: the further names of files that have more than one (hard links).
//
// The file map of a volume index holds one record per file number: its first name. A file
// with several names keeps the others here, keyed by its number. Most volumes have few such
// files, so this is a side table that costs nothing while it is empty.
//
// - Every further name is a slot (number, parent, pooled name) in one vector; the slots of one
//   file are chained, and a hash from the number leads to its first slot. A freed slot is
//   reused by the next name added, so names that come and go do not grow the vector.
// - The table also knows the first name of every file it holds names for (the owner of that
//   file's record in the file map tells it through setFirst), and finds the file that holds a
//   given (parent, name) among all names of these files: a rename of another object over one
//   of the names takes it away from the file, and no event says so.
// - Names are compared by their bytes, not by their pooled address.
// - Slots are visited in slot order (forEach); the caller orders what it reports.
// - Not thread-safe: the owner guards it (NTFSDriveDB's read-write lock).
#pragma once

#include "search/index/IndexMap.h"

#include <QtGlobal>

#include <cstddef>
#include <unordered_map>
#include <vector>

class ExtraNames
{
public:
    struct Slot
    {
        quint64 frn;       // 0: a free slot
        IndexEntry entry;  // the parent and the pooled name
        quint32 next;      // the next slot of the same file, or None
    };
    static constexpr quint32 None = 0xFFFFFFFFu;

    bool isEmpty() const { return count_ == 0; }
    // Number of further names (first names not counted).
    std::size_t size() const { return count_; }
    // Number of files with further names.
    std::size_t fileCount() const { return heads_.size(); }
    void clear();

    bool has(quint64 frn) const { return !heads_.empty() && heads_.count(frn) != 0; }
    // True when (parent, name) is a further name of frn.
    bool contains(quint64 frn, quint64 parent, const char* name) const;

    // Adds (parent, name) as a further name of frn, whose first name is `first`. The caller
    // makes sure it is neither the first name nor already a further one.
    void add(quint64 frn, const IndexEntry& first, quint64 parent, const char* name);
    // Removes a further name; false when frn has no such name.
    bool remove(quint64 frn, quint64 parent, const char* name);
    // Removes one further name of frn (the oldest) and returns it in *taken, so it can become
    // the file's first name; false when frn has none.
    bool takeOne(quint64 frn, IndexEntry* taken);
    // Forgets every further name of frn.
    void removeAll(quint64 frn);
    // The first name of frn changed (the file map's record of it).
    void setFirst(quint64 frn, const IndexEntry& first);

    // A file other than `except`, among those with further names, that holds (parent, name) as
    // its first or a further name; 0 when there is none.
    quint64 otherOwner(quint64 parent, const char* name, quint64 except) const;

    // Calls f(frn, entry) for every further name, in slot order.
    template <typename F>
    void forEach(F f) const
    {
        for (const Slot& s : slots_)
            if (s.frn != 0)
                f(s.frn, s.entry);
    }
    // Calls f(entry) for every further name of frn, oldest first.
    template <typename F>
    void forEachOf(quint64 frn, F f) const
    {
        const auto it = heads_.find(frn);
        if (it == heads_.end())
            return;
        for (quint32 i = it->second.slot; i != None; i = slots_[i].next)
            f(slots_[i].entry);
    }

    // Slots in slot order, free ones included (frn 0), for scanning in parallel.
    const std::vector<Slot>& slotTable() const { return slots_; }

    // Approximate heap bytes taken (for memory figures).
    std::size_t bytes() const;

private:
    struct Head
    {
        quint32 slot;      // first further name
        IndexEntry first;  // the first name, from the file map
    };
    struct NameKey
    {
        quint64 parent;
        const char* name;
    };
    struct NameHash
    {
        std::size_t operator()(const NameKey& k) const;
    };
    struct NameEqual
    {
        bool operator()(const NameKey& a, const NameKey& b) const;
    };

    void addOwner(quint64 frn, const IndexEntry& entry);
    void removeOwner(quint64 frn, const IndexEntry& entry);
    void freeSlot(quint32 slot);

    std::vector<Slot> slots_;
    quint32 freeSlots_ = None;  // chained through next
    std::size_t count_ = 0;
    std::unordered_map<quint64, Head> heads_;
    std::unordered_multimap<NameKey, quint64, NameHash, NameEqual> owners_;
};
