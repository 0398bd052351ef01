// The VCD property catalogue through the real adaptor: names, kinds, limits, defaults, order, debug output.
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/describe_fixture.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class Catalogue : public qvxtest::DescribeFixture {
protected:
    // Describes a camera whose VCD items are `items` (a JSON array, or null); only the catalogue
    // then talks to the property factory.
    qvxtb::DeviceDescription describeItems(const std::string& items) {
        loadCamera(
            R"({"name": "Cam", "frameRateList": false, "descriptors": [{"colorformat": "Y800", "min": [64, 48],
                       "max": [64, 48], "step": [1, 1]}], "vcd": )" +
            items + "}");
        return describe("Cam", "Y800 (64x48)");
    }

    // The property factory's calls with the handle argument left out, e.g. "createEnumProperty(Gain|On|1)".
    static std::vector<std::string> factoryCalls() {
        std::vector<std::string> out;
        for (const auto& call : qvxtb::calls()) {
            if (call.object != "propFactory") continue;
            std::string arguments = call.arguments;
            if (call.operation == "addEnumValue" || call.operation == "setPropReadOnly" ||
                call.operation == "addProperty") {
                const auto bar = arguments.find('|');
                arguments = bar == std::string::npos ? std::string() : arguments.substr(bar + 1);
            }
            out.push_back(call.operation + "(" + arguments + ")");
        }
        return out;
    }
};

TEST_F(Catalogue, NoCollectionOrAnEmptyOneMakesNothingAndSaysNothing) {
    for (const char* items : {"null", "[]"}) {
        qvxtb::clearRecords();
        const auto description = describeItems(items);
        EXPECT_THAT(description.properties, IsEmpty()) << items;
        EXPECT_THAT(factoryCalls(), IsEmpty()) << items;
        EXPECT_EQ(description.sources.size(), 1u);
    }
    // Only the description's own line (the current format) reaches the debugger.
    EXPECT_THAT(debugOutput(), IsEmpty());
    expectNothingLeftAlive();
}

TEST_F(Catalogue, PassedOverItemsShowOnlyTheirNameAndSkip) {
    describeItems(R"([
        {"name": "Partial Scan", "id": "partialScanOffset", "elements": [
            {"name": "X Offset", "id": "offsetX", "range": {"min": 0, "max": 100, "default": 0}}]},
        {"name": "Hidden", "id": "passedOver", "elements": [
            {"name": "Value", "id": "value", "range": {"min": 0, "max": 100, "default": 0}}]}])");
    EXPECT_THAT(debugOutput(), ElementsAre("Property : ", "PartialScan", "\n", "Skip!\n",
                                           "Property : ", "Hidden", "\n", "Skip!\n"));
    EXPECT_THAT(factoryCalls(), IsEmpty());
    expectNothingLeftAlive();
}

TEST_F(Catalogue, ValueElementWithRangeAndAbsoluteValueIsOfferedTwice) {
    describeItems(R"([{"name": "Gain", "elements": [{"name": "Value", "id": "value",
        "range": {"min": 0, "max": 480, "default": 36},
        "absolute": {"min": 0.5, "max": 48.0, "default": 3.6}}]}])");
    EXPECT_THAT(factoryCalls(),
                ElementsAre("createIntRangeProperty(Gain|0|480|36|1)", "setPropReadOnly(never)",
                            "addProperty()", "createDoubleProperty(Gain|0.5|48|3.6)",
                            "setPropReadOnly(never)", "addProperty()"));
    EXPECT_THAT(debugOutput(), ElementsAre("Property : ", "Gain", "\n", "Gain", "\n"));
}

TEST_F(Catalogue, SwitchTextsDependOnTheElementsExactName) {
    const auto description = describeItems(R"([
        {"name": "Gain", "elements": [{"name": "Auto", "id": "auto", "switch": {"value": false}},
                                      {"name": "auto", "switch": {"value": true}}]},
        {"name": "Trigger", "elements": [{"name": "Polarity", "switch": {"value": false}}]}])");
    EXPECT_THAT(
        factoryCalls(),
        ElementsAre("createEnumProperty(GainAuto|On|1)", "addEnumValue(Off|0)", "setPropReadOnly(never)",
                    "addProperty()", "createEnumProperty(Gainauto|Disable|0)", "addEnumValue(Enable|1)",
                    "setPropReadOnly(never)", "addProperty()", "createEnumProperty(TriggerPolarity|High|1)",
                    "addEnumValue(Low|0)", "setPropReadOnly(never)", "addProperty()"));
    EXPECT_EQ(description.properties.size(), 3u);
}

TEST_F(Catalogue, ButtonOffersPush) {
    describeItems(R"([{"name": "White Balance", "elements": [{"name": "One Push", "button": {}}]}])");
    EXPECT_THAT(factoryCalls(), ElementsAre("createEnumProperty(WhiteBalanceOnePush|Push|0)",
                                            "setPropReadOnly(never)", "addProperty()"));
}

TEST_F(Catalogue, EmptyRangeMakesNothingButMapStringsStillCount) {
    describeItems(R"([{"name": "Mode", "elements": [{"name": "Value", "id": "value",
        "range": {"min": 0, "max": 0, "default": 0},
        "absolute": {"min": 5.0, "max": 5.0, "default": 5.0},
        "mapStrings": {"min": 0, "max": 0, "default": 0, "strings": ["only"]}}]}])");
    EXPECT_THAT(factoryCalls(), ElementsAre("createEnumProperty(Mode|only|0)", "addEnumValue(only|0)",
                                            "setPropReadOnly(never)", "addProperty()"));
}

TEST_F(Catalogue, InvertedRangeMakesNothing) {
    describeItems(R"([{"name": "Odd", "elements": [{"name": "Value", "id": "value",
        "range": {"min": 10, "max": -10, "default": 0}}]}])");
    EXPECT_THAT(factoryCalls(), IsEmpty());
}

TEST_F(Catalogue, MapStringsDefaultComesFirstThenEveryText) {
    const auto description = describeItems(R"([{"name": "Mode", "elements": [{"name": "Value", "id": "value",
        "mapStrings": {"min": 1, "max": 3, "default": 3, "value": 1, "strings": ["a", "b", "c"]}}]}])");
    EXPECT_THAT(factoryCalls(),
                ElementsAre("createEnumProperty(Mode|c|2)", "addEnumValue(a|0)", "addEnumValue(b|1)",
                            "addEnumValue(c|2)", "setPropReadOnly(never)", "addProperty()"));
    ASSERT_EQ(description.properties.size(), 1u);
}

TEST_F(Catalogue, MapStringsDefaultOutsideItsTextsIsLeftOut) {
    describeItems(R"([
        {"name": "Past", "elements": [{"name": "Value", "id": "value",
            "mapStrings": {"min": 1, "max": 4, "default": 4, "strings": ["a", "b", "c"]}}]},
        {"name": "Before", "elements": [{"name": "Value", "id": "value",
            "mapStrings": {"min": 1, "max": 3, "default": 0, "strings": ["a", "b", "c"]}}]},
        {"name": "Empty", "elements": [{"name": "Value", "id": "value",
            "mapStrings": {"min": 0, "max": 0, "default": 0, "strings": []}}]},
        {"name": "Wide", "elements": [{"name": "Value", "id": "value",
            "mapStrings": {"min": -2147483648, "max": 2147483647, "default": 2147483647, "strings": ["a"]}}]},
        {"name": "Fine", "elements": [{"name": "Value", "id": "value", "button": {}}]}])");
    EXPECT_THAT(factoryCalls(),
                ElementsAre("createEnumProperty(Fine|Push|0)", "setPropReadOnly(never)", "addProperty()"));
    expectNothingLeftAlive();
}

TEST_F(Catalogue, BlanksAndHyphensLeaveTheNames) {
    const auto description = describeItems(R"([
        {"name": "Auto-Gain Limit", "elements": [{"name": "One Push", "button": {}}]},
        {"name": "Colour Levels", "elements": [{"name": "Red Level", "id": "selfNamedA", "button": {}},
                                               {"name": "Green-Level", "id": "selfNamedB", "button": {}},
                                               {"name": "Blue Level", "id": "selfNamedC", "button": {}}]},
        {"name": "Exposure Time", "elements": [{"name": "Auto", "id": "auto", "button": {}}]},
        {"name": "Gain", "elements": [{"name": "Value", "id": "value", "button": {}}]},
        {"name": "Ga in", "elements": [{"name": "Value", "id": "value", "button": {}}]},
        {"name": "Straße", "elements": [{"name": "Ä b", "button": {}}]}])");
    std::vector<std::string> names;
    for (const auto& call : qvxtb::calls())
        if (call.operation == "createEnumProperty")
            names.push_back(call.arguments.substr(0, call.arguments.find('|')));
    // A name that thereby equals another is offered twice.
    EXPECT_THAT(names, ElementsAre("AutoGainLimitOnePush", "RedLevel", "GreenLevel", "BlueLevel",
                                   "ExposureTimeAuto", "Gain", "Gain", "StraßeÄb"));
    EXPECT_THAT(debugOutput(),
                ElementsAre("Property : ", "Auto-GainLimit", "\n", "AutoGainLimitOnePush", "\n",
                            "Property : ", "ColourLevels", "\n", "RedLevel", "\n", "GreenLevel", "\n",
                            "BlueLevel", "\n", "Property : ", "ExposureTime", "\n", "ExposureTimeAuto", "\n",
                            "Property : ", "Gain", "\n", "Gain", "\n", "Property : ", "Gain", "\n", "Gain",
                            "\n", "Property : ", "Straße", "\n", "StraßeÄb", "\n"));
}

TEST_F(Catalogue, ElementWithoutInterfacesIsNamedButMakesNothing) {
    describeItems(R"([{"name": "Strobe", "elements": [{"name": "Delay"}]}])");
    EXPECT_THAT(factoryCalls(), IsEmpty());
    EXPECT_THAT(debugOutput(), ElementsAre("Property : ", "Strobe", "\n", "StrobeDelay", "\n"));
}

TEST_F(Catalogue, WalkOrderIsTheOrderOfHostCalls) {
    describeItems(R"([
        {"name": "Exposure", "elements": [
            {"name": "Value", "id": "value", "range": {"min": 1, "max": 100, "default": 10},
             "absolute": {"min": 0.0001, "max": 30.0, "default": 0.01}},
            {"name": "Auto", "id": "auto", "switch": {"value": true}},
            {"name": "All Kinds", "range": {"min": 0, "max": 1, "default": 1}, "button": {},
             "switch": {"value": false}, "mapStrings": {"min": 0, "max": 1, "default": 1, "strings": ["p", "q"]},
             "absolute": {"min": 0.0, "max": 1.0, "default": 0.5}}]},
        {"name": "Brightness", "elements": [{"name": "Value", "id": "value",
            "range": {"min": -64, "max": 64, "default": 0}}]}])");
    std::vector<std::string> creations;
    for (const auto& call : qvxtb::calls())
        if (call.object == "propFactory" && call.operation.compare(0, 6, "create") == 0)
            creations.push_back(call.operation + "(" + call.arguments + ")");
    EXPECT_THAT(
        creations,
        ElementsAre(
            "createIntRangeProperty(Exposure|1|100|10|1)", "createDoubleProperty(Exposure|0.0001|30|0.01)",
            "createEnumProperty(ExposureAuto|On|1)", "createIntRangeProperty(ExposureAllKinds|0|1|1|1)",
            "createEnumProperty(ExposureAllKinds|Push|0)", "createEnumProperty(ExposureAllKinds|Disable|0)",
            "createEnumProperty(ExposureAllKinds|q|1)", "createDoubleProperty(ExposureAllKinds|0|1|0.5)",
            "createIntRangeProperty(Brightness|-64|64|0|1)"));
    expectNothingLeftAlive();
}

TEST_F(Catalogue, RefusedCreationSendsNothingMoreForThatProperty) {
    qvxtb::failPropertyCreation("Gain");
    describeItems(R"([{"name": "Gain", "elements": [{"name": "Value", "id": "value",
        "range": {"min": 0, "max": 10, "default": 1}, "switch": {}, "button": {},
        "mapStrings": {"min": 0, "max": 1, "default": 0, "strings": ["a", "b"]},
        "absolute": {"min": 0, "max": 1, "default": 0}}]},
        {"name": "Zoom", "elements": [{"name": "Value", "id": "value", "button": {}}]}])");
    EXPECT_THAT(factoryCalls(),
                ElementsAre("createIntRangeProperty(Gain|0|10|1|1)", "createEnumProperty(Gain|Push|0)",
                            "createEnumProperty(Gain|Disable|0)", "createEnumProperty(Gain|a|0)",
                            "createDoubleProperty(Gain|0|1|0)", "createEnumProperty(Zoom|Push|0)",
                            "setPropReadOnly(never)", "addProperty()"));
    expectNothingLeftAlive();
}

} // namespace
