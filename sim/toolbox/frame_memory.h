// Frame pixel memory: blocks that go back to a pool when a frame is destroyed and serve the next frame.
//
// A frame of several megabytes would otherwise be a fresh allocation on the delivery thread, freed by the
// reader on another thread; the system allocator tends to give such blocks back to the operating system,
// and the next frame then pays a page fault for every page it writes. An acquisition engine keeps its frame
// memory instead; so does this one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>
#include <vector>

#include "host/imaqkit.h"

namespace qvxtb {

namespace detail {

// A block of at least `bytes`, from the pool when one of that size is free; throws std::bad_alloc.
IMAQMEX_API void* takeFrameBlock(std::size_t bytes);
// Gives a block taken for `bytes` back; the pool keeps it unless it already holds enough.
IMAQMEX_API void giveFrameBlock(void* block, std::size_t bytes) noexcept;
// Bytes the pool holds ready for reuse.
IMAQMEX_API std::size_t pooledFrameBytes();
// False in builds that give every block straight back (address-sanitized ones).
IMAQMEX_API bool frameMemoryPooled();
// Bytes of the blocks taken and not yet given back.
IMAQMEX_API std::size_t bytesInUse();
// Whether a frame of `bytes` more stays within the frame memory limit.
IMAQMEX_API bool frameMemoryAllows(std::size_t bytes);

} // namespace detail

template <class T> struct FrameAllocator {
    using value_type = T;
    FrameAllocator() = default;
    template <class U> FrameAllocator(const FrameAllocator<U>&) noexcept {}
    T* allocate(std::size_t count) {
        if (count > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
        return static_cast<T*>(detail::takeFrameBlock(count * sizeof(T)));
    }
    void deallocate(T* block, std::size_t count) noexcept {
        detail::giveFrameBlock(block, count * sizeof(T));
    }
    // Growing without a value leaves the new pixels as they are: the frame's one copy writes every byte, and
    // zeroing them first would be a second pass over the frame's memory. Values given are stored as usual.
    template <class U> void construct(U* where) noexcept { ::new (static_cast<void*>(where)) U; }
    template <class U, class... Args> void construct(U* where, Args&&... args) {
        ::new (static_cast<void*>(where)) U(std::forward<Args>(args)...);
    }
    template <class U> bool operator==(const FrameAllocator<U>&) const noexcept { return true; }
    template <class U> bool operator!=(const FrameAllocator<U>&) const noexcept { return false; }
};

// The pixels of one frame. Sized without a value (resize(n), FrameBytes(n)) they are left unset.
using FrameBytes = std::vector<std::uint8_t, FrameAllocator<std::uint8_t>>;

} // namespace qvxtb
