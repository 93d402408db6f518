// IndexBuilder: makes the tables of a volume index from a parallel walk of the volume.
//
// It is the walk's VolumeEntryConsumer. Every walking thread fills a slot of its own: the
// folder and file records (number, parent, name reference, 20 bytes each) in two growing arrays
// and the names in a NameStore::Builder, so the walk shares no lock and no buffer between its
// threads. When a thread is done it sorts its own arrays by number, while the others still walk.
//
// build() then makes the tables: the name builders' blocks become the store's without a copy
// (a thread's reference plus its block offset); each map is filled by a merge of the slots'
// sorted arrays, split into ranges of numbers that several threads merge at once, each range
// straight into leaves of its own (IndexMap::newLeaves / assignLeaves: no descent, no insert);
// the arrays' pages are given back to the system as the merge passes them, so a build holds
// little more than the finished tables at any time.
//
// Numbers listed more than once (a file with several names, a folder listed in two places
// because it moved during the walk, a number that turned from file into folder): the last
// listing (in one thread's order; threads have no order among them) is the record, and every
// other name of a file goes to the further names, in the order listed; a folder keeps one
// record; a number that is both stays a folder only. The change journal, read from
// a position taken before the walk, settles whatever moved meanwhile.
//
// The order of the records is the numbers' order, whatever order the walk delivered them in.
#pragma once

#include "platform/VolumeLayer.h"
#include "search/index/IndexTables.h"
#include "search/index/NameStore.h"

#include <QtGlobal>

#include <cstddef>
#include <memory>
#include <mutex>
#include <vector>

// One walk record: 20 bytes, packed.
struct __attribute__((packed)) WalkRecord
{
    quint64 frn;
    quint64 parent;
    quint32 name; // a name reference (local to its slot until build())
};

// A growing array of walk records whose memory comes straight from the system: growing moves
// no record (the pages are remapped), and releasePrefix gives the pages of records no longer
// needed back at once.
class WalkRecordArray
{
public:
    WalkRecordArray() = default;
    ~WalkRecordArray();
    WalkRecordArray(const WalkRecordArray&) = delete;
    WalkRecordArray& operator=(const WalkRecordArray&) = delete;

    void push(quint64 frn, quint64 parent, quint32 name)
    {
        if (size_ == capacity_)
            grow();
        WalkRecord& r = data_[size_++];
        r.frn = frn;
        r.parent = parent;
        r.name = name;
    }
    std::size_t size() const { return size_; }
    WalkRecord* begin() { return data_; }
    WalkRecord* end() { return data_ + size_; }
    const WalkRecord& operator[](std::size_t i) const { return data_[i]; }
    // Records before `count` are no longer read: their whole pages go back to the system.
    void releasePrefix(std::size_t count);
    void clear();

private:
    void grow();

    WalkRecord* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
    std::size_t released_ = 0; // bytes at the start already given back
};

class IndexBuilder : public VolumeEntryConsumer
{
public:
    IndexBuilder() = default;
    ~IndexBuilder() override;

    void start(int threads) override;
    void consume(int slot, const VolumeEntryBatch& batch) override;
    void finish(int slot) override;
    void missed(quint64 folder) override;

    // Folders the walk listed but could not read (moved or replaced in the meantime).
    std::vector<quint64> missedFolders() const;

    // The tables of everything consumed (see the header comment). Runs its merge on up to
    // `threads` threads (0: one per core, at most 8).
    std::unique_ptr<IndexTables> build(int threads = 0);

    // Records consumed so far (folders + files, every listing).
    std::size_t recordCount() const;

private:
    struct Slot
    {
        WalkRecordArray dirs;
        WalkRecordArray files;
        NameStore::Builder names;
        bool sorted = false;
    };

    std::vector<std::unique_ptr<Slot>> slots_;
    mutable std::mutex missedMutex_;
    std::vector<quint64> missed_;
};
