// Fuzz target: a camera description taken through discovery, description, creation, a short
// acquisition, a region change, property reads and writes and destruction.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "platform/testing.h"
#include "sim/cameras/sim_api.h"
#include "sim/toolbox/toolbox.h"

namespace {

using nlohmann::json;

// Sizes beyond this would make one input allocate and copy for seconds instead of milliseconds.
constexpr std::int64_t kMaxSide = 512;
constexpr std::size_t kMaxDevices = 3;
constexpr std::size_t kMaxFormatsPerDevice = 2;
constexpr std::size_t kMaxProperties = 24;

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz_camera: %s\n", what);
        std::abort();
    }
}

// True when every picture size and buffer count stays small; the VCD tree is free.
bool smallEnough(const json& value, const std::string& key = "") {
    if (key == "vcd") return true;
    if (value.is_number()) {
        static const char* const kSizes[] = {"width", "height", "min", "max", "step", "sensor", "buffers"};
        for (const char* sizeKey : kSizes)
            if (key == sizeKey) return value.is_number_integer() && value.get<double>() <= kMaxSide;
        return true;
    }
    if (value.is_array()) {
        if (value.size() > 16) return false;
        for (const auto& element : value)
            if (!smallEnough(element, key)) return false;
        return true;
    }
    if (value.is_object()) {
        for (auto it = value.begin(); it != value.end(); ++it)
            if (!smallEnough(it.value(), it.key())) return false;
    }
    return true;
}

// Frames as fast as buffers free up, so no input waits on a frame rate of its own choosing.
void makeFast(json& document) {
    if (!document.is_object() || !document.contains("devices") || !document["devices"].is_array()) return;
    for (auto& device : document["devices"])
        if (device.is_object()) device["fast"] = true;
}

qvxtb::PropertyValue someValue(const qvxtb::PropertyInfo& property, std::uint8_t pick) {
    switch (property.type) {
    case qvxtb::PropType::Enum:
        if (property.values.empty()) return std::string();
        return property.values[pick % property.values.size()].text;
    case qvxtb::PropType::Double:
        return pick % 2 ? property.min : property.max;
    case qvxtb::PropType::String:
        return std::string("%s%n");
    default:
        return static_cast<std::int64_t>(pick % 2 ? property.min : property.max);
    }
}

void exercise(qvxtb::Adaptor& adaptor, const std::string& device, const std::string& format,
              std::uint8_t pick) {
    try {
        adaptor.describe(device, format);
    } catch (const qvxtb::ToolboxError&) {
    }
    std::unique_ptr<qvxtb::VideoInput> video;
    try {
        video = adaptor.videoinput(device, format);
    } catch (const qvxtb::ToolboxError&) {
        return;
    }
    if (video->adaptor() == nullptr) return;
    try {
        video->setFramesPerTrigger(2);
        video->start();
        video->getdata(1, 0.2);
    } catch (const qvxtb::ToolboxError&) {
    }
    try {
        video->setROIPosition(pick % 7 - 3, pick % 5, 8 + pick, 4 + pick / 2);
        video->getROIPosition();
    } catch (const qvxtb::ToolboxError&) {
    }
    try {
        video->setSelectedSourceName(video->selectedSourceName());
    } catch (const qvxtb::ToolboxError&) {
    }
    std::size_t count = 0;
    for (const auto& property : video->description().properties) {
        if (++count > kMaxProperties) break;
        try {
            video->get(property.name);
        } catch (const qvxtb::ToolboxError&) {
        }
        try {
            video->set(property.name, someValue(property, pick));
        } catch (const qvxtb::ToolboxError&) {
        }
    }
    video->stop();
}

qvxtb::Adaptor* theAdaptor = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qvxtb::setPrintWarnings(false);
    qvxtb::setRecordCalls(false);
    qvxplatform::setMessageBoxHook([](const qvxplatform::MessageBoxCall&) { return IDOK; });
    qvxplatform::setDebugOutputHook([](const char*) {});
    theAdaptor = new qvxtb::Adaptor(QVX_ADAPTOR_PATH);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    // The loader's own verdict comes first: a bad document must come back as an exception.
    try {
        qvxsim::loadCameras(text);
    } catch (const std::exception&) {
        return 0;
    }
    json document = json::parse(text, nullptr, false);
    if (document.is_discarded() || !smallEnough(document)) {
        qvxsim::reset();
        return 0;
    }
    makeFast(document);
    qvxsim::loadCameras(document.dump());

    const long coTaskBefore = qvxplatform::liveCoTaskMemBlocks();
    const long bstrsBefore = qvxplatform::liveBstrs();
    const long imaqBefore = qvxtb::liveImaqAllocations();
    const std::uint8_t pick = static_cast<std::uint8_t>(size);
    {
        std::vector<qvxtb::DeviceInfo> devices;
        try {
            devices = theAdaptor->hwinfo();
        } catch (const qvxtb::ToolboxError&) {
        }
        for (std::size_t d = 0; d < devices.size() && d < kMaxDevices; ++d) {
            const std::string id = std::to_string(devices[d].id);
            const auto& formats = devices[d].formats;
            for (std::size_t f = 0; f < formats.size() && f < kMaxFormatsPerDevice; ++f)
                exercise(*theAdaptor, id, formats[f].name, pick);
            // A format name discovery never gave.
            exercise(*theAdaptor, id, formats.empty() ? std::string(":") : formats[0].name + "%s:", pick);
        }
    }

    const qvxsim::Counters counters = qvxsim::counters();
    check(counters.lockedBuffers == 0, "a buffer stayed locked");
    check(counters.buffersInUse == 0, "a buffer handle was not released");
    check(counters.liveComObjects == 0, "a VCD object was not released");
    check(counters.openDevices == 0, "a device stayed open");
    check(counters.liveGrabbers == 0, "a grabber was not destroyed");
    check(counters.liveListHolders == 0, "a list was not released");
    check(qvxplatform::liveCoTaskMemBlocks() == coTaskBefore, "CoTaskMem blocks left behind");
    check(qvxplatform::liveBstrs() == bstrsBefore, "BSTRs left behind");
    check(qvxtb::liveImaqAllocations() == imaqBefore, "imaqmalloc blocks left behind");
    check(qvxtb::liveFrameObjects() == 0, "frame objects left behind");
    qvxsim::reset();
    return 0;
}
