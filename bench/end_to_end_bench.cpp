// End to end: frames per second of a fast virtual camera through the stand-in engine, against memcpy.
#include <chrono>
#include <cstring>
#include <sys/resource.h>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/frame_session.h"

namespace qvxbench {
namespace {

constexpr FrameShape k5MpBgrx{"RGB32", 2448, 2048};

// Frames per second a plain memcpy of one frame allows, between buffers already touched; wall time, as
// the frames per second are, so both see the same machine.
double memcpyFramesPerSecond(std::size_t bytes) {
    std::vector<std::uint8_t> source(bytes, 3), target(bytes, 1);
    constexpr int kCopies = 8;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kCopies; ++i) {
        std::memcpy(target.data(), source.data(), bytes);
        benchmark::ClobberMemory();
    }
    return kCopies / std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Pages touched for the first time by any thread of the process so far.
long processMinorFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// The camera's delivery thread fills and hands out buffers as fast as they free up; the adaptor copies
// each into a host frame on that thread; this thread takes the frames out as the host would.
void endToEnd(benchmark::State& state, bool roi, bool pattern) {
    try {
        const double before = memcpyFramesPerSecond(k5MpBgrx.bytes());
        FrameSession session(k5MpBgrx, roi, /*fast=*/true, pattern);
        const long faultsBefore = processMinorFaults();
        for (auto _ : state) session.video().getdata(1, 10.0);
        const long faults = processMinorFaults() - faultsBefore;
        const long acquired = session.video().framesAcquired();
        session.video().stop();
        const double after = memcpyFramesPerSecond(k5MpBgrx.bytes());
        state.SetItemsProcessed(state.iterations());
        state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * k5MpBgrx.bytes()));
        state.counters["fps"] =
            benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
        state.counters["memcpy_fps"] = (before + after) / 2;
        state.counters["acquired"] = static_cast<double>(acquired);
        // A frame whose block is mapped fresh pays a fault for each of its pages (4,896 for this size).
        state.counters["page_faults"] = static_cast<double>(faults) / static_cast<double>(state.iterations());
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
    }
}

} // namespace
} // namespace qvxbench

using qvxbench::endToEnd;

BENCHMARK_CAPTURE(endToEnd, 2448x2048_bgrx, false, false)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(endToEnd, 2448x2048_bgrx_roi, true, false)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(endToEnd, 2448x2048_bgrx_painted, false, true)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
