// Shared set-up of the camera stand-in tests: a fresh camera set and helpers around the grabber API.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grabber/grabber.h"
#include "grabber/text.h"
#include "sim/cameras/sim_api.h"

namespace simtest {

class SimCameras : public ::testing::Test {
protected:
    void SetUp() override {
        qvxsim::reset();
        qvxsim::recordCalls(true);
        before_ = qvxsim::counters();
    }
    void TearDown() override {
        // Every object the library handed out in the test has been given back.
        const qvxsim::Counters now = qvxsim::counters();
        EXPECT_EQ(now.liveComObjects, before_.liveComObjects);
        EXPECT_EQ(now.liveGrabbers, before_.liveGrabbers);
        EXPECT_EQ(now.openDevices, before_.openDevices);
        EXPECT_EQ(now.liveItems, before_.liveItems);
        EXPECT_EQ(now.liveDescriptors, before_.liveDescriptors);
        EXPECT_EQ(now.liveListHolders, before_.liveListHolders);
        EXPECT_EQ(now.liveSinks, before_.liveSinks);
        EXPECT_EQ(now.buffersInUse, 0);
        EXPECT_EQ(now.lockedBuffers, 0);
        EXPECT_EQ(now.contractViolations, 0);
        qvxsim::reset();
    }

    static bool logged(const std::string& entry) {
        for (const std::string& e : qvxsim::callLog())
            if (e == entry) return true;
        return false;
    }

    qvxsim::Counters before_;
};

inline bool setNorm(KapriLib::Grabber& g, const char* name) {
    return g.setVideoNorm(KapriLib::DStringArg(name));
}
inline bool setFormat(KapriLib::Grabber& g, const char* name) {
    return g.setVideoFormat(KapriLib::DStringArg(name));
}
inline std::string formatText(const KapriLib::VideoFormatItem& f) {
    return KapriLib::takeDstringw(f.toString_());
}

template <class T> std::vector<T> listOf(const KapriLib::smart_ptr<KapriLib::dvector<T>>& list) {
    return list.get() == nullptr ? std::vector<T>() : std::vector<T>(list->begin(), list->end());
}

} // namespace simtest
