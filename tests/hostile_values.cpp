// Hostile values: regions with negative and huge numbers, enumeration ids out of range and null value
// buffers, on cameras with and without a region of interest.
#include <array>
#include <climits>
#include <cstdint>
#include <stdexcept>
#include <string>

#include <gmock/gmock.h>

#include "tests/fault_matrix_fixture.h"

namespace qvxtest {
namespace {

using ::testing::IsEmpty;

class HostileValues : public FaultMatrixFixture {};

constexpr std::array<std::array<int, 4>, 6> kHostileRegions = {{{INT_MIN, INT_MIN, INT_MIN, INT_MIN},
                                                                {INT_MAX, INT_MAX, INT_MAX, INT_MAX},
                                                                {-1, -1, 0, 0},
                                                                {-3, -5, -7, -9},
                                                                {INT_MAX, INT_MIN, 1, INT_MAX},
                                                                {639, 479, 3, 1}}};

TEST_F(HostileValues, RegionsOfAnySignAndSizeAreFittedAndFramesStayInsideTheirBuffers) {
    nlohmann::json camera = matrixCamera();
    camera["fast"] = true;
    loadCameras(camera.dump());
    qvxtb::VideoInput& video = open(kMatrixDevice, kMatrixFormat);
    video.setFramesPerTrigger(0);
    video.start();
    for (const auto& region : kHostileRegions) {
        SCOPED_TRACE(::testing::PrintToString(region));
        // While running the toolbox refuses regions, so the host's thread asks the adaptor directly.
        video.adaptor()->setROI(region[0], region[1], region[2], region[3]);
        int x = 0, y = 0, width = 0, height = 0;
        video.adaptor()->getROI(&x, &y, &width, &height);
        EXPECT_GE(width, 16);
        EXPECT_LE(width, 640);
        EXPECT_GE(height, 4);
        EXPECT_LE(height, 480);
        for (const qvxtb::Frame& frame : video.getdata(2))
            EXPECT_EQ(frame.data.size(), static_cast<std::size_t>(frame.width) * frame.height);
    }
    video.stop();
}

TEST_F(HostileValues, RegionsOnACameraWithoutRegionSupportLeaveTheFramesWhole) {
    loadCameras(R"({"name": "Cam", "fast": true,
        "norms": [{"name": "N", "formats": [{"colorformat": "RGB24", "width": 32, "height": 24}]}]})");
    qvxtb::VideoInput& video = open("Cam", "N:RGB24 (32x24)");
    for (const auto& region : kHostileRegions) {
        try {
            video.setROIPosition(region[0], region[1], region[2], region[3]);
        } catch (const qvxtb::ToolboxError&) {
        }
    }
    EXPECT_EQ(video.getROIPosition(), (std::array<int, 4>{0, 0, 32, 24}));
    video.setFramesPerTrigger(2);
    video.start();
    const auto frames = video.getdata(2);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[1].data.size(), 32u * 24u * 3u);
}

TEST_F(HostileValues, EnumerationIdsOutOfRangeNeverReadOutsideAList) {
    loadCameras(matrixCamera().dump());
    ASSERT_NE(createDirect(kMatrixDevice, kMatrixFormat,
                           {"StrobeMode", "TriggerPolarity", "InputChannel", "FrameRate"}),
              nullptr);
    for (const std::int32_t id : {INT_MIN, -1, 3, 1000, INT_MAX}) {
        SCOPED_TRACE(id);
        // The camera refuses a value outside its map; its code reaches the host and nothing changes.
        std::int32_t value = id;
        EXPECT_EQ(directSet("StrobeMode", &value), E_INVALIDARG);
        EXPECT_EQ(qvxsim::vcdValue("Strobe", "Mode", "mapStrings"), 3);
        value = id;
        EXPECT_EQ(directSet("TriggerPolarity", &value), 0);
        value = id;
        EXPECT_EQ(directSet("InputChannel", &value), 0);
        value = id;
        // A position beyond the list does nothing; a negative one is the host's error.
        if (id < 0)
            EXPECT_THROW(directSet("FrameRate", &value), std::out_of_range);
        else
            EXPECT_EQ(directSet("FrameRate", &value), 0);
        EXPECT_EQ(directGet("StrobeMode", &value), 0);
        EXPECT_EQ(value, 2);
    }
    EXPECT_THAT(warningTexts(), IsEmpty());
}

TEST_F(HostileValues, NullValueBuffersAreIgnoredByEveryListener) {
    loadCameras(matrixCamera().dump());
    const std::vector<std::string> names = {"SerialNo", "FrameRate",  "InputChannel",    "Gain",
                                            "Exposure", "StrobeMode", "TriggerPolarity", "TriggerSoftware",
                                            "Missing"};
    ASSERT_NE(createDirect(kMatrixDevice, kMatrixFormat, names), nullptr);
    qvxsim::clearCallLog();
    for (const std::string& name : names) {
        EXPECT_EQ(directGet(name, nullptr), 0) << name;
        EXPECT_EQ(directSet(name, nullptr), 0) << name;
    }
    for (auto& listener : engine().engineProps.engineListeners_) listener.second->notify(nullptr, nullptr);
    EXPECT_EQ(qvxsim::buttonPushes("Trigger", "Software"), 0);
    EXPECT_THAT(warningTexts(), IsEmpty());
}

} // namespace
} // namespace qvxtest
