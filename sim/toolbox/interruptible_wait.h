// Waits of the caller's thread on an acquisition, in short slices that give way to the caller's interrupt.
#pragma once

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "sim/toolbox/toolbox.h"

namespace qvxtb::detail {

// What the hook set by setWaitInterrupt says now; false without one.
bool interruptPending();

// Waits until `ready` or `end`: false at the end. Throws InterruptedError as soon as an interrupt is
// pending, also one that was pending before the wait began.
template <typename Ready>
bool waitInterruptibly(std::condition_variable& changed, std::unique_lock<std::mutex>& lock,
                       std::chrono::steady_clock::time_point end, Ready ready) {
    constexpr auto slice = std::chrono::milliseconds(50);
    while (!ready()) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= end) return false;
        if (interruptPending()) throw InterruptedError("The wait was interrupted.");
        changed.wait_until(lock, std::min(end, now + slice), ready);
    }
    return true;
}

} // namespace qvxtb::detail
