// ArenaAllocator<T>: a standard allocator that draws from an Arena.
//
// Each allocation is aligned for T (Arena::allocate with alignof(T)); deallocation is a no-op, so
// erased nodes are never given back and all memory goes when the arena is destroyed. Usable with
// std::map / std::set and any container written against the allocator requirements (node-based
// trees, B-trees with fixed-size nodes).
//
//     Arena arena;
//     using Alloc = ArenaAllocator<std::pair<const quint64, Entry>>;
//     std::map<quint64, Entry, std::less<quint64>, Alloc> map{Alloc(&arena)};
//
// Rules:
// - The arena must outlive every container that uses it; the arena is not thread-safe, so the
//   containers that share one arena are changed by one thread at a time.
// - Two allocators are equal when they name the same arena. Swap and move assignment carry the
//   allocator along with the nodes (the nodes stay in the arena they were taken from); copy
//   assignment keeps the target's arena and copies the elements into it.
// - There is no default constructor: a container must be given its arena.
#pragma once

#include "core/Arena.h"

#include <cstddef>
#include <limits>
#include <new>
#include <type_traits>

template <class T>
class ArenaAllocator
{
public:
    using value_type = T;
    using size_type = std::size_t;
    using difference_type = std::ptrdiff_t;
    using propagate_on_container_copy_assignment = std::false_type;
    using propagate_on_container_move_assignment = std::true_type;
    using propagate_on_container_swap = std::true_type;
    using is_always_equal = std::false_type;

    template <class U>
    struct rebind
    {
        using other = ArenaAllocator<U>;
    };

    explicit ArenaAllocator(Arena* arena) noexcept : arena_(arena) {}
    template <class U>
    ArenaAllocator(const ArenaAllocator<U>& other) noexcept : arena_(other.arena())
    {
    }

    T* allocate(std::size_t n)
    {
        if (n > std::numeric_limits<std::size_t>::max() / sizeof(T))
            throw std::bad_array_new_length();
        return static_cast<T*>(arena_->allocate(n * sizeof(T), alignof(T)));
    }

    void deallocate(T*, std::size_t) noexcept {}

    std::size_t max_size() const noexcept
    {
        return std::numeric_limits<std::size_t>::max() / sizeof(T);
    }

    Arena* arena() const noexcept { return arena_; }

private:
    Arena* arena_;
};

template <class T, class U>
bool operator==(const ArenaAllocator<T>& a, const ArenaAllocator<U>& b) noexcept
{
    return a.arena() == b.arena();
}

template <class T, class U>
bool operator!=(const ArenaAllocator<T>& a, const ArenaAllocator<U>& b) noexcept
{
    return !(a == b);
}
