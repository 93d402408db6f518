// Arena: a bump allocator over large heap blocks, freed all at once.
//
// Blocks: the first is max(request, 1024) bytes; every later one is 1 MiB (0x100000), except that
// a request above 1 MiB gets a block of exactly its own size (plus alignment slack when an
// alignment above the heap's own is asked for). Requests are served from the last block; when
// one does not fit, the unused tail of that block is abandoned and a new block is taken.
//
// allocate(size) is byte-granular (strings need no padding). allocate(size, alignment) pads the
// start to `alignment`, which containers' nodes need (see ArenaAllocator).
//
// Blocks come from the C heap (allocateLarge: large ones on huge pages) and go back with std::free. A refused block throws
// std::bad_alloc; the arena is then unchanged.
//
// Not thread-safe: owners serialise their calls (StringPool under its write lock).
#pragma once

#include <cstddef>
#include <vector>

class Arena
{
public:
    static constexpr std::size_t FirstBlockMinimum = 1024;
    static constexpr std::size_t BlockSize = 0x100000;

    Arena() noexcept = default;
    ~Arena();
    Arena(const Arena&) = delete;
    Arena& operator=(const Arena&) = delete;

    // Returns `size` fresh bytes, with no alignment padding.
    void* allocate(std::size_t size);
    // Returns `size` fresh bytes starting at a multiple of `alignment` (a power of two).
    void* allocate(std::size_t size, std::size_t alignment);

    // Returns every block to the heap.
    void releaseAll() noexcept;

    std::size_t blockCount() const noexcept { return blocks.size(); }
    std::size_t blockSize(std::size_t index) const noexcept { return blocks[index].size; }
    const char* blockStart(std::size_t index) const noexcept { return blocks[index].start; }
    // Sum of the sizes of all blocks taken.
    std::size_t reservedBytes() const noexcept { return reserved; }

protected:
    struct Block
    {
        char* start;
        std::size_t size;
    };

    // Blocks in the order they were taken; allocations are always served from the last one.
    std::vector<Block> blocks;
    // First free byte of the last block.
    char* next = nullptr;

private:
    char* takeBlock(std::size_t size);

    std::size_t reserved = 0;
};
