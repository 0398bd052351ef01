// The allocation counter: malloc and friends replaced in the benchmark executable, attributed by call stack.
#include "bench/alloc_counter.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__GLIBC__) && !defined(QVX_NO_ALLOC_COUNTER)
#define QVX_COUNT_ALLOCATIONS 1
#include <cerrno>
#include <execinfo.h>
#include <link.h>
#endif

#ifdef QVX_COUNT_ALLOCATIONS

namespace qvxbench {

namespace {

enum class Module { Skip, Adaptor, Toolbox, Cameras, Benchmark };

struct Range {
    std::uintptr_t begin;
    std::uintptr_t end;
    Module module;
};

// Filled before a scope starts counting and only read while it counts, so malloc never waits for it.
constexpr int kMaxRanges = 32;
Range gRanges[kMaxRanges];
int gRangeCount = 0;

thread_local AllocationCounts* tCounts = nullptr;
thread_local bool tBusy = false; // inside the counter: backtrace's own allocations are not counted

Module moduleOf(const char* path) {
    if (path == nullptr || *path == '\0') return Module::Benchmark; // the executable itself
    if (std::strstr(path, "libQVXImaq") != nullptr) return Module::Adaptor;
    if (std::strstr(path, "libimaqmex") != nullptr) return Module::Toolbox;
    if (std::strstr(path, "libQVX_KAPRI10_x64") != nullptr) return Module::Cameras;
    return Module::Skip; // runtimes, the platform layer: whoever called them asked
}

int addRanges(dl_phdr_info* info, std::size_t, void*) {
    const Module module = moduleOf(info->dlpi_name);
    if (module == Module::Skip) return 0;
    for (int i = 0; i < info->dlpi_phnum && gRangeCount < kMaxRanges; ++i) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        if (header.p_type != PT_LOAD || (header.p_flags & PF_X) == 0) continue;
        const std::uintptr_t begin = info->dlpi_addr + header.p_vaddr;
        gRanges[gRangeCount++] = Range{begin, begin + header.p_memsz, module};
    }
    return 0;
}

} // namespace

// The counter's own code lives in a section of its own so that its frames are passed over.
#define QVX_COUNTER_CODE __attribute__((section("qvx_alloc_counter"), noinline))

extern "C" char __start_qvx_alloc_counter[];
extern "C" char __stop_qvx_alloc_counter[];

QVX_COUNTER_CODE static void countAllocation() {
    AllocationCounts* counts = tCounts;
    if (counts == nullptr || tBusy) return;
    tBusy = true;
    void* frames[48];
    const int depth = backtrace(frames, 48);
    Module owner = Module::Benchmark;
    bool found = false;
    const auto ownStart = reinterpret_cast<std::uintptr_t>(__start_qvx_alloc_counter);
    const auto ownStop = reinterpret_cast<std::uintptr_t>(__stop_qvx_alloc_counter);
    for (int f = 0; f < depth && !found; ++f) {
        // A return address may sit just past its call's function; one byte back lies inside it.
        const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(frames[f]) - 1;
        if (address >= ownStart && address < ownStop) continue;
        for (int r = 0; r < gRangeCount; ++r) {
            if (address < gRanges[r].begin || address >= gRanges[r].end) continue;
            owner = gRanges[r].module;
            found = true;
            break;
        }
    }
    switch (owner) {
    case Module::Adaptor:
        ++counts->adaptor;
        break;
    case Module::Toolbox:
        ++counts->toolbox;
        break;
    case Module::Cameras:
        ++counts->cameras;
        break;
    default:
        ++counts->other;
        break;
    }
    tBusy = false;
}

bool allocationCountingAvailable() { return true; }

AllocationScope::AllocationScope() {
    // Libraries may have been loaded since the last scope (the toolbox loads the adaptor by path).
    gRangeCount = 0;
    dl_iterate_phdr(addRanges, nullptr);
    void* warm[4];
    tBusy = true;
    backtrace(warm, 4); // its first call loads the unwinder, which allocates
    tBusy = false;
    tCounts = &counts_;
}

AllocationScope::~AllocationScope() { tCounts = nullptr; }

} // namespace qvxbench

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);

QVX_COUNTER_CODE void* malloc(std::size_t size) noexcept {
    qvxbench::countAllocation();
    return __libc_malloc(size);
}

QVX_COUNTER_CODE void* calloc(std::size_t count, std::size_t size) noexcept {
    qvxbench::countAllocation();
    return __libc_calloc(count, size);
}

QVX_COUNTER_CODE void* realloc(void* block, std::size_t size) noexcept {
    qvxbench::countAllocation();
    return __libc_realloc(block, size);
}

QVX_COUNTER_CODE void* memalign(std::size_t alignment, std::size_t size) noexcept {
    qvxbench::countAllocation();
    return __libc_memalign(alignment, size);
}

QVX_COUNTER_CODE void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept {
    qvxbench::countAllocation();
    return __libc_memalign(alignment, size);
}

QVX_COUNTER_CODE int posix_memalign(void** result, std::size_t alignment, std::size_t size) noexcept {
    if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) return EINVAL;
    qvxbench::countAllocation();
    void* block = __libc_memalign(alignment, size);
    if (block == nullptr && size != 0) return ENOMEM;
    *result = block;
    return 0;
}
} // extern "C"

#else

namespace qvxbench {

bool allocationCountingAvailable() { return false; }
AllocationScope::AllocationScope() = default;
AllocationScope::~AllocationScope() = default;

} // namespace qvxbench

#endif
