// Soak: acquisitions on every default camera at once while the host's thread changes regions,
// properties and the selected source, then start/stop and create/destroy cycles; bounded by
// QVX_SOAK_SECONDS (a short run by default).
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <gmock/gmock.h>

#include "tests/support/instance_fixture.h"

namespace qvxtest {
namespace {

using Clock = std::chrono::steady_clock;

double soakSeconds() {
    const char* text = std::getenv("QVX_SOAK_SECONDS");
    const double seconds = text != nullptr ? std::atof(text) : 0.0;
    return seconds > 0 ? seconds : 1.5;
}

std::uint32_t stamp(const qvxtb::Frame& frame) {
    std::uint32_t number = 0;
    if (frame.data.size() >= sizeof number) number = qvxsim::stampedFrameNumber(frame.data.data());
    return number;
}

// One camera's video input and what came out of it.
struct Camera {
    std::string device;
    std::string format;
    std::unique_ptr<qvxtb::VideoInput> video;
    long taken = 0;
    long duplicates = 0;
    std::uint32_t lastStamp = 0;

    // The camera numbers frames from 0 in every live session and the tests restart live mode often, so
    // a frame handed over twice shows as the same number twice in a row; only 0 may repeat (a session
    // that delivered one frame, then a restart).
    void take(long count) {
        if (count <= 0) return;
        for (const qvxtb::Frame& frame : video->getdata(static_cast<int>(count), 20)) {
            ++taken;
            const std::uint32_t number = stamp(frame);
            if (number != 0 && number == lastStamp) ++duplicates;
            lastStamp = number;
        }
    }
};

class Soak : public InstanceFixture {
protected:
    // Long runs switch call recording off; the tests after this one rely on it.
    void SetUp() override {
        InstanceFixture::SetUp();
        qvxtb::setRecordCalls(false);
    }
    void TearDown() override {
        qvxtb::setRecordCalls(true);
        InstanceFixture::TearDown();
    }

    std::vector<Camera> openDefaultCameras() {
        qvxsim::reset(); // the compiled-in default set
        std::vector<Camera> cameras;
        for (const qvxtb::DeviceInfo& device : adaptor().hwinfo()) {
            if (device.formats.empty()) continue;
            Camera camera;
            camera.device = std::to_string(device.id);
            camera.format = device.formats.front().name;
            camera.video = adaptor().videoinput(camera.device, camera.format);
            cameras.push_back(std::move(camera));
        }
        return cameras;
    }

    // A write the toolbox accepts: an enumeration text of the property, or its default.
    static qvxtb::PropertyValue valueFor(const qvxtb::PropertyInfo& property, std::mt19937& random) {
        switch (property.type) {
        case qvxtb::PropType::Enum:
            return property.values[random() % property.values.size()].text;
        case qvxtb::PropType::Double:
            return property.defaultValue;
        case qvxtb::PropType::String:
            return std::string();
        default:
            return static_cast<std::int64_t>(property.defaultValue);
        }
    }
};

TEST_F(Soak, EveryDeliveredFrameIsCountedOnceWhileTheHostChangesEverything) {
    std::vector<Camera> cameras = openDefaultCameras();
    ASSERT_FALSE(cameras.empty());
    std::mt19937 random(12345);

    const auto deadline = Clock::now() + std::chrono::duration<double>(soakSeconds());
    int rounds = 0;
    while (Clock::now() < deadline || rounds < 2) {
        ++rounds;
        for (Camera& camera : cameras) {
            qvxtb::VideoInput& video = *camera.video;
            video.setFramesPerTrigger(0); // until stopped
            const long takenBefore = camera.taken;
            video.start();
            for (int step = 0; step < 6; ++step) {
                // While running the toolbox refuses regions; the host's thread asks the adaptor directly.
                const int full = static_cast<int>(random() % 2);
                video.adaptor()->setROI(static_cast<int>(random() % 64), static_cast<int>(random() % 48),
                                        full ? 100000 : 64 + static_cast<int>(random() % 256),
                                        full ? 100000 : 48 + static_cast<int>(random() % 192));
                int x = 0, y = 0, width = 0, height = 0;
                video.adaptor()->getROI(&x, &y, &width, &height);
                for (const qvxtb::PropertyInfo& property : video.description().properties) {
                    EXPECT_NO_THROW(video.get(property.name)) << property.name;
                    if (property.readOnly != "never") continue;
                    EXPECT_NO_THROW(video.set(property.name, valueFor(property, random))) << property.name;
                }
                if (step % 3 == 0) video.setSelectedSourceName(video.selectedSourceName());
                // Frames keep coming after every change: wait for one, then take what is there.
                camera.take(1);
                camera.take(video.framesAvailable());
            }
            video.stop();
            camera.take(video.framesAvailable());
            // The adaptor counted exactly the frames that reached the engine in this acquisition.
            EXPECT_EQ(camera.taken - takenBefore, video.framesAcquired());
        }
    }
    for (Camera& camera : cameras) {
        SCOPED_TRACE(camera.device);
        EXPECT_EQ(camera.duplicates, 0) << "a frame was handed over twice";
        EXPECT_GT(camera.taken, 0) << "no frame came in " << rounds << " rounds";
    }
    cameras.clear();
    const qvxsim::Counters counters = qvxsim::counters();
    EXPECT_EQ(counters.lockedBuffers, 0);
    EXPECT_EQ(counters.buffersInUse, 0);
}

TEST_F(Soak, StartStopAndCreateDestroyCyclesLeaveNothingBehind) {
    const auto deadline = Clock::now() + std::chrono::duration<double>(soakSeconds());
    int cycles = 0;
    while (Clock::now() < deadline || cycles < 3) {
        ++cycles;
        std::vector<Camera> cameras = openDefaultCameras();
        for (Camera& camera : cameras) {
            for (int run = 0; run < 3; ++run) {
                camera.video->setFramesPerTrigger(run == 0 ? 1 : 0);
                camera.video->start();
                if (run == 0) camera.video->wait();
                camera.video->stop();
                const long acquired = camera.video->framesAcquired();
                const long before = camera.taken;
                camera.take(camera.video->framesAvailable());
                EXPECT_EQ(camera.taken - before, acquired) << "counted and handed-over frames differ";
            }
            EXPECT_EQ(camera.duplicates, 0);
        }
    }
    const qvxsim::Counters counters = qvxsim::counters();
    EXPECT_EQ(counters.lockedBuffers, 0);
    EXPECT_EQ(counters.buffersInUse, 0);
}

} // namespace
} // namespace qvxtest
