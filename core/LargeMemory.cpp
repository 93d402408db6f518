#include "core/LargeMemory.h"

#include <cstdlib>

namespace {

constexpr std::size_t HugePage = std::size_t(2) << 20;
constexpr std::size_t LargeRequest = std::size_t(4) << 20;

} // namespace

void* allocateLarge(std::size_t bytes)
{
    if (bytes < LargeRequest)
        return std::malloc(bytes);
    if (bytes > ~std::size_t(0) - HugePage)
        return nullptr;
    const std::size_t rounded = (bytes + HugePage - 1) & ~(HugePage - 1);
    // No MADV_HUGEPAGE: where the kernel defragments only for regions so marked (the default),
    // the mark makes a fault wait for compaction, which stalled a load for seconds; aligned
    // memory still gets huge pages wherever transparent huge pages are on and some are free.
    return std::aligned_alloc(HugePage, rounded);
}
