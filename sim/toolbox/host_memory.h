// The host's block allocator behind imaqmalloc, also used for the host's own IMAQInterface objects.
#pragma once

#include <cstddef>

namespace qvxtb::detail {

// Counted like imaqmalloc blocks, but never failed by the injected fault: that fault is meant for the
// adaptor's own allocations, not for the host objects the toolbox builds around it.
void* hostAllocate(std::size_t size);
void hostFree(void* block) noexcept;

// Base for the toolbox's own objects derived from IMAQInterface.
struct HostAllocated {
    static void* operator new(std::size_t size) { return hostAllocate(size); }
    static void operator delete(void* block) noexcept { hostFree(block); }
};

} // namespace qvxtb::detail
