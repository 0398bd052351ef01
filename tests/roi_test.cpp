// Region of interest: fitting to the descriptor, format and rate changes, partial-scan offsets, live restart.
#include <array>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "instance/region.h"
#include "tests/support/instance_fixture.h"

namespace qvxtest {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// ---- Fitting, on the function itself ------------------------------------------------------------------

struct FitCase {
    qvx::Region requested;
    qvx::Region fitted;
};

class RegionFit : public ::testing::TestWithParam<FitCase> {};

TEST_P(RegionFit, RoundsTowardZeroThenClampsTheSizeOnly) {
    const SIZE minimum{16, 4}, maximum{2048, 1536}, step{4, 2};
    const qvx::Region r = qvx::fitRegion(GetParam().requested, minimum, maximum, step);
    const qvx::Region& e = GetParam().fitted;
    EXPECT_EQ(r.x, e.x);
    EXPECT_EQ(r.y, e.y);
    EXPECT_EQ(r.width, e.width);
    EXPECT_EQ(r.height, e.height);
}

INSTANTIATE_TEST_SUITE_P(DescriptorExamples, RegionFit,
                         ::testing::Values(FitCase{{13, 7, 641, 481}, {12, 6, 640, 480}},
                                           FitCase{{0, 0, 10, 3}, {0, 0, 16, 4}},
                                           FitCase{{0, 0, 4000, 2000}, {0, 0, 2048, 1536}},
                                           FitCase{{-5, -3, 64, 48}, {-4, -2, 64, 48}},
                                           // Offsets are never clamped, however far out.
                                           FitCase{{100001, 99999, 64, 48}, {100000, 99998, 64, 48}}));

TEST(RegionFitLimits, MaximumWinsOverALargerMinimumAndAZeroStepCountsAsOne) {
    const qvx::Region r = qvx::fitRegion({3, 5, 10, 10}, SIZE{100, 100}, SIZE{50, 60}, SIZE{4, 2});
    EXPECT_EQ(r.width, 50);
    EXPECT_EQ(r.height, 60);
    const qvx::Region unstepped =
        qvx::fitRegion({13, 7, 641, 481}, SIZE{16, 4}, SIZE{2048, 1536}, SIZE{0, 0});
    EXPECT_EQ(unstepped.x, 13);
    EXPECT_EQ(unstepped.y, 7);
    EXPECT_EQ(unstepped.width, 641);
    EXPECT_EQ(unstepped.height, 481);
}

// ---- Through the host --------------------------------------------------------------------------------

// Frames are paced on the rate, so a running acquisition never floods the host's queue.
std::string roiCamera(const std::string& name, const std::string& fps, const std::string& vcd,
                      const std::string& maxSize = "2048, 1536", const std::string& faults = "{}") {
    return R"({"name": ")" + name + R"(", "faults": )" + faults + R"(, "sensor": [)" + maxSize +
           R"(], "descriptors": [{"colorformat": "Y800", "min": [16, 4], "max": [)" + maxSize +
           R"(], "step": [4, 2], "roi": true, "fps": )" + fps + R"(}], "vcd": )" + vcd + "}";
}

constexpr const char* kFull = "Y800 (2048x1536)";

class RegionOfInterest : public InstanceFixture {
protected:
    static std::vector<std::string> regionChanges() {
        std::vector<std::string> out;
        for (const auto& call : recordsOf("adaptorManager", "setROI")) out.push_back(call.arguments);
        return out;
    }
};

TEST_F(RegionOfInterest, ChangeFitsAppliesFormatFastestRateAndOffsets) {
    loadCameras(roiCamera("ROI Cam", "[15, 60, 30]", "[" + partialScanItem() + "]"));
    qvxtb::VideoInput& video = open("ROI Cam", kFull);
    qvxsim::clearCallLog();
    qvxtb::clearRecords();
    video.setROIPosition(13, 7, 641, 481);

    EXPECT_THAT(
        grabberCallsNamed({"stopLive", "startLive", "setVideoFormat", "setFPS", "put_Switch", "put_Value"}),
        ElementsAre("setVideoFormat(Y800 (640x480))", "setFPS(60)",
                    "put_Switch(PartialScanOffset/Auto-center,0)", "put_Value(PartialScanOffset/XOffset,12)",
                    "put_Value(PartialScanOffset/YOffset,6)"));
    EXPECT_THAT(regionChanges(), ElementsAre("12|6|640|480"));
    EXPECT_EQ(video.getROIPosition(), (std::array<int, 4>{12, 6, 640, 480}));
    EXPECT_EQ(qvxsim::vcdValue("Partial Scan Offset", "Auto-center", "switch"), 0);
    EXPECT_THAT(warningTexts(), IsEmpty());
    // The adaptor's own size is that of construction.
    EXPECT_EQ(video.adaptor()->getMaxWidth(), 2048);
    EXPECT_EQ(video.adaptor()->getMaxHeight(), 1536);
}

TEST_F(RegionOfInterest, TheFirstDescriptorThatReproducesTheFormatSetsTheLimits) {
    // Both descriptors make "Y800 (64x48)"; only the first one's coarse step decides the fit.
    loadCameras(R"({"name": "Two Desc", "sensor": [64, 48], "descriptors": [
        {"colorformat": "Y800", "min": [16, 8], "max": [64, 48], "step": [16, 8], "roi": true, "fps": [30]},
        {"colorformat": "Y800", "min": [1, 1], "max": [64, 48], "step": [1, 1], "roi": true, "fps": [30]}],
        "vcd": [)" +
                partialScanItem() + "]}");
    qvxtb::VideoInput& video = open("Two Desc", "Y800 (64x48)");
    qvxtb::clearRecords();
    video.adaptor()->setROI(0, 0, 30, 30);
    EXPECT_THAT(regionChanges(), ElementsAre("0|0|16|24"));
}

TEST_F(RegionOfInterest, SizeIsClampedAndNegativeOffsetsRoundTowardZero) {
    loadCameras(roiCamera("ROI Cam", "[30]", "[" + partialScanItem() + "]"));
    qvxtb::VideoInput& video = open("ROI Cam", kFull);
    imaqkit::IAdaptor* adaptor = video.adaptor();
    qvxtb::clearRecords();
    adaptor->setROI(0, 0, 10, 3);
    adaptor->setROI(0, 0, 4000, 2000);
    adaptor->setROI(-5, 1, 64, 48);
    EXPECT_THAT(regionChanges(), ElementsAre("0|0|16|4", "0|0|2048|1536", "-4|0|64|48"));
}

TEST_F(RegionOfInterest, LiveModeIsStoppedAroundTheChangeAndRestoredAfterTheOffsets) {
    loadCameras(roiCamera("ROI Cam", "[100]", "[" + partialScanItem() + "]", "256, 192"));
    qvxtb::VideoInput& video = open("ROI Cam", "Y800 (256x192)");
    video.setFramesPerTrigger(0);
    video.start();
    qvxsim::clearCallLog();
    video.adaptor()->setROI(8, 4, 64, 48);
    EXPECT_THAT(
        grabberCallsNamed({"stopLive", "startLive", "setVideoFormat", "setFPS", "put_Switch", "put_Value"}),
        ElementsAre("stopLive()", "setVideoFormat(Y800 (64x48))", "setFPS(100)",
                    "put_Switch(PartialScanOffset/Auto-center,0)", "put_Value(PartialScanOffset/XOffset,8)",
                    "put_Value(PartialScanOffset/YOffset,4)", "startLive(0)"));
    EXPECT_TRUE(qvxsim::deviceState("ROI Cam").live);
    video.stop();

    // The frames that follow are of the region's size.
    video.setFramesPerTrigger(1);
    video.start();
    video.wait();
    const qvxtb::Frame frame = video.getdata(1).front();
    EXPECT_EQ(frame.width, 64);
    EXPECT_EQ(frame.height, 48);
}

TEST_F(RegionOfInterest, ADeviceThatIsNotLiveIsNeitherStoppedNorStarted) {
    loadCameras(roiCamera("ROI Cam", "[30]", "[" + partialScanItem() + "]"));
    qvxtb::VideoInput& video = open("ROI Cam", kFull);
    qvxsim::clearCallLog();
    video.setROIPosition(0, 0, 64, 48);
    EXPECT_THAT(grabberCallsNamed({"stopLive", "startLive"}), IsEmpty());
}

TEST_F(RegionOfInterest, AnEmptyRateListSetsZero) {
    loadCameras(roiCamera("ROI Cam", "[]", "[" + partialScanItem() + "]"));
    qvxtb::VideoInput& video = open("ROI Cam", kFull);
    qvxsim::clearCallLog();
    video.setROIPosition(0, 0, 64, 48);
    EXPECT_THAT(grabberCalls("setFPS"), ElementsAre("setFPS(0)"));
}

TEST_F(RegionOfInterest, QueryReportsTheCamerasOffsetsOnlyWhenBothControlsExist) {
    loadCameras(roiCamera("Both Cam", "[30]", "[" + partialScanItem() + "]") + "," +
                roiCamera("Half Cam", "[30]", R"([{"name": "Partial Scan Offset", "id": "partialScanOffset",
                    "elements": [{"name": "X Offset", "id": "offsetX", "range": {"min": 0, "max": 4096}}]}])") +
                "," + roiCamera("Bare Cam", "[30]", "null"));
    {
        qvxtb::VideoInput& video = open("Both Cam", kFull);
        video.setROIPosition(100, 50, 640, 480);
        qvxsim::setVcdValue("Partial Scan Offset", "X Offset", "range", 24);
        EXPECT_EQ(video.getROIPosition(), (std::array<int, 4>{24, 50, 640, 480}));
    }
    closeVideo();
    {
        qvxtb::VideoInput& video = open("Half Cam", kFull);
        qvxsim::clearCallLog();
        video.setROIPosition(100, 50, 640, 480);
        // No offset is written and no warning given; the query reports zero offsets.
        EXPECT_THAT(grabberCalls("put_Value"), IsEmpty());
        EXPECT_THAT(warningTexts(), IsEmpty());
        EXPECT_EQ(video.getROIPosition(), (std::array<int, 4>{0, 0, 640, 480}));
    }
    closeVideo();
    {
        // Without VCD properties the format and rate still change.
        qvxtb::VideoInput& video = open("Bare Cam", kFull);
        qvxsim::clearCallLog();
        video.setROIPosition(100, 50, 640, 480);
        EXPECT_THAT(grabberCallsNamed({"setVideoFormat", "setFPS"}),
                    ElementsAre("setVideoFormat(Y800 (640x480))", "setFPS(30)"));
        EXPECT_EQ(video.getROIPosition(), (std::array<int, 4>{0, 0, 640, 480}));
    }
}

TEST_F(RegionOfInterest, FailingSwitchAndOffsetWritesWarnAndGoOn) {
    const std::string switchFails =
        R"({"name": "Partial Scan Offset", "id": "partialScanOffset", "elements": [
        {"name": "Auto-center", "id": "autoCenter", "switch": {"value": true, "faults": {"put_Switch": -5}}},
        {"name": "X Offset", "id": "offsetX", "range": {"min": 0, "max": 4096}},
        {"name": "Y Offset", "id": "offsetY", "range": {"min": 0, "max": 4096}}]})";
    const std::string xFails = R"({"name": "Partial Scan Offset", "id": "partialScanOffset", "elements": [
        {"name": "X Offset", "id": "offsetX", "range": {"min": 0, "max": 4096, "faults": {"put_Value": -5}}},
        {"name": "Y Offset", "id": "offsetY", "range": {"min": 0, "max": 4096}}]})";
    loadCameras(roiCamera("Switch Cam", "[30]", "[" + switchFails + "]") + "," +
                roiCamera("Offset Cam", "[30]", "[" + xFails + "]"));
    {
        qvxtb::VideoInput& video = open("Switch Cam", kFull);
        qvxtb::clearRecords();
        video.setROIPosition(8, 4, 64, 48);
        EXPECT_THAT(warningTexts(), ElementsAre("Error at PartialScanOffsetAutoCenter Switch"));
        EXPECT_EQ(qvxtb::warnings()[0].identifier, "QVXadaptor:constructor");
        EXPECT_EQ(qvxsim::vcdValue("Partial Scan Offset", "X Offset", "range"), 8);
        EXPECT_EQ(qvxsim::vcdValue("Partial Scan Offset", "Y Offset", "range"), 4);
    }
    closeVideo();
    {
        qvxtb::VideoInput& video = open("Offset Cam", kFull);
        qvxtb::clearRecords();
        qvxsim::clearCallLog();
        video.setROIPosition(8, 4, 64, 48);
        EXPECT_THAT(warningTexts(), ElementsAre("Error at PartialScanOffset Value"));
        // After a failed x, y is not written; the host still learns the fitted region.
        EXPECT_THAT(grabberCalls("put_Value"), ElementsAre("put_Value(PartialScanOffset/XOffset,8)"));
        EXPECT_THAT(regionChanges(), ElementsAre("8|4|64|48"));
    }
}

TEST_F(RegionOfInterest, ADeviceThatIsNotRegionCapableForwardsTheRequestUnchanged) {
    // The first descriptor decides, even when a later one could cut regions.
    loadCameras(R"({"name": "Whole Cam", "descriptors": [
        {"colorformat": "Y800", "min": [16, 4], "max": [640, 480], "step": [4, 2], "roi": false},
        {"colorformat": "RGB24", "min": [16, 4], "max": [640, 480], "step": [4, 2], "roi": true}]})");
    qvxtb::VideoInput& video = open("Whole Cam", "Y800 (640x480)");
    qvxsim::clearCallLog();
    qvxtb::clearRecords();
    video.setROIPosition(13, 7, 101, 99);
    EXPECT_THAT(regionChanges(), ElementsAre("13|7|101|99"));
    EXPECT_THAT(grabberCallsNamed({"setVideoFormat", "setFPS", "put_Value", "put_Switch"}), IsEmpty());
    EXPECT_EQ(video.getROIPosition(), (std::array<int, 4>{0, 0, 640, 480}));
}

TEST_F(RegionOfInterest, WithoutTheCurrentFormatsDescriptorLiveModeIsRestoredAndTheRequestForwarded) {
    // The descriptor list is there while the adaptor is made, and missing when the region changes: count
    // the reads up to the change once, then load the camera again with the reads after that failing.
    const auto camera = [](const std::string& faults) {
        return roiCamera("Lost Cam", "[100]", "[" + partialScanItem() + "]", "256, 192", faults);
    };
    // Discovery, the adaptor's construction and the start, the same way both times.
    const auto startLive = [this] {
        adaptor().hwinfo();
        qvxtb::VideoInput& video = open("Lost Cam", "Y800 (256x192)");
        video.setFramesPerTrigger(0);
        video.start();
        return &video;
    };
    loadCameras(camera("{}"));
    qvxsim::clearCallLog();
    startLive()->stop();
    const std::size_t readsBefore = grabberCalls("getAvailableVideoFormatDescs_(").size();
    closeVideo();

    loadCameras(
        camera(R"({"getAvailableVideoFormatDescs": {"from": )" + std::to_string(readsBefore + 1) + "}}"));
    qvxtb::VideoInput* video = startLive();
    qvxsim::clearCallLog();
    qvxtb::clearRecords();
    video->adaptor()->setROI(13, 7, 101, 99);
    EXPECT_THAT(
        grabberCallsNamed({"stopLive", "startLive", "setVideoFormat", "setFPS", "put_Switch", "put_Value"}),
        ElementsAre("stopLive()", "startLive(0)"));
    EXPECT_THAT(regionChanges(), ElementsAre("13|7|101|99"));
    EXPECT_TRUE(qvxsim::deviceState("Lost Cam").live);
    EXPECT_THAT(warningTexts(), IsEmpty());
    video->stop();
}

TEST_F(RegionOfInterest, AFirstEntryWithoutDescriptorIsNotRegionCapable) {
    loadCameras(R"({"name": "Odd Cam", "descriptors": [{"null": true},
        {"colorformat": "Y800", "min": [16, 4], "max": [640, 480], "step": [4, 2], "roi": true}]})");
    qvxtb::VideoInput& video = open("Odd Cam", "Y800 (640x480)");
    qvxtb::clearRecords();
    video.setROIPosition(13, 7, 101, 99);
    EXPECT_THAT(regionChanges(), ElementsAre("13|7|101|99"));
}

TEST_F(RegionOfInterest, AFailingOffsetReadReachesTheHostAsAnError) {
    const std::string readFails = R"({"name": "Partial Scan Offset", "id": "partialScanOffset", "elements": [
        {"name": "X Offset", "id": "offsetX", "range": {"min": 0, "max": 4096, "faults": {"get_Value": -7}}},
        {"name": "Y Offset", "id": "offsetY", "range": {"min": 0, "max": 4096}}]})";
    loadCameras(roiCamera("Bad Cam", "[30]", "[" + readFails + "]"));
    qvxtb::VideoInput& video = open("Bad Cam", kFull);
    EXPECT_THROW(video.getROIPosition(), qvxtb::ToolboxError);
    // Nothing of the failed query stays alive: the fixture checks COM objects, BSTRs and texts.
}

} // namespace
} // namespace qvxtest
