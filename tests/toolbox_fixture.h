// Shared set-up of the toolbox stand-in's own tests: the tests' adaptor loaded fresh, records cleared.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "sim/toolbox/toolbox.h"

namespace qvxtest {

class ToolboxTest : public ::testing::Test {
protected:
    void SetUp() override {
        qvxtb::setPrintWarnings(false);
        qvxtb::setRecordCalls(true);
        qvxtb::clearRecords();
        qvxtb::clearContractViolations();
        before_ = qvxtb::liveImaqAllocations();
        invalidBefore_ = qvxtb::invalidImaqFrees();
        adaptor_ = std::make_unique<qvxtb::Adaptor>(QVX_TOOLBOX_TEST_ADAPTOR);
    }
    void TearDown() override {
        adaptor_.reset();
        qvxtb::failImaqmallocAfter(-1);
        qvxtb::failPropertyCreation("");
        qvxtb::failMakeFrameAfter(-1);
        qvxtb::refuseListenersAfter(-1);
        EXPECT_EQ(qvxtb::liveImaqAllocations(), before_) << "imaqmalloc blocks left behind";
        EXPECT_EQ(qvxtb::liveFrameObjects(), 0);
        EXPECT_EQ(qvxtb::invalidImaqFrees(), invalidBefore_);
        EXPECT_EQ(qvxtb::contractViolations(), std::vector<std::string>()) << "host contract breached";
    }
    qvxtb::Adaptor& adaptor() { return *adaptor_; }

    long before_ = 0;
    long invalidBefore_ = 0;
    std::unique_ptr<qvxtb::Adaptor> adaptor_;
};

} // namespace qvxtest
