// A small adaptor of the tests' own: it exercises the toolbox stand-in without the product or the cameras.
#include <atomic>
#include <cstdint>
#include <cstring>
#include <map>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "host/adaptor.h"
#include "host/engine.h"
#include "host/frame.h"
#include "host/hardware_info.h"
#include "host/listeners.h"
#include "host/prop_factory.h"
#include "host/source_info.h"

#if defined(_WIN32)
#define TEST_EXPORT extern "C" __declspec(dllexport)
#else
#define TEST_EXPORT extern "C" __attribute__((visibility("default")))
#endif

using namespace imaqkit;

namespace {

struct FormatSpec {
    int frameType;
    int width;
    int height;
};

FormatSpec specOf(const std::string& format) {
    if (format.rfind("RGB24", 0) == 0) return {kFrameBgr24, 8, 6};
    if (format.rfind("RGB32", 0) == 0) return {kFrameBgrx32, 8, 6};
    if (format.rfind("Y16", 0) == 0) return {kFrameMono16, 4, 4};
    return {kFrameMono8, 8, 6};
}

class TestAdaptor;

class Getter final : public IPropCustomGetFcn {
public:
    explicit Getter(TestAdaptor* adaptor) : adaptor_(adaptor) {}
    void getValue(IPropInfo* property, void* value) override;

private:
    TestAdaptor* adaptor_;
};

class Setter final : public IPropPostSetListener {
public:
    explicit Setter(TestAdaptor* adaptor) : adaptor_(adaptor) {}
    void notify(IPropInfo* property, void* value) override;

private:
    TestAdaptor* adaptor_;
};

class SourceListener final : public IEnginePropPostSetListener {
public:
    explicit SourceListener(IAdaptorManager* manager) : manager_(manager) {}
    void notify(IPropInfo*, void* value) override {
        if (value == nullptr || !manager_->isOpen() || !manager_->isAcquisitionActive()) return;
        manager_->stopAcquisition();
        manager_->startAcquisition();
    }

private:
    IAdaptorManager* manager_;
};

// Delivers numbered frames on a thread of its own, the way a grabber's delivery thread would.
class TestAdaptor final : public IAdaptor {
public:
    TestAdaptor(IEngine* engine, const std::string& format)
        : IAdaptor(engine), spec_(specOf(format)), format_(format) {
        // A listener the host refuses is still ours.
        auto* source = new SourceListener(getAdaptorManager());
        if (!engine->getEnginePropContainer()->addEnginePostSetListener("SelectedSourceName", source))
            delete source;
        IPropContainer* container = engine->getAdaptorPropContainer();
        std::vector<const char*> names(static_cast<std::size_t>(container->getNumberProps()));
        container->getPropNames(names.data());
        for (const char* name : names) {
            if (!container->getIPropInfo(name)->isPropertyDeviceSpecific()) continue;
            auto* getter = new Getter(this);
            if (!container->setCustomGetFcn(name, getter)) delete getter;
            auto* setter = new Setter(this);
            if (!container->addPostSetListener(name, setter)) delete setter;
        }
        // A listener for a name the host does not hold is still the host's to delete.
        auto* orphan = new Setter(this);
        if (!container->addPostSetListener("NoSuchProperty", orphan)) delete orphan;
    }
    ~TestAdaptor() override { stopCapture(); }

    int getMaxWidth() const override { return spec_.width; }
    int getMaxHeight() const override { return spec_.height; }
    int getFrameType() const override { return spec_.frameType; }
    int getNumberOfBands() const override { return 1; }
    const char* getDriverDescription() const override { return "test adaptor"; }
    const char* getDriverVersion() const override { return "1"; }
    bool openDevice() override { return true; }
    bool closeDevice() override { return true; }
    bool startCapture() override {
        if (getAdaptorManager()->isAcquisitionActive()) return false;
        if (format_.find("Broken") != std::string::npos) return false;
        if (format_.find("Silent") != std::string::npos) return true;
        stopping_ = false;
        thread_ = std::thread([this] { deliver(); });
        return true;
    }
    bool stopCapture() override {
        stopping_ = true;
        if (thread_.joinable()) thread_.join();
        return true;
    }

    void get(const std::string& name, void* value) {
        if (name == "Faulty") throw static_cast<long>(0x80004005L);
        if (name == "SerialNo") {
            *static_cast<std::int32_t*>(value) = 4242;
            return;
        }
        if (name == "Mode" && forceBadId_) {
            *static_cast<std::int32_t*>(value) = 7;
            return;
        }
        auto it = values_.find(name);
        if (it != values_.end()) std::memcpy(value, it->second.data(), valueSize(name));
    }
    void set(const std::string& name, void* value) {
        if (name == "Faulty") throw static_cast<long>(0x80070057L);
        if (name == "Strange") throw std::runtime_error("strange failure");
        std::string stored(8, '\0');
        std::memcpy(stored.data(), value, valueSize(name));
        values_[name] = stored;
        if (name == "Mode")
            forceBadId_ = *static_cast<std::int32_t*>(value) == 0 && values_.count("BadIds") != 0;
        // The host's buffer is a copy; writing into it must not change what the host stored.
        std::memset(value, 0, valueSize(name));
    }
    // The host's value buffer holds the declared type: doubles are the last kind declared for these.
    static std::size_t valueSize(const std::string& name) {
        return name == "Exposure" || name == "Level" ? sizeof(double) : sizeof(std::int32_t);
    }

private:
    void deliver() {
        std::vector<std::uint8_t> buffer;
        std::uint32_t number = 0;
        while (!stopping_) {
            IAdaptorManager* manager = getAdaptorManager();
            // Every frame is counted; only those the host asks for are made and sent.
            if (manager->isAcquisitionNotComplete() && !manager->isSendFrame()) {
                manager->incrementFrameCount();
                ++number;
            } else if (manager->isAcquisitionNotComplete()) {
                int x = 0, y = 0, w = 0, h = 0;
                getROI(&x, &y, &w, &h);
                IAdaptorFrame* frame = manager->getEngine()->makeFrame(spec_.frameType, w, h);
                if (frame != nullptr) {
                    const int bpp = spec_.frameType == kFrameMono8    ? 1
                                    : spec_.frameType == kFrameMono16 ? 2
                                    : spec_.frameType == kFrameBgr24  ? 3
                                                                      : 4;
                    buffer.assign(static_cast<std::size_t>(spec_.width * spec_.height * bpp),
                                  static_cast<std::uint8_t>(number));
                    frame->setImage(buffer.data(), spec_.width, spec_.height, x, y);
                    frame->setTime(getCurrentTime());
                    manager->getEngine()->receiveFrame(frame);
                    manager->incrementFrameCount();
                    ++number;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    FormatSpec spec_;
    std::string format_;
    std::thread thread_;
    std::atomic<bool> stopping_{true};
    std::map<std::string, std::string> values_;
    bool forceBadId_ = false;
};

void Getter::getValue(IPropInfo* property, void* value) { adaptor_->get(property->getPropertyName(), value); }
void Setter::notify(IPropInfo* property, void* value) { adaptor_->set(property->getPropertyName(), value); }

void publish(IPropFactory* factory, PropHandle handle, const char* mode) {
    if (handle == nullptr) return;
    factory->setPropReadOnly(handle, mode);
    factory->addProperty(handle);
}

} // namespace

TEST_EXPORT void initializeAdaptor() {}
TEST_EXPORT void uninitializeAdaptor() {}

TEST_EXPORT void getAvailHW(IHardwareInfo* hardware) {
    IDeviceInfo* cam = hardware->createDeviceInfo(1, "Test Cam");
    cam->addDeviceFormat(cam->createDeviceFormat(1, "Y800 (8x6)"), false);
    cam->addDeviceFormat(cam->createDeviceFormat(2, "RGB24 (8x6)"), false);
    cam->addDeviceFormat(cam->createDeviceFormat(3, "Silent (8x6)"), false);
    hardware->addDevice(cam);
    hardware->createDeviceInfo(2, "Left Out");
    IDeviceInfo* spare = hardware->createDeviceInfo(3, "Spare Cam");
    spare->addDeviceFormat(spare->createDeviceFormat(0, "Broken (4x4)"), false);
    spare->addDeviceFormat(spare->createDeviceFormat(1, "Y16 (4x4)"), false);
    spare->addDeviceFormat(spare->createDeviceFormat(2, "RGB32 (8x6)"), false);
    hardware->addDevice(spare);
    adaptorWarn("test:literal", "%s", "100% of %d stays literal");
    adaptorWarn("test:formatted", "%d frames of %s", 5, "Spare Cam");
}

TEST_EXPORT void getDeviceAttributes(const IDeviceInfo* device, const char*, IPropFactory* factory,
                                     IVideoSourceInfo* sources, ITriggerInfo*) {
    publish(factory, factory->createIntProperty("SerialNo", 0, 1), "always");
    publish(factory, factory->createIntRangeProperty("Gain", 0, 100, 10, 1), "never");
    publish(factory, factory->createDoubleProperty("Exposure", 0.001, 1.0, 0.1), "never");
    PropHandle mode = factory->createEnumProperty("Mode", "On", 1);
    if (mode != nullptr) factory->addEnumValue(mode, "Off", 0);
    publish(factory, mode, "never");
    PropHandle rate = factory->createEnumProperty("Rate", "30.00", 0);
    if (rate != nullptr) {
        factory->addEnumValue(rate, "15.00", 1);
        factory->addEnumValue(rate, " 7.50", 2);
    }
    publish(factory, rate, "whileRunning");
    PropHandle choice = factory->createEnumProperty("Choice", "c", 2);
    if (choice != nullptr) {
        for (int id = 0; id < 3; ++id)
            factory->addEnumValue(choice, std::string(1, static_cast<char>('a' + id)).c_str(), id);
    }
    publish(factory, choice, "never");
    factory->createIntRangeProperty("Unpublished", 0, 1, 0, 1);
    publish(factory, factory->createIntRangeProperty("Level", 0, 5, 1, 1), "never");
    publish(factory, factory->createDoubleProperty("Level", -1.0, 1.0, 0.5), "never");
    publish(factory, factory->createIntRangeProperty("Faulty", 0, 10, 0, 1), "never");
    publish(factory, factory->createIntRangeProperty("Strange", 0, 10, 0, 1), "never");
    publish(factory, factory->createIntRangeProperty("BadIds", 0, 1, 0, 1), "never");
    sources->addAdaptorSource(device->getDeviceName(), 1);
    sources->addAdaptorSource("Second input", 2);
}

#if !defined(QVX_TEST_ADAPTOR_INCOMPLETE)
TEST_EXPORT IAdaptor* createInstance(IEngine* engine, const IDeviceInfo*, const char* format) {
    return new (std::nothrow) TestAdaptor(engine, format);
}
#endif
