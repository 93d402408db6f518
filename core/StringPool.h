// StringPool: interns NUL-terminated 8-bit (UTF-8) strings in an arena.
//
// Equal strings are stored once; every holder keeps the plain `const char*` that intern returns,
// which stays valid, at the same address, until the pool is destroyed (clear() forgets the
// strings but keeps their bytes). There is no removal of single strings.
//
// Layout, chosen for indexes of millions of names:
// - String bytes are packed end to end in the arena (1 MiB heap blocks, no padding, no per-string
//   heap allocation).
// - The lookup index is an open-addressing hash table (linear probing, at most 3/4 full) of 8-byte
//   slots: the string's 32-bit FNV-1 hash and a 32-bit handle (block number, offset in block).
//   This costs about 11 to 21 bytes per distinct string instead of a tree node per string, and
//   most probes are decided from the slot alone. The table is one heap array, doubled as needed.
//   Handles limit a pool to 4095 blocks (about 4 GiB of string bytes); beyond that intern throws
//   std::bad_alloc.
// - The hash is the 32-bit FNV-1 (multiply, then exclusive-or; basis 0x811C9DC5, prime 16777619).
//
// Concurrency: intern and clear may be called from any thread. A lookup runs under the read lock;
// a miss takes the write lock and looks again before storing, so two threads interning the same
// new string get the same copy. The lock is not recursive.
//
// A refused allocation (arena block or table growth) throws std::bad_alloc and leaves the pool
// usable and unchanged apart from abandoned bytes.
#pragma once

#include "core/Arena.h"

#include <QReadWriteLock>
#include <QtGlobal>
#include <cstddef>

class StringPool : private Arena
{
public:
    static constexpr quint32 HashBasis = 0x811C9DC5u;
    static constexpr quint32 HashPrime = 16777619u;

    StringPool();
    ~StringPool();
    StringPool(const StringPool&) = delete;
    StringPool& operator=(const StringPool&) = delete;

    // Returns the pooled copy of `s`, storing one when the pool has none; null for null.
    const char* intern(const char* s);
    // The same for the bytes s[0, length), which end early at a NUL byte.
    const char* intern(const char* s, std::size_t length);

    // Forgets every string (their bytes stay until destruction): later interns store new copies.
    void clear();

    // 32-bit FNV-1 of `length` bytes; the empty text hashes to HashBasis.
    static quint32 hash(const char* data, std::size_t length) noexcept
    {
        quint32 h = HashBasis;
        for (std::size_t i = 0; i < length; ++i) {
            h *= HashPrime;
            h ^= static_cast<unsigned char>(data[i]);
        }
        return h;
    }

    // Number of strings the index holds.
    std::size_t count() const;
    // Heap bytes held: arena blocks plus the hash table.
    std::size_t memoryUsage() const;

    using Arena::blockCount;
    using Arena::blockSize;

private:
    static constexpr std::size_t MaxBlocks = 4095;
    static constexpr unsigned OffsetBits = 20; // offsets inside a block of at most 1 MiB

    const char* find(const char* s, std::size_t length, quint32 h) const noexcept;
    const char* store(const char* s, std::size_t length, quint32 h);
    void grow();
    const char* decode(quint32 slotHandle) const noexcept;
    // Home slot of hash `h` in a table of 2^(32 - tableShift) slots.
    static std::size_t slotOf(quint32 h, unsigned tableShift) noexcept
    {
        return static_cast<quint32>(h * 0x9E3779B9u) >> tableShift;
    }

    mutable QReadWriteLock lock;
    // Slot: hash << 32 | (handle + 1); 0 marks an empty slot.
    quint64* table = nullptr;
    std::size_t capacity = 0; // power of two, or 0
    unsigned shift = 32;      // 32 - log2(capacity)
    std::size_t used = 0;
};
