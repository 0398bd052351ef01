// The adaptor object's construction, fixed answers, acquisition control and destruction.
#include <new>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "host/frame.h"
#include "tests/support/instance_fixture.h"

namespace qvxtest {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kNormCamera = R"({"name": "Norm Cam", "norms": [
    {"name": "PAL_B", "formats": [{"colorformat": "RGB24", "width": 640, "height": 480},
                                  {"colorformat": "Y800", "width": 320, "height": 240, "text": "F:G"}]},
    {"name": "NTSC_M", "formats": [{"colorformat": "Y800", "width": 160, "height": 120}]}]})";

constexpr const char* kDescriptorCamera = R"({"name": "Desc Cam",
    "descriptors": [{"colorformat": "Y800", "min": [16, 4], "max": [64, 48], "step": [4, 2], "roi": false}]})";

constexpr const char* kNormBox = "Error: failed to set video norm!\n Please use \"norm:format\" string.";
constexpr const char* kFormatBox = "Error: failed to set video format!";

class InstanceCreation : public InstanceFixture {};

// ---- Norm and format from the format name --------------------------------------------------------

TEST_F(InstanceCreation, NormAndFormatAreSplitAtTheFirstColonOnly) {
    loadCameras(kNormCamera);
    qvxsim::clearCallLog();
    imaqkit::IAdaptor* adaptor = createDirect("Norm Cam", "NTSC_M:Y800 (160x120)");
    ASSERT_NE(adaptor, nullptr);
    EXPECT_THAT(grabberCallsNamed({"openDev", "setVideoNorm", "setVideoFormat"}),
                ElementsAre("openDev(Norm Cam)", "setVideoNorm(NTSC_M)", "setVideoFormat(Y800 (160x120))"));
    EXPECT_EQ(adaptor->getMaxWidth(), 160);
    EXPECT_EQ(adaptor->getMaxHeight(), 120);
    EXPECT_THAT(boxes(), IsEmpty());

    qvxsim::clearCallLog();
    adaptor = createDirect("Norm Cam", "PAL_B:F:G");
    EXPECT_THAT(grabberCallsNamed({"setVideoNorm", "setVideoFormat"}),
                ElementsAre("setVideoNorm(PAL_B)", "setVideoFormat(F:G)"));
    EXPECT_EQ(adaptor->getMaxWidth(), 320);
    EXPECT_EQ(adaptor->getMaxHeight(), 240);
    EXPECT_THAT(boxes(), IsEmpty());
}

TEST_F(InstanceCreation, NameWithoutColonIsTriedAsNormThenStillAsFormat) {
    loadCameras(kNormCamera);
    qvxsim::clearCallLog();
    imaqkit::IAdaptor* adaptor = createDirect("Norm Cam", "RGB24 (640x480)");
    EXPECT_THAT(grabberCallsNamed({"setVideoNorm", "setVideoFormat"}),
                ElementsAre("setVideoNorm(RGB24 (640x480))", "setVideoFormat(RGB24 (640x480))"));
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, kNormBox);
    EXPECT_EQ(boxes()[0].caption, "Norm Cam");
    EXPECT_EQ(boxes()[0].style, MB_ICONERROR);
    // The format was still applied.
    EXPECT_EQ(adaptor->getMaxWidth(), 640);
    EXPECT_EQ(adaptor->getFrameType(), imaqkit::kFrameBgr24);
}

TEST_F(InstanceCreation, DeviceWithoutNormsTakesTheWholeNameAsFormat) {
    loadCameras(kDescriptorCamera);
    qvxsim::clearCallLog();
    imaqkit::IAdaptor* adaptor = createDirect("Desc Cam", "PAL_B:Y800 (64x48)");
    EXPECT_THAT(grabberCalls("setVideoNorm"), IsEmpty());
    EXPECT_THAT(grabberCalls("setVideoFormat"), ElementsAre("setVideoFormat(PAL_B:Y800 (64x48))"));
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, kFormatBox);
    EXPECT_EQ(boxes()[0].caption, "Desc Cam");
    EXPECT_EQ(boxes()[0].style, MB_ICONERROR);
    // Size and sink follow the format the device already had.
    const qvxsim::DeviceState state = qvxsim::deviceState("Desc Cam");
    EXPECT_EQ(adaptor->getMaxWidth(), state.width);
    EXPECT_EQ(adaptor->getMaxHeight(), state.height);
    EXPECT_EQ(adaptor->getFrameType(), imaqkit::kFrameMono8);
}

TEST_F(InstanceCreation, EmptyFormatNameGivesAnEmptyNormAndFormatAndBothBoxes) {
    loadCameras(kNormCamera);
    qvxsim::clearCallLog();
    ASSERT_NE(createDirect("Norm Cam", ""), nullptr);
    EXPECT_THAT(grabberCallsNamed({"setVideoNorm", "setVideoFormat"}),
                ElementsAre("setVideoNorm()", "setVideoFormat()"));
    ASSERT_EQ(boxes().size(), 2u);
    EXPECT_EQ(boxes()[0].text, kNormBox);
    EXPECT_EQ(boxes()[1].text, kFormatBox);
    EXPECT_EQ(boxes()[1].caption, "Norm Cam");
}

TEST_F(InstanceCreation, RefusedFormatLeavesTheDevicesFormatInCharge) {
    loadCameras(R"({"name": "Picky Cam", "norms": [{"name": "PAL_B", "formats": [
        {"colorformat": "Y16", "width": 80, "height": 60},
        {"colorformat": "RGB24", "width": 640, "height": 480, "refuse": true}]}]})");
    imaqkit::IAdaptor* adaptor = createDirect("Picky Cam", "PAL_B:RGB24 (640x480)");
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, kFormatBox);
    EXPECT_EQ(adaptor->getMaxWidth(), 80);
    EXPECT_EQ(adaptor->getMaxHeight(), 60);
    EXPECT_EQ(adaptor->getFrameType(), imaqkit::kFrameMono16);
}

// ---- Fixed answers ----------------------------------------------------------------------------------

TEST_F(InstanceCreation, FixedAnswersWhateverTheFormat) {
    loadCameras(kNormCamera);
    qvxtb::VideoInput& video = open("Norm Cam", "NTSC_M:Y800 (160x120)");
    imaqkit::IAdaptor* adaptor = video.adaptor();
    ASSERT_NE(adaptor, nullptr);
    EXPECT_EQ(adaptor->getNumberOfBands(), 3); // monochrome included
    EXPECT_EQ(adaptor->getFrameType(), imaqkit::kFrameMono8);
    EXPECT_STREQ(adaptor->getDriverDescription(), "Qovex Plugin for Matlab");
    EXPECT_STREQ(adaptor->getDriverVersion(), "3.3.0");
    EXPECT_TRUE(adaptor->openDevice());
}

TEST_F(InstanceCreation, TheFrameFilterIsLoadedButNeverAttached) {
    loadCameras(kNormCamera);
    qvxsim::clearCallLog();
    createDirect("Norm Cam", "PAL_B:RGB24 (640x480)");
    EXPECT_THAT(grabberCalls("createFilter"), ElementsAre("createFilter(Rotate Flip,)"));
    // Released with the adaptor: the fixture's teardown finds no live COM object.
}

// ---- A device that does not open --------------------------------------------------------------------

TEST_F(InstanceCreation, DeviceThatDoesNotOpenStillGivesAnObjectThatReadsZero) {
    loadCameras(R"({"name": "Dead Cam", "opens": false})");
    qvxsim::clearCallLog();
    imaqkit::IAdaptor* adaptor = createDirect("Dead Cam", "PAL_B:RGB24 (640x480)");
    ASSERT_NE(adaptor, nullptr);
    EXPECT_THAT(boxes(), IsEmpty());
    EXPECT_THAT(grabberCallsNamed({"setVideoNorm", "setVideoFormat", "setSinkType", "startLive"}), IsEmpty());
    EXPECT_EQ(adaptor->getMaxWidth(), 0);
    EXPECT_EQ(adaptor->getMaxHeight(), 0);
    EXPECT_EQ(adaptor->getFrameType(), 0);
    EXPECT_EQ(adaptor->getNumberOfBands(), 3);
    // The listeners are registered all the same.
    EXPECT_EQ(engine().engineProps.engineListeners_.size(), 1u);

    EXPECT_TRUE(adaptor->openDevice());
    EXPECT_TRUE(adaptor->startCapture());
    EXPECT_THAT(grabberCalls("startLive"), IsEmpty());
    EXPECT_TRUE(adaptor->closeDevice());
    EXPECT_THAT(warningTexts(), ElementsAre("Unable to close device. Device Invalid."));
    // Our engine's manager does not consider the device open: stop returns quietly.
    EXPECT_TRUE(adaptor->stopCapture());
    EXPECT_EQ(warningTexts().size(), 1u);
    EXPECT_EQ(qvxtb::warnings()[0].identifier, "QVXadaptor:constructor");
}

TEST_F(InstanceCreation, ANullDeviceNameOpensNothingAndGivesAnInvalidObject) {
    struct NamelessDeviceInfo : FakeDeviceInfo {
        NamelessDeviceInfo() : FakeDeviceInfo("") {}
        const char* getDeviceName() const override { return nullptr; }
    } deviceInfo;
    FakeEngine engine;
    qvxsim::clearCallLog();
    imaqkit::IAdaptor* adaptor =
        this->adaptor().createInstance()(&engine, &deviceInfo, "PAL_B:RGB24 (640x480)");
    ASSERT_NE(adaptor, nullptr);
    EXPECT_THAT(grabberCalls("openDev"), IsEmpty());
    EXPECT_EQ(adaptor->getMaxWidth(), 0);
    EXPECT_TRUE(adaptor->closeDevice());
    EXPECT_THAT(warningTexts(), ElementsAre("Unable to close device. Device Invalid."));
    delete adaptor;
}

TEST_F(InstanceCreation, StopWarnsForAnInvalidDeviceTheHostConsidersOpen) {
    // Discovery and description open the device; the adaptor's own open is refused.
    loadCameras(R"({"name": "Flaky Cam", "faults": {"openDev": {"from": 3}},
        "norms": [{"name": "PAL_B", "formats": [{"colorformat": "Y800", "width": 64, "height": 48}]}]})");
    qvxtb::VideoInput& video = open("Flaky Cam", "PAL_B:Y800 (64x48)");
    ASSERT_NE(video.adaptor(), nullptr);
    EXPECT_EQ(video.adaptor()->getMaxWidth(), 0);
    video.setFramesPerTrigger(1);
    video.start();
    EXPECT_THAT(grabberCalls("startLive"), IsEmpty());
    qvxtb::clearRecords();
    video.stop();
    EXPECT_THAT(warningTexts(), ElementsAre("Unable to stop live. Device Invalid."));
    EXPECT_EQ(video.framesAcquired(), 0);
}

// ---- Memory of the object ---------------------------------------------------------------------------

TEST_F(InstanceCreation, NoHostMemoryMeansNullAndNothingConstructed) {
    loadCameras(kNormCamera);
    qvxsim::clearCallLog();
    qvxtb::failImaqmallocAfter(0);
    EXPECT_EQ(createDirect("Norm Cam", "PAL_B:RGB24 (640x480)"), nullptr);
    qvxtb::failImaqmallocAfter(-1);
    EXPECT_THAT(grabberCalls("openDev"), IsEmpty());
    EXPECT_EQ(qvxsim::counters().liveGrabbers, 0);
}

TEST_F(InstanceCreation, MemoryRunningOutInsideTheConstructorUndoesEverything) {
    loadCameras(kNormCamera);
    const long before = qvxtb::liveImaqAllocations();
    // Each later allocation of the construction fails in turn: the source listener, then the
    // getter and setter of each device property.
    for (long allowed = 1; allowed <= 6; ++allowed) {
        SCOPED_TRACE(allowed);
        qvxtb::failImaqmallocAfter(allowed);
        imaqkit::IAdaptor* adaptor = nullptr;
        try {
            adaptor = createDirect("Norm Cam", "PAL_B:RGB24 (640x480)", {"Gain", "Exposure"});
        } catch (const std::bad_alloc&) {
        }
        qvxtb::failImaqmallocAfter(-1);
        deleteDirect();
        EXPECT_EQ(adaptor != nullptr, allowed >= 6);
        EXPECT_EQ(qvxtb::liveImaqAllocations(), before);
        EXPECT_EQ(qvxsim::counters().openDevices, 0);
        EXPECT_EQ(qvxsim::counters().liveGrabbers, 0);
    }
}

// ---- Acquisition control ----------------------------------------------------------------------------

TEST_F(InstanceCreation, CloseStopsLiveButKeepsTheDeviceOpenForTheNextStart) {
    loadCameras(R"({"name": "Loop Cam", "fast": true,
        "norms": [{"name": "PAL_B", "formats": [{"colorformat": "Y800", "width": 32, "height": 24}]}]})");
    qvxtb::VideoInput& video = open("Loop Cam", "PAL_B:Y800 (32x24)");
    video.setFramesPerTrigger(0);
    video.start();
    EXPECT_TRUE(qvxsim::deviceState("Loop Cam").live);
    qvxsim::clearCallLog();
    EXPECT_TRUE(video.adaptor()->closeDevice());
    EXPECT_THAT(grabberCallsNamed({"stopLive", "closeDev"}), ElementsAre("stopLive()"));
    EXPECT_TRUE(qvxsim::deviceState("Loop Cam").open);
    EXPECT_FALSE(qvxsim::deviceState("Loop Cam").live);
    video.stop();

    video.setFramesPerTrigger(2);
    video.start();
    video.wait();
    EXPECT_EQ(video.getdata(2).size(), 2u);
}

TEST_F(InstanceCreation, StartWhileRunningIsRefusedAndAFailingStartLiveIsReported) {
    loadCameras(R"({"name": "Loop Cam", "fast": true,
        "norms": [{"name": "PAL_B", "formats": [{"colorformat": "Y800", "width": 32, "height": 24}]}]},
        {"name": "Stuck Cam", "faults": {"startLive": true},
        "norms": [{"name": "PAL_B", "formats": [{"colorformat": "Y800", "width": 32, "height": 24}]}]})");
    {
        qvxtb::VideoInput& video = open("Loop Cam", "PAL_B:Y800 (32x24)");
        video.setFramesPerTrigger(0);
        video.start();
        qvxsim::clearCallLog();
        EXPECT_FALSE(video.adaptor()->startCapture());
        EXPECT_THAT(grabberCalls("startLive"), IsEmpty());
        video.stop();
    }
    closeVideo();
    qvxtb::VideoInput& stuck = open("Stuck Cam", "PAL_B:Y800 (32x24)");
    EXPECT_FALSE(stuck.adaptor()->startCapture());
}

TEST_F(InstanceCreation, DestructionStopsLiveAndClosesTheDevice) {
    loadCameras(R"({"name": "Loop Cam", "fast": true,
        "norms": [{"name": "PAL_B", "formats": [{"colorformat": "Y800", "width": 32, "height": 24}]}]})");
    imaqkit::IAdaptor* adaptor = createDirect("Loop Cam", "PAL_B:Y800 (32x24)");
    ASSERT_TRUE(adaptor->startCapture());
    EXPECT_TRUE(qvxsim::deviceState("Loop Cam").live);
    qvxsim::clearCallLog();
    deleteDirect();
    // Closing stops live mode again on its own; what counts is that live mode ends first.
    const std::vector<std::string> ending = grabberCallsNamed({"stopLive", "closeDev"});
    ASSERT_GE(ending.size(), 2u);
    EXPECT_EQ(ending.front(), "stopLive()");
    EXPECT_EQ(ending.back(), "closeDev()");
    EXPECT_FALSE(qvxsim::deviceState("Loop Cam").open);
}

} // namespace
} // namespace qvxtest
