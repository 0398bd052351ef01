// Fuzz target: a camera description taken through discovery, description, creation, a short
// acquisition, a region change, property reads and writes and destruction (QVX_FUZZ_LARGE: big sizes).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "fuzz/nothing_left.h"
#include "platform/testing.h"
#include "sim/cameras/sim_api.h"
#include "sim/toolbox/toolbox.h"

namespace {

using nlohmann::json;

#if defined(QVX_FUZZ_LARGE)
// Sizes up to the loader's limit on a side, lists long enough to make any cost that grows faster than
// linearly show, and pictures kept to 16 MiB at 4 bytes a pixel so that a run stays within its memory.
constexpr std::int64_t kMaxSide = 16384;
constexpr std::int64_t kMaxPixels = std::int64_t{1} << 22;
constexpr std::size_t kMaxList = 4096;
constexpr std::int64_t kMaxBuffers = 8;
#else
// Sizes beyond this would make one input allocate and copy for seconds instead of milliseconds.
constexpr std::int64_t kMaxSide = 512;
constexpr std::int64_t kMaxPixels = kMaxSide * kMaxSide;
constexpr std::size_t kMaxList = 16;
constexpr std::int64_t kMaxBuffers = 64;
#endif
constexpr std::size_t kMaxDevices = 3;
constexpr std::size_t kMaxFormatsPerDevice = 2;
constexpr std::size_t kMaxProperties = 24;

void check(bool condition, const char* what) { qvxfuzz::check("fuzz_camera", condition, what); }

bool isSizeKey(const std::string& key) {
    return key == "width" || key == "height" || key == "min" || key == "max" || key == "step" ||
           key == "sensor";
}

// Width times height of a [w, h] pair or a {width, height} object within the pixel bound.
bool fewEnoughPixels(const json& w, const json& h) {
    if (!w.is_number_integer() || !h.is_number_integer()) return true; // the loader refuses these
    return w.get<double>() * h.get<double>() <= static_cast<double>(kMaxPixels);
}

// True when every picture, buffer count and list stays within this target's bounds.
bool smallEnough(const json& value, const std::string& key = "") {
#if !defined(QVX_FUZZ_LARGE)
    if (key == "vcd") return true;
#endif
    if (value.is_number()) {
        if (isSizeKey(key)) return value.is_number_integer() && value.get<double>() <= kMaxSide;
        if (key == "buffers") return value.is_number_integer() && value.get<double>() <= kMaxBuffers;
        return true;
    }
    if (value.is_array()) {
        if (value.size() > kMaxList) return false;
        if (isSizeKey(key) && value.size() == 2 && !fewEnoughPixels(value[0], value[1])) return false;
        for (const auto& element : value)
            if (!smallEnough(element, key)) return false;
        return true;
    }
    if (value.is_object()) {
        if (value.contains("width") && value.contains("height") &&
            !fewEnoughPixels(value["width"], value["height"]))
            return false;
        for (auto it = value.begin(); it != value.end(); ++it)
            if (!smallEnough(it.value(), it.key())) return false;
    }
    return true;
}

// Half the inputs deliver as fast as buffers free up; the other half keep their own pacing, which the
// short waits for frames below bound.
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
        video->getdata(1, 0.1);
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
    const std::uint8_t pick = static_cast<std::uint8_t>(size);
    if (pick & 1) {
        makeFast(document);
        qvxsim::loadCameras(document.dump());
    }

    const qvxfuzz::NothingLeft before("fuzz_camera");
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

    before.verify();
    check(qvxtb::liveFrameObjects() == 0, "frame objects left behind");
    qvxsim::reset();
    return 0;
}
