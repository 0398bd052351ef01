// Frame delivery: the sink's colour format, what each buffer becomes, and the frames that are dropped.
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "host/frame.h"
#include "instance/sink_setup.h"
#include "tests/support/instance_fixture.h"

namespace qvxtest {
namespace {

using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class FrameDelivery : public InstanceFixture {
protected:
    static std::string normCamera(const std::string& name, const std::string& colorformat, int w, int h,
                                  const std::string& extra = "") {
        return R"({"name": ")" + name + R"(", "fast": true, )" + extra + R"("norms": [{"name": "PAL_B",
            "formats": [{"colorformat": ")" +
               colorformat + R"(", "width": )" + std::to_string(w) + R"(, "height": )" + std::to_string(h) +
               R"(, "text": "F"}]}]})";
    }
};

// Names no camera description can carry (the camera loader takes only the library's own spellings).
TEST(ColourTable, ComparesExactlySoOtherSpellingsTakeTheLastRow) {
    for (const char* name : {"rgb24", "y800", "Y8000", "Y80", ""}) {
        SCOPED_TRACE(name);
        const qvx::SinkFormat chosen = qvx::sinkFormatFor(name);
        EXPECT_EQ(chosen.colorformat, KapriLib::eRGB32);
        EXPECT_EQ(chosen.frameType, 0x01030103);
        EXPECT_FALSE(chosen.needsOverlayPosition);
    }
}

TEST_F(FrameDelivery, SinkIsMadeForTheCurrentColourFormat) {
    struct Expected {
        const char* colorformat;
        int sinkColorformat;
        int frameType;
        int overlay;
    };
    const Expected cases[] = {{"Y800", 7, 0x11010000, -1},
                              {"RGB24", 2, 0x01030101, -1},
                              {"BY8", 2, 0x01030101, -1},
                              {"RGB32", 1, 0x01030103, -1},
                              {"Y16", 11, 0x11010004, 0},
                              // Names the library knows but the table does not take the last row.
                              {"UYVY", 1, 0x01030103, -1},
                              {"RGB565", 1, 0x01030103, -1}};
    for (const Expected& expected : cases) {
        SCOPED_TRACE(expected.colorformat);
        loadCameras(normCamera("Cam", expected.colorformat, 32, 24));
        qvxsim::clearCallLog();
        imaqkit::IAdaptor* adaptor = createDirect("Cam", "PAL_B:F");
        ASSERT_NE(adaptor, nullptr);
        EXPECT_EQ(adaptor->getFrameType(), expected.frameType);
        const qvxsim::DeviceState state = qvxsim::deviceState("Cam");
        EXPECT_EQ(state.sinkColorformat, expected.sinkColorformat);
        EXPECT_FALSE(state.snapMode);
        EXPECT_EQ(state.overlayBitmapPathPosition, expected.overlay);
        EXPECT_EQ(grabberCalls("setOverlayBitmapPathPosition").size(), expected.overlay == 0 ? 1u : 0u);
        deleteDirect();
    }
}

TEST_F(FrameDelivery, FramesNotWantedAreDroppedUnlockedAndUncounted) {
    loadCameras(normCamera("Cam", "Y800", 32, 24));
    // Our own engine's manager never wants frames.
    imaqkit::IAdaptor* adaptor = createDirect("Cam", "PAL_B:F");
    qvxtb::clearRecords();
    ASSERT_TRUE(adaptor->startCapture());
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (qvxsim::counters().deliveredFrames < 5 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    deleteDirect();
    EXPECT_GE(qvxsim::counters().deliveredFrames, 5);
    // Not one lock call: the buffer was dropped before anything touched it.
    EXPECT_EQ(qvxsim::counters().lockCalls, 0);
    EXPECT_EQ(qvxsim::counters().lockedBuffers, 0);
    EXPECT_EQ(qvxsim::counters().buffersInUse, 0);
    EXPECT_FALSE(recordsOf("adaptorManager", "isAcquisitionNotComplete").empty());
    EXPECT_THAT(recordsOf("adaptorManager", "incrementFrameCount"), IsEmpty());
    EXPECT_THAT(recordsOf("adaptorManager", "getROI"), IsEmpty());
}

TEST_F(FrameDelivery, EachFrameFollowsTheOrderOfOneDelivery) {
    loadCameras(normCamera("Cam", "RGB24", 32, 24));
    qvxtb::VideoInput& video = open("Cam", "PAL_B:F");
    video.setFramesPerTrigger(1);
    qvxtb::clearRecords();
    video.start();
    video.wait();
    std::vector<std::string> delivery;
    for (const auto& call : qvxtb::calls()) {
        const std::string what = call.object + "." + call.operation;
        if (call.object == "frame" || call.object == "engine" ||
            call.operation == "isAcquisitionNotComplete" || call.operation == "isSendFrame" ||
            call.operation == "incrementFrameCount" || call.operation == "getROI")
            delivery.push_back(call.operation == "setTime" || call.arguments.empty()
                                   ? what
                                   : what + "(" + call.arguments + ")");
        if (call.operation == "incrementFrameCount") break;
    }
    EXPECT_THAT(delivery, ElementsAre("adaptorManager.isAcquisitionNotComplete", "adaptorManager.isSendFrame",
                                      "adaptorManager.getROI",
                                      "engine.makeFrame(" + std::to_string(imaqkit::kFrameBgr24) + "|32|24)",
                                      "frame.setImage(32|24|0|0)", "frame.setTime", "engine.receiveFrame",
                                      "adaptorManager.incrementFrameCount"))
        << ::testing::PrintToString(delivery);
}

TEST_F(FrameDelivery, WholeImageCopiesUseTheImageSizeAndRegionCopiesTheRegionSize) {
    loadCameras(
        normCamera("Whole Cam", "Y800", 64, 48) + "," +
        R"({"name": "ROI Cam", "fast": true, "sensor": [64, 48], "descriptors": [{"colorformat": "Y800",
                   "min": [16, 4], "max": [64, 48], "step": [4, 2], "roi": true}], "vcd": [)" +
        partialScanItem() + "]}");
    {
        qvxtb::VideoInput& video = open("Whole Cam", "PAL_B:F");
        video.setROIPosition(8, 4, 32, 24);
        video.setFramesPerTrigger(1);
        qvxtb::clearRecords();
        video.start();
        video.wait();
        // The host's own region stands, the camera delivers whole images: copied whole, from 0 and 0.
        EXPECT_EQ(recordsOf("engine", "makeFrame").front().arguments, "285278208|64|48");
        EXPECT_EQ(recordsOf("frame", "setImage").front().arguments, "64|48|0|0");
    }
    closeVideo();
    {
        qvxtb::VideoInput& video = open("ROI Cam", "Y800 (64x48)");
        video.setROIPosition(8, 4, 32, 24);
        video.setFramesPerTrigger(1);
        qvxtb::clearRecords();
        video.start();
        video.wait();
        EXPECT_EQ(recordsOf("engine", "makeFrame").front().arguments, "285278208|32|24");
        EXPECT_EQ(recordsOf("frame", "setImage").front().arguments, "32|24|0|0");
        const qvxtb::Frame frame = video.getdata(1).front();
        EXPECT_EQ(frame.width, 32);
        EXPECT_EQ(frame.height, 24);
    }
}

TEST_F(FrameDelivery, TwoFramesGetTwoObjectsAndTwoTimeStamps) {
    // Paced at 100 frames per second, so the host's clock moves between the two.
    loadCameras(R"({"name": "Cam", "norms": [{"name": "PAL_B", "formats": [{"colorformat": "Y800",
        "width": 32, "height": 24, "text": "F", "fps": [100]}]}]})");
    qvxtb::VideoInput& video = open("Cam", "PAL_B:F");
    video.setFramesPerTrigger(2);
    qvxtb::clearRecords();
    video.start();
    video.wait();
    const std::vector<qvxtb::Frame> frames = video.getdata(2);
    EXPECT_LT(frames[0].time, frames[1].time);
    EXPECT_EQ(recordsOf("engine", "makeFrame").size(), 2u);
    EXPECT_EQ(recordsOf("frame", "setTime").size(), 2u);
    EXPECT_EQ(recordsOf("adaptorManager", "incrementFrameCount").size(), 2u);
    EXPECT_EQ(video.framesAcquired(), 2);
}

TEST_F(FrameDelivery, AFailingRegionQueryStillDeliversTheFrameUncut) {
    const std::string readFails = R"({"name": "Partial Scan Offset", "id": "partialScanOffset", "elements": [
        {"name": "X Offset", "id": "offsetX", "range": {"min": 0, "max": 4096, "value": 8, "faults": {"get_Value": -7}}},
        {"name": "Y Offset", "id": "offsetY", "range": {"min": 0, "max": 4096, "value": 4}}]})";
    loadCameras(
        R"({"name": "Bad Cam", "fast": true, "sensor": [64, 48], "descriptors": [{"colorformat": "Y800",
                   "min": [16, 4], "max": [64, 48], "step": [4, 2], "roi": true}], "vcd": [)" +
        readFails + "]}");
    qvxtb::VideoInput& video = open("Bad Cam", "Y800 (64x48)");
    video.setFramesPerTrigger(3);
    qvxtb::clearRecords();
    video.start();
    video.wait();
    const std::vector<qvxtb::Frame> frames = video.getdata(3);
    for (const qvxtb::Frame& frame : frames) {
        EXPECT_EQ(frame.width, 64);
        EXPECT_EQ(frame.height, 48);
    }
    for (const auto& call : recordsOf("frame", "setImage")) EXPECT_EQ(call.arguments, "64|48|0|0");
    EXPECT_EQ(qvxsim::counters().lockedBuffers, 0);
}

TEST_F(FrameDelivery, ANullFrameFromTheEngineIsSkippedButCountedSoTheAcquisitionStillEnds) {
    loadCameras(normCamera("Cam", "Y800", 32, 24));
    qvxtb::VideoInput& video = open("Cam", "PAL_B:F");
    video.setFramesPerTrigger(3);
    qvxtb::failMakeFrameAfter(1);
    video.start();
    video.wait();
    qvxtb::failMakeFrameAfter(-1);
    // The host counts frames acquired, not frames logged: the two frames it could not make are lost, and
    // only the one it made was filled and handed over.
    EXPECT_EQ(recordsOf("adaptorManager", "incrementFrameCount").size(), 3u);
    EXPECT_EQ(recordsOf("engine", "makeFrame").size(), 3u);
    EXPECT_EQ(video.framesAcquired(), 1);
    EXPECT_EQ(recordsOf("frame", "setImage").size(), 1u);
    EXPECT_EQ(recordsOf("engine", "receiveFrame").size(), 1u);
    EXPECT_EQ(qvxtb::liveFrameObjects(), 0);
    EXPECT_EQ(qvxsim::counters().lockedBuffers, 0);
}

} // namespace
} // namespace qvxtest
