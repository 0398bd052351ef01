// Discovery, description and property get through the real adaptor library: time and how it grows.
#include <cstdlib>
#include <string>

#include <benchmark/benchmark.h>

#include "bench/alloc_counter.h"
#include "bench/bench_cameras.h"
#include "bench/frame_session.h"
#include "sim/cameras/sim_api.h"

namespace qvxbench {
namespace {

constexpr int kFormatsPerDevice = 50;

void discovery(benchmark::State& state) {
    try {
        qvxtb::Adaptor& adaptor = loadedAdaptor();
        qvxsim::loadCameras(discoveryCamerasJson(static_cast<int>(state.range(0)), kFormatsPerDevice));
        std::size_t formats = 0;
        for (auto _ : state) {
            const auto devices = adaptor.hwinfo();
            formats = 0;
            for (const auto& device : devices) formats += device.formats.size();
            benchmark::DoNotOptimize(formats);
        }
        if (formats != static_cast<std::size_t>(state.range(0) * kFormatsPerDevice))
            state.SkipWithError("discovery missed formats");
        state.SetComplexityN(state.range(0));
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
    }
}

void description(benchmark::State& state) {
    try {
        qvxtb::Adaptor& adaptor = loadedAdaptor();
        const int elements = static_cast<int>(state.range(0));
        qvxsim::loadCameras(cameraSet(vcdCameraJson("VCD Camera", elements)));
        adaptor.hwinfo();
        std::size_t properties = 0;
        for (auto _ : state) {
            const qvxtb::DeviceDescription described = adaptor.describe("VCD Camera", "N:F");
            properties = described.properties.size();
            benchmark::DoNotOptimize(properties);
        }
        if (properties < static_cast<std::size_t>(elements))
            state.SkipWithError("description missed properties");
        state.SetComplexityN(elements);
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
    }
}

// A camera of N input channels: the channel property's N enumeration values, each checked against those
// already held.
void inputChannels(benchmark::State& state) {
    try {
        qvxtb::Adaptor& adaptor = loadedAdaptor();
        const int channels = static_cast<int>(state.range(0));
        std::string list;
        for (int i = 0; i < channels; ++i)
            list += (i == 0 ? "\"Input " : ", \"Input ") + std::to_string(i) + "\"";
        qvxsim::loadCameras(R"({"devices": [{"name": "Channels", "inputChannels": [)" + list +
                            R"(], "descriptors": [{"colorformat": "Y800", "max": [64, 48]}]}]})");
        adaptor.hwinfo();
        for (auto _ : state) {
            const qvxtb::DeviceDescription described = adaptor.describe("Channels", "Y800 (64x48)");
            benchmark::DoNotOptimize(described.properties.size());
        }
        state.SetComplexityN(channels);
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
    }
}

// The last element's property: the look-up walks every item whichever it finds.
void propertyGet(benchmark::State& state) {
    try {
        qvxtb::Adaptor& adaptor = loadedAdaptor();
        const int elements = static_cast<int>(state.range(0));
        qvxsim::loadCameras(cameraSet(vcdCameraJson("VCD Camera", elements)));
        adaptor.hwinfo(); // the toolbox keeps the last device list; this camera set is new
        const auto video = adaptor.videoinput("VCD Camera", "N:F");
        const std::string name = "Setting" + std::to_string(elements - 1);
        qvxtb::PropertyValue value;
        for (auto _ : state) {
            value = video->get(name);
            benchmark::DoNotOptimize(value);
        }
        if (allocationCountingAvailable() && std::getenv("QVX_BENCH_NO_ALLOC_COUNT") == nullptr) {
            AllocationCounts counts;
            {
                AllocationScope scope;
                value = video->get(name);
                counts = scope.counts();
            }
            state.counters["allocs_adaptor"] = static_cast<double>(counts.adaptor);
            state.counters["allocs_cameras"] = static_cast<double>(counts.cameras);
            state.counters["allocs_toolbox"] = static_cast<double>(counts.toolbox);
        }
        const auto* read = std::get_if<std::int64_t>(&value);
        if (read == nullptr || *read != (elements - 1) % 1000)
            state.SkipWithError("the get read a wrong value");
        state.SetComplexityN(elements);
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
    }
}

} // namespace
} // namespace qvxbench

BENCHMARK(qvxbench::discovery)
    ->Arg(1)
    ->Arg(10)
    ->Arg(100)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(qvxbench::description)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(qvxbench::inputChannels)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(qvxbench::propertyGet)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMicrosecond);
