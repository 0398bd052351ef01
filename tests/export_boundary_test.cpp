// What may leave the exports: memory exhaustion and nothing else, and a failed construction leaves the
// host nothing that points at the freed adaptor.
#include <functional>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "host/hardware_info.h"
#include "host/prop_factory.h"
#include "host/source_info.h"
#include "sim/toolbox/placeholder.h"
#include "tests/support/describe_fixture.h"
#include "tests/support/instance_fixture.h"
#include "tests/support/mock_description.h"
#include "tests/support/named_device.h"

namespace {

using ::testing::_;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Return;
using ::testing::StrEq;
using ::testing::Throw;

constexpr const char* kNormCamera = R"({"name": "Norm Cam", "serial": 7, "inputChannels": ["In 1", "In 2"],
    "norms": [{"name": "PAL_B", "formats": [{"colorformat": "RGB24", "width": 640, "height": 480}]}]})";

// ---- Construction ------------------------------------------------------------------------------

class ConstructionFailure : public qvxtest::InstanceFixture {};

TEST_F(ConstructionFailure, MemoryRunningOutWhileMakingListenersLeavesNoneWithTheHost) {
    loadCameras(kNormCamera);
    // The adaptor is allocation 1; each later one (source listener, then a getter and a setter per
    // device property) fails in turn.
    for (long allowed = 1; allowed <= 5; ++allowed) {
        SCOPED_TRACE(allowed);
        qvxtb::failImaqmallocAfter(allowed);
        EXPECT_THROW(createDirect("Norm Cam", "PAL_B:RGB24 (640x480)", {"Gain", "Exposure"}), std::bad_alloc);
        qvxtb::failImaqmallocAfter(-1);
        // Anything registered here would point at the adaptor the failure has freed.
        EXPECT_THAT(engine().engineProps.engineListeners_, IsEmpty());
        EXPECT_THAT(engine().deviceProps.getters_, IsEmpty());
        EXPECT_THAT(engine().deviceProps.setters_, IsEmpty());
        deleteDirect();
    }
}

TEST_F(ConstructionFailure, AnErrorOtherThanMemoryGivesNullAndUndoesEverything) {
    loadCameras(kNormCamera);
    const long before = qvxtb::liveImaqAllocations();
    imaqkit::IAdaptor* adaptor = nullptr;
    EXPECT_NO_THROW(
        adaptor = createDirect("Norm Cam", "PAL_B:RGB24 (640x480)", {"Gain"},
                               [](qvxtest::FakeEngine& engine) { engine.deviceProps.failNames = true; }));
    EXPECT_EQ(adaptor, nullptr);
    EXPECT_THAT(engine().engineProps.engineListeners_, IsEmpty());
    deleteDirect();
    EXPECT_EQ(qvxtb::liveImaqAllocations(), before);
    EXPECT_EQ(qvxsim::counters().openDevices, 0);
    EXPECT_EQ(qvxsim::counters().liveGrabbers, 0);
}

// ---- Description and discovery -----------------------------------------------------------------

class DescriptionFailure : public qvxtest::DescribeFixture {
protected:
    // Describes "Norm Cam" with a factory whose enumerated creation fails with `error`.
    template <class Error> void describeWithFailingEnum(const Error& error) {
        loadCamera(kNormCamera);
        qvxtest::NamedDevice device("Norm Cam");
        ::testing::NiceMock<qvxtest::MockPropFactory> factory;
        qvxtest::MockSourceInfo sources;
        imaqkit::ITriggerInfo triggers;
        static int handle = 0;
        ON_CALL(factory, createIntProperty(_, _, _)).WillByDefault(Return(&handle));
        EXPECT_CALL(factory, createEnumProperty(StrEq("FrameRate"), _, _)).WillOnce(Return(&handle));
        EXPECT_CALL(factory, createEnumProperty(StrEq("InputChannel"), _, _)).WillOnce(Throw(error));
        EXPECT_CALL(sources, addAdaptorSource(StrEq("Norm Cam"), 1));
        qvxtb::clearRecords();
        EXPECT_NO_THROW(
            adaptor().getDeviceAttributes()(&device, "PAL_B:RGB24 (640x480)", &factory, &sources, &triggers));
        EXPECT_EQ(grabberCalls("closeDev").size(), 1u);
        expectNothingLeftAlive();
    }
};

TEST_F(DescriptionFailure, AnyStandardErrorWarnsClosesTheDeviceAndDeclaresTheSource) {
    describeWithFailingEnum(std::length_error("vector"));
    EXPECT_THAT(warningTexts(), ElementsAre("Unable to read the camera's properties (vector)."));
}

TEST_F(DescriptionFailure, MemoryRunningOutIsHandledTheSameWay) {
    describeWithFailingEnum(std::bad_alloc());
    EXPECT_THAT(warningTexts(), ElementsAre("Unable to read the camera's properties (std::bad_alloc)."));
}

// A hardware list of our own whose format objects fail for one device with the given error.
class FailingFormats : public imaqkit::IHardwareInfo {
public:
    class Device : public imaqkit::IDeviceInfo {
    public:
        QVXTB_PLACEHOLDER("deviceInfo", 3)
        Device(FailingFormats& owner, std::string name) : owner_(owner), name_(std::move(name)) {}
        imaqkit::IDeviceFormat* createDeviceFormat(int, const char*) override {
            if (name_ == owner_.failing) owner_.raise();
            return nullptr;
        }
        void addDeviceFormat(imaqkit::IDeviceFormat*, bool) override {}
        const char* getDeviceName() const override { return name_.c_str(); }
        void setDeviceFileSupport(bool) override {}
        const std::string& name() const { return name_; }

    private:
        FailingFormats& owner_;
        std::string name_;
    };

    imaqkit::IDeviceInfo* createDeviceInfo(int, const char* name) override {
        devices.push_back(std::make_unique<Device>(*this, name));
        return devices.back().get();
    }
    void addDevice(imaqkit::IDeviceInfo* device) override {
        added.push_back(static_cast<Device*>(device)->name());
    }

    std::string failing;
    std::function<void()> raise;
    std::vector<std::unique_ptr<Device>> devices;
    std::vector<std::string> added;
};

constexpr const char* kTwoCameras = R"({"devices": [
    {"name": "Cam A", "norms": [{"name": "PAL_B", "formats": [{"colorformat": "Y800", "width": 64, "height": 48}]}]},
    {"name": "Cam B", "descriptors": [{"colorformat": "Y800", "min": [64, 48], "max": [64, 48], "step": [1, 1]}]}]})";

TEST_F(DescriptionFailure, DiscoveryLeavesOutADeviceWhoseListingFailsAndGoesOn) {
    loadCameras(kTwoCameras);
    FailingFormats hardware;
    hardware.failing = "Cam A";
    hardware.raise = [] { throw std::runtime_error("format"); };
    qvxtb::clearRecords();
    EXPECT_NO_THROW(adaptor().getAvailHW()(&hardware));
    EXPECT_THAT(hardware.added, ElementsAre("Cam B"));
    EXPECT_THAT(warningTexts(), ElementsAre("Unable to load formats of: \"Cam A\"."));
    expectNothingLeftAlive();
}

TEST_F(DescriptionFailure, DiscoveryLetsMemoryExhaustionPassWithNothingLeftOpen) {
    loadCameras(kTwoCameras);
    FailingFormats hardware;
    hardware.failing = "Cam B";
    hardware.raise = [] { throw std::bad_alloc(); };
    EXPECT_THROW(adaptor().getAvailHW()(&hardware), std::bad_alloc);
    EXPECT_THAT(hardware.added, ElementsAre("Cam A"));
    expectNothingLeftAlive();
}

} // namespace
