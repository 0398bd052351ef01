// Hostile names: percent directives, overlong and empty names, invalid UTF-16 and names that collide
// once blanks and hyphens are gone; nothing overflows and every warning reaches the host literally.
#include <cstdint>
#include <string>

#include <gmock/gmock.h>

#include "tests/fault_matrix_fixture.h"

namespace qvxtest {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

class HostileNames : public FaultMatrixFixture {};

std::string normDevice(const std::string& name, const std::string& vcd = "null") {
    return R"({"name": ")" + name +
           R"(", "norms": [{"name": "N", "formats": [{"colorformat": "Y800", "width": 8, "height": 8}]}], "vcd": )" +
           vcd + "}";
}

constexpr const char* kDirectives = "%s%n%x%p%%%99999999s";

TEST_F(HostileNames, PercentDirectivesInPropertyNamesReachTheUserAsText) {
    loadCameras(normDevice("Cam"));
    ASSERT_NE(createDirect("Cam", "N:Y800 (8x8)", {kDirectives}), nullptr);
    std::int32_t value = 7;
    EXPECT_EQ(directGet(kDirectives, &value), 0);
    EXPECT_EQ(directSet(kDirectives, &value), 0);
    const std::string expected = std::string("Property \"") + kDirectives + "\" not found.";
    EXPECT_THAT(warningTexts(), ElementsAre(expected, expected));
}

TEST_F(HostileNames, PercentDirectivesInADeviceAndFormatNameStayText) {
    const std::string device = std::string("Cam ") + kDirectives;
    const std::string other = std::string("Other ") + kDirectives;
    loadCameras(R"({"name": ")" + other + R"(", "descriptors": null},)" + normDevice(device));
    const auto devices = adaptor().hwinfo();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].name, device);
    EXPECT_THAT(warningTexts(), ElementsAre("Unable to load formats of: \"" + other + "\"."));
    // A format name discovery never gave reaches the grabber as it is.
    ASSERT_NE(createDirect(device, kDirectives), nullptr);
    EXPECT_EQ(warningTexts().size(), 1u);
}

TEST_F(HostileNames, OverlongNamesAreCutToTheWarningBufferAndStillWork) {
    const std::string longName(2000, 'n');
    const std::string vcd = R"([{"name": ")" + longName + R"(", "elements": [{"name": ")" + longName +
                            R"(", "range": {"min": 0, "max": 9, "default": 3, "value": 3}}]}])";
    loadCameras(normDevice(longName, vcd));
    adaptor().hwinfo();
    const auto description = adaptor().describe(longName, "N:Y800 (8x8)");
    const std::string property = longName + longName;
    EXPECT_THAT(description.properties, Contains(::testing::Field(&qvxtb::PropertyInfo::name, property)));

    ASSERT_NE(createDirect(longName, "N:Y800 (8x8)", {property, property + "x"}), nullptr);
    std::int32_t value = 0;
    EXPECT_EQ(directGet(property, &value), 0);
    EXPECT_EQ(value, 3);
    EXPECT_EQ(directGet(property + "x", &value), 0);
    ASSERT_EQ(warningTexts().size(), 1u);
    const std::string warning = warningTexts()[0];
    EXPECT_EQ(warning.size(), 1023u);
    EXPECT_THAT(warning, StartsWith("Property \"nnnn"));
}

TEST_F(HostileNames, EmptyNamesEverywhereAreHandledLikeAnyOther) {
    loadCameras(normDevice("", R"([{"name": "", "elements": [{"name": "", "range": {"min": 0, "max": 9}},
                                                               {"name": "", "id": "value", "switch": {}}]}])"));
    const auto devices = adaptor().hwinfo();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].name, "");
    qvxtb::VideoInput& video = open("1", "N:Y800 (8x8)");
    for (const std::string& name : video.propertyNames()) EXPECT_NO_THROW(video.get(name)) << name;
    video.setFramesPerTrigger(1);
    video.start();
    EXPECT_EQ(video.getdata(1).size(), 1u);
}

TEST_F(HostileNames, UnpairedSurrogatesBecomeReplacementCharactersAndStillFindTheirElement) {
    // Item "G<high surrogate>a", element "<low surrogate>b": both unpaired.
    const std::string vcd = R"([{"name": [71, 55296, 97], "elements": [
        {"name": [56320, 98], "range": {"min": 0, "max": 9, "default": 4, "value": 4}}]}])";
    loadCameras(R"({"name": "Cam", "norms": [{"name": "N", "formats": [
        {"colorformat": "Y800", "width": 8, "height": 8, "text": [89, 56320, 56, 55296]}]}], "vcd": )" +
                vcd + "}");
    const std::string replacement = "\xEF\xBF\xBD";
    const auto devices = adaptor().hwinfo();
    ASSERT_EQ(devices.size(), 1u);
    ASSERT_EQ(devices[0].formats.size(), 1u);
    const std::string format = "N:Y" + replacement + "8" + replacement;
    EXPECT_EQ(devices[0].formats[0].name, format);

    const std::string property = "G" + replacement + "a" + replacement + "b";
    const auto description = adaptor().describe("Cam", format);
    EXPECT_THAT(description.properties, Contains(::testing::Field(&qvxtb::PropertyInfo::name, property)));
    // The converted format text is not the camera's own: the format is refused with a box.
    qvxtb::VideoInput& video = open("Cam", format);
    EXPECT_THAT(boxes(), Contains(::testing::Field(&qvxplatform::MessageBoxCall::text,
                                                   HasSubstr("failed to set video format"))));
    EXPECT_EQ(std::get<std::int64_t>(video.get(property)), 4);
}

TEST_F(HostileNames, NamesThatCollideOnceBlanksAndHyphensGoReachTheLaterItem) {
    loadCameras(normDevice("Cam", R"([
        {"name": "Auto-Exposure", "elements": [{"name": "Value", "id": "value", "range": {"min": 0, "max": 9, "value": 1}}]},
        {"name": "Auto Exposure", "elements": [{"name": "Value", "id": "value", "range": {"min": 0, "max": 9, "value": 2}}]},
        {"name": "AutoExposure", "elements": [{"name": "Value", "id": "value", "range": {"min": 0, "max": 9, "value": 3}}]}])"));
    ASSERT_NE(createDirect("Cam", "N:Y800 (8x8)", {"AutoExposure"}), nullptr);
    std::int32_t value = 0;
    EXPECT_EQ(directGet("AutoExposure", &value), 0);
    EXPECT_EQ(value, 3);
    value = 8;
    EXPECT_EQ(directSet("AutoExposure", &value), 0);
    EXPECT_EQ(qvxsim::vcdValue("AutoExposure", "Value", "range"), 8);
    EXPECT_EQ(qvxsim::vcdValue("Auto-Exposure", "Value", "range"), 1);
}

} // namespace
} // namespace qvxtest
