// Test-only heap allocation counter: counts the calling thread's allocations by the library that asked.
#pragma once

namespace qvxbench {

// Who asked for a block: the first frame of the call stack that lies in one of our libraries. The
// platform layer, the C and C++ runtimes and the counter itself are passed over, so an allocation the
// adaptor makes through std::string or SysAllocString is the adaptor's.
struct AllocationCounts {
    long adaptor = 0; // libQVXImaq
    long toolbox = 0; // libimaqmex, the host stand-in
    long cameras = 0; // libQVX_KAPRI10_x64, the grabber stand-in
    long other = 0;   // the benchmark itself, or no library of ours on the stack
    long total() const { return adaptor + toolbox + cameras + other; }
};

// Whether this build can count (glibc, no sanitizer); without it every count stays 0.
bool allocationCountingAvailable();

// Counts the allocations of the constructing thread until destruction. Scopes do not nest.
class AllocationScope {
public:
    AllocationScope();
    ~AllocationScope();
    AllocationScope(const AllocationScope&) = delete;
    AllocationScope& operator=(const AllocationScope&) = delete;

    const AllocationCounts& counts() const { return counts_; }

private:
    AllocationCounts counts_;
};

} // namespace qvxbench
