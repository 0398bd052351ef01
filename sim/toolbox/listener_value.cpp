// Exact-size value buffers for property listeners, with guard bytes behind the value.
#include "sim/toolbox/listener_value.h"

#include <cstring>

#include "sim/toolbox/toolbox.h"

#if defined(__SANITIZE_ADDRESS__)
#define QVXTB_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QVXTB_ASAN 1
#endif
#endif

#if defined(QVXTB_ASAN)
#include <sanitizer/asan_interface.h>
#endif

namespace qvxtb::detail {
namespace {

constexpr std::size_t kGuardBytes = 16;
constexpr unsigned char kGuard = 0xA5;

void poison(unsigned char* guard) {
#if defined(QVXTB_ASAN)
    ASAN_POISON_MEMORY_REGION(guard, kGuardBytes);
#else
    (void)guard;
#endif
}

void unpoison(unsigned char* guard) {
#if defined(QVXTB_ASAN)
    ASAN_UNPOISON_MEMORY_REGION(guard, kGuardBytes);
#else
    (void)guard;
#endif
}

} // namespace

std::size_t ListenerValue::sizeOf(PropType type) { return type == PropType::Double ? 8 : 4; }

ListenerValue::ListenerValue(PropType type, const ValueBuffer& initial, Use use)
    : size_(sizeOf(type)), block_(new unsigned char[sizeOf(type) + kGuardBytes]),
      marked_(use == Use::Getter && type == PropType::Double), initial_(initial) {
    if (marked_)
        std::memset(block_, kGuard, size_);
    else
        std::memcpy(block_, initial.bytes, size_);
    std::memset(block_ + size_, kGuard, kGuardBytes);
    poison(block_ + size_);
}

ListenerValue::~ListenerValue() {
    unpoison(block_ + size_);
    delete[] block_;
}

ValueBuffer ListenerValue::finish(const std::string& property) {
    unpoison(block_ + size_);
    for (std::size_t index = 0; index < kGuardBytes; ++index) {
        if (block_[size_ + index] != kGuard) {
            reportContractViolation("value buffer of " + property + " written past its " +
                                    std::to_string(size_) + " bytes");
            std::memset(block_ + size_, kGuard, kGuardBytes);
            break;
        }
    }
    poison(block_ + size_);
    ValueBuffer value{};
    std::memcpy(value.bytes, block_, size_);
    if (marked_) {
        const auto untouched = [&](std::size_t from, std::size_t to) {
            for (std::size_t index = from; index < to; ++index)
                if (block_[index] != kGuard) return false;
            return true;
        };
        if (untouched(0, size_)) return initial_;
        if (untouched(size_ / 2, size_))
            reportContractViolation("value buffer of " + property + " written with a 4-byte value, not its " +
                                    std::to_string(size_) + "-byte double");
    }
    return value;
}

} // namespace qvxtb::detail
