// Shared set-up of the discovery and description tests: fresh stand-ins, captured boxes and debug text.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/testing.h"
#include "sim/cameras/sim_api.h"
#include "sim/toolbox/toolbox.h"
#include "tests/support/adaptor_path.h"
#include "tests/support/host_records.h"

namespace qvxtest {

// Runs the real adaptor, loaded by path, against a camera set the test describes in JSON.
class DescribeFixture : public ::testing::Test, protected HostRecords {
protected:
    void SetUp() override {
        qvxsim::reset();
        qvxsim::recordCalls(true);
        qvxtb::clearRecords();
        qvxtb::clearContractViolations();
        qvxtb::setPrintWarnings(false);
        qvxplatform::setDebugOutputHook([this](const char* text) { debug_.emplace_back(text); });
        qvxplatform::setMessageBoxHook([this](const qvxplatform::MessageBoxCall& call) {
            boxes_.push_back(call);
            return IDOK;
        });
        coTaskBefore_ = qvxplatform::liveCoTaskMemBlocks();
        bstrsBefore_ = qvxplatform::liveBstrs();
    }

    void TearDown() override {
        adaptor_.reset();
        EXPECT_EQ(qvxtb::contractViolations(), std::vector<std::string>()) << "host contract breached";
        EXPECT_EQ(qvxsim::counters().contractViolations, 0) << "placeholder slots of the library called";
        qvxplatform::setDebugOutputHook(nullptr);
        qvxplatform::setMessageBoxHook(nullptr);
        qvxtb::failPropertyCreation("");
        qvxsim::reset();
        qvxtb::clearRecords();
    }

    void loadCameras(const std::string& json) { qvxsim::loadCameras(json); }
    // A set of one camera given as the JSON object of that device.
    void loadCamera(const std::string& deviceJson) { loadCameras(R"({"devices": [)" + deviceJson + "]}"); }

    qvxtb::Adaptor& adaptor() {
        if (!adaptor_) adaptor_ = std::make_unique<qvxtb::Adaptor>(qvxtest::adaptorPath());
        return *adaptor_;
    }

    // Describes a device as the toolbox does, after its own discovery; the records then hold only
    // what the description did.
    qvxtb::DeviceDescription describe(const std::string& device, const std::string& format) {
        adaptor().hwinfo();
        qvxtb::clearRecords();
        qvxsim::clearCallLog();
        debug_.clear();
        return adaptor().describe(device, format);
    }

    const std::vector<std::string>& debugOutput() const { return debug_; }
    const std::vector<qvxplatform::MessageBoxCall>& boxes() const { return boxes_; }

    // Nothing the adaptor obtained is left alive: texts, BSTRs, VCD objects, grabbers, lists and items.
    void expectNothingLeftAlive() const {
        EXPECT_EQ(qvxplatform::liveCoTaskMemBlocks(), coTaskBefore_);
        EXPECT_EQ(qvxplatform::liveBstrs(), bstrsBefore_);
        const qvxsim::Counters counters = qvxsim::counters();
        EXPECT_EQ(counters.liveComObjects, 0);
        EXPECT_EQ(counters.openDevices, 0);
        EXPECT_EQ(counters.liveGrabbers, 0);
        EXPECT_EQ(counters.liveListHolders, 0);
        EXPECT_EQ(counters.liveDescriptors, 0);
        EXPECT_EQ(counters.liveItems, 0); // every item copy a snapshot made is gone
    }

private:
    std::unique_ptr<qvxtb::Adaptor> adaptor_;
    std::vector<std::string> debug_;
    std::vector<qvxplatform::MessageBoxCall> boxes_;
    long coTaskBefore_ = 0;
    long bstrsBefore_ = 0;
};

} // namespace qvxtest
