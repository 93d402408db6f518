#include "core/Arena.h"

#include "core/LargeMemory.h"

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <new>

namespace {

constexpr std::size_t heapAlignment = alignof(std::max_align_t);

char* alignUp(char* p, std::size_t alignment)
{
    const auto value = reinterpret_cast<std::uintptr_t>(p);
    const auto aligned = (value + alignment - 1) & ~static_cast<std::uintptr_t>(alignment - 1);
    return p + (aligned - value);
}

} // namespace

Arena::~Arena()
{
    releaseAll();
}

void* Arena::allocate(std::size_t size)
{
    return allocate(size, 1);
}

void* Arena::allocate(std::size_t size, std::size_t alignment)
{
    if (alignment == 0 || (alignment & (alignment - 1)) != 0)
        alignment = heapAlignment;
    // A fresh block starts at the heap's alignment; larger alignments need room to pad.
    const std::size_t slack = alignment > heapAlignment ? alignment - 1 : 0;
    if (size > std::numeric_limits<std::size_t>::max() - slack)
        throw std::bad_alloc();

    std::size_t blockSize;
    if (blocks.empty()) {
        blockSize = size + slack > FirstBlockMinimum ? size + slack : FirstBlockMinimum;
    } else if (size > BlockSize) {
        blockSize = size + slack;
    } else {
        const Block& last = blocks.back();
        char* const end = last.start + last.size;
        char* const p = alignUp(next, alignment);
        if (p <= end && size <= static_cast<std::size_t>(end - p)) {
            next = p + size;
            return p;
        }
        blockSize = size + slack > BlockSize ? size + slack : BlockSize;
    }

    char* const p = alignUp(takeBlock(blockSize), alignment);
    next = p + size;
    return p;
}

char* Arena::takeBlock(std::size_t size)
{
    if (blocks.size() == blocks.capacity())
        blocks.reserve(blocks.empty() ? 16 : blocks.size() * 2); // may throw; nothing taken yet
    auto* start = static_cast<char*>(allocateLarge(size));
    if (!start)
        throw std::bad_alloc();
    blocks.push_back(Block{start, size}); // cannot throw: capacity reserved above
    reserved += size;
    return start;
}

void Arena::releaseAll() noexcept
{
    for (const Block& b : blocks)
        std::free(b.start);
    blocks.clear();
    blocks.shrink_to_fit();
    next = nullptr;
    reserved = 0;
}
