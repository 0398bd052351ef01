// The adaptor over Aravis's GigE Vision fake on loopback: the real protocol, and a camera that goes away.
#include <chrono>
#include <thread>

#include "tests/genicam/genicam_fixture.h"

namespace qvxtest {
namespace {

class GigeFake : public GenicamTest {
protected:
    void SetUp() override {
        if (!inPrivateNetwork())
            GTEST_SKIP() << "needs a private network namespace (scripts/genicam-check.sh)";
        fake_ = arv_gv_fake_camera_new_full("127.0.0.1", "GV01", nullptr);
        ASSERT_NE(fake_, nullptr);
        ASSERT_TRUE(arv_gv_fake_camera_is_running(fake_));
    }
    void TearDown() override {
        if (fake_ != nullptr) {
            GenicamTest::TearDown();
            stopFake();
        }
    }
    void stopFake() {
        if (fake_ != nullptr) g_object_unref(std::exchange(fake_, nullptr));
    }
    ArvGvFakeCamera* fake_ = nullptr;
};

TEST_F(GigeFake, RegionFramesOverTheProtocolAreTheFakesPicture) {
    qvxtb::Adaptor& adaptor = open("genicam:127.0.0.1");
    ASSERT_EQ(adaptor.hwinfo().size(), 1u);
    auto video = adaptor.videoinput("127.0.0.1", "Y800 (2048x2048)");
    video->setROIPosition(100, 50, 320, 240);
    video->setFramesPerTrigger(5);
    video->start();
    video->wait(20);
    for (const qvxtb::Frame& frame : video->getdata(5)) {
        ASSERT_EQ(frame.width, 320);
        expectFakePicture(frame, 100, 50);
    }
}

TEST_F(GigeFake, ACameraThatStopsAnsweringEndsTheFramesAndNothingHangs) {
    qvxtb::Adaptor& adaptor = open("genicam:127.0.0.1");
    auto video = adaptor.videoinput("127.0.0.1", "Y800 (2048x2048)");
    video->setROIPosition(0, 0, 64, 64);
    video->setFramesPerTrigger(1000000);
    video->start();
    for (int i = 0; i < 400 && video->framesAcquired() < 3; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    ASSERT_GE(video->framesAcquired(), 3);
    stopFake();
    EXPECT_THROW(video->wait(2), qvxtb::TimeoutError);
    const long acquired = video->framesAcquired();
    video->stop();
    EXPECT_FALSE(video->isRunning());
    EXPECT_EQ(video->framesAcquired(), acquired) << "no frame after the camera went away";
    for (const qvxtb::Frame& frame : video->getdata(3)) expectFakePicture(frame, 0, 0);
    video.reset();
    GenicamTest::TearDown();
}

} // namespace
} // namespace qvxtest
