// Property get and set: input channel, frame rate, serial number, the camera's VCD elements, source changes.
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/instance_fixture.h"

namespace qvxtest {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kPropCamera = R"({"name": "Prop Cam", "serial": "0x26610123", "fast": true,
    "inputChannels": ["Composite", "S-Video"],
    "norms": [{"name": "PAL_B", "formats": [{"colorformat": "Y800", "width": 64, "height": 48,
                                             "fps": [30, 15], "rates": [333333, 666667]}]}],
    "vcd": [
      {"name": "Gain", "elements": [
         {"name": "Value", "id": "value", "range": {"min": 0, "max": 100, "default": 75, "value": 75}},
         {"name": "Auto", "id": "auto", "switch": {"value": false}}]},
      {"name": "Brightness", "elements": [
         {"name": "Value", "id": "value", "range": {"min": 0, "max": 255, "default": 0, "value": 0}}]},
      {"name": "Exposure", "elements": [
         {"name": "Value", "id": "value", "absolute": {"min": 0.0001, "max": 1.0, "default": 0.01, "value": 0.01}}]},
      {"name": "Mode", "elements": [
         {"name": "Value", "id": "value", "mapStrings": {"min": 1, "max": 3, "default": 3, "value": 3,
                                                         "strings": ["a", "b", "c"]}}]},
      {"name": "Trigger", "elements": [
         {"name": "Polarity", "switch": {"value": false}},
         {"name": "Software Trigger", "button": {}}]},
      {"name": "Auto-Exposure", "elements": [{"name": "Value", "id": "value", "switch": {"value": true}}]},
      {"name": "Colour Levels", "elements": [
         {"name": "Red Level", "id": "selfNamedA", "range": {"min": 0, "max": 255, "value": 1}}]},
      {"name": "White Balance", "elements": [
         {"name": "Red Level", "id": "selfNamedA", "range": {"min": 0, "max": 255, "value": 2}}]},
      {"name": "Odd", "elements": [{"name": "Raw", "switch": {"raw": 1}}]},
      {"name": "Broken", "elements": [
         {"name": "Value", "id": "value", "range": {"min": 0, "max": 100, "value": 5,
                                                    "faults": {"get_Value": -5, "put_Value": -6}}}]}
    ]})";

constexpr const char* kPropFormat = "PAL_B:Y800 (64x48)";

// The value buffer the host hands to the listeners: wide and aligned enough for either kind.
union Value {
    std::int32_t integer;
    double number;
    unsigned char bytes[8];
};

class Properties : public InstanceFixture {
protected:
    // Calls the adaptor's getter of our own engine directly, with a buffer holding `initial`.
    Value directGet(const std::string& name, Value initial) {
        Value value = initial;
        FakePropContainer& props = engine().deviceProps;
        props.getters_.at(name)->getValue(props.getIPropInfo(name.c_str()), &value);
        return value;
    }
    // Calls every post-set listener of `name`; gives back what the adaptor left in the buffer.
    Value directSet(const std::string& name, Value value) {
        FakePropContainer& props = engine().deviceProps;
        bool called = false;
        for (auto& [listenerName, listener] : props.setters_) {
            if (listenerName != name) continue;
            listener->notify(props.getIPropInfo(name.c_str()), &value);
            called = true;
        }
        EXPECT_TRUE(called) << name;
        return value;
    }
    static Value integer(std::int32_t v) {
        Value value{};
        value.integer = v;
        return value;
    }
};

// ---- Registration -------------------------------------------------------------------------------------

TEST_F(Properties, ListenersGoToDeviceSpecificPropertiesOnly) {
    loadCameras(kPropCamera);
    createDirect("Prop Cam", kPropFormat, {"Gain", "FrameRate"});
    FakePropContainer& props = engine().deviceProps;
    EXPECT_EQ(props.getters_.size(), 2u);
    EXPECT_EQ(props.getters_.count("Tag"), 0u);
    ASSERT_EQ(props.setters_.size(), 2u);
    EXPECT_EQ(props.setters_[0].first, "Gain");
    EXPECT_EQ(props.setters_[1].first, "FrameRate");
    ASSERT_EQ(engine().engineProps.engineListeners_.size(), 1u);
    EXPECT_EQ(engine().engineProps.engineListeners_[0].first, "SelectedSourceName");
}

// A listener the host refuses stays the adaptor's: it is destroyed again, its memory back to imaqfree.
TEST_F(Properties, ListenersTheHostRefusesAreDestroyedAgain) {
    loadCameras(kPropCamera);
    for (const long taken : {0L, 3L}) {
        SCOPED_TRACE(taken);
        const long before = qvxtb::liveImaqAllocations();
        const long invalidBefore = qvxtb::invalidImaqFrees(); // counted over the whole run
        qvxtb::clearRecords();
        qvxtb::refuseListenersAfter(taken);
        qvxtb::VideoInput& video = open("Prop Cam", kPropFormat);
        qvxtb::refuseListenersAfter(-1);
        EXPECT_EQ(recordsOf("devicePropContainer", "setCustomGetFcn").size(),
                  recordsOf("devicePropContainer", "addPostSetListener").size());
        EXPECT_GT(recordsOf("devicePropContainer", "setCustomGetFcn").size(), 2u);
        EXPECT_EQ(std::get<std::int64_t>(video.get("Gain")), 75)
            << "the host's own value where no getter was taken";
        closeVideo();
        EXPECT_EQ(qvxtb::liveImaqAllocations(), before);
        EXPECT_EQ(qvxtb::invalidImaqFrees(), invalidBefore);
    }
}

TEST_F(Properties, ANullValuePointerIsIgnored) {
    loadCameras(kPropCamera);
    createDirect("Prop Cam", kPropFormat, {"Gain"});
    FakePropContainer& props = engine().deviceProps;
    props.getters_.at("Gain")->getValue(props.getIPropInfo("Gain"), nullptr);
    props.setters_.at(0).second->notify(props.getIPropInfo("Gain"), nullptr);
    engine().engineProps.engineListeners_.at(0).second->notify(nullptr, nullptr);
    EXPECT_THAT(warningTexts(), IsEmpty());
}

// ---- Serial number, frame rate, input channel ----------------------------------------------------------

TEST_F(Properties, SerialNumberReadsAsTheDecimalValueOfItsHexadecimalDigits) {
    loadCameras(
        R"({"name": "A", "serial": "0x26610123", "norms": [{"name": "N", "formats": [{"colorformat": "Y800", "width": 8, "height": 8}]}]},
                   {"name": "B", "serial": "0x1A2B", "norms": [{"name": "N", "formats": [{"colorformat": "Y800", "width": 8, "height": 8}]}]},
                   {"name": "C", "serial": "0xABCDEF", "norms": [{"name": "N", "formats": [{"colorformat": "Y800", "width": 8, "height": 8}]}]},
                   {"name": "D", "serial": "0x1234567826610123", "norms": [{"name": "N", "formats": [{"colorformat": "Y800", "width": 8, "height": 8}]}]},
                   {"name": "E", "norms": [{"name": "N", "formats": [{"colorformat": "Y800", "width": 8, "height": 8}]}]})");
    const std::pair<const char*, std::int32_t> cases[] = {
        {"A", 26610123}, {"B", 1}, {"C", 0}, {"D", 26610123}};
    for (const auto& [device, expected] : cases) {
        SCOPED_TRACE(device);
        createDirect(device, "N:Y800 (8x8)", {"SerialNo"});
        EXPECT_EQ(directGet("SerialNo", integer(-1)).integer, expected);
    }
    // Without a serial number the host's value stays.
    createDirect("E", "N:Y800 (8x8)", {"SerialNo"});
    EXPECT_EQ(directGet("SerialNo", integer(-1)).integer, -1);

    // The same through the host.
    deleteDirect();
    qvxtb::VideoInput& video = open("A", "N:Y800 (8x8)");
    EXPECT_EQ(std::get<std::int64_t>(video.get("SerialNo")), 26610123);
}

TEST_F(Properties, FrameRateIsThePositionInTheIntegerRateList) {
    loadCameras(kPropCamera);
    createDirect("Prop Cam", kPropFormat, {"FrameRate"});
    qvxsim::clearCallLog();
    // Position 1 sets the second entry's rate; position 2 on a two-entry list does nothing.
    EXPECT_EQ(directSet("FrameRate", integer(1)).integer, 1);
    EXPECT_THAT(grabberCalls("setFrameRate"), ElementsAre("setFrameRate(666667)"));
    EXPECT_EQ(directGet("FrameRate", integer(-1)).integer, 1);
    directSet("FrameRate", integer(2));
    EXPECT_EQ(grabberCalls("setFrameRate").size(), 1u);
    directSet("FrameRate", integer(0));
    EXPECT_EQ(directGet("FrameRate", integer(-1)).integer, 0);
    // A negative position is an error for the host, not a read before the list.
    EXPECT_THROW(directSet("FrameRate", integer(-1)), std::out_of_range);
    EXPECT_THAT(warningTexts(), IsEmpty());
}

TEST_F(Properties, FrameRateReadsTheLastEqualEntryOrLeavesTheHostsValue) {
    loadCameras(R"({"name": "Twice", "norms": [{"name": "PAL_B", "formats": [{"colorformat": "Y800",
                        "width": 8, "height": 8, "fps": [30, 30, 15], "rates": [333333, 333333, 666667]}]}]},
                   {"name": "Unlisted", "norms": [{"name": "PAL_B", "formats": [{"colorformat": "Y800",
                        "width": 8, "height": 8, "fps": [30], "rates": []}]}]})");
    createDirect("Twice", "PAL_B:Y800 (8x8)", {"FrameRate"});
    EXPECT_EQ(directGet("FrameRate", integer(-7)).integer, 1);
    // The camera runs at a rate its integer list does not hold.
    createDirect("Unlisted", "PAL_B:Y800 (8x8)", {"FrameRate"});
    ASSERT_NE(qvxsim::deviceState("Unlisted").frameRate, 0);
    EXPECT_EQ(directGet("FrameRate", integer(-7)).integer, -7);
}

TEST_F(Properties, FrameRateSetWithoutAnAvailableListDoesNothing) {
    loadCameras(R"({"name": "No Rates", "frameRateList": false,
        "norms": [{"name": "PAL_B", "formats": [{"colorformat": "Y800", "width": 8, "height": 8}]}]})");
    createDirect("No Rates", "PAL_B:Y800 (8x8)", {"FrameRate"});
    qvxsim::clearCallLog();
    directSet("FrameRate", integer(0));
    EXPECT_THAT(grabberCalls("setFrameRate"), IsEmpty());
}

TEST_F(Properties, FrameRateAndInputChannelThroughTheHost) {
    loadCameras(kPropCamera);
    qvxtb::VideoInput& video = open("Prop Cam", kPropFormat);
    const auto& properties = video.description().properties;
    const auto rate =
        std::find_if(properties.begin(), properties.end(), [](auto& p) { return p.name == "FrameRate"; });
    ASSERT_NE(rate, properties.end());
    ASSERT_EQ(rate->values.size(), 2u);
    const std::string second =
        std::find_if(rate->values.begin(), rate->values.end(), [](auto& v) { return v.id == 1; })->text;
    video.set("FrameRate", second);
    EXPECT_EQ(qvxsim::deviceState("Prop Cam").frameRate, 666667);
    EXPECT_EQ(std::get<std::string>(video.get("FrameRate")), second);

    video.set("InputChannel", std::string("S-Video"));
    EXPECT_EQ(qvxsim::deviceState("Prop Cam").inputChannel, 1);
    EXPECT_EQ(std::get<std::string>(video.get("InputChannel")), "S-Video");
}

// ---- VCD elements ---------------------------------------------------------------------------------------

TEST_F(Properties, EachKindReadsAndWritesItsOwnWay) {
    loadCameras(kPropCamera);
    createDirect("Prop Cam", kPropFormat, {"Gain", "Exposure", "Mode", "TriggerPolarity", "GainAuto"});
    // Range.
    EXPECT_EQ(directGet("Gain", integer(-1)).integer, 75);
    directSet("Gain", integer(42));
    EXPECT_EQ(qvxsim::vcdValue("Gain", "Value", "range"), 42);
    // Absolute value, eight bytes.
    Value exposure{};
    exposure.number = 0.25;
    directSet("Exposure", exposure);
    EXPECT_DOUBLE_EQ(qvxsim::vcdValue("Exposure", "Value", "absolute"), 0.25);
    EXPECT_DOUBLE_EQ(directGet("Exposure", integer(0)).number, 0.25);
    // Map strings with minimum 1: value 3 reads 2, setting 0 writes 1.
    EXPECT_EQ(directGet("Mode", integer(-1)).integer, 2);
    directSet("Mode", integer(0));
    EXPECT_EQ(qvxsim::vcdValue("Mode", "Value", "mapStrings"), 1);
    EXPECT_EQ(directGet("Mode", integer(-1)).integer, 0);
    // Switch: only the first byte of the value counts.
    directSet("TriggerPolarity", integer(1));
    EXPECT_EQ(qvxsim::vcdValue("Trigger", "Polarity", "switch"), -1);
    EXPECT_EQ(directGet("TriggerPolarity", integer(-1)).integer, 1);
    directSet("TriggerPolarity", integer(256));
    EXPECT_EQ(qvxsim::vcdValue("Trigger", "Polarity", "switch"), 0);
    EXPECT_EQ(directGet("TriggerPolarity", integer(-1)).integer, 0);
    EXPECT_THAT(warningTexts(), IsEmpty());
}

TEST_F(Properties, ASwitchReadingOneIsOff) {
    loadCameras(kPropCamera);
    createDirect("Prop Cam", kPropFormat, {"OddRaw"});
    EXPECT_EQ(directGet("OddRaw", integer(-1)).integer, 0);
}

TEST_F(Properties, AButtonReadsNothingAndIsPushedWhateverTheValue) {
    loadCameras(kPropCamera);
    createDirect("Prop Cam", kPropFormat, {"TriggerSoftwareTrigger"});
    EXPECT_EQ(directGet("TriggerSoftwareTrigger", integer(1234)).integer, 1234);
    directSet("TriggerSoftwareTrigger", integer(0));
    directSet("TriggerSoftwareTrigger", integer(77));
    EXPECT_EQ(qvxsim::buttonPushes("Trigger", "Software Trigger"), 2);
}

TEST_F(Properties, NamesAreFormedAsTheCatalogueFormsThem) {
    loadCameras(kPropCamera);
    qvxtb::VideoInput& video = open("Prop Cam", kPropFormat);
    // Found without its hyphen, under the name it was declared with.
    EXPECT_EQ(std::get<std::string>(video.get("AutoExposure")), "Enable");
    video.set("AutoExposure", std::string("Disable"));
    EXPECT_EQ(qvxsim::vcdValue("Auto-Exposure", "Value", "switch"), 0);
    // Two items give "RedLevel": the later item's element is the one read and written.
    EXPECT_EQ(std::get<std::int64_t>(video.get("RedLevel")), 2);
    video.set("RedLevel", std::int64_t{99});
    EXPECT_EQ(qvxsim::vcdValue("White Balance", "Red Level", "range"), 99);
    EXPECT_EQ(qvxsim::vcdValue("Colour Levels", "Red Level", "range"), 1);
    EXPECT_THAT(warningTexts(), IsEmpty());
}

TEST_F(Properties, AnUnknownNameWarnsLiterallyAndGivesZero) {
    loadCameras(kPropCamera);
    createDirect("Prop Cam", kPropFormat, {"Gain%d%s%n", "Missing"});
    EXPECT_EQ(directGet("Gain%d%s%n", integer(-1)).integer, 0);
    EXPECT_EQ(directSet("Missing", integer(5)).integer, 0);
    EXPECT_THAT(warningTexts(),
                ElementsAre("Property \"Gain%d%s%n\" not found.", "Property \"Missing\" not found."));
    EXPECT_EQ(qvxtb::warnings()[0].identifier, "QVXadaptor:constructor");
}

TEST_F(Properties, NoVcdCollectionMeansNotFound) {
    loadCameras(
        R"({"name": "Plain", "norms": [{"name": "N", "formats": [{"colorformat": "Y800", "width": 8, "height": 8}]}]})");
    createDirect("Plain", "N:Y800 (8x8)", {"Gain"});
    EXPECT_EQ(directGet("Gain", integer(-1)).integer, 0);
    EXPECT_THAT(warningTexts(), ElementsAre("Property \"Gain\" not found."));
}

TEST_F(Properties, FailingVcdReadAndWriteReachTheCallerAsErrors) {
    loadCameras(kPropCamera);
    {
        createDirect("Prop Cam", kPropFormat, {"Broken"});
        try {
            directGet("Broken", integer(0));
            ADD_FAILURE() << "no error raised";
        } catch (long code) {
            EXPECT_EQ(code, -5);
        }
        try {
            directSet("Broken", integer(1));
            ADD_FAILURE() << "no error raised";
        } catch (long code) {
            EXPECT_EQ(code, -6);
        }
        deleteDirect();
    }
    qvxtb::VideoInput& video = open("Prop Cam", kPropFormat);
    EXPECT_THROW(video.get("Broken"), qvxtb::ToolboxError);
    EXPECT_THROW(video.set("Broken", std::int64_t{7}), qvxtb::ToolboxError);
    // The fixture's teardown checks that nothing of the failed walks stays alive.
}

TEST_F(Properties, ADeviceThatDidNotOpenWarnsAndGivesZero) {
    loadCameras(R"({"name": "Dead Cam", "opens": false})");
    createDirect("Dead Cam", "N:F", {"Gain"});
    EXPECT_EQ(directGet("Gain", integer(-1)).integer, 0);
    EXPECT_EQ(directSet("Gain", integer(9)).integer, 0);
    EXPECT_THAT(warningTexts(), ElementsAre("Unable to get property. Device invalid.",
                                            "Unable to set property. Device invalid."));
}

// ---- Writes while frames flow ----------------------------------------------------------------------------

TEST_F(Properties, AWriteDuringAnAcquisitionShowsInTheFramesThatFollow) {
    loadCameras(kPropCamera);
    qvxtb::VideoInput& video = open("Prop Cam", kPropFormat);
    // No gain: the picture is the brightness alone, beyond the stamped frame number.
    video.set("Gain", std::int64_t{0});
    video.setFramesPerTrigger(0);
    video.start();
    const qvxtb::Frame before = video.getdata(1).front();
    video.set("Brightness", std::int64_t{77});
    EXPECT_EQ(std::get<std::int64_t>(video.get("Brightness")), 77);
    // Frames already queued may predate the write; the camera applies it from its next frame on.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    bool seen = false;
    while (!seen && std::chrono::steady_clock::now() < until) {
        const qvxtb::Frame frame = video.getdata(1).front();
        seen = frame.data.size() > 8 && frame.data[8] == 77;
    }
    video.stop();
    ASSERT_GT(before.data.size(), 8u);
    EXPECT_EQ(before.data[8], 0);
    EXPECT_TRUE(seen);
    EXPECT_EQ(qvxsim::counters().lockedBuffers, 0);
}

// ---- SelectedSourceName ----------------------------------------------------------------------------------

TEST_F(Properties, SelectedSourceRestartsOnlyARunningAcquisition) {
    loadCameras(kPropCamera);
    qvxtb::VideoInput& video = open("Prop Cam", kPropFormat);
    ASSERT_FALSE(video.description().sources.empty());
    const std::string source = video.description().sources.front().name;

    qvxtb::clearRecords();
    video.setSelectedSourceName(source);
    EXPECT_EQ(video.restarts(), 0);
    EXPECT_THAT(recordsOf("adaptorManager", "stopAcquisition"), IsEmpty());

    video.setFramesPerTrigger(0);
    video.start();
    video.getdata(1);
    qvxtb::clearRecords();
    video.setSelectedSourceName(source);
    EXPECT_EQ(video.restarts(), 1);
    std::vector<std::string> restart;
    for (const auto& call : callsOn("adaptorManager"))
        if (call == "stopAcquisition()" || call == "startAcquisition()") restart.push_back(call);
    EXPECT_THAT(restart, ElementsAre("stopAcquisition()", "startAcquisition()"));
    EXPECT_TRUE(video.isRunning());
    video.getdata(2); // frames flow again
    video.stop();
}

} // namespace
} // namespace qvxtest
