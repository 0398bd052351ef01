// CoTaskMem blocks and BSTRs outside Windows, counted so that tests can see every one freed.
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_set>

#include "platform/testing.h"
#include "platform/win32.h"

namespace {

struct Registry {
    std::mutex mutex;
    std::unordered_set<void*> coTaskBlocks;
    std::unordered_set<void*> bstrs;
    long invalidFrees = 0;
    long coTaskFailAfter = -1;
    long bstrFailAfter = -1;
};

std::atomic<bool (*)(const char*)> gFailureHook{nullptr};

bool hookSaysFail(const char* function) {
    bool (*hook)(const char*) = gFailureHook.load();
    return hook != nullptr && hook(function);
}

Registry& registry() {
    static Registry* instance = new Registry(); // outlives every static destructor that frees text
    return *instance;
}

// A BSTR is preceded by its byte length (32-bit) and ends with a NUL character.
constexpr std::size_t kBstrPrefix = sizeof(std::uint32_t);

bool consumeFailure(long& counter) {
    if (counter < 0) return false;
    if (counter == 0) {
        counter = -1;
        return true;
    }
    --counter;
    return false;
}

} // namespace

extern "C" {

void* CoTaskMemAlloc(std::size_t size) {
    if (hookSaysFail("CoTaskMemAlloc")) return nullptr;
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (consumeFailure(r.coTaskFailAfter)) return nullptr;
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block != nullptr) r.coTaskBlocks.insert(block);
    return block;
}

void CoTaskMemFree(void* block) {
    if (block == nullptr) return;
    Registry& r = registry();
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        if (r.coTaskBlocks.erase(block) == 0) {
            ++r.invalidFrees;
            return;
        }
    }
    std::free(block);
}

BSTR SysAllocString(const OLECHAR* text) {
    if (text == nullptr) return nullptr;
    std::size_t length = 0;
    while (text[length] != 0) ++length;
    if (hookSaysFail("SysAllocString")) return nullptr;
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (consumeFailure(r.bstrFailAfter)) return nullptr;
    auto* raw = static_cast<unsigned char*>(std::malloc(kBstrPrefix + (length + 1) * sizeof(OLECHAR)));
    if (raw == nullptr) return nullptr;
    const auto bytes = static_cast<std::uint32_t>(length * sizeof(OLECHAR));
    std::memcpy(raw, &bytes, kBstrPrefix);
    auto* result = reinterpret_cast<BSTR>(raw + kBstrPrefix);
    std::memcpy(result, text, (length + 1) * sizeof(OLECHAR));
    r.bstrs.insert(result);
    return result;
}

void SysFreeString(BSTR text) {
    if (text == nullptr) return;
    Registry& r = registry();
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        if (r.bstrs.erase(text) == 0) {
            ++r.invalidFrees;
            return;
        }
    }
    std::free(reinterpret_cast<unsigned char*>(text) - kBstrPrefix);
}

} // extern "C"

namespace qvxplatform {

long liveCoTaskMemBlocks() {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return static_cast<long>(r.coTaskBlocks.size());
}

long liveBstrs() {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return static_cast<long>(r.bstrs.size());
}

long invalidFrees() {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.invalidFrees;
}

void failCoTaskMemAllocAfter(long count) {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.coTaskFailAfter = count;
}

void failSysAllocStringAfter(long count) {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.bstrFailAfter = count;
}

void setAllocationFailureHook(bool (*hook)(const char* function)) { gFailureHook.store(hook); }

} // namespace qvxplatform
