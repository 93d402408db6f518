// allocateLarge: heap memory for the index's large tables, freed with std::free.
//
// A request of 4 MiB or more is one allocation on 2 MiB boundaries, so that transparent huge
// pages can back it (one page fault per 2 MiB instead of one per 4 KiB where they are on): a
// build or a load writes tens of bytes of new memory per entry, and faulting it in small
// pieces took a large share of their time. Smaller requests are plain malloc. Returns null
// when refused.
#pragma once

#include <cstddef>

void* allocateLarge(std::size_t bytes);
