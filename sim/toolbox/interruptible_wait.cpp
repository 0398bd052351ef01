// The caller's interrupt hook, asked by every wait of the caller's thread.
#include "sim/toolbox/interruptible_wait.h"

#include <atomic>

namespace qvxtb {
namespace {

std::atomic<bool (*)()> gPending{nullptr};

} // namespace

void setWaitInterrupt(bool (*pending)()) { gPending.store(pending); }

namespace detail {

bool interruptPending() {
    bool (*pending)() = gPending.load();
    return pending != nullptr && pending();
}

} // namespace detail
} // namespace qvxtb
