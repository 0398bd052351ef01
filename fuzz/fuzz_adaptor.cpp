// Fuzz target: full-range regions and property values of every bit pattern straight into an adaptor object.
// The toolbox refuses negative regions and values outside a property's limits before an adaptor sees them;
// a host of this target's own hands them over unchecked, in buffers exactly as large as the value's type.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "fuzz/nothing_left.h"
#include "host/engine.h"
#include "host/hardware_info.h"
#include "host/listeners.h"
#include "host/prop_container.h"
#include "platform/testing.h"
#include "sim/cameras/sim_api.h"
#include "sim/toolbox/placeholder.h"
#include "sim/toolbox/toolbox.h"
#include "tests/support/named_device.h"

namespace {

constexpr const char* kCameras = R"({"devices": [
  {"name": "Roi", "serial": "0x1234", "buffers": 3, "sensor": [640, 480],
   "descriptors": [{"colorformat": "Y800", "min": [16, 4], "max": [640, 480], "step": [4, 2], "roi": true,
                    "fps": [60, 30]},
                   {"colorformat": "RGB32", "min": [8, 8], "max": [64, 48], "step": [8, 0], "roi": true}],
   "vcd": [
     {"name": "Gain", "elements": [
       {"name": "Value", "id": "value", "range": {"min": -5, "max": 100, "default": 20},
        "absolute": {"min": 0.0, "max": 12.0, "default": 2.4}},
       {"name": "Auto", "id": "auto", "switch": {"value": true}}]},
     {"name": "Exposure", "elements": [
       {"name": "Value", "id": "value", "absolute": {"min": 1e-6, "max": 30.0, "default": 0.01}}]},
     {"name": "Strobe", "elements": [
       {"name": "Mode", "mapStrings": {"min": 1, "default": 2, "strings": ["Off", "On", "Pulse"]}}]},
     {"name": "Odd", "elements": [
       {"name": "Value", "id": "value", "range": {"min": 10, "max": -10, "default": 0}}]},
     {"name": "Trigger", "elements": [{"name": "Software", "button": {}}, {"name": "Polarity", "switch": {}}]},
     {"name": "Partial scan offset", "id": "partialScanOffset", "elements": [
       {"name": "Auto-center", "id": "autoCenter", "switch": {"value": false}},
       {"name": "X Offset", "id": "offsetX", "range": {}},
       {"name": "Y Offset", "id": "offsetY", "range": {}}]}]},
  {"name": "Norms", "inputChannels": ["In 1", "In 2"], "fps": [30, 7.5, 1e-9],
   "norms": [{"name": "PAL_B", "formats": [{"colorformat": "RGB24", "width": 64, "height": 48},
                                           {"colorformat": "Y16", "width": 32, "height": 24}]}]}
]})";

void check(bool condition, const char* what) { qvxfuzz::check("fuzz_adaptor", condition, what); }

// Bytes of the input, taken in order; zeros once it runs out.
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return at_ >= size_; }
    std::uint8_t byte() { return at_ < size_ ? data_[at_++] : 0; }
    template <class T> T value() {
        unsigned char raw[sizeof(T)] = {};
        for (unsigned char& b : raw) b = byte();
        T v;
        std::memcpy(&v, raw, sizeof v);
        return v;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

class PropInfo : public imaqkit::IPropInfo {
public:
    QVXTB_PROP_INFO_PLACEHOLDERS
    explicit PropInfo(std::string name) : name_(std::move(name)) {}
    const char* getPropertyName() const override { return name_.c_str(); }
    bool isPropertyDeviceSpecific() const override { return true; }
    int getPropertyStorageType() const override { return imaqkit::kStorageInteger; }
    bool isPropertyEnumerated() const override { return false; }

private:
    std::string name_;
};

// Owns what the adaptor registers, as the host does.
class PropContainer : public imaqkit::IPropContainer {
public:
    QVXTB_PROP_CONTAINER_PLACEHOLDERS
    void add(const std::string& name) { props_.push_back(std::make_unique<PropInfo>(name)); }
    imaqkit::IPropInfo* getIPropInfo(const char* name) override {
        for (auto& prop : props_)
            if (std::strcmp(prop->getPropertyName(), name) == 0) return prop.get();
        return nullptr;
    }
    int getNumberProps() const override { return static_cast<int>(props_.size()); }
    void getPropNames(const char** names) const override {
        for (std::size_t i = 0; i < props_.size(); ++i) names[i] = props_[i]->getPropertyName();
    }
    bool addEnginePostSetListener(const char*, imaqkit::IEnginePropPostSetListener* listener) override {
        engineListeners_.emplace_back(listener);
        return true;
    }
    bool setCustomGetFcn(const char* name, imaqkit::IPropCustomGetFcn* getter) override {
        getters_[name].reset(getter);
        return true;
    }
    bool addPostSetListener(const char* name, imaqkit::IPropPostSetListener* listener) override {
        setters_.emplace_back(name, std::unique_ptr<imaqkit::IPropPostSetListener>(listener));
        return true;
    }

    std::vector<std::unique_ptr<imaqkit::IEnginePropPostSetListener>> engineListeners_;
    std::map<std::string, std::unique_ptr<imaqkit::IPropCustomGetFcn>> getters_;
    std::vector<std::pair<std::string, std::unique_ptr<imaqkit::IPropPostSetListener>>> setters_;

private:
    std::vector<std::unique_ptr<PropInfo>> props_;
};

// Wants no frames: the adaptor manager then reports nothing running, and the callback drops each one.
class Engine : public imaqkit::IEngine {
public:
    QVXTB_ENGINE_PLACEHOLDERS
    static void* operator new(std::size_t size) { return ::operator new(size); }
    static void operator delete(void* block) noexcept { ::operator delete(block); }
    imaqkit::IAdaptorFrame* makeFrame(int, int, int) override { return nullptr; }
    void receiveFrame(imaqkit::IAdaptorFrame*) override {}
    imaqkit::IPropContainer* getEnginePropContainer() override { return &engineProps; }
    imaqkit::IPropContainer* getAdaptorPropContainer() override { return &deviceProps; }
    PropContainer engineProps;
    PropContainer deviceProps;
};

struct Target {
    const char* device;
    const char* format;
};
const Target kTargets[] = {{"Roi", "Y800 (640x480)"},
                           {"Roi", "RGB32 (64x48)"},
                           {"Norms", "PAL_B:RGB24 (64x48)"},
                           {"Norms", "PAL_B:Y16 (32x24)"}};

qvxtb::Adaptor* theAdaptor = nullptr;
// The described properties of each target: name and type, so each value buffer has its type's size.
std::vector<std::vector<qvxtb::PropertyInfo>> theProperties;

// A value of the property's type from the input: any bit pattern of a double (NaN, infinities, the
// extremes), any 32-bit integer or enumeration id.
long setOrGet(PropContainer& props, const qvxtb::PropertyInfo& property, Bytes& in, bool set) {
    const bool isDouble = property.type == qvxtb::PropType::Double;
    if (property.type == qvxtb::PropType::String) return 0;
    const bool null = (in.byte() & 0x0F) == 0;
    auto number = std::make_unique<double>(isDouble ? in.value<double>() : 0.0);
    auto integer = std::make_unique<std::int32_t>(isDouble ? 0 : in.value<std::int32_t>());
    void* value = null       ? nullptr
                  : isDouble ? static_cast<void*>(number.get())
                             : static_cast<void*>(integer.get());
    imaqkit::IPropInfo* info = props.getIPropInfo(property.name.c_str());
    try {
        if (set) {
            for (auto& [name, listener] : props.setters_)
                if (name == property.name) listener->notify(info, value);
        } else {
            auto getter = props.getters_.find(property.name);
            if (getter != props.getters_.end()) getter->second->getValue(info, value);
        }
    } catch (long code) {
        return code;
    } catch (const std::out_of_range&) {
        return -1; // a negative position in a list: the host's error
    }
    return 0;
}

void drive(imaqkit::IAdaptor& adaptor, Engine& engine, const std::vector<qvxtb::PropertyInfo>& properties,
           Bytes& in) {
    for (int step = 0; step < 64 && !in.empty(); ++step) {
        switch (in.byte() % 6) {
        case 0: {
            const auto x = in.value<std::int32_t>(), y = in.value<std::int32_t>();
            const auto w = in.value<std::int32_t>(), h = in.value<std::int32_t>();
            try {
                adaptor.setROI(x, y, w, h);
            } catch (long) {
            }
            int rx = 0, ry = 0, rw = 0, rh = 0;
            try {
                adaptor.getROI(&rx, &ry, &rw, &rh);
            } catch (long) {
            }
            break;
        }
        case 1:
        case 2: {
            if (properties.empty()) break;
            const qvxtb::PropertyInfo& property = properties[in.byte() % properties.size()];
            setOrGet(engine.deviceProps, property, in, in.byte() & 1);
            break;
        }
        case 3:
            adaptor.openDevice();
            adaptor.startCapture();
            break;
        case 4:
            adaptor.stopCapture();
            break;
        default:
            adaptor.getMaxWidth();
            adaptor.getMaxHeight();
            adaptor.getFrameType();
            break;
        }
    }
    adaptor.stopCapture();
    adaptor.closeDevice();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qvxtb::setPrintWarnings(false);
    qvxtb::setRecordCalls(false);
    qvxplatform::setMessageBoxHook([](const qvxplatform::MessageBoxCall&) { return IDOK; });
    qvxplatform::setDebugOutputHook([](const char*) {});
    qvxsim::loadCameras(kCameras);
    theAdaptor = new qvxtb::Adaptor(QVX_ADAPTOR_PATH);
    for (const Target& target : kTargets) {
        std::vector<qvxtb::PropertyInfo> properties =
            theAdaptor->describe(target.device, target.format).properties;
        // A name the camera does not have reaches the adaptor's listeners too.
        qvxtb::PropertyInfo missing;
        missing.name = "Missing";
        properties.push_back(missing);
        theProperties.push_back(std::move(properties));
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    const std::size_t pick = in.byte() % (sizeof kTargets / sizeof kTargets[0]);
    qvxsim::loadCameras(kCameras); // fresh values for every input

    const qvxfuzz::NothingLeft before("fuzz_adaptor");
    {
        auto engine = std::make_unique<Engine>();
        for (const qvxtb::PropertyInfo& property : theProperties[pick])
            engine->deviceProps.add(property.name);
        qvxtest::NamedDevice device(kTargets[pick].device);
        imaqkit::IAdaptor* adaptor = nullptr;
        try {
            adaptor = theAdaptor->createInstance()(engine.get(), &device, kTargets[pick].format);
        } catch (long) {
        }
        check(adaptor != nullptr, "no adaptor object for a format discovery reports");
        drive(*adaptor, *engine, theProperties[pick], in);
        delete adaptor;
    }

    before.verify();
    return 0;
}
