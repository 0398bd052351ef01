// The lock count of one frame buffer, and the library's count of the buffers locked at least once.
#pragma once

#include <atomic>

#include "sim/cameras/system.h"

namespace qvxsim {

class BufferLocks {
public:
    void lock() {
        if (count_.fetch_add(1) == 0) System::instance().counters.lockedBuffers.fetch_add(1);
    }
    // An unlock without a lock is ignored rather than driving the count negative.
    void unlock() {
        int held = count_.load();
        while (held > 0 && !count_.compare_exchange_weak(held, held - 1)) {
        }
        if (held == 1) System::instance().counters.lockedBuffers.fetch_sub(1);
    }
    bool held() const { return count_.load() > 0; }

private:
    std::atomic<int> count_{0};
};

} // namespace qvxsim
