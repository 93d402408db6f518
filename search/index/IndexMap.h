// IndexMap: the ordered map from file reference number to IndexEntry that holds the folder
// records or the file records of one volume index.
//
// A B+ tree whose nodes come from an Arena owned by the index. Compared with a red-black map
// (48 bytes of node per record) a leaf holds its keys and values in two plain arrays, so a
// record costs 24 bytes divided by the fill of its leaf, and a walk in ascending key order is a
// sequential scan of the leaves (linked left to right).
//
// - Keys are unsigned 64-bit numbers, iterated in ascending order.
// - A leaf that overflows at its end keeps all its entries and starts a new leaf with the new
//   one (records arriving in ascending order, as from an index file, fill leaves completely);
//   at its start, the mirror image; anywhere else it splits in half. Inner nodes split at the
//   end or in half.
// - A key above every key in the map goes straight to the last leaf while it has room, so
//   ascending input costs no descent.
// - Erasing removes the entry from its leaf and never merges nodes. The arena gives nothing
//   back, so the map keeps nodes it no longer uses on free lists of its own and takes new
//   nodes from them first. A leaf that erasing empties leaves the tree at once (with inner
//   nodes left without children): file numbers that only grow, as on tmpfs and btrfs, leave
//   every deleted range empty for good, and files created and deleted by the million must not
//   keep a leaf each. When the leaves are less than a quarter full on average all the same,
//   the entries are packed into the first leaves, the rest go to the free list and the inner
//   levels are built again over the packed leaves; the cost is spread over the erases that
//   thinned them. So the arena taken by a map stays within a few times what its live entries
//   need, however many records come and go.
// - clear() puts every node on the free lists (a rebuilt index reuses the old one's nodes).
// - Bulk loading: newLeaves() hands out leaves the caller fills (keys ascending within and
//   across the leaves, in the order given), from several threads at once if it likes; then
//   assignLeaves() makes them the whole map (empty leaves go to the free list) and builds the
//   inner levels over them. No descent per record, and every leaf as full as the caller made it.
// - Not thread-safe: the owner guards it (NTFSDriveDB's read-write lock).
#pragma once

#include <QtGlobal>

#include <cstddef>
#include <vector>

class Arena;

// One record of the index: the containing folder and the name. Packed: 12 bytes a record.
struct __attribute__((packed)) IndexEntry
{
    quint64 parent = 0; // file reference number of the containing folder; 0 = none
    quint32 name = 0;   // the name in the index's NameStore; 0 = none
};

class IndexMap
{
public:
    enum { LeafCapacity = 64, InnerCapacity = 64 };

    struct Leaf
    {
        quint32 count;
        quint32 reserved;
        Leaf* next;
        Leaf* prev;
        quint64 keys[LeafCapacity];
        IndexEntry values[LeafCapacity];
    };

    explicit IndexMap(Arena& arena);
    IndexMap(const IndexMap&) = delete;
    IndexMap& operator=(const IndexMap&) = delete;

    // The entry of key, or null when absent. Never inserts.
    const IndexEntry* find(quint64 key) const;
    // The same, to change the entry in place (counted as a change, see changes()).
    IndexEntry* findForChange(quint64 key)
    {
        ++changes_;
        return const_cast<IndexEntry*>(static_cast<const IndexMap*>(this)->find(key));
    }
    bool contains(quint64 key) const { return find(key) != nullptr; }

    // Sets the entry of key, creating it when absent and overwriting it when present.
    void set(quint64 key, const IndexEntry& value) { put(key, value, true); }
    // Creates the entry of key when absent (true); leaves a present one as it is (false).
    bool insert(quint64 key, const IndexEntry& value) { return put(key, value, false); }

    // Removes the entry of key (copied to *erased when given); false when there was none.
    bool erase(quint64 key, IndexEntry* erased = nullptr);

    // Forgets every entry.
    void clear();

    std::size_t size() const { return size_; }
    bool isEmpty() const { return size_ == 0; }

    // Leaves from the smallest key to the largest (empty leaves included).
    const Leaf* firstLeaf() const { return head_; }

    // Calls f(key, entry) for every entry in ascending key order.
    template <typename F>
    void forEach(F f) const
    {
        for (const Leaf* leaf = head_; leaf; leaf = leaf->next)
            for (quint32 i = 0; i < leaf->count; ++i)
                f(leaf->keys[i], leaf->values[i]);
    }
    // The same with the entries open to change (their keys stay; counted as a change).
    template <typename F>
    void forEachMutable(F f)
    {
        ++changes_;
        for (Leaf* leaf = head_; leaf; leaf = leaf->next)
            for (quint32 i = 0; i < leaf->count; ++i)
                f(leaf->keys[i], leaf->values[i]);
    }

    // Bulk loading (see the header comment). newLeaves draws from the arena and the free list,
    // so it runs on the owner's thread; filling the leaves may be spread over threads. The
    // caller sets the count of every leaf it was given (the other header fields are
    // assignLeaves' own): fresh leaves are not written here, so the threads that fill them
    // also take their first-touch page faults, in parallel.
    std::vector<Leaf*> newLeaves(std::size_t count);
    // Replaces the whole map by `leaves` in this order (their counts as filled).
    void assignLeaves(const std::vector<Leaf*>& leaves);

    // A number that changes whenever an entry may have changed (set, insert, erase, clear, an
    // entry handed out for change, bulk loading):
    // while it stays the same, every leaf holds the same entries (NameFilter relies on it).
    quint64 changes() const { return changes_; }
    // Bytes of arena taken by the nodes of this map, free ones included (for memory figures).
    std::size_t nodeBytes() const { return nodeBytes_; }

private:
    struct Inner;
    bool put(quint64 key, const IndexEntry& value, bool overwrite);
    Leaf* newLeaf();
    Inner* newInner();
    struct Path; // the inner nodes passed on the way down and the child taken in each
    Leaf* leafFor(quint64 key, Path* path) const;
    void insertIntoParent(Path& path, quint64 separator, void* right);
    void freeInnerNodes();
    void compact();
    void buildInnerLevels();
    void removeLeaf(Leaf* leaf, Path& path);

    Arena& arena_;
    void* root_ = nullptr;
    int height_ = 0; // number of inner levels above the leaves
    Leaf* head_ = nullptr;
    Leaf* tail_ = nullptr; // the last leaf: keys above all others are appended there directly
    std::size_t size_ = 0;
    std::size_t nodeBytes_ = 0;
    std::size_t leafCount_ = 0;    // leaves in the tree
    quint64 changes_ = 0;
    Leaf* freeLeaves_ = nullptr;   // linked through next
    Inner* freeInners_ = nullptr;  // linked through children[0]
};
