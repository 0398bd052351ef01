// What a fuzz target checks after each input: everything the adaptor obtained was given back.
#pragma once

#include <cstdio>
#include <cstdlib>

#include "platform/testing.h"
#include "sim/cameras/sim_api.h"
#include "sim/toolbox/toolbox.h"

namespace qvxfuzz {

// A finding ends the run, so libFuzzer keeps the input that caused it.
inline void check(const char* target, bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "%s: %s\n", target, what);
        std::abort();
    }
}

// The counters that go up and down with the input; those that start at zero are checked absolutely.
class NothingLeft {
public:
    explicit NothingLeft(const char* target)
        : target_(target), coTask_(qvxplatform::liveCoTaskMemBlocks()), bstrs_(qvxplatform::liveBstrs()),
          imaq_(qvxtb::liveImaqAllocations()) {}

    void verify() const {
        const qvxsim::Counters counters = qvxsim::counters();
        check(target_, counters.lockedBuffers == 0, "a buffer stayed locked");
        check(target_, counters.buffersInUse == 0, "a buffer handle was not released");
        check(target_, counters.liveComObjects == 0, "a VCD object was not released");
        check(target_, counters.openDevices == 0, "a device stayed open");
        check(target_, counters.liveGrabbers == 0, "a grabber was not destroyed");
        check(target_, counters.liveListHolders == 0, "a list was not released");
        check(target_, qvxplatform::liveCoTaskMemBlocks() == coTask_, "CoTaskMem blocks left behind");
        check(target_, qvxplatform::liveBstrs() == bstrs_, "BSTRs left behind");
        check(target_, qvxtb::liveImaqAllocations() == imaq_, "imaqmalloc blocks left behind");
    }

private:
    const char* target_;
    long coTask_;
    long bstrs_;
    long imaq_;
};

} // namespace qvxfuzz
