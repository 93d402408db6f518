#include "core/LargeMemory.h"

#include <cstdlib>
#include <sys/mman.h>

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
    void* p = std::aligned_alloc(HugePage, rounded);
    if (p)
        ::madvise(p, rounded, MADV_HUGEPAGE);
    return p;
}
