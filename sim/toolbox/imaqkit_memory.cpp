// imaqmalloc and imaqfree: counted blocks, an injectable failure and detection of invalid frees.
#include <atomic>
#include <cstdlib>
#include <mutex>
#include <new>
#include <unordered_set>

#include "host/imaqkit.h"
#include "sim/toolbox/host_memory.h"
#include "sim/toolbox/toolbox.h"

namespace {

struct Blocks {
    std::mutex mutex;
    std::unordered_set<void*> live;
    long invalidFrees = 0;
};

Blocks& blocks() {
    static Blocks instance;
    return instance;
}

std::atomic<long> gMallocBudget{-1};
std::atomic<bool (*)()> gMallocHook{nullptr};

bool injectedFailure() {
    long budget = gMallocBudget.load();
    while (budget > 0) {
        if (gMallocBudget.compare_exchange_weak(budget, budget - 1)) return false;
    }
    return budget == 0;
}

void* allocateCounted(std::size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) return nullptr;
    Blocks& b = blocks();
    std::lock_guard<std::mutex> lock(b.mutex);
    b.live.insert(block);
    return block;
}

} // namespace

namespace qvxtb::detail {

void* hostAllocate(std::size_t size) {
    void* block = allocateCounted(size);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

void hostFree(void* block) noexcept { imaqkit::imaqfree(block); }

} // namespace qvxtb::detail

namespace imaqkit {

void* imaqmalloc(std::size_t size) {
    bool (*hook)() = gMallocHook.load();
    if (hook != nullptr && hook()) return nullptr;
    if (injectedFailure()) return nullptr;
    return allocateCounted(size);
}

void imaqfree(void* block) {
    if (block == nullptr) return;
    Blocks& b = blocks();
    {
        std::lock_guard<std::mutex> lock(b.mutex);
        if (b.live.erase(block) == 0) {
            // Freeing it anyway would corrupt the heap; counting it lets the test fail cleanly.
            ++b.invalidFrees;
            return;
        }
    }
    std::free(block);
}

} // namespace imaqkit

namespace qvxtb {

long liveImaqAllocations() {
    Blocks& b = blocks();
    std::lock_guard<std::mutex> lock(b.mutex);
    return static_cast<long>(b.live.size());
}

long invalidImaqFrees() {
    Blocks& b = blocks();
    std::lock_guard<std::mutex> lock(b.mutex);
    return b.invalidFrees;
}

void failImaqmallocAfter(long count) { gMallocBudget = count < 0 ? -1 : count; }

void setImaqmallocFailureHook(bool (*hook)()) { gMallocHook.store(hook); }

} // namespace qvxtb
