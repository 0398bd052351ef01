// Property access through a video input: validation before the listeners, getters, and adaptor errors.
#include <gmock/gmock.h>

#include "tests/toolbox_fixture.h"

namespace {

using ::testing::HasSubstr;

class ToolboxProperties : public qvxtest::ToolboxTest {
protected:
    void SetUp() override {
        ToolboxTest::SetUp();
        input_ = adaptor().videoinput("Test Cam", "Y800 (8x6)");
    }
    void TearDown() override {
        input_.reset();
        ToolboxTest::TearDown();
    }
    long setterCalls(const std::string& name) {
        long count = 0;
        for (const auto& call : qvxtb::calls())
            if (call.object == "propInfo" && call.operation == "getPropertyName" && call.arguments == name)
                ++count;
        return count;
    }
    std::unique_ptr<qvxtb::VideoInput> input_;
};

TEST_F(ToolboxProperties, ValuesTravelAsIdsAndNumbersAndComeBackAsTheUserSeesThem) {
    EXPECT_EQ(input_->get("Mode"), qvxtb::PropertyValue(std::string("On")));
    input_->set("Mode", std::string("Off"));
    EXPECT_EQ(input_->get("Mode"), qvxtb::PropertyValue(std::string("Off")));
    input_->set("Gain", std::int64_t{42});
    EXPECT_EQ(input_->get("Gain"), qvxtb::PropertyValue(std::int64_t{42}));
    input_->set("Exposure", 0.25);
    EXPECT_EQ(input_->get("Exposure"), qvxtb::PropertyValue(0.25));
    input_->set("Rate", std::string("7.50")); // as typed, without the leading blank
    EXPECT_EQ(input_->get("Rate"), qvxtb::PropertyValue(std::string(" 7.50")));
    EXPECT_EQ(input_->get("SerialNo"), qvxtb::PropertyValue(std::int64_t{4242}));
    EXPECT_EQ(input_->get("Choice"), qvxtb::PropertyValue(std::string("c")));
}

TEST_F(ToolboxProperties, RefusedWritesNeverReachTheListener) {
    qvxtb::clearRecords();
    EXPECT_THROW(input_->set("Mode", std::string("Maybe")), qvxtb::ToolboxError);
    EXPECT_THROW(input_->set("Mode", std::int64_t{1}), qvxtb::ToolboxError);
    EXPECT_THROW(input_->set("Gain", std::int64_t{101}), qvxtb::ToolboxError);
    EXPECT_THROW(input_->set("Gain", 1.5), qvxtb::ToolboxError);
    EXPECT_THROW(input_->set("Gain", std::string("5")), qvxtb::ToolboxError);
    EXPECT_THROW(input_->set("Exposure", 2.0), qvxtb::ToolboxError);
    EXPECT_THROW(input_->set("SerialNo", std::int64_t{1}), qvxtb::ToolboxError);
    EXPECT_THROW(input_->set("NoSuchProperty", std::int64_t{1}), qvxtb::ToolboxError);
    EXPECT_EQ(setterCalls("Mode") + setterCalls("Gain") + setterCalls("Exposure") + setterCalls("SerialNo"),
              0);
    EXPECT_EQ(input_->get("Gain"), qvxtb::PropertyValue(std::int64_t{10}));
}

TEST_F(ToolboxProperties, WhileRunningPropertiesAreRefusedDuringAnAcquisition) {
    input_->setFramesPerTrigger(0);
    input_->start();
    try {
        input_->set("Rate", std::string("15.00"));
        FAIL() << "set a whileRunning property while running";
    } catch (const qvxtb::ToolboxError& error) {
        EXPECT_THAT(error.what(), HasSubstr("while running"));
    }
    input_->set("Gain", std::int64_t{3});
    input_->stop();
    input_->set("Rate", std::string("15.00"));
}

TEST_F(ToolboxProperties, AdaptorErrorsBecomeToolboxErrorsWithTheCodeInHex) {
    try {
        input_->get("Faulty");
        FAIL();
    } catch (const qvxtb::ToolboxError& error) {
        EXPECT_THAT(error.what(), HasSubstr("0x80004005"));
    }
    try {
        input_->set("Faulty", std::int64_t{3});
        FAIL();
    } catch (const qvxtb::ToolboxError& error) {
        EXPECT_THAT(error.what(), HasSubstr("0x80070057"));
    }
    EXPECT_THROW(input_->set("Strange", std::int64_t{3}), qvxtb::ToolboxError);
    // The video input stays usable and the refused value was not kept.
    input_->set("Gain", std::int64_t{7});
    EXPECT_EQ(input_->get("Gain"), qvxtb::PropertyValue(std::int64_t{7}));
}

TEST_F(ToolboxProperties, AnIdOutsideTheEnumerationIsAnError) {
    input_->set("BadIds", std::int64_t{1});
    input_->set("Mode", std::string("Off"));
    EXPECT_THROW(input_->get("Mode"), qvxtb::ToolboxError);
}

TEST_F(ToolboxProperties, SourceSelectionRestartsARunningAcquisition) {
    input_->setSelectedSourceName("Second input");
    EXPECT_EQ(input_->restarts(), 0);
    EXPECT_EQ(input_->selectedSourceName(), "Second input");
    input_->setFramesPerTrigger(0);
    input_->start();
    input_->setSelectedSourceName("Test Cam");
    EXPECT_EQ(input_->restarts(), 1);
    EXPECT_TRUE(input_->isRunning());
    EXPECT_THROW(input_->setSelectedSourceName("No such source"), qvxtb::ToolboxError);
    input_->stop();
}

} // namespace
