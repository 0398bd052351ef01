// Whole acquisitions through the host: the frames wanted arrive, each once, in order, and nothing stays
// locked.
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/instance_fixture.h"

namespace qvxtest {
namespace {

constexpr const char* kFastCamera = R"({"name": "Fast Cam", "fast": true, "buffers": 4,
    "norms": [{"name": "PAL_B", "formats": [{"colorformat": "Y800", "width": 64, "height": 48}]}]})";

class Acquisition : public InstanceFixture, public ::testing::WithParamInterface<int> {
protected:
    // The camera's frame numbers as the frames carry them in their first pixels.
    static std::vector<std::uint32_t> frameNumbers(const std::vector<qvxtb::Frame>& frames) {
        std::vector<std::uint32_t> numbers;
        for (const qvxtb::Frame& frame : frames) {
            EXPECT_GE(frame.data.size(), 4u);
            if (frame.data.size() >= 4) numbers.push_back(qvxsim::stampedFrameNumber(frame.data.data()));
        }
        return numbers;
    }

    static void expectDistinctAndRising(const std::vector<std::uint32_t>& numbers) {
        for (std::size_t i = 1; i < numbers.size(); ++i)
            EXPECT_GT(numbers[i], numbers[i - 1]) << "frame " << i;
    }
};

TEST_P(Acquisition, ExactlyTheFramesWantedReachTheEngine) {
    const int wanted = GetParam();
    loadCameras(kFastCamera);
    qvxtb::VideoInput& video = open("Fast Cam", "PAL_B:Y800 (64x48)");
    video.setFramesPerTrigger(wanted);
    qvxtb::clearRecords();
    video.start();
    video.wait(30);

    EXPECT_EQ(video.framesAcquired(), wanted);
    EXPECT_EQ(video.framesAvailable(), wanted);
    EXPECT_EQ(recordsOf("adaptorManager", "incrementFrameCount").size(), static_cast<std::size_t>(wanted));
    EXPECT_EQ(recordsOf("engine", "receiveFrame").size(), static_cast<std::size_t>(wanted));
    const std::vector<qvxtb::Frame> frames = video.getdata(wanted);
    ASSERT_EQ(frames.size(), static_cast<std::size_t>(wanted));
    for (const qvxtb::Frame& frame : frames) {
        EXPECT_EQ(frame.width, 64);
        EXPECT_EQ(frame.height, 48);
        EXPECT_EQ(frame.data.size(), 64u * 48u);
    }
    expectDistinctAndRising(frameNumbers(frames));
    EXPECT_EQ(qvxsim::counters().lockedBuffers, 0);
}

INSTANTIATE_TEST_SUITE_P(FrameCounts, Acquisition, ::testing::Values(1, 2, 3, 10, 89));

class AcquisitionCycles : public Acquisition {};

TEST_F(AcquisitionCycles, ThreeStartStopCyclesInARow) {
    loadCameras(kFastCamera);
    qvxtb::VideoInput& video = open("Fast Cam", "PAL_B:Y800 (64x48)");
    video.setFramesPerTrigger(4);
    for (int cycle = 0; cycle < 3; ++cycle) {
        SCOPED_TRACE(cycle);
        video.start();
        video.wait();
        EXPECT_FALSE(video.isRunning());
        EXPECT_FALSE(qvxsim::deviceState("Fast Cam").live);
        const std::vector<qvxtb::Frame> frames = video.getdata(4);
        ASSERT_EQ(frames.size(), 4u);
        expectDistinctAndRising(frameNumbers(frames));
        EXPECT_EQ(qvxsim::counters().lockedBuffers, 0);
        EXPECT_TRUE(qvxsim::deviceState("Fast Cam").open);
    }
}

TEST_F(AcquisitionCycles, AnAcquisitionStoppedEarlyLeavesNothingLocked) {
    loadCameras(kFastCamera);
    qvxtb::VideoInput& video = open("Fast Cam", "PAL_B:Y800 (64x48)");
    video.setFramesPerTrigger(0); // until stopped
    video.start();
    video.getdata(5);
    video.stop();
    EXPECT_FALSE(qvxsim::deviceState("Fast Cam").live);
    EXPECT_EQ(qvxsim::counters().lockedBuffers, 0);
    EXPECT_EQ(qvxsim::counters().buffersInUse, 0);
}

TEST_F(AcquisitionCycles, RepeatedTriggersDeliverEveryTriggersFrames) {
    loadCameras(kFastCamera);
    qvxtb::VideoInput& video = open("Fast Cam", "PAL_B:Y800 (64x48)");
    video.setFramesPerTrigger(3);
    video.setTriggerRepeat(2);
    video.start();
    video.wait();
    EXPECT_EQ(video.framesAcquired(), 9);
    const std::vector<qvxtb::Frame> frames = video.getdata(9);
    std::vector<std::uint32_t> numbers;
    for (const auto& frame : frames) numbers.push_back(qvxsim::stampedFrameNumber(frame.data.data()));
    for (std::size_t i = 1; i < numbers.size(); ++i) EXPECT_GT(numbers[i], numbers[i - 1]);
}

// The host logs every FrameGrabInterval-th frame after TriggerFrameDelay frames of each trigger; the adaptor
// counts every frame it is handed, sent or not, so that the host's count reaches the end.
struct Spacing {
    int framesPerTrigger, triggerRepeat, interval, delay;
    std::vector<std::uint32_t> logged; // the camera's frame numbers
    std::size_t counted;               // frames acquired in all
};

class AcquisitionSpacing : public Acquisition {
protected:
    static Spacing spacing(int index) {
        static const Spacing cases[] = {
            {4, 0, 3, 0, {0, 3, 6, 9}, 10},
            {3, 0, 1, 2, {2, 3, 4}, 5},
            {2, 1, 2, 1, {1, 3, 5, 7}, 8},
        };
        return cases[index];
    }
};

TEST_F(AcquisitionSpacing, FrameGrabIntervalAndTriggerFrameDelayEndWithTheFramesAskedForSpacedAsDocumented) {
    loadCameras(kFastCamera);
    qvxtb::VideoInput& video = open("Fast Cam", "PAL_B:Y800 (64x48)");
    for (int index = 0; index < 3; ++index) {
        const Spacing expected = spacing(index);
        SCOPED_TRACE(index);
        video.setFramesPerTrigger(expected.framesPerTrigger);
        video.setTriggerRepeat(expected.triggerRepeat);
        video.setFrameGrabInterval(expected.interval);
        video.setTriggerFrameDelay(expected.delay);
        qvxtb::clearRecords();
        video.start();
        video.wait(30);
        EXPECT_EQ(video.framesAcquired(), static_cast<long>(expected.logged.size()));
        const std::vector<qvxtb::Frame> frames = video.getdata(static_cast<int>(expected.logged.size()), 1);
        EXPECT_EQ(frameNumbers(frames), expected.logged);
        EXPECT_EQ(recordsOf("adaptorManager", "incrementFrameCount").size(), expected.counted);
        EXPECT_EQ(recordsOf("engine", "makeFrame").size(), expected.logged.size())
            << "a frame not sent is never made";
        EXPECT_EQ(qvxsim::counters().lockedBuffers, 0);
    }
}

} // namespace
} // namespace qvxtest
