#include "core/StringPool.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {
constexpr std::size_t initialCapacity = 256;
}

StringPool::StringPool() = default;

StringPool::~StringPool()
{
    clear();
    // The arena base releases the blocks.
}

const char* StringPool::intern(const char* s)
{
    return s ? intern(s, std::strlen(s)) : nullptr;
}

const char* StringPool::intern(const char* s, std::size_t length)
{
    if (!s)
        return nullptr;
    length = strnlen(s, length);
    const quint32 h = hash(s, length);
    {
        QReadLocker reader(&lock);
        if (const char* found = find(s, length, h))
            return found;
    }
    QWriteLocker writer(&lock);
    // Another thread may have stored the same string between the two locks.
    if (const char* found = find(s, length, h))
        return found;
    return store(s, length, h);
}

void StringPool::clear()
{
    QWriteLocker writer(&lock);
    std::free(table);
    table = nullptr;
    capacity = 0;
    shift = 32;
    used = 0;
}

std::size_t StringPool::count() const
{
    QReadLocker reader(&lock);
    return used;
}

std::size_t StringPool::memoryUsage() const
{
    QReadLocker reader(&lock);
    return reservedBytes() + capacity * sizeof(quint64);
}

const char* StringPool::decode(quint32 slotHandle) const noexcept
{
    const quint32 handle = slotHandle - 1;
    return blocks[handle >> OffsetBits].start + (handle & ((1u << OffsetBits) - 1));
}

const char* StringPool::find(const char* s, std::size_t length, quint32 h) const noexcept
{
    if (capacity == 0)
        return nullptr;
    const std::size_t mask = capacity - 1;
    for (std::size_t i = slotOf(h, shift);; i = (i + 1) & mask) {
        const quint64 slot = table[i];
        if (slot == 0)
            return nullptr;
        if (static_cast<quint32>(slot >> 32) == h) {
            const char* stored = decode(static_cast<quint32>(slot));
            // strncmp stops at the stored NUL, so a shorter stored string is never overread.
            if (std::strncmp(stored, s, length) == 0 && stored[length] == '\0')
                return stored;
        }
    }
}

const char* StringPool::store(const char* s, std::size_t length, quint32 h)
{
    if ((used + 1) * 4 > capacity * 3)
        grow();

    char* copy = static_cast<char*>(Arena::allocate(length + 1));
    const std::size_t blockIndex = blocks.size() - 1;
    if (blockIndex >= MaxBlocks)
        throw std::bad_alloc();
    const std::size_t offset = static_cast<std::size_t>(copy - blocks.back().start);
    Q_ASSERT(offset < (std::size_t(1) << OffsetBits));
    std::memcpy(copy, s, length);
    copy[length] = '\0';

    const quint32 handle = static_cast<quint32>((blockIndex << OffsetBits) | offset);
    const std::size_t mask = capacity - 1;
    std::size_t i = slotOf(h, shift);
    while (table[i] != 0)
        i = (i + 1) & mask;
    table[i] = (static_cast<quint64>(h) << 32) | (handle + 1);
    ++used;
    return copy;
}

void StringPool::grow()
{
    const std::size_t newCapacity = capacity ? capacity * 2 : initialCapacity;
    auto* newTable = static_cast<quint64*>(std::calloc(newCapacity, sizeof(quint64)));
    if (!newTable)
        throw std::bad_alloc();
    unsigned newShift = 32;
    for (std::size_t c = newCapacity; c > 1; c >>= 1)
        --newShift;

    const std::size_t mask = newCapacity - 1;
    for (std::size_t k = 0; k < capacity; ++k) {
        const quint64 slot = table[k];
        if (slot == 0)
            continue;
        const auto h = static_cast<quint32>(slot >> 32);
        std::size_t i = slotOf(h, newShift);
        while (newTable[i] != 0)
            i = (i + 1) & mask;
        newTable[i] = slot;
    }
    std::free(table);
    table = newTable;
    capacity = newCapacity;
    shift = newShift;
}
