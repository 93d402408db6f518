#include "search/index/ExtraNames.h"

#include "core/StringPool.h"

#include <cstring>

std::size_t ExtraNames::NameHash::operator()(const NameKey& k) const
{
    const quint32 h = StringPool::hash(k.name, std::strlen(k.name));
    return std::size_t(h) ^ std::size_t(k.parent * 0x9E3779B97F4A7C15ull);
}

bool ExtraNames::NameEqual::operator()(const NameKey& a, const NameKey& b) const
{
    return a.parent == b.parent && (a.name == b.name || std::strcmp(a.name, b.name) == 0);
}

void ExtraNames::clear()
{
    slots_.clear();
    slots_.shrink_to_fit();
    freeSlots_ = None;
    count_ = 0;
    heads_.clear();
    owners_.clear();
}

bool ExtraNames::contains(quint64 frn, quint64 parent, const char* name) const
{
    bool found = false;
    forEachOf(frn, [&](const IndexEntry& e) {
        found = found || NameEqual()(NameKey{e.parent, e.name}, NameKey{parent, name});
    });
    return found;
}

void ExtraNames::addOwner(quint64 frn, const IndexEntry& entry)
{
    if (entry.name)
        owners_.emplace(NameKey{entry.parent, entry.name}, frn);
}

void ExtraNames::removeOwner(quint64 frn, const IndexEntry& entry)
{
    if (!entry.name)
        return;
    auto range = owners_.equal_range(NameKey{entry.parent, entry.name});
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second == frn) {
            owners_.erase(it);
            return;
        }
    }
}

void ExtraNames::add(quint64 frn, const IndexEntry& first, quint64 parent, const char* name)
{
    quint32 slot = freeSlots_;
    const Slot filled{frn, IndexEntry{parent, name}, None};
    if (slot != None) {
        freeSlots_ = slots_[slot].next;
        slots_[slot] = filled;
    } else {
        slot = quint32(slots_.size());
        slots_.push_back(filled);
    }
    ++count_;
    auto it = heads_.find(frn);
    if (it == heads_.end()) {
        heads_.emplace(frn, Head{slot, first});
        addOwner(frn, first);
    } else {
        // Appended at the end of the file's chain: the oldest name stays first.
        quint32 last = it->second.slot;
        while (slots_[last].next != None)
            last = slots_[last].next;
        slots_[last].next = slot;
    }
    addOwner(frn, filled.entry);
}

void ExtraNames::freeSlot(quint32 slot)
{
    slots_[slot].frn = 0;
    slots_[slot].entry = IndexEntry();
    slots_[slot].next = freeSlots_;
    freeSlots_ = slot;
    --count_;
}

bool ExtraNames::remove(quint64 frn, quint64 parent, const char* name)
{
    auto it = heads_.find(frn);
    if (it == heads_.end())
        return false;
    const NameKey key{parent, name};
    quint32 previous = None;
    for (quint32 i = it->second.slot; i != None; previous = i, i = slots_[i].next) {
        const IndexEntry e = slots_[i].entry;
        if (!NameEqual()(NameKey{e.parent, e.name}, key))
            continue;
        const quint32 next = slots_[i].next;
        if (previous == None)
            it->second.slot = next;
        else
            slots_[previous].next = next;
        removeOwner(frn, e);
        freeSlot(i);
        if (it->second.slot == None) {
            removeOwner(frn, it->second.first);
            heads_.erase(it);
        }
        return true;
    }
    return false;
}

bool ExtraNames::takeOne(quint64 frn, IndexEntry* taken)
{
    auto it = heads_.find(frn);
    if (it == heads_.end())
        return false;
    *taken = slots_[it->second.slot].entry;
    return remove(frn, taken->parent, taken->name);
}

void ExtraNames::removeAll(quint64 frn)
{
    if (heads_.empty())
        return;
    auto it = heads_.find(frn);
    if (it == heads_.end())
        return;
    for (quint32 i = it->second.slot; i != None;) {
        const quint32 next = slots_[i].next;
        removeOwner(frn, slots_[i].entry);
        freeSlot(i);
        i = next;
    }
    removeOwner(frn, it->second.first);
    heads_.erase(it);
}

void ExtraNames::setFirst(quint64 frn, const IndexEntry& first)
{
    if (heads_.empty())
        return;
    auto it = heads_.find(frn);
    if (it == heads_.end())
        return;
    removeOwner(frn, it->second.first);
    it->second.first = first;
    addOwner(frn, first);
}

quint64 ExtraNames::otherOwner(quint64 parent, const char* name, quint64 except) const
{
    if (owners_.empty() || !name)
        return 0;
    auto range = owners_.equal_range(NameKey{parent, name});
    for (auto it = range.first; it != range.second; ++it) {
        if (it->second != except)
            return it->second;
    }
    return 0;
}

std::size_t ExtraNames::bytes() const
{
    // Vector capacity, plus a node and a bucket pointer per hash entry (libstdc++ layout).
    const std::size_t headNode = sizeof(void*) + sizeof(std::pair<const quint64, Head>);
    const std::size_t ownerNode = 2 * sizeof(void*) + sizeof(std::pair<const NameKey, quint64>);
    return slots_.capacity() * sizeof(Slot) + heads_.size() * headNode + heads_.bucket_count() * sizeof(void*)
        + owners_.size() * ownerNode + owners_.bucket_count() * sizeof(void*);
}
