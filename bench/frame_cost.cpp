// qvx_frame_cost: a fixed number of tiny frames through the frame callback, for an instruction and
// allocation budget that does not depend on the machine's load (scripts/frame-budget.sh).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "bench/alloc_counter.h"
#include "bench/frame_session.h"

// MSVC spells "never inline" its own way; the default build there compiles this program too.
#if defined(_MSC_VER)
#define QVX_NOINLINE __declspec(noinline)
#else
#define QVX_NOINLINE __attribute__((noinline))
#endif

namespace qvxbench {

// The frames measured: callgrind counts instructions from this function's entry to its return
// (--toggle-collect), so set-up, warm-up and draining stay outside the count.
QVX_NOINLINE void measuredFrames(FrameSession& session, int frames) {
    for (int i = 0; i < frames; ++i) session.deliver();
}

} // namespace qvxbench

int main(int argc, char** argv) {
    if (argc < 2 || (std::strcmp(argv[1], "plain") != 0 && std::strcmp(argv[1], "roi") != 0)) {
        std::fprintf(stderr, "usage: qvx_frame_cost plain|roi [FRAMES]\n");
        return 2;
    }
    const bool roi = std::strcmp(argv[1], "roi") == 0;
    const int frames = argc > 2 ? std::atoi(argv[2]) : 100;
    if (frames < 1 || frames > 100000) {
        std::fprintf(stderr, "qvx_frame_cost: FRAMES must be from 1 to 100000\n");
        return 2;
    }
    try {
        qvxtb::setPrintWarnings(false);
        qvxtb::setRecordCalls(false);
        qvxbench::FrameSession session(qvxbench::FrameShape{"Y800", 16, 4}, roi);
        session.deliver(); // the frame memory is warm, as in a running acquisition
        session.drain();
        // Under callgrind the counter's stack walks would be counted too (QVX_BENCH_NO_ALLOC_COUNT=1).
        long adaptorAllocations = -1;
        if (std::getenv("QVX_BENCH_NO_ALLOC_COUNT") == nullptr && qvxbench::allocationCountingAvailable()) {
            qvxbench::AllocationScope scope;
            qvxbench::measuredFrames(session, frames);
            adaptorAllocations = scope.counts().adaptor;
        } else {
            qvxbench::measuredFrames(session, frames);
        }
        if (session.drain() != frames) {
            std::fprintf(stderr, "qvx_frame_cost: not every frame reached the host\n");
            return 1;
        }
        if (const std::string fault = session.check(); !fault.empty()) {
            std::fprintf(stderr, "qvx_frame_cost: %s\n", fault.c_str());
            return 1;
        }
        std::printf("frames %d\n", frames);
        if (adaptorAllocations >= 0) std::printf("adaptor allocations %ld\n", adaptorAllocations);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "qvx_frame_cost: %s\n", error.what());
        return 1;
    }
    return 0;
}
