// Describing one device and format through the real adaptor: source, serial number, frame rate, channel.
#include <string>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "host/hardware_info.h"
#include "host/prop_factory.h"
#include "host/source_info.h"
#include "sim/toolbox/placeholder.h"
#include "tests/support/describe_fixture.h"
#include "tests/support/mock_description.h"
#include "tests/support/named_device.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct Value {
    std::string text;
    int id;
    bool operator==(const Value& other) const { return text == other.text && id == other.id; }
};

void PrintTo(const Value& value, std::ostream* out) { *out << "\"" << value.text << "\"=" << value.id; }

std::vector<Value> valuesOf(const qvxtb::PropertyInfo& property) {
    std::vector<Value> out;
    for (const auto& value : property.values) out.push_back({value.text, value.id});
    return out;
}

std::vector<std::string> namesOf(const qvxtb::DeviceDescription& description) {
    std::vector<std::string> out;
    for (const auto& property : description.properties) out.push_back(property.name);
    return out;
}

const qvxtb::PropertyInfo* find(const qvxtb::DeviceDescription& description, const std::string& name) {
    for (const auto& property : description.properties)
        if (property.name == name) return &property;
    return nullptr;
}

// One camera on the descriptor path, its only format "Y800 (640x480)", plus the given keys.
std::string camera(const std::string& keys) {
    return R"({"name": "Cam", "descriptors": [{"colorformat": "Y800", "min": [640, 480], "max": [640, 480],
               "step": [1, 1]}])" +
           (keys.empty() ? std::string() : ", " + keys) + "}";
}

class Attributes : public qvxtest::DescribeFixture {
protected:
    qvxtb::DeviceDescription describeCamera(const std::string& keys) {
        loadCamera(camera(keys));
        return describe("Cam", "Y800 (640x480)");
    }
};

TEST_F(Attributes, DeviceThatDoesNotOpenHasOneSourceAndNoProperties) {
    loadCamera(camera(R"("opens": false, "serial": 42, "inputChannels": ["A"])"));
    qvxtest::NamedDevice device("Cam");
    // Any call on it fails the test: an unopened device declares no property.
    ::testing::StrictMock<qvxtest::MockPropFactory> factory;
    qvxtest::MockSourceInfo sources;
    imaqkit::ITriggerInfo triggers;
    EXPECT_CALL(sources, addAdaptorSource(::testing::StrEq("Cam"), 1));
    adaptor().getDeviceAttributes()(&device, "Y800 (640x480)", &factory, &sources, &triggers);
    EXPECT_THAT(grabberCalls("setVideoFormat"), IsEmpty());
    EXPECT_THAT(boxes(), IsEmpty());
    expectNothingLeftAlive();
}

TEST_F(Attributes, ANullDeviceNameOpensNothingAndStillDeclaresTheSource) {
    // A device of the empty name: a null name must not become "" and open it.
    loadCamera(R"({"name": "", "serial": 42, "descriptors": [{"colorformat": "Y800", "min": [8, 8],
               "max": [8, 8], "step": [1, 1]}]})");
    struct NamelessDevice : qvxtest::NamedDevice {
        NamelessDevice() : NamedDevice("") {}
        const char* getDeviceName() const override { return nullptr; }
    } device;
    ::testing::StrictMock<qvxtest::MockPropFactory> factory;
    qvxtest::MockSourceInfo sources;
    imaqkit::ITriggerInfo triggers;
    EXPECT_CALL(sources, addAdaptorSource(::testing::StrEq(""), 1));
    adaptor().getDeviceAttributes()(&device, "Y800 (8x8)", &factory, &sources, &triggers);
    EXPECT_THAT(grabberCalls("openDev"), IsEmpty());
    expectNothingLeftAlive();
}

TEST_F(Attributes, PropertiesComeInTheirOrderWithTheirReadOnlyModes) {
    const auto description = describeCamera(R"("serial": 12345, "fps": [30], "inputChannels": ["In"],
        "vcd": [{"name": "Gain", "elements": [{"name": "Value", "id": "value",
                 "range": {"min": 0, "max": 10, "default": 4}}]}])");
    EXPECT_THAT(namesOf(description), ElementsAre("SerialNo", "FrameRate", "InputChannel", "Gain"));
    EXPECT_EQ(find(description, "SerialNo")->readOnly, "always");
    EXPECT_EQ(find(description, "FrameRate")->readOnly, "whileRunning");
    EXPECT_EQ(find(description, "InputChannel")->readOnly, "never");
    EXPECT_EQ(find(description, "Gain")->readOnly, "never");
    ASSERT_EQ(description.sources.size(), 1u);
    EXPECT_EQ(description.sources[0].name, "Cam");
    // The device is opened only for the description.
    EXPECT_THAT(grabberCalls("openDev"), ElementsAre("openDev(Cam)"));
    EXPECT_EQ(grabberCalls("closeDev").size(), 1u);
    expectNothingLeftAlive();
}

TEST_F(Attributes, SerialNumberPropertyIsCreatedWithZeroAndOne) {
    describeCamera(R"("serial": "0x1234ABCD", "fps": null)");
    EXPECT_THAT(callsOn("propFactory").front(), ::testing::StartsWith("createIntProperty(SerialNo|0|1"));
}

TEST_F(Attributes, NoSerialNumberNoSerialProperty) {
    const auto description = describeCamera(R"("fps": [30])");
    EXPECT_THAT(namesOf(description), ElementsAre("FrameRate"));
}

TEST_F(Attributes, FastestRateComesFirstAndTextsAreRightAligned) {
    const auto description = describeCamera(R"("fps": [15, 30, 7.5])");
    const auto* rate = find(description, "FrameRate");
    ASSERT_NE(rate, nullptr);
    EXPECT_EQ(rate->type, qvxtb::PropType::Enum);
    EXPECT_THAT(valuesOf(*rate), ElementsAre(Value{"30.00", 1}, Value{"15.00", 0}, Value{" 7.50", 2}));
}

TEST_F(Attributes, EqualRatesKeepTheEarlierAsDefault) {
    const auto description = describeCamera(R"("fps": [30, 30])");
    EXPECT_THAT(valuesOf(*find(description, "FrameRate")), ElementsAre(Value{"30.00", 0}, Value{"30.00", 1}));
}

TEST_F(Attributes, AllZeroRatesGiveTheFirstAsDefault) {
    const auto description = describeCamera(R"("fps": [0, 0, 0])");
    EXPECT_THAT(valuesOf(*find(description, "FrameRate")),
                ElementsAre(Value{" 0.00", 0}, Value{" 0.00", 1}, Value{" 0.00", 2}));
}

TEST_F(Attributes, LargeRatesAreNeverCutAndHugeOnesStayInTheirBuffer) {
    const auto description = describeCamera(R"("fps": [120, 999999.5, 1e12])");
    const auto values = valuesOf(*find(description, "FrameRate"));
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0].id, 2);
    EXPECT_EQ(values[0].text.size(), 9u); // cut, not overflowed
    EXPECT_EQ(values[1], (Value{"120.00", 0}));
    EXPECT_EQ(values[2].id, 1);
}

TEST_F(Attributes, FrameRateIsLeftOutWithoutAList) {
    EXPECT_EQ(find(describeCamera(R"("fps": [])"), "FrameRate"), nullptr);
    EXPECT_EQ(find(describeCamera(R"("fps": null)"), "FrameRate"), nullptr);
    EXPECT_EQ(find(describeCamera(R"("fps": [30], "frameRateList": false)"), "FrameRate"), nullptr);
    expectNothingLeftAlive();
}

TEST_F(Attributes, FrameRateIsLeftOutOnRegionOfInterestCameras) {
    loadCamera(R"({"name": "Cam", "fps": [30], "descriptors": [
        {"colorformat": "Y800", "min": [16, 4], "max": [640, 480], "step": [4, 2], "roi": true}]})");
    const auto description = describe("Cam", "Y800 (640x480)");
    EXPECT_EQ(find(description, "FrameRate"), nullptr);
}

TEST_F(Attributes, CurrentFormatGoesToTheDebugOutputWithoutALineEnd) {
    describeCamera(R"("fps": [30])");
    EXPECT_THAT(debugOutput(), ElementsAre("Y800 (640x480)"));
}

TEST_F(Attributes, ChannelsAreNumberedByPositionWithTheFirstAsDefault) {
    const auto description = describeCamera(R"("inputChannels": ["Composite", "S-Video", "Tuner"])");
    const auto* channel = find(description, "InputChannel");
    ASSERT_NE(channel, nullptr);
    EXPECT_THAT(valuesOf(*channel),
                ElementsAre(Value{"Composite", 0}, Value{"S-Video", 1}, Value{"Tuner", 2}));
}

TEST_F(Attributes, InputChannelIsLeftOutWithoutChannels) {
    EXPECT_EQ(find(describeCamera(R"("inputChannels": [])"), "InputChannel"), nullptr);
    EXPECT_EQ(find(describeCamera(R"("inputChannels": null)"), "InputChannel"), nullptr);
    EXPECT_EQ(find(describeCamera(""), "InputChannel"), nullptr);
    expectNothingLeftAlive();
}

TEST_F(Attributes, FormatNameIsHandedOverWhole) {
    loadCamera(R"({"name": "Cam", "norms": [
        {"name": "PAL_B", "formats": [{"colorformat": "RGB24", "width": 640, "height": 480}]}]})");
    describe("Cam", "PAL_B:RGB24 (640x480)");
    EXPECT_THAT(grabberCalls("setVideoFormat"), ElementsAre("setVideoFormat(PAL_B:RGB24 (640x480))"));
    EXPECT_THAT(grabberCalls("setVideoNorm"), IsEmpty());
    EXPECT_THAT(boxes(), IsEmpty());
}

TEST_F(Attributes, RefusedFormatShowsABoxAndTheDescriptionGoesOn) {
    const auto description = describeCamera(R"("faults": {"setVideoFormat": true}, "fps": [30])");
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, "Failed to set videoformat");
    EXPECT_EQ(boxes()[0].caption, "Y800 (640x480)");
    EXPECT_EQ(boxes()[0].style, MB_OK);
    EXPECT_NE(find(description, "FrameRate"), nullptr);
    EXPECT_EQ(description.sources.size(), 1u);
}

TEST_F(Attributes, RefusedPropertyCreationEndsTheWorkOnThatPropertyOnly) {
    qvxtb::failPropertyCreation("FrameRate");
    const auto description = describeCamera(R"("serial": 1, "fps": [15, 30], "inputChannels": ["A", "B"])");
    EXPECT_THAT(namesOf(description), ElementsAre("SerialNo", "InputChannel"));
    // Only the creation itself mentions it: no value, mode or publishing follows.
    std::vector<std::string> mentions;
    for (const auto& call : callsOn("propFactory"))
        if (call.find("FrameRate") != std::string::npos) mentions.push_back(call);
    EXPECT_THAT(mentions, ElementsAre("createEnumProperty(FrameRate|30.00|1)"));
}

TEST_F(Attributes, DescriptionLeavesNoMemoryBehind) {
    describeCamera(R"("serial": 7, "fps": [30, 15], "inputChannels": ["A"],
        "vcd": [{"name": "Mode", "elements": [{"name": "Value", "id": "value",
                 "mapStrings": {"min": 0, "max": 1, "default": 0, "strings": ["x", "y"]}}]}])");
    expectNothingLeftAlive();
    EXPECT_EQ(qvxtb::liveImaqAllocations(), 0);
}

} // namespace
