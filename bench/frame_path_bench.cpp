// Frame path: one buffer through the adaptor's frame callback into a host frame, against memcpy; fixed cost.
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/alloc_counter.h"
#include "bench/frame_session.h"

namespace qvxbench {
namespace {

constexpr FrameShape kVgaMono8{"Y800", 640, 480};
constexpr FrameShape kHdBgrx{"RGB32", 1920, 1080};
constexpr FrameShape k5MpBgrx{"RGB32", 2448, 2048};
constexpr FrameShape k12MpMono16{"Y16", 4096, 3000};
constexpr FrameShape kTinyMono8{"Y800", 16, 4};

constexpr int kCountedFrames = 64;

// Pages the calling thread touched for the first time so far: a frame that lands in fresh memory pays
// for every page of it.
long minorFaults() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_minflt;
}

// Heap allocations per frame, by who asked, over frames delivered outside the measurement.
void countAllocations(benchmark::State& state, FrameSession& session) {
    // Under a profiler the counter's stack walks would drown the path (QVX_BENCH_NO_ALLOC_COUNT=1).
    if (std::getenv("QVX_BENCH_NO_ALLOC_COUNT") != nullptr) return;
    AllocationCounts counts;
    {
        AllocationScope scope;
        for (int i = 0; i < kCountedFrames; ++i) session.deliver();
        counts = scope.counts();
    }
    session.drain();
    if (!allocationCountingAvailable()) return;
    state.counters["allocs_adaptor"] = static_cast<double>(counts.adaptor) / kCountedFrames;
    state.counters["allocs_toolbox"] = static_cast<double>(counts.toolbox) / kCountedFrames;
    state.counters["allocs_cameras"] = static_cast<double>(counts.cameras) / kCountedFrames;
    state.counters["allocs_other"] = static_cast<double>(counts.other) / kCountedFrames;
}

// Each iteration times the path and, on the same bytes, a plain memcpy into memory already touched; their
// order alternates so neither always finds the source in cache. The host's taking the frame out of its
// queue (and freeing it) is timed by neither.
void framePath(benchmark::State& state, FrameShape shape, bool roi) {
    try {
        FrameSession session(shape, roi);
        const std::size_t bytes = shape.bytes();
        std::vector<std::uint8_t> target(bytes, 1);
        const std::uint8_t* source = session.buffer().getPtr();
        double pathSeconds = 0, memcpySeconds = 0;
        long faults = 0;
        bool pathFirst = true;
        // One frame before the measurement: the first frame's memory is fresh, every later one reuses it.
        session.deliver();
        session.drain();
        for (auto _ : state) {
            double path = 0, copy = 0;
            for (int step = 0; step < 2; ++step) {
                if ((step == 0) == pathFirst) {
                    const long faultsBefore = minorFaults();
                    const long long pathStart = nowNanoseconds();
                    session.deliver();
                    path = secondsSince(pathStart);
                    faults += minorFaults() - faultsBefore;
                } else {
                    const long long start = nowNanoseconds();
                    std::memcpy(target.data(), source, bytes);
                    benchmark::ClobberMemory();
                    copy = secondsSince(start);
                }
            }
            pathFirst = !pathFirst;
            state.SetIterationTime(path);
            pathSeconds += path;
            memcpySeconds += copy;
            session.drain();
        }
        state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
        state.counters["frame_MB"] = bytes / 1e6;
        state.counters["memcpy_GBps"] = state.iterations() * bytes / memcpySeconds / 1e9;
        state.counters["ratio_to_memcpy"] = memcpySeconds / pathSeconds;
        state.counters["page_faults"] = static_cast<double>(faults) / static_cast<double>(state.iterations());
        countAllocations(state, session);
        if (const std::string fault = session.check(); !fault.empty()) state.SkipWithError(fault.c_str());
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
    }
}

// The cost that does not grow with the frame: a 64-byte frame, nanoseconds per frame. The host drains its
// queue every so often, outside the measurement.
void fixedCost(benchmark::State& state, bool roi) {
    try {
        FrameSession session(kTinyMono8, roi);
        long sinceDrain = 0;
        for (auto _ : state) {
            session.deliver();
            if (++sinceDrain == 4096) {
                state.PauseTiming();
                session.drain();
                sinceDrain = 0;
                state.ResumeTiming();
            }
        }
        session.drain();
        state.SetItemsProcessed(state.iterations());
        countAllocations(state, session);
        if (const std::string fault = session.check(); !fault.empty()) state.SkipWithError(fault.c_str());
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
    }
}

} // namespace
} // namespace qvxbench

using qvxbench::fixedCost;
using qvxbench::framePath;

BENCHMARK_CAPTURE(framePath, 640x480_mono8, qvxbench::kVgaMono8, false)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(framePath, 640x480_mono8_roi, qvxbench::kVgaMono8, true)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(framePath, 1920x1080_bgrx, qvxbench::kHdBgrx, false)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(framePath, 1920x1080_bgrx_roi, qvxbench::kHdBgrx, true)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(framePath, 2448x2048_bgrx, qvxbench::k5MpBgrx, false)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(framePath, 2448x2048_bgrx_roi, qvxbench::k5MpBgrx, true)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(framePath, 4096x3000_mono16, qvxbench::k12MpMono16, false)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(framePath, 4096x3000_mono16_roi, qvxbench::k12MpMono16, true)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(fixedCost, tiny_16x4, false)->Unit(benchmark::kNanosecond);
BENCHMARK_CAPTURE(fixedCost, tiny_16x4_roi, true)->Unit(benchmark::kNanosecond);
