// What the kit stand-in promises the caller's thread: the frame memory limit ends an acquisition and keeps
// its frames, frames leave the queue only once the caller's result is built, and waits give way to an
// interrupt.
#include <cstdint>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/instance_fixture.h"

namespace qvxtest {
namespace {

constexpr const char* kFastCamera = R"({"name": "Fast Cam", "fast": true, "buffers": 4,
    "norms": [{"name": "PAL_B", "formats": [{"colorformat": "Y800", "width": 64, "height": 48}]}]})";
constexpr std::size_t kFrameBytes = 64 * 48;

bool gInterrupt = false;

class ToolboxCaller : public InstanceFixture {
protected:
    void SetUp() override {
        InstanceFixture::SetUp();
        limit_ = qvxtb::frameMemoryLimit();
        loadCameras(kFastCamera);
    }
    void TearDown() override {
        qvxtb::setWaitInterrupt(nullptr);
        gInterrupt = false;
        qvxtb::setFrameMemoryLimit(limit_);
        InstanceFixture::TearDown();
    }
    std::size_t limit_ = 0;
};

TEST_F(ToolboxCaller, TheFrameMemoryLimitEndsAnEndlessAcquisitionAndKeepsItsFrames) {
    const std::size_t before = qvxtb::frameMemoryUsed();
    // Room for five frames and a part of the sixth.
    qvxtb::setFrameMemoryLimit(before + 5 * kFrameBytes + kFrameBytes / 2);
    qvxtb::VideoInput& video = open("Fast Cam", "PAL_B:Y800 (64x48)");
    video.setFramesPerTrigger(0); // until stopped
    video.start();
    video.wait(30); // ends without a timeout: no more frames come
    EXPECT_FALSE(video.isRunning());
    EXPECT_EQ(video.acquisitionError(), qvxtb::frameMemoryLimitText());
    EXPECT_EQ(video.framesAvailable(), 5);
    EXPECT_EQ(qvxtb::frameMemoryUsed(), before + 5 * kFrameBytes);
    EXPECT_EQ(video.getdata(5).size(), 5u);
    EXPECT_EQ(qvxtb::frameMemoryUsed(), before);
    EXPECT_EQ(qvxtb::liveFrameObjects(), 0);
    EXPECT_EQ(qvxsim::counters().lockedBuffers, 0);

    // The next acquisition starts without the error, and with room again it runs as wanted.
    qvxtb::setFrameMemoryLimit(limit_);
    video.setFramesPerTrigger(8);
    video.start();
    video.wait(30);
    EXPECT_EQ(video.acquisitionError(), "");
    EXPECT_EQ(video.framesAvailable(), 8);
}

TEST_F(ToolboxCaller, FramesLeaveTheQueueOnlyOnceTheResultIsBuilt) {
    qvxtb::VideoInput& video = open("Fast Cam", "PAL_B:Y800 (64x48)");
    video.setFramesPerTrigger(6);
    video.start();
    video.wait(30);
    std::vector<std::uint32_t> seen;
    const auto failing = [&](const std::vector<const qvxtb::Frame*>& frames) {
        for (const qvxtb::Frame* frame : frames)
            seen.push_back(qvxsim::stampedFrameNumber(frame->data.data()));
        throw std::bad_alloc();
    };
    EXPECT_THROW(video.getdata(4, 1, failing), std::bad_alloc);
    EXPECT_EQ(video.framesAvailable(), 6);
    std::vector<std::uint32_t> taken;
    video.getdata(4, 1, [&](const std::vector<const qvxtb::Frame*>& frames) {
        for (const qvxtb::Frame* frame : frames)
            taken.push_back(qvxsim::stampedFrameNumber(frame->data.data()));
    });
    EXPECT_EQ(taken, seen);
    EXPECT_EQ(video.framesAvailable(), 2);
}

TEST_F(ToolboxCaller, AWaitGivesWayToAnInterruptAndTheAcquisitionGoesOn) {
    qvxtb::setWaitInterrupt([] { return gInterrupt; });
    qvxtb::VideoInput& video = open("Fast Cam", "PAL_B:Y800 (64x48)");
    video.setFramesPerTrigger(0);
    video.start();
    gInterrupt = true; // pending before the waits begin: they end at once rather than after an hour
    EXPECT_THROW(video.wait(3600), qvxtb::InterruptedError);
    EXPECT_THROW(video.getdata(1000000000, 3600), qvxtb::InterruptedError);
    EXPECT_TRUE(video.isRunning());
    gInterrupt = false;
    EXPECT_EQ(video.getdata(3).size(), 3u);
    video.stop();
}

} // namespace
} // namespace qvxtest
