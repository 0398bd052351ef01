// Device discovery through the real adaptor: device ids, format names and ids, the missing-formats warning.
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/support/describe_fixture.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct Format {
    int id;
    std::string name;
    bool operator==(const Format& other) const { return id == other.id && name == other.name; }
};

void PrintTo(const Format& format, std::ostream* out) { *out << format.id << ":" << format.name; }

std::vector<Format> formatsOf(const qvxtb::DeviceInfo& device) {
    std::vector<Format> out;
    for (const auto& format : device.formats) {
        EXPECT_FALSE(format.isDefault) << format.name;
        out.push_back({format.id, format.name});
    }
    return out;
}

class Discovery : public qvxtest::DescribeFixture {};

TEST_F(Discovery, NoDevicesReportsNothingAndOpensNothing) {
    loadCameras(R"({"devices": []})");
    EXPECT_THAT(adaptor().hwinfo(), IsEmpty());
    EXPECT_THAT(grabberCalls("openDev"), IsEmpty());
    EXPECT_THAT(warningTexts(), IsEmpty());
}

TEST_F(Discovery, MissingDeviceListReportsNothing) {
    loadCameras(R"({"devices": null})");
    EXPECT_THAT(adaptor().hwinfo(), IsEmpty());
    EXPECT_THAT(grabberCalls("openDev"), IsEmpty());
    EXPECT_THAT(warningTexts(), IsEmpty());
    expectNothingLeftAlive();
}

TEST_F(Discovery, NormPathCountsFormatsFromOneOverAllNorms) {
    loadCameras(R"({"devices": [
        {"name": "Cam A", "norms": [
            {"name": "PAL_B", "formats": [{"colorformat": "RGB24", "width": 640, "height": 480},
                                          {"colorformat": "Y800", "width": 768, "height": 576}]},
            {"name": "NTSC_M", "formats": [{"colorformat": "RGB24", "width": 640, "height": 480}]}]},
        {"name": "Cam B", "norms": [
            {"name": "PAL_B", "formats": [{"colorformat": "UYVY", "width": 720, "height": 576}]}]}]})");
    const auto devices = adaptor().hwinfo();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].id, 1);
    EXPECT_EQ(devices[0].name, "Cam A");
    EXPECT_TRUE(devices[0].deviceFileSupport);
    // The same format under two norms: two names differing in the prefix, consecutive ids.
    EXPECT_THAT(formatsOf(devices[0]),
                ElementsAre(Format{1, "PAL_B:RGB24 (640x480)"}, Format{2, "PAL_B:Y800 (768x576)"},
                            Format{3, "NTSC_M:RGB24 (640x480)"}));
    EXPECT_EQ(devices[1].id, 2);
    EXPECT_THAT(formatsOf(devices[1]), ElementsAre(Format{1, "PAL_B:UYVY (720x576)"}));
    expectNothingLeftAlive();
}

TEST_F(Discovery, NormsWithoutFormatsContributeNothingAndTheCounterGoesOn) {
    loadCamera(R"({"name": "Cam", "norms": [
        {"name": "EMPTY", "formats": []},
        {"name": "PAL_B", "formats": [{"colorformat": "RGB24", "width": 640, "height": 480}]},
        {"name": "MISSING", "formats": null},
        {"name": "NTSC_M", "formats": [{"colorformat": "Y800", "width": 640, "height": 480}]}]})");
    const auto devices = adaptor().hwinfo();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_THAT(formatsOf(devices[0]),
                ElementsAre(Format{1, "PAL_B:RGB24 (640x480)"}, Format{2, "NTSC_M:Y800 (640x480)"}));
    EXPECT_THAT(warningTexts(), IsEmpty());
    expectNothingLeftAlive();
}

TEST_F(Discovery, MissingNormListReportsTheDeviceWithoutFormats) {
    loadCamera(R"({"name": "Cam", "norms": null})");
    const auto devices = adaptor().hwinfo();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_THAT(devices[0].formats, IsEmpty());
    EXPECT_THAT(warningTexts(), IsEmpty());
    expectNothingLeftAlive();
}

TEST_F(Discovery, RefusedNormListsTheFormatsOfTheNormStillSelected) {
    loadCamera(R"({"name": "Cam", "norms": [
        {"name": "PAL_B", "formats": [{"colorformat": "RGB24", "width": 640, "height": 480}]},
        {"name": "SECAM", "refuse": true, "formats": [{"colorformat": "Y800", "width": 720, "height": 576}]}]})");
    const auto devices = adaptor().hwinfo();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_THAT(formatsOf(devices[0]),
                ElementsAre(Format{1, "PAL_B:RGB24 (640x480)"}, Format{2, "SECAM:RGB24 (640x480)"}));
}

TEST_F(Discovery, DescriptorPathReportsEachDescriptorAtItsLargestSizeFromZero) {
    loadCamera(R"({"name": "Cam", "descriptors": [
        {"colorformat": "Y800", "min": [16, 4], "max": [2448, 2048], "step": [4, 2], "roi": true},
        {"colorformat": "RGB32", "min": [320, 240], "max": [1280, 960], "step": [320, 240]}]})");
    const auto devices = adaptor().hwinfo();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_THAT(formatsOf(devices[0]),
                ElementsAre(Format{0, "Y800 (2448x2048)"}, Format{1, "RGB32 (1280x960)"}));
    expectNothingLeftAlive();
}

TEST_F(Discovery, EmptyDescriptorListReportsTheDeviceWithoutWarning) {
    loadCamera(R"({"name": "Cam", "descriptors": []})");
    const auto devices = adaptor().hwinfo();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_THAT(devices[0].formats, IsEmpty());
    EXPECT_THAT(warningTexts(), IsEmpty());
}

TEST_F(Discovery, EntryWithoutDescriptorIsPassedOverKeepingIdsConsecutive) {
    loadCamera(R"({"name": "Cam", "descriptors": [
        {"null": true},
        {"colorformat": "Y16", "min": [8, 8], "max": [640, 480], "step": [8, 8]}]})");
    const auto devices = adaptor().hwinfo();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_THAT(formatsOf(devices[0]), ElementsAre(Format{0, "Y16 (640x480)"}));
    expectNothingLeftAlive();
}

TEST_F(Discovery, MissingDescriptorListWarnsLeavesTheDeviceOutAndKeepsLaterIds) {
    loadCameras(R"({"devices": [
        {"name": "Cam A", "descriptors": []},
        {"name": "Cam B", "descriptors": null},
        {"name": "Cam C", "descriptors": [{"colorformat": "Y800", "min": [8, 8], "max": [64, 48], "step": [8, 8]}]},
        {"name": "Cam D", "descriptors": []}]})");
    const auto devices = adaptor().hwinfo();
    ASSERT_EQ(devices.size(), 3u);
    EXPECT_EQ(devices[0].id, 1);
    EXPECT_EQ(devices[1].id, 3);
    EXPECT_EQ(devices[1].name, "Cam C");
    EXPECT_EQ(devices[2].id, 4);
    EXPECT_EQ(devices[2].name, "Cam D");
    EXPECT_THAT(warningTexts(), ElementsAre("Unable to load formats of: \"Cam B\"."));
    for (const auto& warning : qvxtb::warnings()) EXPECT_EQ(warning.identifier, "QVXadaptor:constructor");
    expectNothingLeftAlive();
}

TEST_F(Discovery, TwoDevicesOfOneNameAreBothReported) {
    loadCameras(R"({"devices": [{"name": "Twin", "descriptors": []}, {"name": "Twin", "descriptors": []}]})");
    const auto devices = adaptor().hwinfo();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].id, 1);
    EXPECT_EQ(devices[1].id, 2);
    EXPECT_EQ(devices[1].name, "Twin");
}

TEST_F(Discovery, HostCallsComeInOrderAndEveryDeviceIsStoppedAndClosed) {
    loadCameras(R"({"devices": [
        {"name": "Cam A", "norms": [{"name": "PAL_B", "formats": [{"colorformat": "RGB24", "width": 640, "height": 480}]}]},
        {"name": "Cam B", "descriptors": null}]})");
    adaptor().hwinfo();
    std::vector<std::string> host;
    for (const auto& call : qvxtb::calls())
        if (call.object == "hardwareInfo" || call.object == "deviceInfo")
            host.push_back(call.object + "." + call.operation + "(" + call.arguments + ")");
    EXPECT_THAT(host,
                ElementsAre("hardwareInfo.createDeviceInfo(1|Cam A)", "deviceInfo.setDeviceFileSupport(1)",
                            "deviceInfo.createDeviceFormat(1|PAL_B:RGB24 (640x480))",
                            "deviceInfo.addDeviceFormat(PAL_B:RGB24 (640x480)|0)",
                            "hardwareInfo.addDevice(Cam A)", "hardwareInfo.createDeviceInfo(2|Cam B)",
                            "deviceInfo.setDeviceFileSupport(1)"));
    EXPECT_THAT(grabberCalls("openDev"), ElementsAre("openDev(Cam A)", "openDev(Cam B)"));
    expectNothingLeftAlive();
}

TEST_F(Discovery, DeviceThatDoesNotOpenGoesTheSameWay) {
    // Unopened, the library lists no descriptors for it: that decides.
    loadCameras(R"({"devices": [{"name": "Shut", "opens": false, "descriptors": []},
                                {"name": "Open", "descriptors": []}]})");
    const auto devices = adaptor().hwinfo();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].id, 2);
    EXPECT_THAT(warningTexts(), ElementsAre("Unable to load formats of: \"Shut\"."));
    expectNothingLeftAlive();
}

TEST_F(Discovery, PercentSignsInADeviceNameReachTheUserLiterally) {
    loadCamera(R"({"name": "Cam %s%n%d", "descriptors": null})");
    EXPECT_THAT(adaptor().hwinfo(), IsEmpty());
    EXPECT_THAT(warningTexts(), ElementsAre("Unable to load formats of: \"Cam %s%n%d\"."));
}

TEST_F(Discovery, OverlongDeviceNameIsCutToTheWarningBuffer) {
    const std::string name(2000, 'x');
    loadCamera(R"({"name": ")" + name + R"(", "descriptors": null})");
    EXPECT_THAT(adaptor().hwinfo(), IsEmpty());
    const auto texts = warningTexts();
    ASSERT_EQ(texts.size(), 1u);
    const std::string expected = "Unable to load formats of: \"" + name;
    EXPECT_EQ(texts[0], expected.substr(0, 1023));
}

TEST_F(Discovery, OverlongNameStillWorksOnTheWayToTheHost) {
    const std::string name(2000, 'y');
    loadCamera(R"({"name": ")" + name + R"(", "descriptors": []})");
    const auto devices = adaptor().hwinfo();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].name, name);
}

} // namespace
