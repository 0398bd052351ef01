// Shared set-up of the adaptor-object tests: fresh stand-ins, captured boxes, leak checks and host fakes.
#pragma once

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/engine.h"
#include "host/frame.h"
#include "host/hardware_info.h"
#include "host/listeners.h"
#include "host/prop_container.h"
#include "platform/testing.h"
#include "sim/cameras/sim_api.h"
#include "sim/toolbox/placeholder.h"
#include "sim/toolbox/toolbox.h"
#include "tests/support/adaptor_path.h"
#include "tests/support/host_records.h"

namespace qvxtest {

// A device-info object of our own, for creating adaptors without the toolbox's discovery.
class FakeDeviceInfo : public imaqkit::IDeviceInfo {
public:
    QVXTB_PLACEHOLDER("deviceInfo", 3)
    explicit FakeDeviceInfo(std::string name) : name_(std::move(name)) {}
    imaqkit::IDeviceFormat* createDeviceFormat(int, const char*) override { return nullptr; }
    void addDeviceFormat(imaqkit::IDeviceFormat*, bool) override {}
    const char* getDeviceName() const override {
        ++nameRequests_;
        return name_.c_str();
    }
    void setDeviceFileSupport(bool) override {}
    int nameRequests() const { return nameRequests_; }

private:
    std::string name_;
    mutable int nameRequests_ = 0;
};

// Declares a property the way the catalogue declares the test cameras' properties of that name: the
// absolute value "Exposure" a double, the switches, buttons, maps and the grabber's lists enumerated,
// everything else an integer.
class FakePropInfo : public imaqkit::IPropInfo {
public:
    QVXTB_PROP_INFO_PLACEHOLDERS
    FakePropInfo(std::string name, bool deviceSpecific)
        : name_(std::move(name)), deviceSpecific_(deviceSpecific) {}
    const char* getPropertyName() const override { return name_.c_str(); }
    bool isPropertyDeviceSpecific() const override { return deviceSpecific_; }
    int getPropertyStorageType() const override {
        return name_ == "Exposure" ? imaqkit::kStorageDouble : imaqkit::kStorageInteger;
    }
    bool isPropertyEnumerated() const override {
        for (const char* enumerated : {"Mode", "StrobeMode", "TriggerPolarity", "TriggerSoftware",
                                       "TriggerSoftwareTrigger", "GainAuto", "InputChannel", "FrameRate"})
            if (name_ == enumerated) return true;
        return false;
    }

private:
    std::string name_;
    bool deviceSpecific_;
};

// A property container that owns what is registered with it, as the host does.
class FakePropContainer : public imaqkit::IPropContainer {
public:
    QVXTB_PROP_CONTAINER_PLACEHOLDERS
    void addProperty(const std::string& name, bool deviceSpecific) {
        props_.push_back(std::make_unique<FakePropInfo>(name, deviceSpecific));
    }
    imaqkit::IPropInfo* getIPropInfo(const char* name) override {
        for (auto& prop : props_)
            if (std::strcmp(prop->getPropertyName(), name) == 0) return prop.get();
        return nullptr;
    }
    int getNumberProps() const override { return static_cast<int>(props_.size()); }
    void getPropNames(const char** names) const override {
        if (failNames) throw std::length_error("property names");
        for (std::size_t i = 0; i < props_.size(); ++i) names[i] = props_[i]->getPropertyName();
    }
    bool addEnginePostSetListener(const char* name, imaqkit::IEnginePropPostSetListener* listener) override {
        engineListeners_.emplace_back(name, listener);
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

    std::vector<std::pair<std::string, std::unique_ptr<imaqkit::IEnginePropPostSetListener>>>
        engineListeners_;
    std::map<std::string, std::unique_ptr<imaqkit::IPropCustomGetFcn>> getters_;
    std::vector<std::pair<std::string, std::unique_ptr<imaqkit::IPropPostSetListener>>> setters_;
    // Makes the name read throw an error other than memory exhaustion.
    bool failNames = false;

private:
    std::vector<std::unique_ptr<FakePropInfo>> props_;
};

// An engine of our own: the toolbox's adaptor manager then reports nothing open and nothing
// running, so no frame is ever wanted.
class FakeEngine : public imaqkit::IEngine {
public:
    QVXTB_ENGINE_PLACEHOLDERS
    // Ordinary memory: the fault injected into imaqmalloc is meant for the adaptor alone.
    static void* operator new(std::size_t size) { return ::operator new(size); }
    static void operator delete(void* block) noexcept { ::operator delete(block); }

    imaqkit::IAdaptorFrame* makeFrame(int, int, int) override {
        ++framesMade;
        return nullptr;
    }
    void receiveFrame(imaqkit::IAdaptorFrame*) override { ++framesReceived; }
    imaqkit::IPropContainer* getEnginePropContainer() override { return &engineProps; }
    imaqkit::IPropContainer* getAdaptorPropContainer() override { return &deviceProps; }

    FakePropContainer engineProps;
    FakePropContainer deviceProps;
    int framesMade = 0;
    int framesReceived = 0;
};

// Runs the real adaptor, loaded by path, against cameras the test describes in JSON.
class InstanceFixture : public ::testing::Test, protected HostRecords {
protected:
    void SetUp() override {
        qvxsim::reset();
        qvxsim::recordCalls(true);
        qvxtb::clearRecords();
        qvxtb::clearContractViolations();
        qvxtb::refuseListenersAfter(-1);
        qvxtb::setPrintWarnings(false);
        qvxplatform::setMessageBoxHook([this](const qvxplatform::MessageBoxCall& call) {
            boxes_.push_back(call);
            return IDOK;
        });
        qvxplatform::setDebugOutputHook([](const char*) {});
        coTaskBefore_ = qvxplatform::liveCoTaskMemBlocks();
        bstrsBefore_ = qvxplatform::liveBstrs();
        imaqBefore_ = qvxtb::liveImaqAllocations();
    }

    void TearDown() override {
        video_.reset();
        deleteDirect();
        EXPECT_EQ(qvxtb::liveImaqAllocations(), imaqBefore_) << "imaqmalloc blocks left behind";
        expectNothingLeftAlive();
        EXPECT_EQ(qvxtb::contractViolations(), std::vector<std::string>()) << "host contract breached";
        adaptor_.reset();
        qvxtb::failImaqmallocAfter(-1);
        qvxplatform::setMessageBoxHook(nullptr);
        qvxplatform::setDebugOutputHook(nullptr);
        qvxsim::reset();
        qvxtb::clearRecords();
    }

    void loadCameras(const std::string& devicesJson) {
        qvxsim::loadCameras(R"({"devices": [)" + devicesJson + "]}");
    }

    qvxtb::Adaptor& adaptor() {
        if (!adaptor_) adaptor_ = std::make_unique<qvxtb::Adaptor>(qvxtest::adaptorPath());
        return *adaptor_;
    }

    // A video input as MATLAB's videoinput makes it; the fixture deletes it before its checks.
    qvxtb::VideoInput& open(const std::string& device, const std::string& format) {
        video_ = adaptor().videoinput(device, format);
        return *video_;
    }
    void closeVideo() { video_.reset(); }

    // An adaptor created straight through the export with our own engine and device-info object,
    // for format names that discovery would never report.
    // `deviceProps` are declared device-specific in our engine's device property container.
    // `prepare` may change our engine before the adaptor sees it.
    imaqkit::IAdaptor* createDirect(const std::string& device, const char* format,
                                    const std::vector<std::string>& deviceProps = {},
                                    const std::function<void(FakeEngine&)>& prepare = nullptr) {
        deleteDirect();
        deviceInfo_ = std::make_unique<FakeDeviceInfo>(device);
        engine_ = std::make_unique<FakeEngine>();
        for (const std::string& name : deviceProps) engine_->deviceProps.addProperty(name, true);
        engine_->deviceProps.addProperty("Tag", false);
        if (prepare) prepare(*engine_);
        direct_ = adaptor().createInstance()(engine_.get(), deviceInfo_.get(), format);
        return direct_;
    }
    void deleteDirect() {
        delete direct_;
        direct_ = nullptr;
        engine_.reset();
    }
    FakeEngine& engine() { return *engine_; }

    static std::vector<qvxtb::CallRecord> recordsOf(const std::string& object, const std::string& operation) {
        std::vector<qvxtb::CallRecord> out;
        for (const auto& call : qvxtb::calls())
            if (call.object == object && call.operation == operation) out.push_back(call);
        return out;
    }
    // The stand-in's grabber calls whose name is one of `names`, in order.
    static std::vector<std::string> grabberCallsNamed(const std::vector<std::string>& names) {
        std::vector<std::string> out;
        for (const auto& call : qvxsim::callLog()) {
            const std::string name = call.substr(0, call.find('('));
            if (std::find(names.begin(), names.end(), name) != names.end()) out.push_back(call);
        }
        return out;
    }

    const std::vector<qvxplatform::MessageBoxCall>& boxes() const { return boxes_; }

    void expectNothingLeftAlive() const {
        EXPECT_EQ(qvxplatform::liveCoTaskMemBlocks(), coTaskBefore_) << "CoTaskMem blocks left behind";
        EXPECT_EQ(qvxplatform::liveBstrs(), bstrsBefore_) << "BSTRs left behind";
        const qvxsim::Counters counters = qvxsim::counters();
        EXPECT_EQ(counters.lockedBuffers, 0);
        EXPECT_EQ(counters.buffersInUse, 0);
        EXPECT_EQ(counters.liveComObjects, 0);
        EXPECT_EQ(counters.liveGrabbers, 0);
        EXPECT_EQ(counters.openDevices, 0);
        EXPECT_EQ(counters.liveSinks, 0);
        EXPECT_EQ(counters.liveListHolders, 0);
        EXPECT_EQ(counters.liveDescriptors, 0);
        EXPECT_EQ(counters.contractViolations, 0) << "placeholder slots of the library called";
    }

private:
    std::unique_ptr<qvxtb::Adaptor> adaptor_;
    std::unique_ptr<qvxtb::VideoInput> video_;
    std::unique_ptr<FakeDeviceInfo> deviceInfo_;
    std::unique_ptr<FakeEngine> engine_;
    imaqkit::IAdaptor* direct_ = nullptr;
    std::vector<qvxplatform::MessageBoxCall> boxes_;
    long coTaskBefore_ = 0;
    long bstrsBefore_ = 0;
    long imaqBefore_ = 0;
};

// The partial-scan offset item of a region-of-interest camera, with all three controls.
inline std::string partialScanItem(const std::string& extraElementFields = "") {
    return R"({"name": "Partial Scan Offset", "id": "partialScanOffset", "elements": [
        {"name": "Auto-center", "id": "autoCenter", "switch": {"value": true})" +
           extraElementFields + R"(},
        {"name": "X Offset", "id": "offsetX", "range": {"min": -4096, "max": 4096, "default": 0, "value": 0}},
        {"name": "Y Offset", "id": "offsetY", "range": {"min": -4096, "max": 4096, "default": 0, "value": 0}}]})";
}

} // namespace qvxtest
