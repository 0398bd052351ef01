// Allocation failure injection for tests: the adaptor's own allocations counted, and the Nth of them failed.
#pragma once

#include <cstddef>

namespace qvxtest {

// An allocation counts as the adaptor's when the first frame of its call stack that lies in one of our
// libraries or in the test program is in libQVXImaq: the C and C++ runtimes and the platform layer are
// passed over, so a std::string, CoTaskMemAlloc, SysAllocString or StringFromCLSID text the adaptor asks
// for is the adaptor's, while one the stand-ins make on its behalf is not. Counted: the test program's
// operator new (every form), imaqmalloc, CoTaskMemAlloc and SysAllocString.
class AllocationFailures {
public:
    // Whether this build can attribute allocations (glibc, not Windows); without it nothing is counted.
    static bool available();
    // Counts the adaptor's allocations from now on, on every thread, and fails the `failAt`th (0: none).
    static void arm(long failAt);
    static void disarm();
    // The adaptor's allocations since arm, the failed one included.
    static long counted();
    // Whether the allocation to fail was reached.
    static bool failed();
    // Makes every operator new of more than `bytes`, whoever asks, fail (0: none).
    static void failNewLargerThan(std::size_t bytes);
};

// Arms on construction and disarms on every way out.
class ArmedAllocationFailure {
public:
    explicit ArmedAllocationFailure(long failAt) { AllocationFailures::arm(failAt); }
    ~ArmedAllocationFailure() { AllocationFailures::disarm(); }
    ArmedAllocationFailure(const ArmedAllocationFailure&) = delete;
    ArmedAllocationFailure& operator=(const ArmedAllocationFailure&) = delete;
};

} // namespace qvxtest
