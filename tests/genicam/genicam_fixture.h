// Shared set-up of the GenICam camera tests: the adaptor over Aravis's fake cameras, and leak checks.
#pragma once

#include <arv.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "sim/cameras/sim_api.h"
#include "sim/toolbox/toolbox.h"
#include "tests/support/adaptor_path.h"

namespace qvxtest {

class GenicamTest : public ::testing::Test {
protected:
    void TearDown() override {
        adaptor_.reset();
        arv_set_fake_camera_genicam_filename(nullptr);
        const qvxsim::Counters c = qvxsim::counters();
        EXPECT_EQ(c.liveComObjects, 0) << "VCD objects not released";
        EXPECT_EQ(c.lockedBuffers, 0);
        EXPECT_EQ(c.buffersInUse, 0);
        EXPECT_EQ(c.liveGrabbers, 0);
        EXPECT_EQ(c.openDevices, 0);
        EXPECT_EQ(c.contractViolations, 0);
        EXPECT_EQ(qvxtb::liveFrameObjects(), 0);
        EXPECT_EQ(qvxtb::contractViolations(), std::vector<std::string>());
        qvxsim::reset();
    }

    qvxtb::Adaptor& open(const std::string& choice) {
        qvxtb::setPrintWarnings(false);
        qvxtb::setRecordCalls(false);
        qvxsim::reset();
        qvxsim::loadCamerasFromFile(choice);
        adaptor_ = std::make_unique<qvxtb::Adaptor>(adaptorPath());
        return *adaptor_;
    }

    static const qvxtb::PropertyInfo* find(const qvxtb::DeviceDescription& d, const std::string& name) {
        for (const auto& p : d.properties)
            if (p.name == name) return &p;
        return nullptr;
    }

    // The fake's picture: pixel (x, y) of the sensor shows (x + y + k) % 255 for the frame's own k. The
    // frame's k is read from its first pixel; every other pixel must agree with it. Returns k.
    static int expectFakePicture(const qvxtb::Frame& frame, int originX, int originY) {
        EXPECT_EQ(frame.data.size(), static_cast<std::size_t>(frame.width) * frame.height);
        if (frame.data.empty()) return -1;
        const int k = (frame.data[0] - originX - originY + 255 * 64) % 255;
        int wrong = 0;
        for (int y = 0; y < frame.height; ++y)
            for (int x = 0; x < frame.width; ++x) {
                const int expected = (originX + x + originY + y + k) % 255;
                if (frame.data[static_cast<std::size_t>(y) * frame.width + x] != expected) ++wrong;
            }
        EXPECT_EQ(wrong, 0) << "pixels off the fake's picture at origin " << originX << "," << originY;
        return k;
    }

    // Tests that need the GigE Vision fake run only in a private network namespace
    // (scripts/genicam-check.sh): elsewhere its port on 127.0.0.1 could be another run's.
    static bool inPrivateNetwork() {
        const char* flag = std::getenv("QVX_GENICAM_NETNS");
        return flag != nullptr && std::string(flag) == "1";
    }

    std::unique_ptr<qvxtb::Adaptor> adaptor_;
};

// A fake camera description changed from Aravis's own: another sensor size, size steps above 1, a float gain
// whose upper limit is a feature of its own (so that a write within the declared limits can be refused).
std::string writeChangedDescription(const std::string& folder);

} // namespace qvxtest
