// Large allocations backed by 2 MB pages. Page faults are what a big drawing
// costs the kernel: a table touched page by page takes one fault per 4 KB,
// the same table in huge pages one per 2 MB. New memory can also be faulted
// in ahead of its first use on a second thread, where the kernel's zeroing
// of the pages no longer holds up the reader.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>
#include <vector>

namespace vertoko {

inline constexpr std::size_t kHugePageSize = std::size_t{2} << 20;

// Allocations from this size on are aligned to huge pages.
inline constexpr std::size_t kLargeAllocation = std::size_t{256} << 10;

// Like malloc, and released with free or ReleaseLarge; from
// kLargeAllocation bytes on the block is aligned to and rounded up to whole
// huge pages, which the kernel is asked to use. Null when memory is short.
// Its contents are undefined, as malloc's are.
void* AllocateLarge(std::size_t bytes);

// Releases a block that AllocateLarge gave for bytes. A few blocks of up to
// kReusedBlock are kept for the next AllocateLarge of the same rounded size:
// a stage's tables freed are then the next stage's buffers, already in
// memory, where new pages would have to be zeroed by the kernel first (a
// millisecond for every one or two MB on the build machine). Anything else
// is freed at once.
void ReleaseLarge(void* at, std::size_t bytes);
inline constexpr std::size_t kReusedBlock = std::size_t{4} << 20;

// Has a background thread fault in the pages of [at, at + bytes) without
// changing their contents, so that the caller, filling the range from its
// start, finds them present. Harmless when the range is meanwhile written,
// freed or handed out again; does nothing where the kernel cannot do it.
void PrefaultInBackground(void* at, std::size_t bytes);

// A std::vector allocator over AllocateLarge, for the large tables.
template <typename T>
struct LargeAllocator {
    using value_type = T;
    LargeAllocator() = default;
    template <typename U>
    LargeAllocator(const LargeAllocator<U>&) {}
    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
        void* at = AllocateLarge(n * sizeof(T));
        if (at == nullptr) throw std::bad_alloc();
        return static_cast<T*>(at);
    }
    void deallocate(T* at, std::size_t n) { ReleaseLarge(at, n * sizeof(T)); }
    template <typename U>
    bool operator==(const LargeAllocator<U>&) const {
        return true;
    }
};

template <typename T>
using LargeVector = std::vector<T, LargeAllocator<T>>;

}  // namespace vertoko
