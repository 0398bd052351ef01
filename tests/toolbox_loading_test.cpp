// The toolbox stand-in's loading, discovery, description, warnings and memory accounting.
#include <gmock/gmock.h>

#include "host/imaqkit.h"
#include "tests/toolbox_fixture.h"

namespace {

using qvxtest::ToolboxTest;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST(ToolboxLoading, MissingExportIsNamedWithTheFile) {
    try {
        qvxtb::Adaptor adaptor(QVX_TOOLBOX_TEST_ADAPTOR_INCOMPLETE);
        FAIL() << "loaded an adaptor without createInstance";
    } catch (const qvxtb::ToolboxError& error) {
        EXPECT_THAT(error.what(), HasSubstr("\"createInstance\""));
        EXPECT_THAT(error.what(), HasSubstr(QVX_TOOLBOX_TEST_ADAPTOR_INCOMPLETE));
    }
}

TEST(ToolboxLoading, UnloadableFileIsAClearError) {
    EXPECT_THROW(qvxtb::Adaptor("/nonexistent/libNothing.so"), qvxtb::ToolboxError);
}

TEST_F(ToolboxTest, NameComesFromTheFileName) {
    EXPECT_EQ(adaptor().name(), "qvx_toolbox_test_adaptor_complete");
}

TEST_F(ToolboxTest, HwinfoReportsAddedDevicesWithTheirFormatsInOrder) {
    const auto devices = adaptor().hwinfo();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].id, 1);
    EXPECT_EQ(devices[0].name, "Test Cam");
    ASSERT_EQ(devices[0].formats.size(), 3u);
    EXPECT_EQ(devices[0].formats[1].id, 2);
    EXPECT_EQ(devices[0].formats[1].name, "RGB24 (8x6)");
    EXPECT_EQ(devices[1].id, 3);
    EXPECT_EQ(devices[1].formats[0].id, 0);
    EXPECT_EQ(adaptor().findDevice("3").name, "Spare Cam");
    EXPECT_EQ(adaptor().findDevice("Spare Cam").id, 3);
    EXPECT_THROW(adaptor().findDevice("2"), qvxtb::ToolboxError);
    EXPECT_THROW(adaptor().findDevice("Left Out"), qvxtb::ToolboxError);
}

TEST_F(ToolboxTest, WarningsAreRecordedAsTheHostFormatsThem) {
    adaptor().hwinfo();
    const auto warnings = qvxtb::warnings();
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0].identifier, "test:literal");
    EXPECT_EQ(warnings[0].text, "100% of %d stays literal");
    EXPECT_EQ(warnings[1].text, "5 frames of Spare Cam");
    imaqkit::adaptorWarn("id", std::string(3000, 'x').c_str());
    EXPECT_EQ(qvxtb::warnings().back().text.size(), 3000u);
}

TEST_F(ToolboxTest, DescribeKeepsPublishedPropertiesInOrder) {
    const auto description = adaptor().describe("Test Cam", "Y800 (8x6)");
    std::vector<std::string> names;
    for (const auto& property : description.properties) names.push_back(property.name);
    // "Unpublished" was never published; the double "Level" replaced the integer one.
    EXPECT_THAT(names, ElementsAre("SerialNo", "Gain", "Exposure", "Mode", "Rate", "Choice", "Level",
                                   "Faulty", "Strange", "BadIds"));
    const auto& serial = description.properties[0];
    EXPECT_EQ(serial.readOnly, "always");
    EXPECT_FALSE(serial.hasLimits);
    const auto& gain = description.properties[1];
    EXPECT_EQ(gain.type, qvxtb::PropType::Integer);
    EXPECT_EQ(gain.max, 100);
    EXPECT_EQ(gain.defaultValue, 10);
    const auto& rate = description.properties[4];
    EXPECT_EQ(rate.readOnly, "whileRunning");
    ASSERT_EQ(rate.values.size(), 3u);
    EXPECT_EQ(rate.values[2].text, " 7.50");
    const auto& choice = description.properties[5];
    ASSERT_EQ(choice.values.size(), 3u) << "the default repeated under its id is one value";
    EXPECT_EQ(choice.values[0].text, "c");
    EXPECT_EQ(choice.defaultValue, 2);
    EXPECT_EQ(description.properties[6].type, qvxtb::PropType::Double);
    ASSERT_EQ(description.sources.size(), 2u);
    EXPECT_EQ(description.sources[0].name, "Test Cam");
    EXPECT_THROW(adaptor().describe("Test Cam", "No Such Format"), qvxtb::ToolboxError);
}

TEST_F(ToolboxTest, InjectedCreationFailureLeavesThePropertyOut) {
    qvxtb::failPropertyCreation("Gain");
    const auto description = adaptor().describe("1", "Y800 (8x6)");
    for (const auto& property : description.properties) EXPECT_NE(property.name, "Gain");
    EXPECT_EQ(description.properties.size(), 9u);
}

TEST_F(ToolboxTest, CallsAreRecordedWithTheirArguments) {
    adaptor().describe("1", "Y800 (8x6)");
    std::vector<std::string> gainCalls;
    for (const auto& call : qvxtb::calls()) {
        if (call.object == "propFactory" && call.arguments.rfind("Gain", 0) == 0)
            gainCalls.push_back(call.operation + "(" + call.arguments + ")");
    }
    EXPECT_THAT(gainCalls, ElementsAre("createIntRangeProperty(Gain|0|100|10|1)",
                                       "setPropReadOnly(Gain|never)", "addProperty(Gain)"));
}

TEST(ToolboxMemory, ImaqmallocCountsFailsOnRequestAndCatchesBadFrees) {
    const long before = qvxtb::liveImaqAllocations();
    void* block = imaqkit::imaqmalloc(16);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(qvxtb::liveImaqAllocations(), before + 1);
    qvxtb::failImaqmallocAfter(1);
    void* second = imaqkit::imaqmalloc(8);
    EXPECT_NE(second, nullptr);
    EXPECT_EQ(imaqkit::imaqmalloc(8), nullptr);
    qvxtb::failImaqmallocAfter(-1);
    imaqkit::imaqfree(second);
    imaqkit::imaqfree(block);
    EXPECT_EQ(qvxtb::liveImaqAllocations(), before);
    const long invalid = qvxtb::invalidImaqFrees();
    imaqkit::imaqfree(block);
    EXPECT_EQ(qvxtb::invalidImaqFrees(), invalid + 1);
    imaqkit::imaqfree(nullptr);
    EXPECT_EQ(qvxtb::invalidImaqFrees(), invalid + 1);
}

TEST_F(ToolboxTest, CreateInstanceThatFindsNoMemoryGivesAVideoInputWithoutAdaptor) {
    qvxtb::failImaqmallocAfter(0);
    auto input = adaptor().videoinput("1", "Y800 (8x6)");
    qvxtb::failImaqmallocAfter(-1);
    EXPECT_EQ(input->adaptor(), nullptr);
    EXPECT_THROW(input->start(), qvxtb::ToolboxError);
}

} // namespace
