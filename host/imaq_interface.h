// Base of every object the adaptor hands to the host: its memory comes from imaqmalloc and goes back with
// imaqfree.
#pragma once

#include <cstddef>
#include <new>

#include "host/imaqkit.h"

namespace imaqkit {

class IMAQInterface {
public:
    virtual ~IMAQInterface() = default; // slot 0

    static void* operator new(std::size_t size) {
        void* block = imaqmalloc(size);
        if (block == nullptr) throw std::bad_alloc();
        return block;
    }
    // Null means nothing is constructed.
    static void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return imaqmalloc(size); }
    static void operator delete(void* block) noexcept { imaqfree(block); }
    static void operator delete(void* block, const std::nothrow_t&) noexcept { imaqfree(block); }
};

} // namespace imaqkit
