// ExtraNames: the further names of files that have more than one (hard links).
//
// The file map of a volume index holds one record per file number: its first name. A file
// with several names keeps the others here, keyed by its number. Most volumes have few such
// files, so this is a side table that costs nothing while it is empty; backup trees made of
// links can have millions, so it is kept compact (about 90 bytes per file with two names):
//
// - Every further name is a 32-byte slot (number, parent, pooled name, the next slot of the
//   same file, the hash of the name) in one vector. A freed slot is reused by the next name
//   added, so names that come and go do not grow the vector.
// - `heads`: an open-addressing table (linear probing, at most 3/4 full, deletion by backward
//   shift) from a file's number to its first further slot and the hash of its first name.
// - `owners`: an open-addressing table of (name hash, reference) pairs over every name of the
//   files held here, the first names included (a reference to a first name is the file's first
//   slot with a flag; the name itself is read from the file map given at construction). It
//   finds the file that holds a given (parent, name): a rename of another object over one of
//   the names takes it away from the file, and no event says so. Hash hits are confirmed by
//   comparing the names' bytes.
// - The owner of the file map tells the table when a file's first name changes (setFirst).
// - Names are references into the index's NameStore; a further name that leaves the table is
//   released there (one taken by takeOne goes on as the file's first name and is not).
// - Slots are visited in slot order (forEach); the caller orders what it reports.
// - Not thread-safe: the owner guards it (NTFSDriveDB's read-write lock).
#pragma once

#include "search/index/IndexMap.h"
#include "search/index/NameStore.h"

#include <QtGlobal>

#include <cstddef>
#include <vector>

class ExtraNames
{
public:
    struct Slot
    {
        quint64 frn;       // 0: a free slot
        IndexEntry entry;  // the parent and the pooled name; no name in a free slot
        quint32 next;      // the next slot of the same file, or None
        quint32 hash;      // nameHash of the entry
    };
    static constexpr quint32 None = 0xFFFFFFFFu;

    // `firstNames`: the file map, whose records are the files' first names; `names`: the store
    // of every name of the index.
    ExtraNames(const IndexMap& firstNames, NameStore& names) : firstNames_(firstNames), names_(names) {}
    ExtraNames(const ExtraNames&) = delete;
    ExtraNames& operator=(const ExtraNames&) = delete;

    bool isEmpty() const { return count_ == 0; }
    // Number of further names (first names not counted).
    std::size_t size() const { return count_; }
    // Number of files with further names.
    std::size_t fileCount() const { return headCount_; }
    void clear();
    // Room for `names` further names of `files` files without growing.
    void reserve(std::size_t names, std::size_t files);

    bool has(quint64 frn) const { return headCount_ != 0 && findHead(frn) != None; }
    // True when (parent, name) is a further name of frn.
    bool contains(quint64 frn, quint64 parent, const char* name) const;

    // Adds (parent, name) as a further name of frn, whose first name is `first`. The caller
    // makes sure it is neither the first name nor already a further one.
    void add(quint64 frn, const IndexEntry& first, quint64 parent, NameStore::Ref name);
    // Removes a further name; false when frn has no such name.
    bool remove(quint64 frn, quint64 parent, const char* name);
    // Removes one further name of frn (the oldest) and returns it in *taken, so it can become
    // the file's first name; false when frn has none.
    bool takeOne(quint64 frn, IndexEntry* taken);
    // Forgets every further name of frn.
    void removeAll(quint64 frn);
    // The first name of frn is now `first` (its record in the file map changed).
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
        if (headCount_ == 0)
            return;
        const quint32 h = findHead(frn);
        if (h == None)
            return;
        for (quint32 i = heads_[h].slot; i != None; i = slots_[i].next)
            f(slots_[i].entry);
    }

    // Slots in slot order, free ones included (frn 0), for scanning in parallel.
    const std::vector<Slot>& slotTable() const { return slots_; }

    // Gives every name a new reference (compacting the store).
    template <typename F>
    void remapNames(F f)
    {
        for (Slot& s : slots_)
            if (s.frn != 0)
                s.entry.name = f(s.entry.name);
    }

    // Heap bytes taken by the slots and both tables (for memory figures).
    std::size_t bytes() const;

    static quint32 nameHash(quint64 parent, const char* name);
    quint32 entryHash(const IndexEntry& e) const { return nameHash(e.parent, e.name ? names_.text(e.name) : nullptr); }

private:
    struct Head
    {
        quint64 frn;        // 0: empty
        quint32 slot;       // first further name
        quint32 firstHash;  // nameHash of the first name
    };
    struct Owner
    {
        quint32 hash;
        quint32 ref;        // a slot, or FirstName | the file's first slot; None: empty
    };
    static constexpr quint32 FirstName = 0x80000000u;

    quint32 findHead(quint64 frn) const;
    void eraseHead(quint32 index);
    void growHeads(std::size_t capacity = 0);
    void insertOwner(quint32 hash, quint32 ref);
    void eraseOwner(quint32 hash, quint32 ref);
    void growOwners(std::size_t capacity = 0);
    bool ownerHolds(const Owner& owner, quint64 parent, const char* name, quint64* frn) const;
    bool sameName(const IndexEntry& e, quint64 parent, const char* name) const;
    quint32 newSlot(quint64 frn, quint64 parent, NameStore::Ref name);
    void freeSlot(quint32 slot, bool releaseName = true);
    // Unlinks slot `i` (after `previous`, or the head) from head `h`'s chain and frees it.
    void unlinkSlot(quint32 h, quint32 previous, quint32 i, bool releaseName = true);

    const IndexMap& firstNames_;
    NameStore& names_;
    std::vector<Slot> slots_;
    quint32 freeSlots_ = None;  // chained through next
    std::size_t count_ = 0;
    std::vector<Head> heads_;   // capacity a power of two, or empty
    std::size_t headCount_ = 0;
    std::vector<Owner> owners_; // capacity a power of two, or empty
    std::size_t ownerCount_ = 0;
};
