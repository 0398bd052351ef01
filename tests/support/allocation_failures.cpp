// The test program's operator new and the stand-ins' allocation hooks, failing the adaptor's Nth allocation.
#include "tests/support/allocation_failures.h"

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/testing.h"
#include "sim/toolbox/toolbox.h"

#if defined(__GLIBC__) && !defined(_WIN32)
#define QVX_ATTRIBUTE_ALLOCATIONS 1
#include <execinfo.h>
#include <link.h>
#endif

namespace qvxtest {
namespace {

std::atomic<bool> gArmed{false};
std::atomic<long> gFailAt{0};
std::atomic<long> gCounted{0};
std::atomic<bool> gFailed{false};
std::atomic<std::size_t> gLargerThan{0};

#ifdef QVX_ATTRIBUTE_ALLOCATIONS

// Counts one allocation of the adaptor's and says whether it is the one to fail. QVX_SWEEP_TRACE=1 prints
// the call stack of every failed one to standard error.
bool countAndDecide() {
    const long n = gCounted.fetch_add(1) + 1;
    if (n != gFailAt.load()) return false;
    gFailed.store(true);
    if (const char* trace = std::getenv("QVX_SWEEP_TRACE"); trace != nullptr && *trace == '1') {
        void* frames[32];
        std::fprintf(stderr, "allocation %ld fails here:\n", n);
        backtrace_symbols_fd(frames, backtrace(frames, 32), 2);
    }
    return true;
}

enum class Module { Skip, Adaptor, Toolbox, Cameras, Platform, Program };

struct Range {
    std::uintptr_t begin;
    std::uintptr_t end;
    Module module;
};

// The code ranges of our libraries, taken by arm() before counting starts. Each arm fills a fresh snapshot
// and publishes it, so a delivery thread still walking its stack from the last run reads one that stays
// as it was.
constexpr int kMaxRanges = 32;
struct Ranges {
    Range range[kMaxRanges];
    int count = 0;
};
Ranges gSnapshots[8];
int gNextSnapshot = 0;
std::atomic<const Ranges*> gRanges{nullptr};

Module moduleOf(const char* path) {
    if (path == nullptr || *path == '\0') return Module::Program;
    if (std::strstr(path, "libQVXImaq") != nullptr) return Module::Adaptor;
    if (std::strstr(path, "libimaqmex") != nullptr) return Module::Toolbox;
    if (std::strstr(path, "libQVX_KAPRI10_x64") != nullptr) return Module::Cameras;
    if (std::strstr(path, "libqvxplatform") != nullptr) return Module::Platform;
    return Module::Skip; // runtimes and sanitizers: whoever called them asked
}

int addRanges(dl_phdr_info* info, std::size_t, void* data) {
    Ranges& ranges = *static_cast<Ranges*>(data);
    const Module module = moduleOf(info->dlpi_name);
    if (module == Module::Skip) return 0;
    for (int i = 0; i < info->dlpi_phnum && ranges.count < kMaxRanges; ++i) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        if (header.p_type != PT_LOAD || (header.p_flags & PF_X) == 0) continue;
        const std::uintptr_t begin = info->dlpi_addr + header.p_vaddr;
        ranges.range[ranges.count++] = Range{begin, begin + header.p_memsz, module};
    }
    return 0;
}

thread_local bool tWalking = false;

} // namespace

// This file's own frames are passed over: they live in a section of their own.
#define QVX_FAILURE_CODE __attribute__((section("qvx_alloc_failures"), noinline))
extern "C" char __start_qvx_alloc_failures[];
extern "C" char __stop_qvx_alloc_failures[];

namespace {

// Whether the calling stack makes this the adaptor's allocation. `in`: the module of the allocating
// function itself (the platform layer for CoTaskMemAlloc and SysAllocString, the toolbox for imaqmalloc),
// whose frames are passed over; Skip for operator new. The platform layer's own bookkeeping is nobody's
// allocation here: the real functions have none.
QVX_FAILURE_CODE bool adaptorAsks(Module in) {
    if (tWalking) return false; // the unwinder's own allocations
    tWalking = true;
    void* frames[48];
    const int depth = backtrace(frames, 48);
    tWalking = false;
    const Ranges* ranges = gRanges.load();
    if (ranges == nullptr) return false;
    const auto ownStart = reinterpret_cast<std::uintptr_t>(__start_qvx_alloc_failures);
    const auto ownStop = reinterpret_cast<std::uintptr_t>(__stop_qvx_alloc_failures);
    // imaqmalloc is one frame of the toolbox's; CoTaskMemAlloc may be reached through StringFromCLSID.
    int passOver = in == Module::Toolbox ? 1 : in == Module::Platform ? 4 : 0;
    for (int f = 0; f < depth; ++f) {
        // A return address may sit just past its call's function; one byte back lies inside it.
        const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(frames[f]) - 1;
        if (address >= ownStart && address < ownStop) continue;
        Module module = Module::Skip;
        for (int r = 0; r < ranges->count; ++r)
            if (address >= ranges->range[r].begin && address < ranges->range[r].end)
                module = ranges->range[r].module;
        if (module == Module::Skip) continue;
        if (module == in && passOver > 0) {
            --passOver;
            continue;
        }
        return module == Module::Adaptor;
    }
    return false;
}

QVX_FAILURE_CODE bool newFails(std::size_t size) {
    const std::size_t larger = gLargerThan.load(std::memory_order_relaxed);
    if (larger != 0 && size > larger) return true;
    if (!gArmed.load()) return false;
    return adaptorAsks(Module::Skip) && countAndDecide();
}

QVX_FAILURE_CODE bool platformFails(const char*) {
    return gArmed.load() && adaptorAsks(Module::Platform) && countAndDecide();
}

QVX_FAILURE_CODE bool imaqmallocFails() {
    return gArmed.load() && adaptorAsks(Module::Toolbox) && countAndDecide();
}

} // namespace

bool AllocationFailures::available() { return true; }

void AllocationFailures::arm(long failAt) {
    // Libraries may have been loaded since the last run (the toolbox loads the adaptor by path).
    Ranges& ranges = gSnapshots[gNextSnapshot];
    gNextSnapshot = (gNextSnapshot + 1) % 8;
    ranges.count = 0;
    dl_iterate_phdr(addRanges, &ranges);
    gRanges.store(&ranges);
    void* warm[4];
    tWalking = true;
    backtrace(warm, 4); // its first call loads the unwinder, which allocates
    tWalking = false;
    gFailAt.store(failAt);
    gCounted.store(0);
    gFailed.store(false);
    qvxplatform::setAllocationFailureHook(platformFails);
    qvxtb::setImaqmallocFailureHook(imaqmallocFails);
    gArmed.store(true);
}

#else

} // namespace

bool AllocationFailures::available() { return false; }

void AllocationFailures::arm(long failAt) {
    gFailAt.store(failAt);
    gCounted.store(0);
    gFailed.store(false);
}

#endif

void AllocationFailures::disarm() {
    gArmed.store(false);
    qvxplatform::setAllocationFailureHook(nullptr);
    qvxtb::setImaqmallocFailureHook(nullptr);
}

long AllocationFailures::counted() { return gCounted.load(); }

bool AllocationFailures::failed() { return gFailed.load(); }

void AllocationFailures::failNewLargerThan(std::size_t bytes) { gLargerThan.store(bytes); }

} // namespace qvxtest

#ifdef QVX_ATTRIBUTE_ALLOCATIONS

// The test program's allocation functions: every library in the process allocates through them.
namespace {

QVX_FAILURE_CODE void* allocate(std::size_t size, std::size_t alignment, bool throwing) {
    if (qvxtest::newFails(size)) {
        if (throwing) throw std::bad_alloc();
        return nullptr;
    }
    if (size == 0) size = 1;
    void* block = nullptr;
    if (alignment <= alignof(std::max_align_t)) {
        block = std::malloc(size);
    } else if (posix_memalign(&block, alignment, size) != 0) {
        block = nullptr;
    }
    if (block == nullptr && throwing) throw std::bad_alloc();
    return block;
}

constexpr std::size_t kPlain = alignof(std::max_align_t);

} // namespace

QVX_FAILURE_CODE void* operator new(std::size_t size) { return allocate(size, kPlain, true); }
QVX_FAILURE_CODE void* operator new[](std::size_t size) { return allocate(size, kPlain, true); }
QVX_FAILURE_CODE void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size, kPlain, false);
}
QVX_FAILURE_CODE void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return allocate(size, kPlain, false);
}
QVX_FAILURE_CODE void* operator new(std::size_t size, std::align_val_t alignment) {
    return allocate(size, static_cast<std::size_t>(alignment), true);
}
QVX_FAILURE_CODE void* operator new[](std::size_t size, std::align_val_t alignment) {
    return allocate(size, static_cast<std::size_t>(alignment), true);
}
QVX_FAILURE_CODE void* operator new(std::size_t size, std::align_val_t alignment,
                                    const std::nothrow_t&) noexcept {
    return allocate(size, static_cast<std::size_t>(alignment), false);
}
QVX_FAILURE_CODE void* operator new[](std::size_t size, std::align_val_t alignment,
                                      const std::nothrow_t&) noexcept {
    return allocate(size, static_cast<std::size_t>(alignment), false);
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete(void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept { std::free(block); }

#endif
