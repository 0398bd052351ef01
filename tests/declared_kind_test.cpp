// A property is read and written with the kind it was declared with, through the strict toolbox stand-in.
#include <cstdint>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/instance_fixture.h"

namespace qvxtest {
namespace {

using ::testing::IsEmpty;

std::string vcdCamera(const std::string& items) {
    return R"({"name": "Kind Cam", "norms": [{"name": "PAL_B", "formats": [{"colorformat": "Y800",
        "width": 32, "height": 24}]}], "vcd": [)" +
           items + "]}";
}

const qvxtb::PropertyInfo* findProperty(const qvxtb::VideoInput& video, const std::string& name) {
    for (const auto& property : video.description().properties)
        if (property.name == name) return &property;
    return nullptr;
}

class DeclaredKind : public InstanceFixture {};

TEST_F(DeclaredKind, AnAbsoluteValueWithoutRangeLeavesTheIntegerInCharge) {
    // The absolute-value limits are equal, so the catalogue declares "Gain" an integer only.
    loadCameras(vcdCamera(R"({"name": "Gain", "elements": [{"name": "Value", "id": "value",
        "range": {"min": 0, "max": 100, "default": 7, "value": 7},
        "absolute": {"min": 5.0, "max": 5.0, "default": 3.25, "value": 3.25}}]})"));
    qvxtb::VideoInput& video = open("Kind Cam", "PAL_B:Y800 (32x24)");
    ASSERT_NE(findProperty(video, "Gain"), nullptr);
    EXPECT_EQ(findProperty(video, "Gain")->type, qvxtb::PropType::Integer);

    EXPECT_EQ(video.get("Gain"), qvxtb::PropertyValue(std::int64_t{7}));
    video.set("Gain", std::int64_t{50});
    EXPECT_EQ(qvxsim::vcdValue("Gain", "Value", "range"), 50);
    EXPECT_EQ(qvxsim::vcdValue("Gain", "Value", "absolute"), 3.25);
    EXPECT_EQ(video.get("Gain"), qvxtb::PropertyValue(std::int64_t{50}));
    EXPECT_THAT(warningTexts(), IsEmpty());
}

TEST_F(DeclaredKind, AMapStringsDefaultOutsideItsListLeavesTheIntegerInCharge) {
    loadCameras(vcdCamera(R"({"name": "Mode", "elements": [{"name": "Value", "id": "value",
        "range": {"min": 0, "max": 3, "default": 2, "value": 2},
        "mapStrings": {"min": 1, "max": 2, "default": 9, "value": 1, "strings": ["a", "b"]}}]})"));
    qvxtb::VideoInput& video = open("Kind Cam", "PAL_B:Y800 (32x24)");
    EXPECT_EQ(findProperty(video, "Mode")->type, qvxtb::PropType::Integer);
    EXPECT_EQ(video.get("Mode"), qvxtb::PropertyValue(std::int64_t{2}));
    video.set("Mode", std::int64_t{3});
    EXPECT_EQ(qvxsim::vcdValue("Mode", "Value", "range"), 3);
    EXPECT_EQ(qvxsim::vcdValue("Mode", "Value", "mapStrings"), 1);
}

TEST_F(DeclaredKind, AnAbsoluteValueWithARangeIsTheDoubleTheHostHolds) {
    loadCameras(vcdCamera(R"({"name": "Gain", "elements": [{"name": "Value", "id": "value",
        "range": {"min": 0, "max": 100, "default": 7, "value": 7},
        "absolute": {"min": 0.0, "max": 10.0, "default": 3.25, "value": 3.25}}]})"));
    qvxtb::VideoInput& video = open("Kind Cam", "PAL_B:Y800 (32x24)");
    EXPECT_EQ(findProperty(video, "Gain")->type, qvxtb::PropType::Double);
    EXPECT_EQ(video.get("Gain"), qvxtb::PropertyValue(3.25));
    video.set("Gain", 9.5);
    EXPECT_EQ(qvxsim::vcdValue("Gain", "Value", "absolute"), 9.5);
    EXPECT_EQ(qvxsim::vcdValue("Gain", "Value", "range"), 7);
}

TEST_F(DeclaredKind, LimitsThatCollapseAfterTheDescriptionMakeTheNameMissingUntilTheyComeBack) {
    loadCameras(vcdCamera(R"({"name": "Gain", "elements": [{"name": "Value", "id": "value",
        "range": {"min": 0, "max": 100, "default": 7, "value": 7}}]},
        {"name": "Mode", "elements": [{"name": "Value", "id": "value",
        "mapStrings": {"min": 1, "max": 3, "default": 2, "value": 2, "strings": ["a", "b", "c"]}}]})"));
    qvxtb::VideoInput& video = open("Kind Cam", "PAL_B:Y800 (32x24)");
    EXPECT_EQ(video.get("Gain"), qvxtb::PropertyValue(std::int64_t{7}));
    EXPECT_EQ(video.get("Mode"), qvxtb::PropertyValue(std::string("b")));

    qvxsim::setVcdLimits("Gain", "Value", "range", 50, 50);
    // The default 2 now lies before the list's first position.
    qvxsim::setVcdLimits("Mode", "Value", "mapStrings", 3, 5);
    EXPECT_EQ(video.get("Gain"), qvxtb::PropertyValue(std::int64_t{0}));
    video.set("Gain", std::int64_t{60});
    EXPECT_EQ(video.get("Mode"), qvxtb::PropertyValue(std::string("a")));
    video.set("Mode", std::string("c"));
    EXPECT_EQ(qvxsim::vcdValue("Gain", "Value", "range"), 7);
    EXPECT_EQ(qvxsim::vcdValue("Mode", "Value", "mapStrings"), 2);
    EXPECT_THAT(warningTexts(),
                ::testing::ElementsAre("Property \"Gain\" not found.", "Property \"Gain\" not found.",
                                       "Property \"Mode\" not found.", "Property \"Mode\" not found."));

    // Every access checks again: limits that declare the kind once more make the name work again.
    qvxsim::setVcdLimits("Gain", "Value", "range", 0, 100);
    video.set("Gain", std::int64_t{60});
    EXPECT_EQ(qvxsim::vcdValue("Gain", "Value", "range"), 60);
}

// Limits that change after the description can make the element offer the other kind than the declared
// one: both directions must leave the host's value of the declared type (0 on a read) and the camera as
// it was, with a warning, instead of an 8-byte double in a 4-byte integer or a 4-byte integer in a double.
TEST_F(DeclaredKind, AKindChangeAfterTheDescriptionNeverHandsTheHostAValueOfAnotherType) {
    loadCameras(vcdCamera(R"({"name": "Gain", "elements": [{"name": "Value", "id": "value",
        "range": {"min": 0, "max": 100, "default": 7, "value": 7},
        "absolute": {"min": 5.0, "max": 5.0, "default": 3.25, "value": 3.25}}]},
        {"name": "Exposure", "elements": [{"name": "Value", "id": "value",
        "range": {"min": 0, "max": 100, "default": 40, "value": 40},
        "absolute": {"min": 0.0, "max": 10.0, "default": 2.5, "value": 2.5}}]})"));
    qvxtb::VideoInput& video = open("Kind Cam", "PAL_B:Y800 (32x24)");
    ASSERT_EQ(findProperty(video, "Gain")->type, qvxtb::PropType::Integer);
    ASSERT_EQ(findProperty(video, "Exposure")->type, qvxtb::PropType::Double);

    // Integer declared, now only double limits; double declared, now only integer limits.
    qvxsim::setVcdLimits("Gain", "Value", "absolute", 0, 10);
    qvxsim::setVcdLimits("Gain", "Value", "range", 50, 50);
    qvxsim::setVcdLimits("Exposure", "Value", "absolute", 5, 5);
    EXPECT_EQ(video.get("Gain"), qvxtb::PropertyValue(std::int64_t{0}));
    EXPECT_EQ(video.get("Exposure"), qvxtb::PropertyValue(0.0));
    video.set("Gain", std::int64_t{60});
    video.set("Exposure", 9.5);
    EXPECT_EQ(qvxsim::vcdValue("Gain", "Value", "absolute"), 3.25);
    EXPECT_EQ(qvxsim::vcdValue("Gain", "Value", "range"), 7);
    EXPECT_EQ(qvxsim::vcdValue("Exposure", "Value", "range"), 40);
    EXPECT_EQ(qvxsim::vcdValue("Exposure", "Value", "absolute"), 2.5);
    EXPECT_THAT(warningTexts(),
                ::testing::ElementsAre("Property \"Gain\" not found.", "Property \"Exposure\" not found.",
                                       "Property \"Gain\" not found.", "Property \"Exposure\" not found."));
}

TEST_F(DeclaredKind, WithinOneItemTheFirstElementOfAName) {
    // Blanks and hyphens go, so both elements are "ColourRedLevel".
    loadCameras(vcdCamera(R"({"name": "Colour", "elements": [
        {"name": "Red Level", "range": {"min": 0, "max": 50, "default": 11, "value": 11}},
        {"name": "Red-Level", "range": {"min": 0, "max": 50, "default": 22, "value": 22}}]})"));
    qvxtb::VideoInput& video = open("Kind Cam", "PAL_B:Y800 (32x24)");
    EXPECT_EQ(video.get("ColourRedLevel"), qvxtb::PropertyValue(std::int64_t{11}));
    video.set("ColourRedLevel", std::int64_t{5});
    EXPECT_EQ(qvxsim::vcdValue("Colour", "Red Level", "range"), 5);
    EXPECT_EQ(qvxsim::vcdValue("Colour", "Red-Level", "range"), 22);
}

TEST_F(DeclaredKind, DestroyingAfterTheDeviceWasLostWhileLiveStopsLiveMode) {
    loadCameras(R"({"name": "Loose Cam", "fast": true, "norms": [{"name": "PAL_B", "formats": [
        {"colorformat": "Y800", "width": 32, "height": 24}]}]})");
    qvxtb::VideoInput& video = open("Loose Cam", "PAL_B:Y800 (32x24)");
    video.setFramesPerTrigger(0);
    video.start();
    qvxsim::loseDevice("Loose Cam");
    qvxsim::clearCallLog();
    closeVideo();
    // The frame listener dies with the adaptor: the delivery thread must have stopped first.
    EXPECT_FALSE(grabberCalls("stopLive").empty());
    EXPECT_EQ(qvxsim::counters().buffersInUse, 0);
}

} // namespace
} // namespace qvxtest
