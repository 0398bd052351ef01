// Fault matrix, single rows: refusals the adaptor does not examine, missing lists and missing
// controls, each with what the user sees and nothing left alive.
#include <array>
#include <cstdint>
#include <cstring>
#include <string>

#include <gmock/gmock.h>

#include "tests/fault_matrix_fixture.h"

namespace qvxtest {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class FaultMatrix : public FaultMatrixFixture {};

std::string roiCamera(const std::string& faults, const std::string& vcd) {
    return R"({"name": "Roi", "fast": true, "sensor": [64, 48], "faults": )" + faults +
           R"(, "descriptors": [{"colorformat": "Y800", "min": [16, 4], "max": [64, 48], "step": [4, 2],
             "roi": true, "fps": [30, 15]}], "vcd": )" +
           vcd + "}";
}

// ---- Discovery -------------------------------------------------------------------------------------

TEST_F(FaultMatrix, DiscoveryWithAMissingFormatListUnderOneNormReportsTheOthers) {
    loadCameras(R"({"name": "Cam", "norms": [{"name": "A", "formats": null},
                   {"name": "B", "formats": [{"colorformat": "Y800", "width": 8, "height": 8}]}]})");
    const auto devices = adaptor().hwinfo();
    ASSERT_EQ(devices.size(), 1u);
    ASSERT_EQ(devices[0].formats.size(), 1u);
    EXPECT_EQ(devices[0].formats[0].name, "B:Y800 (8x8)");
    EXPECT_EQ(devices[0].formats[0].id, 1);
    EXPECT_THAT(warningTexts(), IsEmpty());
}

// ---- Region change ---------------------------------------------------------------------------------

TEST_F(FaultMatrix, RegionChangeWithoutAutoCenterStillWritesTheOffsets) {
    loadCameras(roiCamera("{}", R"([{"name": "Partial Scan Offset", "id": "partialScanOffset", "elements": [
        {"name": "X Offset", "id": "offsetX", "range": {"min": 0, "max": 4096}},
        {"name": "Y Offset", "id": "offsetY", "range": {"min": 0, "max": 4096}}]}])"));
    qvxtb::VideoInput& video = open("Roi", "Y800 (64x48)");
    qvxsim::clearCallLog();
    video.setROIPosition(8, 4, 32, 24);
    EXPECT_THAT(grabberCalls("put_Switch"), IsEmpty());
    EXPECT_THAT(grabberCalls("put_Value"), ElementsAre("put_Value(PartialScanOffset/XOffset,8)",
                                                       "put_Value(PartialScanOffset/YOffset,4)"));
    EXPECT_EQ(video.getROIPosition(), (std::array<int, 4>{8, 4, 32, 24}));
    EXPECT_THAT(warningTexts(), IsEmpty());
}

TEST_F(FaultMatrix, RegionChangeGoesOnWhenFormatRateAndRestartAreRefused) {
    loadCameras(roiCamera(R"({"setVideoFormatItem": true, "setFPS": true})", "[" + partialScanItem() + "]"));
    qvxtb::VideoInput& video = open("Roi", "Y800 (64x48)");
    video.setFramesPerTrigger(0);
    video.start();
    qvxsim::clearCallLog();
    // The toolbox refuses a region while running; the adaptor is asked directly, as from the host's thread.
    video.adaptor()->setROI(9, 5, 33, 25);
    // Every step is tried in its order. The format stayed at the full sensor, so the camera has no room
    // for an offset: the x write fails, y is not tried, and live mode still comes back.
    EXPECT_THAT(
        grabberCallsNamed({"stopLive", "setVideoFormat", "setFPS", "put_Switch", "put_Value", "startLive"}),
        ElementsAre("stopLive()", "setVideoFormat(Y800 (32x24))", "setFPS(30)",
                    "put_Switch(PartialScanOffset/Auto-center,0)", "put_Value(PartialScanOffset/XOffset,8)",
                    "startLive(0)"));
    EXPECT_THAT(warningTexts(), ElementsAre("Error at PartialScanOffset Value"));
    EXPECT_EQ(qvxsim::deviceState("Roi").width, 64);
    EXPECT_TRUE(qvxsim::deviceState("Roi").live);
    video.stop();
}

TEST_F(FaultMatrix, RegionChangeAfterARefusedStartNeitherStopsNorRestarts) {
    loadCameras(roiCamera(R"({"startLive": true})", "[" + partialScanItem() + "]"));
    qvxtb::VideoInput& video = open("Roi", "Y800 (64x48)");
    // Not live (the start is refused), so the change neither stops nor restarts.
    EXPECT_THROW(video.start(), qvxtb::ToolboxError);
    qvxsim::clearCallLog();
    video.setROIPosition(8, 4, 32, 24);
    EXPECT_THAT(grabberCallsNamed({"stopLive", "startLive"}), IsEmpty());
    EXPECT_EQ(video.getROIPosition(), (std::array<int, 4>{8, 4, 32, 24}));
    EXPECT_THAT(warningTexts(), IsEmpty());
}

TEST_F(FaultMatrix, RegionChangeWithoutItemCollectionRestoresLiveMode) {
    loadCameras(roiCamera("{}", "null"));
    qvxtb::VideoInput& video = open("Roi", "Y800 (64x48)");
    video.setFramesPerTrigger(0);
    video.start();
    qvxsim::clearCallLog();
    video.adaptor()->setROI(8, 4, 32, 24);
    EXPECT_THAT(grabberCallsNamed({"stopLive", "setVideoFormat", "setFPS", "startLive"}),
                ElementsAre("stopLive()", "setVideoFormat(Y800 (32x24))", "setFPS(30)", "startLive(0)"));
    EXPECT_TRUE(qvxsim::deviceState("Roi").live);
    // Frames keep coming at the new size, uncut, at offsets the camera does not have.
    video.stop();
    video.setFramesPerTrigger(1);
    video.start();
    video.wait();
    const qvxtb::Frame frame = video.getdata(1).front();
    EXPECT_EQ(frame.width, 32);
    EXPECT_EQ(frame.height, 24);
}

// ---- Property get and set --------------------------------------------------------------------------

constexpr const char* kAccessCamera = R"({"name": "Cam", "frameRateList": true, "inputChannels": ["A", "B"],
    "faults": {"setInputChannel": true, "setFrameRate": true},
    "norms": [{"name": "N", "formats": [{"colorformat": "Y800", "width": 8, "height": 8, "fps": [30, 15]}]}],
    "vcd": [{"name": "Gain", "elements": [{"name": "Blank"}]}]})";

TEST_F(FaultMatrix, AnElementWithoutAnyKindIsNeitherReadNorWrittenAndCountsAsMissing) {
    // The catalogue declared nothing for it, so the name is one the camera does not have.
    loadCameras(kAccessCamera);
    ASSERT_NE(createDirect("Cam", "N:Y800 (8x8)", {"GainBlank"}), nullptr);
    qvxsim::clearCallLog();
    std::int32_t value = 0x5A5A;
    EXPECT_EQ(directGet("GainBlank", &value), 0);
    EXPECT_EQ(value, 0);
    value = 0x5A5A;
    EXPECT_EQ(directSet("GainBlank", &value), 0);
    EXPECT_EQ(value, 0);
    EXPECT_THAT(grabberCallsNamed({"put_Value", "put_Switch", "Push"}), IsEmpty());
    EXPECT_THAT(warningTexts(), ::testing::ElementsAre("Property \"GainBlank\" not found.",
                                                       "Property \"GainBlank\" not found."));
}

TEST_F(FaultMatrix, RefusedInputChannelAndFrameRateWritesGoUnnoticed) {
    loadCameras(kAccessCamera);
    ASSERT_NE(createDirect("Cam", "N:Y800 (8x8)", {"InputChannel", "FrameRate"}), nullptr);
    qvxsim::clearCallLog();
    std::int32_t channel = 1;
    std::int32_t rate = 1;
    EXPECT_EQ(directSet("InputChannel", &channel), 0);
    EXPECT_EQ(directSet("FrameRate", &rate), 0);
    EXPECT_THAT(qvxsim::callLog(), Contains(::testing::StartsWith("setInputChannel(")));
    EXPECT_THAT(qvxsim::callLog(), Contains(::testing::StartsWith("setFrameRate(")));
    EXPECT_EQ(qvxsim::deviceState("Cam").inputChannel, 0);
    EXPECT_THAT(warningTexts(), IsEmpty());
}

} // namespace
} // namespace qvxtest
