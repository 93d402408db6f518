// The bytes the program holds on its heap, for memory bounds in tests that must also hold under
// AddressSanitizer or ThreadSanitizer. There the resident size also holds the quarantine of freed blocks and the
// red zones around every block, so the bytes the program asked for and has not given back are
// counted instead, through the allocator's hooks (`live`, and the highest value since it was
// last set, `peak`). Elsewhere `available` is false and the resident size is the measure.
#pragma once

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TQ_HEAPBYTES_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) && !defined(TQ_HEAPBYTES_ASAN)
#define TQ_HEAPBYTES_ASAN 1
#endif
// ThreadSanitizer's allocator keeps freed memory too: its heap is counted the same way.
#if defined(__has_feature)
#if __has_feature(thread_sanitizer) && !defined(TQ_HEAPBYTES_ASAN)
#define TQ_HEAPBYTES_ASAN 1
#endif
#endif

#ifdef TQ_HEAPBYTES_ASAN
#include <sanitizer/allocator_interface.h>
#endif

#include <atomic>
#include <cstddef>

namespace asanheap {

#ifdef TQ_HEAPBYTES_ASAN
constexpr bool available = true;
#else
constexpr bool available = false;
#endif

inline std::atomic<long long>& live()
{
    static std::atomic<long long> bytes{0};
    return bytes;
}
inline std::atomic<long long>& peak()
{
    static std::atomic<long long> bytes{0};
    return bytes;
}

#ifdef TQ_HEAPBYTES_ASAN
inline void onMalloc(const volatile void*, size_t size)
{
    const long long now = live().fetch_add(static_cast<long long>(size)) + static_cast<long long>(size);
    long long seen = peak().load();
    while (now > seen && !peak().compare_exchange_weak(seen, now)) {
    }
}
inline void onFree(const volatile void* p)
{
    if (p)
        live().fetch_sub(static_cast<long long>(__sanitizer_get_allocated_size(const_cast<const void*>(p))));
}
#endif

// Starts counting (once per process; blocks allocated before are not counted, so only
// differences of `live` and `peak` mean anything). Does nothing without AddressSanitizer.
inline void install()
{
#ifdef TQ_HEAPBYTES_ASAN
    static const bool installed = __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree);
    (void)installed;
#endif
}

} // namespace asanheap
