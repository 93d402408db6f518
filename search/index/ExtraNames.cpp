#include "search/index/ExtraNames.h"

#include "core/StringPool.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr quint64 Golden = 0x9E3779B97F4A7C15ull;
constexpr std::size_t MinimumCapacity = 16;

// Home position of a key in a table of `capacity` (a power of two) entries.
inline std::size_t homeOf(quint64 key, std::size_t capacity)
{
    return std::size_t((key * Golden) >> 32) & (capacity - 1);
}

// True when an entry at `j` whose home is `k` may not move back to the hole at `i` (its home
// lies cyclically in (i, j]).
inline bool staysAfter(std::size_t i, std::size_t j, std::size_t k)
{
    return i <= j ? (i < k && k <= j) : (i < k || k <= j);
}

// The smallest power of two that holds `entries` at most 3/4 full.
std::size_t capacityFor(std::size_t entries)
{
    std::size_t capacity = MinimumCapacity;
    while (capacity * 3 < entries * 4)
        capacity *= 2;
    return capacity;
}

} // namespace

bool ExtraNames::sameName(const IndexEntry& e, quint64 parent, const char* name) const
{
    return e.parent == parent && e.name && name && std::strcmp(names_.text(e.name), name) == 0;
}

quint32 ExtraNames::nameHash(quint64 parent, const char* name)
{
    const quint64 h = name ? StringPool::hash(name, std::strlen(name)) : 0;
    return quint32((((h << 32) | h) ^ parent) * Golden >> 32);
}

void ExtraNames::clear()
{
    std::vector<Slot>().swap(slots_);
    std::vector<Head>().swap(heads_);
    std::vector<Owner>().swap(owners_);
    freeSlots_ = None;
    count_ = 0;
    headCount_ = 0;
    ownerCount_ = 0;
}

quint32 ExtraNames::findHead(quint64 frn) const
{
    if (heads_.empty())
        return None;
    const std::size_t mask = heads_.size() - 1;
    for (std::size_t i = homeOf(frn, heads_.size());; i = (i + 1) & mask) {
        if (heads_[i].frn == frn)
            return quint32(i);
        if (heads_[i].frn == 0)
            return None;
    }
}

void ExtraNames::reserve(std::size_t names, std::size_t files)
{
    slots_.reserve(slots_.size() + names);
    const std::size_t heads = capacityFor(headCount_ + files);
    if (heads > heads_.size())
        growHeads(heads);
    const std::size_t owners = capacityFor(ownerCount_ + names + files);
    if (owners > owners_.size())
        growOwners(owners);
}

void ExtraNames::growHeads(std::size_t capacity)
{
    std::vector<Head> old(capacity ? capacity : std::max(MinimumCapacity, heads_.size() * 2), Head{0, None, 0});
    old.swap(heads_);
    const std::size_t mask = heads_.size() - 1;
    for (const Head& h : old) {
        if (h.frn == 0)
            continue;
        std::size_t i = homeOf(h.frn, heads_.size());
        while (heads_[i].frn != 0)
            i = (i + 1) & mask;
        heads_[i] = h;
    }
}

void ExtraNames::eraseHead(quint32 index)
{
    const std::size_t mask = heads_.size() - 1;
    std::size_t i = index;
    heads_[i].frn = 0;
    for (std::size_t j = (i + 1) & mask; heads_[j].frn != 0; j = (j + 1) & mask) {
        if (staysAfter(i, j, homeOf(heads_[j].frn, heads_.size())))
            continue;
        heads_[i] = heads_[j];
        heads_[j].frn = 0;
        i = j;
    }
    --headCount_;
}

void ExtraNames::growOwners(std::size_t capacity)
{
    std::vector<Owner> old(capacity ? capacity : std::max(MinimumCapacity, owners_.size() * 2), Owner{0, None});
    old.swap(owners_);
    const std::size_t mask = owners_.size() - 1;
    for (const Owner& o : old) {
        if (o.ref == None)
            continue;
        std::size_t i = homeOf(o.hash, owners_.size());
        while (owners_[i].ref != None)
            i = (i + 1) & mask;
        owners_[i] = o;
    }
}

void ExtraNames::insertOwner(quint32 hash, quint32 ref)
{
    if ((ownerCount_ + 1) * 4 > owners_.size() * 3)
        growOwners();
    const std::size_t mask = owners_.size() - 1;
    std::size_t i = homeOf(hash, owners_.size());
    while (owners_[i].ref != None)
        i = (i + 1) & mask;
    owners_[i] = Owner{hash, ref};
    ++ownerCount_;
}

void ExtraNames::eraseOwner(quint32 hash, quint32 ref)
{
    if (owners_.empty())
        return;
    const std::size_t mask = owners_.size() - 1;
    std::size_t i = homeOf(hash, owners_.size());
    for (;; i = (i + 1) & mask) {
        if (owners_[i].ref == None)
            return; // not there
        if (owners_[i].hash == hash && owners_[i].ref == ref)
            break;
    }
    owners_[i].ref = None;
    for (std::size_t j = (i + 1) & mask; owners_[j].ref != None; j = (j + 1) & mask) {
        if (staysAfter(i, j, homeOf(owners_[j].hash, owners_.size())))
            continue;
        owners_[i] = owners_[j];
        owners_[j].ref = None;
        i = j;
    }
    --ownerCount_;
}

bool ExtraNames::ownerHolds(const Owner& owner, quint64 parent, const char* name, quint64* frn) const
{
    const Slot& slot = slots_[owner.ref & ~FirstName];
    *frn = slot.frn;
    if (!(owner.ref & FirstName))
        return sameName(slot.entry, parent, name);
    const IndexEntry* first = firstNames_.find(slot.frn);
    return first && sameName(*first, parent, name);
}

quint32 ExtraNames::newSlot(quint64 frn, quint64 parent, NameStore::Ref name)
{
    const Slot filled{frn, IndexEntry{parent, name}, None, entryHash(IndexEntry{parent, name})};
    quint32 slot = freeSlots_;
    if (slot != None) {
        freeSlots_ = slots_[slot].next;
        slots_[slot] = filled;
    } else {
        slot = quint32(slots_.size());
        slots_.push_back(filled);
    }
    ++count_;
    return slot;
}

void ExtraNames::freeSlot(quint32 slot, bool releaseName)
{
    if (releaseName)
        names_.release(slots_[slot].entry.name);
    slots_[slot].frn = 0;
    slots_[slot].entry = IndexEntry();
    slots_[slot].next = freeSlots_;
    freeSlots_ = slot;
    --count_;
}

bool ExtraNames::contains(quint64 frn, quint64 parent, const char* name) const
{
    bool found = false;
    forEachOf(frn, [&](const IndexEntry& e) { found = found || sameName(e, parent, name); });
    return found;
}

void ExtraNames::add(quint64 frn, const IndexEntry& first, quint64 parent, NameStore::Ref name)
{
    const quint32 slot = newSlot(frn, parent, name);
    const quint32 h = headCount_ ? findHead(frn) : None;
    if (h == None) {
        if ((headCount_ + 1) * 4 > heads_.size() * 3)
            growHeads();
        const std::size_t mask = heads_.size() - 1;
        std::size_t i = homeOf(frn, heads_.size());
        while (heads_[i].frn != 0)
            i = (i + 1) & mask;
        const quint32 firstHash = entryHash(first);
        heads_[i] = Head{frn, slot, firstHash};
        ++headCount_;
        insertOwner(firstHash, slot | FirstName);
    } else {
        // Appended at the end of the file's chain: the oldest name stays first.
        quint32 last = heads_[h].slot;
        while (slots_[last].next != None)
            last = slots_[last].next;
        slots_[last].next = slot;
    }
    insertOwner(slots_[slot].hash, slot);
}

void ExtraNames::unlinkSlot(quint32 h, quint32 previous, quint32 i, bool releaseName)
{
    const quint32 next = slots_[i].next;
    eraseOwner(slots_[i].hash, i);
    if (previous != None) {
        slots_[previous].next = next;
    } else {
        // The file's first slot: its first name is now found through the next one.
        const quint32 firstHash = heads_[h].firstHash;
        eraseOwner(firstHash, i | FirstName);
        if (next == None) {
            eraseHead(h);
        } else {
            heads_[h].slot = next;
            insertOwner(firstHash, next | FirstName);
        }
    }
    freeSlot(i, releaseName);
}

bool ExtraNames::remove(quint64 frn, quint64 parent, const char* name)
{
    const quint32 h = headCount_ ? findHead(frn) : None;
    if (h == None)
        return false;
    quint32 previous = None;
    for (quint32 i = heads_[h].slot; i != None; previous = i, i = slots_[i].next) {
        if (sameName(slots_[i].entry, parent, name)) {
            unlinkSlot(h, previous, i);
            return true;
        }
    }
    return false;
}

bool ExtraNames::takeOne(quint64 frn, IndexEntry* taken)
{
    const quint32 h = headCount_ ? findHead(frn) : None;
    if (h == None)
        return false;
    const quint32 i = heads_[h].slot;
    *taken = slots_[i].entry;
    unlinkSlot(h, None, i, false); // the name goes on as the file's first
    return true;
}

void ExtraNames::removeAll(quint64 frn)
{
    const quint32 h = headCount_ ? findHead(frn) : None;
    if (h == None)
        return;
    const quint32 first = heads_[h].slot;
    eraseOwner(heads_[h].firstHash, first | FirstName);
    for (quint32 i = first; i != None;) {
        const quint32 next = slots_[i].next;
        eraseOwner(slots_[i].hash, i);
        freeSlot(i);
        i = next;
    }
    eraseHead(h);
}

void ExtraNames::setFirst(quint64 frn, const IndexEntry& first)
{
    const quint32 h = headCount_ ? findHead(frn) : None;
    if (h == None)
        return;
    const quint32 ref = heads_[h].slot | FirstName;
    eraseOwner(heads_[h].firstHash, ref);
    heads_[h].firstHash = entryHash(first);
    insertOwner(heads_[h].firstHash, ref);
}

quint64 ExtraNames::otherOwner(quint64 parent, const char* name, quint64 except) const
{
    if (ownerCount_ == 0 || !name)
        return 0;
    const quint32 hash = nameHash(parent, name);
    const std::size_t mask = owners_.size() - 1;
    for (std::size_t i = homeOf(hash, owners_.size()); owners_[i].ref != None; i = (i + 1) & mask) {
        quint64 frn = 0;
        if (owners_[i].hash == hash && ownerHolds(owners_[i], parent, name, &frn) && frn != except)
            return frn;
    }
    return 0;
}

std::size_t ExtraNames::bytes() const
{
    return slots_.capacity() * sizeof(Slot) + heads_.capacity() * sizeof(Head) + owners_.capacity() * sizeof(Owner);
}
