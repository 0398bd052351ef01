// Acquisitions through the toolbox: frames wanted and counted, stop from the caller's thread, ROI, snapshots.
#include <gmock/gmock.h>

#include "host/frame.h"
#include "tests/toolbox_fixture.h"

namespace {

using ::testing::HasSubstr;

using ToolboxAcquisition = qvxtest::ToolboxTest;

TEST_F(ToolboxAcquisition, AcquiresFramesPerTriggerTimesRepeatsThenStops) {
    auto input = adaptor().videoinput("1", "Y800 (8x6)");
    input->setFramesPerTrigger(3);
    input->setTriggerRepeat(1);
    input->start();
    EXPECT_THROW(input->start(), qvxtb::ToolboxError);
    input->wait(10);
    EXPECT_FALSE(input->isRunning());
    EXPECT_EQ(input->framesAcquired(), 6);
    EXPECT_EQ(input->framesAvailable(), 6);
    const auto frames = input->getdata(6);
    ASSERT_EQ(frames.size(), 6u);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i].width, 8);
        EXPECT_EQ(frames[i].height, 6);
        EXPECT_EQ(frames[i].data.front(), i) << "frames arrive in order, none lost or repeated";
        if (i > 0) {
            EXPECT_GE(frames[i].time, frames[i - 1].time);
        }
    }
    EXPECT_THROW(input->getdata(1, 0.1), qvxtb::ToolboxError);
}

TEST_F(ToolboxAcquisition, GetdataStopsOnceTheWantedFramesAreIn) {
    auto input = adaptor().videoinput("1", "RGB24 (8x6)");
    input->setFramesPerTrigger(4);
    input->start();
    const auto first = input->getdata(2);
    const auto rest = input->getdata(2);
    EXPECT_FALSE(input->isRunning());
    EXPECT_EQ(rest.back().frameType, imaqkit::kFrameBgr24);
    EXPECT_EQ(rest.back().data.size(), 8u * 6u * 3u);
    EXPECT_THROW(input->getdata(1, 0.1), qvxtb::ToolboxError) << "no more frames will come";
}

TEST_F(ToolboxAcquisition, FramesThatDoNotComeEndInATimeout) {
    auto input = adaptor().videoinput("1", "Silent (8x6)");
    input->setFramesPerTrigger(2);
    input->start();
    try {
        input->wait(0.2);
        FAIL() << "waited successfully for frames that never came";
    } catch (const qvxtb::TimeoutError& error) {
        EXPECT_THAT(error.what(), HasSubstr("0 of 2 frames"));
    }
    EXPECT_THROW(input->getdata(1, 0.2), qvxtb::TimeoutError);
    input->stop();
    EXPECT_FALSE(input->isRunning());
}

TEST_F(ToolboxAcquisition, RefusedStartIsAnError) {
    auto input = adaptor().videoinput("Spare Cam", "Broken (4x4)");
    EXPECT_THROW(input->start(), qvxtb::ToolboxError);
    EXPECT_FALSE(input->isRunning());
}

TEST_F(ToolboxAcquisition, UnlimitedFramesFlowUntilStopped) {
    auto input = adaptor().videoinput("1", "Y800 (8x6)");
    input->setFramesPerTrigger(0);
    input->start();
    const auto frames = input->getdata(5);
    EXPECT_TRUE(input->isRunning());
    input->stop();
    EXPECT_EQ(frames.size(), 5u);
}

TEST_F(ToolboxAcquisition, SnapshotIsAnAcquisitionOfItsOwn) {
    auto input = adaptor().videoinput("Spare Cam", "Y16 (4x4)");
    input->setFramesPerTrigger(2);
    input->start();
    input->wait();
    const qvxtb::Frame snapshot = input->getsnapshot();
    EXPECT_EQ(snapshot.frameType, imaqkit::kFrameMono16);
    EXPECT_EQ(snapshot.data.size(), 4u * 4u * 2u);
    EXPECT_FALSE(input->isRunning());
    EXPECT_EQ(input->framesAvailable(), 2) << "the user's frames are still there";
    EXPECT_EQ(input->framesAcquired(), 2) << "the snapshot's frame is not counted as the user's";
    input->start();
    input->wait();
    EXPECT_EQ(input->framesAcquired(), 2) << "FramesPerTrigger is back";
}

TEST_F(ToolboxAcquisition, SnapshotWhileRunningCopiesALoggedFrameAndLeavesTheCountsAlone) {
    auto input = adaptor().videoinput("1", "Y800 (8x6)");
    input->setFramesPerTrigger(0);
    input->start();
    input->getdata(1);
    const qvxtb::Frame snapshot = input->getsnapshot();
    EXPECT_EQ(snapshot.frameType, imaqkit::kFrameMono8);
    EXPECT_EQ(snapshot.data.size(), 8u * 6u);
    EXPECT_TRUE(input->isRunning()) << "the acquisition goes on";
    input->stop();
    EXPECT_EQ(input->framesAvailable(), input->framesAcquired() - 1)
        << "the snapshot's frame stays logged, and no frame is added for it";
    input->setFramesPerTrigger(2);
    input->start();
    input->wait();
    const qvxtb::Frame afterwards = input->getsnapshot();
    EXPECT_EQ(afterwards.data.size(), 8u * 6u) << "a complete acquisition is stopped, then snapped";
    EXPECT_EQ(input->framesAvailable(), 2);
}

TEST_F(ToolboxAcquisition, RoiIsTheHostsCopyAndShapesTheFrames) {
    auto input = adaptor().videoinput("Spare Cam", "RGB32 (8x6)");
    EXPECT_EQ(input->getROIPosition(), (std::array<int, 4>{0, 0, 8, 6}));
    input->setROIPosition(2, 1, 4, 3);
    EXPECT_EQ(input->getROIPosition(), (std::array<int, 4>{2, 1, 4, 3}));
    EXPECT_THROW(input->setROIPosition(0, 0, 0, 3), qvxtb::ToolboxError);
    EXPECT_THROW(input->setROIPosition(-1, 0, 2, 2), qvxtb::ToolboxError);
    const qvxtb::Frame frame = input->getsnapshot();
    EXPECT_EQ(frame.width, 4);
    EXPECT_EQ(frame.height, 3);
}

TEST_F(ToolboxAcquisition, DestroyingARunningVideoInputStopsAndFreesEverything) {
    auto input = adaptor().videoinput("1", "Y800 (8x6)");
    input->setFramesPerTrigger(0);
    input->start();
    input->getdata(2);
    input.reset();
    // The fixture checks that every imaqmalloc block (adaptor, manager, engine, listeners) came back.
    bool deleted = false;
    for (const auto& call : qvxtb::calls())
        deleted = deleted || (call.object == "adaptorManager" && call.operation == "delete");
    EXPECT_TRUE(deleted);
}

TEST_F(ToolboxAcquisition, AVideoInputOutlivesItsAdaptorObject) {
    auto input = adaptor().videoinput("1", "Y800 (8x6)");
    adaptor_.reset(); // the library stays loaded while the video input needs it
    input->setFramesPerTrigger(1);
    input->start();
    input->wait();
    EXPECT_EQ(input->getdata(1).size(), 1u);
}

} // namespace
