// allocateLarge: heap memory for the index's large tables, freed with std::free.
//
// A request of 4 MiB or more is placed on 2 MiB boundaries and marked for transparent huge
// pages (madvise MADV_HUGEPAGE, a hint the kernel may ignore), so filling it costs one page
// fault per 2 MiB instead of one per 4 KiB: a build or a load writes tens of bytes of new
// memory per entry, millions of times, and faulting that memory in 4 KiB pages took a large
// share of their time. Smaller requests are plain malloc. Returns null when refused.
#pragma once

#include <cstddef>

void* allocateLarge(std::size_t bytes);
