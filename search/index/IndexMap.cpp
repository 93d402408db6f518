#include "search/index/IndexMap.h"

#include "core/Arena.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <type_traits>
#include <vector>

// children[i] holds the keys k with keys[i-1] <= k < keys[i]; an inner node may have zero keys
// and one child after an end split.
struct IndexMap::Inner
{
    quint32 count; // number of keys; count + 1 children
    quint32 reserved;
    quint64 keys[InnerCapacity];
    void* children[InnerCapacity + 1];
};

// 64 levels cannot be exceeded: every inner node but the root has at least one key boundary
// and splits only when full, so even 2^64 keys need far fewer levels.
struct IndexMap::Path
{
    int depth = 0;
    Inner* nodes[64];
    int slots[64];
};

namespace {

// Index of the first key greater than key (the child to descend into).
inline int upperBound(const quint64* keys, int count, quint64 key)
{
    return int(std::upper_bound(keys, keys + count, key) - keys);
}

inline int lowerBound(const quint64* keys, int count, quint64 key)
{
    return int(std::lower_bound(keys, keys + count, key) - keys);
}

} // namespace

IndexMap::IndexMap(Arena& arena)
    : arena_(arena)
{
}

IndexMap::Leaf* IndexMap::newLeaf()
{
    Leaf* leaf = freeLeaves_;
    if (leaf) {
        freeLeaves_ = leaf->next;
    } else {
        const std::size_t bytes = sizeof(Leaf);
        void* p = arena_.allocate(bytes, alignof(Leaf));
        nodeBytes_ += bytes;
        leaf = new (p) Leaf;
    }
    ++leafCount_;
    leaf->count = 0;
    leaf->reserved = 0;
    leaf->next = nullptr;
    leaf->prev = nullptr;
    return leaf;
}

IndexMap::Inner* IndexMap::newInner()
{
    Inner* inner = freeInners_;
    if (inner) {
        freeInners_ = static_cast<Inner*>(inner->children[0]);
    } else {
        const std::size_t bytes = sizeof(Inner);
        void* p = arena_.allocate(bytes, alignof(Inner));
        nodeBytes_ += bytes;
        inner = new (p) Inner;
    }
    inner->count = 0;
    inner->reserved = 0;
    return inner;
}

IndexMap::Leaf* IndexMap::leafFor(quint64 key, Path* path) const
{
    void* node = root_;
    for (int level = 0; level < height_; ++level) {
        Inner* inner = static_cast<Inner*>(node);
        const int slot = upperBound(inner->keys, int(inner->count), key);
        if (path) {
            path->nodes[path->depth] = inner;
            path->slots[path->depth] = slot;
            ++path->depth;
        }
        node = inner->children[slot];
    }
    return static_cast<Leaf*>(node);
}

const IndexEntry* IndexMap::find(quint64 key) const
{
    if (!root_)
        return nullptr;
    const Leaf* leaf = leafFor(key, nullptr);
    const int i = lowerBound(leaf->keys, int(leaf->count), key);
    if (i < int(leaf->count) && leaf->keys[i] == key)
        return &leaf->values[i];
    return nullptr;
}

bool IndexMap::put(quint64 key, const IndexEntry& value, bool overwrite)
{
    ++changes_;
    if (tail_ && tail_->count > 0 && tail_->count < quint32(LeafCapacity) && key > tail_->keys[tail_->count - 1]) {
        tail_->keys[tail_->count] = key;
        tail_->values[tail_->count] = value;
        ++tail_->count;
        ++size_;
        return true;
    }
    if (!root_) {
        Leaf* leaf = newLeaf();
        leaf->keys[0] = key;
        leaf->values[0] = value;
        leaf->count = 1;
        root_ = leaf;
        head_ = leaf;
        tail_ = leaf;
        height_ = 0;
        size_ = 1;
        return true;
    }

    Path path;
    Leaf* leaf = leafFor(key, &path);
    const int count = int(leaf->count);
    const int pos = lowerBound(leaf->keys, count, key);
    if (pos < count && leaf->keys[pos] == key) {
        if (overwrite)
            leaf->values[pos] = value;
        return false;
    }
    ++size_;

    if (count < LeafCapacity) {
        std::memmove(&leaf->keys[pos + 1], &leaf->keys[pos], sizeof(quint64) * (count - pos));
        std::memmove(&leaf->values[pos + 1], &leaf->values[pos], sizeof(IndexEntry) * (count - pos));
        leaf->keys[pos] = key;
        leaf->values[pos] = value;
        leaf->count = quint32(count + 1);
        return true;
    }

    // The leaf is full: split it.
    Leaf* right = newLeaf();
    right->next = leaf->next;
    right->prev = leaf;
    leaf->next = right;
    if (right->next)
        right->next->prev = right;
    else
        tail_ = right;
    if (pos == count) {
        // Overflow at the end: the left leaf stays full, the new one starts with the key.
        right->keys[0] = key;
        right->values[0] = value;
        right->count = 1;
    } else if (pos == 0) {
        // Overflow at the start (descending keys): the new leaf takes every entry, the left
        // one keeps only the new key.
        std::memcpy(right->keys, leaf->keys, sizeof(quint64) * count);
        std::memcpy(right->values, leaf->values, sizeof(IndexEntry) * count);
        right->count = quint32(count);
        leaf->keys[0] = key;
        leaf->values[0] = value;
        leaf->count = 1;
    } else {
        const int half = LeafCapacity / 2;
        const int moved = count - half;
        std::memcpy(right->keys, &leaf->keys[half], sizeof(quint64) * moved);
        std::memcpy(right->values, &leaf->values[half], sizeof(IndexEntry) * moved);
        right->count = quint32(moved);
        leaf->count = quint32(half);
        Leaf* target = leaf;
        int at = pos;
        if (pos > half) {
            target = right;
            at = pos - half;
        }
        const int n = int(target->count);
        std::memmove(&target->keys[at + 1], &target->keys[at], sizeof(quint64) * (n - at));
        std::memmove(&target->values[at + 1], &target->values[at], sizeof(IndexEntry) * (n - at));
        target->keys[at] = key;
        target->values[at] = value;
        target->count = quint32(n + 1);
    }
    insertIntoParent(path, right->keys[0], right);
    return true;
}

void IndexMap::insertIntoParent(Path& path, quint64 separator, void* right)
{
    void* left = path.depth == 0 ? root_ : nullptr;
    while (path.depth > 0) {
        --path.depth;
        Inner* inner = path.nodes[path.depth];
        const int slot = path.slots[path.depth]; // the child that was split
        const int count = int(inner->count);
        if (count < InnerCapacity) {
            std::memmove(&inner->keys[slot + 1], &inner->keys[slot], sizeof(quint64) * (count - slot));
            std::memmove(&inner->children[slot + 2], &inner->children[slot + 1], sizeof(void*) * (count - slot));
            inner->keys[slot] = separator;
            inner->children[slot + 1] = right;
            inner->count = quint32(count + 1);
            return;
        }

        // Full inner node: gather its keys and children with the new ones, then split.
        quint64 keys[InnerCapacity + 1];
        void* children[InnerCapacity + 2];
        std::memcpy(keys, inner->keys, sizeof(quint64) * slot);
        keys[slot] = separator;
        std::memcpy(&keys[slot + 1], &inner->keys[slot], sizeof(quint64) * (count - slot));
        std::memcpy(children, inner->children, sizeof(void*) * (slot + 1));
        children[slot + 1] = right;
        std::memcpy(&children[slot + 2], &inner->children[slot + 1], sizeof(void*) * (count - slot));
        const int total = count + 1;
        // Overflow at the end keeps the left node full; otherwise split in half.
        const int mid = (slot == count) ? total - 1 : total / 2;
        Inner* sibling = newInner();
        inner->count = quint32(mid);
        std::memcpy(inner->keys, keys, sizeof(quint64) * mid);
        std::memcpy(inner->children, children, sizeof(void*) * (mid + 1));
        sibling->count = quint32(total - mid - 1);
        std::memcpy(sibling->keys, &keys[mid + 1], sizeof(quint64) * sibling->count);
        std::memcpy(sibling->children, &children[mid + 1], sizeof(void*) * (sibling->count + 1));
        separator = keys[mid];
        right = sibling;
        left = inner; // when this was the root, the loop ends here
    }
    // The root was split: a new root over the two halves.
    Inner* root = newInner();
    root->count = 1;
    root->keys[0] = separator;
    root->children[0] = left;
    root->children[1] = right;
    root_ = root;
    ++height_;
}

bool IndexMap::erase(quint64 key, IndexEntry* erased)
{
    ++changes_;
    if (!root_)
        return false;
    Path path;
    Leaf* leaf = leafFor(key, &path);
    const int count = int(leaf->count);
    const int pos = lowerBound(leaf->keys, count, key);
    if (pos >= count || leaf->keys[pos] != key)
        return false;
    if (erased)
        *erased = leaf->values[pos];
    std::memmove(&leaf->keys[pos], &leaf->keys[pos + 1], sizeof(quint64) * (count - pos - 1));
    std::memmove(&leaf->values[pos], &leaf->values[pos + 1], sizeof(IndexEntry) * (count - pos - 1));
    leaf->count = quint32(count - 1);
    --size_;
    if (size_ == 0)
        clear();
    else if (leaf->count == 0)
        removeLeaf(leaf, path);
    else if (leafCount_ > 16 && leafCount_ * std::size_t(LeafCapacity / 4) > size_)
        compact(); // leaves less than a quarter full on average: pack them
    return true;
}

// Takes an emptied leaf out of the chain and out of the tree. Its key range goes to the
// child before it (or, for a first child, the one after it). An inner node left without
// children goes too; the map is not empty, so some ancestor keeps another child.
void IndexMap::removeLeaf(Leaf* leaf, Path& path)
{
    if (leaf->prev)
        leaf->prev->next = leaf->next;
    else
        head_ = leaf->next;
    if (leaf->next)
        leaf->next->prev = leaf->prev;
    else
        tail_ = leaf->prev;
    leaf->next = freeLeaves_;
    freeLeaves_ = leaf;
    --leafCount_;

    while (path.depth > 0) {
        --path.depth;
        Inner* inner = path.nodes[path.depth];
        const int slot = path.slots[path.depth];
        const int count = int(inner->count);
        if (count == 0) {
            inner->children[0] = freeInners_;
            freeInners_ = inner;
            continue;
        }
        if (slot == 0) {
            std::memmove(&inner->keys[0], &inner->keys[1], sizeof(quint64) * (count - 1));
            std::memmove(&inner->children[0], &inner->children[1], sizeof(void*) * count);
        } else {
            std::memmove(&inner->keys[slot - 1], &inner->keys[slot], sizeof(quint64) * (count - slot));
            std::memmove(&inner->children[slot], &inner->children[slot + 1], sizeof(void*) * (count - slot));
        }
        inner->count = quint32(count - 1);
        break;
    }
    // A root with a single child gives way to it.
    while (height_ > 0 && static_cast<Inner*>(root_)->count == 0) {
        Inner* old = static_cast<Inner*>(root_);
        root_ = old->children[0];
        old->children[0] = freeInners_;
        freeInners_ = old;
        --height_;
    }
}

// Puts every inner node of the tree on the free list.
void IndexMap::freeInnerNodes()
{
    std::vector<Inner*> level;
    if (height_ > 0)
        level.push_back(static_cast<Inner*>(root_));
    for (int depth = 0; depth < height_; ++depth) {
        std::vector<Inner*> below;
        for (Inner* inner : level) {
            if (depth + 1 < height_) {
                for (quint32 c = 0; c <= inner->count; ++c)
                    below.push_back(static_cast<Inner*>(inner->children[c]));
            }
            inner->children[0] = freeInners_;
            freeInners_ = inner;
        }
        level.swap(below);
    }
}

void IndexMap::compact()
{
    if (size_ == 0) {
        clear();
        return;
    }
    // Slide every entry to the front of the leaf chain. The write position never passes the
    // read position (no leaf holds more than LeafCapacity entries), so nothing unread is
    // overwritten.
    Leaf* w = head_;
    quint32 wi = 0;
    for (Leaf* r = head_; r; r = r->next) {
        for (quint32 i = 0; i < r->count; ++i) {
            if (wi == quint32(LeafCapacity)) {
                w->count = wi;
                w = w->next;
                wi = 0;
            }
            w->keys[wi] = r->keys[i];
            w->values[wi] = r->values[i];
            ++wi;
        }
    }
    freeInnerNodes();
    w->count = wi;
    // The leaves after the last packed one are free.
    Leaf* rest = w->next;
    w->next = nullptr;
    tail_ = w;
    while (rest) {
        Leaf* next = rest->next;
        rest->next = freeLeaves_;
        freeLeaves_ = rest;
        --leafCount_;
        rest = next;
    }

    buildInnerLevels();
}

// Inner levels over the leaf chain; children[i] starts at keys[i - 1].
void IndexMap::buildInnerLevels()
{
    std::vector<void*> level;
    std::vector<quint64> firstKeys;
    for (Leaf* leaf = head_; leaf; leaf = leaf->next) {
        level.push_back(leaf);
        firstKeys.push_back(leaf->keys[0]);
    }
    int height = 0;
    while (level.size() > 1) {
        std::vector<void*> up;
        std::vector<quint64> upKeys;
        for (std::size_t i = 0; i < level.size(); i += InnerCapacity + 1) {
            const std::size_t n = std::min<std::size_t>(InnerCapacity + 1, level.size() - i);
            Inner* inner = newInner();
            inner->count = quint32(n - 1);
            for (std::size_t j = 0; j < n; ++j) {
                inner->children[j] = level[i + j];
                if (j > 0)
                    inner->keys[j - 1] = firstKeys[i + j];
            }
            up.push_back(inner);
            upKeys.push_back(firstKeys[i]);
        }
        level.swap(up);
        firstKeys.swap(upKeys);
        ++height;
    }
    root_ = level.empty() ? nullptr : level.front();
    height_ = height;
}

std::vector<IndexMap::Leaf*> IndexMap::newLeaves(std::size_t count)
{
    std::vector<Leaf*> leaves;
    leaves.reserve(count);
    while (freeLeaves_ && leaves.size() < count)
        leaves.push_back(newLeaf());
    // The rest in one piece of the arena (one block, on huge pages when large).
    const std::size_t rest = count - leaves.size();
    if (rest) {
        const std::size_t bytes = rest * sizeof(Leaf);
        char* p = static_cast<char*>(arena_.allocate(bytes, alignof(Leaf)));
        nodeBytes_ += bytes;
        // Not constructed: a Leaf is plain data whose every field the filler and assignLeaves
        // write, and constructing it would zero its 64 entries here, on one thread, first
        // touching every page of the new leaves one after another.
        static_assert(std::is_trivially_copyable<Leaf>::value && std::is_trivially_destructible<Leaf>::value,
                      "leaves are plain data");
        for (std::size_t i = 0; i < rest; ++i)
            leaves.push_back(std::launder(reinterpret_cast<Leaf*>(p + i * sizeof(Leaf))));
        leafCount_ += rest;
    }
    leafCount_ -= count; // counted once they are assigned
    return leaves;
}

void IndexMap::assignLeaves(const std::vector<Leaf*>& leaves)
{
    clear(); // counts as a change
    Leaf* previous = nullptr;
    for (Leaf* leaf : leaves) {
        if (leaf->count == 0) {
            leaf->next = freeLeaves_;
            freeLeaves_ = leaf;
            continue;
        }
        leaf->prev = previous;
        leaf->next = nullptr;
        if (previous)
            previous->next = leaf;
        else
            head_ = leaf;
        previous = leaf;
        size_ += leaf->count;
        ++leafCount_;
    }
    tail_ = previous;
    buildInnerLevels();
}

void IndexMap::clear()
{
    ++changes_;
    freeInnerNodes();
    for (Leaf* leaf = head_; leaf;) {
        Leaf* next = leaf->next;
        leaf->next = freeLeaves_;
        freeLeaves_ = leaf;
        leaf = next;
    }
    leafCount_ = 0;
    root_ = nullptr;
    head_ = nullptr;
    tail_ = nullptr;
    height_ = 0;
    size_ = 0;
}
