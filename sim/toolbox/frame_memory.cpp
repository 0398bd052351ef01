// The frame memory pool: free blocks by exact size, up to a bound on what it keeps.
#include "sim/toolbox/frame_memory.h"

#include "sim/toolbox/toolbox.h"

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <unordered_map>

namespace qvxtb::detail {
namespace {

// Small frames gain nothing from the pool: the allocator keeps such blocks warm by itself.
constexpr std::size_t kSmallestPooled = 256 * 1024;
// What the pool keeps at most; beyond it blocks go back to the allocator at once.
constexpr std::size_t kMostKept = 256u * 1024 * 1024;
// Blocks of one size kept at most: a reader some frames behind the camera still finds its sizes here.
constexpr std::size_t kMostKeptOfOneSize = 8;

// Under AddressSanitizer every block goes back to the allocator, so that use after free is still seen.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPooling = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kPooling = false;
#else
constexpr bool kPooling = true;
#endif
#else
constexpr bool kPooling = true;
#endif

struct Pool {
    std::mutex mutex;
    std::unordered_map<std::size_t, std::vector<void*>> free;
    std::size_t kept = 0;
};

// Never destroyed: frames may outlive every static object of the library.
Pool& pool() {
    static Pool* instance = new Pool;
    return *instance;
}

bool pooled(std::size_t bytes) { return kPooling && bytes >= kSmallestPooled; }

// Bytes of the blocks handed out and not yet given back; the pool's free blocks are not in use.
std::atomic<std::size_t> gBytesInUse{0};

} // namespace

void* takeFrameBlock(std::size_t bytes) {
    if (pooled(bytes)) {
        Pool& p = pool();
        std::lock_guard<std::mutex> lock(p.mutex);
        const auto found = p.free.find(bytes);
        if (found != p.free.end() && !found->second.empty()) {
            void* block = found->second.back();
            found->second.pop_back();
            p.kept -= bytes;
            gBytesInUse += bytes;
            return block;
        }
    }
    void* block = std::malloc(bytes == 0 ? 1 : bytes);
    if (block == nullptr) throw std::bad_alloc();
    gBytesInUse += bytes;
    return block;
}

void giveFrameBlock(void* block, std::size_t bytes) noexcept {
    if (block == nullptr) return;
    gBytesInUse -= bytes;
    if (pooled(bytes)) {
        Pool& p = pool();
        std::lock_guard<std::mutex> lock(p.mutex);
        if (p.kept + bytes <= kMostKept) {
            try {
                std::vector<void*>& blocks = p.free[bytes];
                if (blocks.size() < kMostKeptOfOneSize) {
                    blocks.push_back(block);
                    p.kept += bytes;
                    return;
                }
            } catch (const std::bad_alloc&) {
                // No room to note the block: it goes back to the allocator below.
            }
        }
    }
    std::free(block);
}

bool frameMemoryPooled() { return kPooling; }

std::size_t bytesInUse() { return gBytesInUse.load(); }

bool frameMemoryAllows(std::size_t bytes) {
    const std::size_t limit = frameMemoryLimit();
    const std::size_t used = gBytesInUse.load();
    return used <= limit && bytes <= limit - used;
}

std::size_t pooledFrameBytes() {
    Pool& p = pool();
    std::lock_guard<std::mutex> lock(p.mutex);
    return p.kept;
}

} // namespace qvxtb::detail
