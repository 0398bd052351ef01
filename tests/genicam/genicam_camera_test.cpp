// The adaptor over Aravis's in-process fake camera: listing, description, frames, regions and properties.
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/genicam/genicam_fixture.h"

namespace qvxtest {
namespace {

constexpr const char* kMono = "Y800 (2048x2048)";

std::vector<std::string> formatNames(const qvxtb::DeviceInfo& device) {
    std::vector<std::string> names;
    for (const auto& f : device.formats) names.push_back(f.name);
    return names;
}

TEST_F(GenicamTest, ListsOneFormatPerColourFormatAndOnlyTheFeaturesAUserSets) {
    qvxtb::Adaptor& adaptor = open("genicam:Fake_1");
    const std::vector<qvxtb::DeviceInfo> devices = adaptor.hwinfo();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0].name, "Fake_1");
    // The camera's current pixel format (Mono8) first; the four Bayer formats share one BY8 format.
    EXPECT_EQ(formatNames(devices[0]), (std::vector<std::string>{"Y800 (2048x2048)", "BY8 (2048x2048)",
                                                                 "RGB24 (2048x2048)", "Y16 (2048x2048)"}));

    const qvxtb::DeviceDescription d = adaptor.describe("Fake_1", kMono);
    const qvxtb::PropertyInfo* gain = find(d, "GainRaw");
    ASSERT_NE(gain, nullptr);
    EXPECT_EQ(gain->type, qvxtb::PropType::Integer);
    EXPECT_EQ(gain->min, 0);
    EXPECT_EQ(gain->max, 10);
    const qvxtb::PropertyInfo* gainAuto = find(d, "GainRawAuto");
    ASSERT_NE(gainAuto, nullptr);
    ASSERT_EQ(gainAuto->values.size(), 3u);
    EXPECT_EQ(gainAuto->values[0].text, "Off");
    EXPECT_EQ(gainAuto->values[2].text, "Continuous");
    ASSERT_NE(find(d, "ExposureTimeAbs"), nullptr);
    EXPECT_EQ(find(d, "ExposureTimeAbs")->type, qvxtb::PropType::Double);
    ASSERT_NE(find(d, "AcquisitionFrameRate"), nullptr);
    ASSERT_NE(find(d, "TriggerSoftware"), nullptr);
    EXPECT_EQ(find(d, "TriggerSoftware")->values.at(0).text, "Push");
    for (const char* own : {"PixelFormat", "Width", "Height", "OffsetX", "OffsetY", "AcquisitionStart",
                            "AcquisitionMode", "PayloadSize", "TLParamsLocked", "TestBoolean", "TestRegister",
                            "TestStringReg", "GainAuto", "SensorWidth", "DeviceID", "GainRawRegister"})
        EXPECT_EQ(find(d, own), nullptr) << own << " is the library's, the transport's or a test feature";
}

TEST_F(GenicamTest, MonoFramesAreTheFakesPictureWholeAndInARegion) {
    qvxtb::Adaptor& adaptor = open("genicam:Fake_1");
    auto video = adaptor.videoinput("Fake_1", kMono);
    const qvxtb::Frame whole = video->getsnapshot(20);
    ASSERT_EQ(whole.width, 2048);
    ASSERT_EQ(whole.height, 2048);
    expectFakePicture(whole, 0, 0);

    // The camera cuts the region itself: offsets and size go to OffsetX/Y, Width and Height.
    video->setROIPosition(13, 7, 64, 32);
    EXPECT_EQ(video->getROIPosition(), (std::array<int, 4>{13, 7, 64, 32}));
    video->setFramesPerTrigger(4);
    video->start();
    video->wait(20);
    const std::vector<qvxtb::Frame> frames = video->getdata(4);
    ASSERT_EQ(frames.size(), 4u);
    int previous = -1;
    for (const qvxtb::Frame& frame : frames) {
        ASSERT_EQ(frame.width, 64);
        ASSERT_EQ(frame.height, 32);
        const int k = expectFakePicture(frame, 13, 7);
        EXPECT_NE(k, previous) << "the same frame twice";
        previous = k;
    }
}

TEST_F(GenicamTest, PropertyWritesReachTheCameraAndComeBack) {
    qvxtb::Adaptor& adaptor = open("genicam:Fake_1");
    auto video = adaptor.videoinput("Fake_1", kMono);
    video->set("GainRaw", std::int64_t{7});
    video->set("ExposureTimeAbs", 2500.0);
    video->set("TriggerMode", std::string("On"));
    video->set("TriggerSelector", std::string("AcquisitionStart"));
    video->set("TriggerSoftware", std::string("Push"));
    video->set("GainRawAuto", std::string("Continuous"));
    EXPECT_EQ(std::get<std::int64_t>(video->get("GainRaw")), 7);
    EXPECT_DOUBLE_EQ(std::get<double>(video->get("ExposureTimeAbs")), 2500.0);
    EXPECT_EQ(std::get<std::string>(video->get("TriggerSelector")), "AcquisitionStart");
    EXPECT_EQ(std::get<std::string>(video->get("GainRawAuto")), "Continuous");
    // A region change sets the library's own rate; a rate the user writes afterwards is the one that runs.
    video->setROIPosition(0, 0, 64, 64);
    video->set("AcquisitionFrameRate", 50.0);
    video->getsnapshot(20);
    EXPECT_DOUBLE_EQ(std::get<double>(video->get("AcquisitionFrameRate")), 50.0);
    // Limits are the camera's: the toolbox refuses what lies outside them before the camera sees it.
    EXPECT_THROW(video->set("GainRaw", std::int64_t{11}), qvxtb::ToolboxError);
    EXPECT_EQ(std::get<std::int64_t>(video->get("GainRaw")), 7);
}

class ChangedDescription : public GenicamTest {
protected:
    void SetUp() override {
        char folder[] = "/tmp/qvx-genicam-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        folder_ = folder;
        path_ = writeChangedDescription(folder_);
        arv_set_fake_camera_genicam_filename(path_.c_str());
    }
    void TearDown() override {
        GenicamTest::TearDown();
        unlink(path_.c_str());
        rmdir(folder_.c_str());
    }
    std::string folder_, path_;
};

TEST_F(ChangedDescription, SizesStepsAndAFloatGainComeFromTheDescription) {
    qvxtb::Adaptor& adaptor = open("genicam:Fake_1");
    EXPECT_EQ(formatNames(adaptor.hwinfo().at(0)).at(0), "Y800 (1000x600)");
    const qvxtb::DeviceDescription d = adaptor.describe("Fake_1", "Y800 (1000x600)");
    ASSERT_NE(find(d, "Gain"), nullptr);
    EXPECT_EQ(find(d, "Gain")->type, qvxtb::PropType::Double);
    EXPECT_NE(find(d, "GainAuto"), nullptr) << "GainAuto is Gain's auto element";

    auto video = adaptor.videoinput("Fake_1", "Y800 (1000x600)");
    // Width steps by 8 and height by 4; offsets round with them toward zero.
    video->setROIPosition(13, 7, 101, 50);
    EXPECT_EQ(video->getROIPosition(), (std::array<int, 4>{8, 4, 96, 48}));
    const qvxtb::Frame frame = video->getsnapshot(20);
    ASSERT_EQ(frame.width, 96);
    ASSERT_EQ(frame.height, 48);
    expectFakePicture(frame, 8, 4);
}

TEST_F(ChangedDescription, AWriteTheCameraRefusesIsAnErrorAndChangesNothing) {
    qvxtb::Adaptor& adaptor = open("genicam:Fake_1");
    auto video = adaptor.videoinput("Fake_1", "Y800 (1000x600)");
    video->set("Gain", 6.0);
    video->set("GainLimit", 4.0);
    // 8 lies within the limits the camera declared, but no longer within what it takes now.
    EXPECT_THROW(video->set("Gain", 8.0), qvxtb::ToolboxError);
    EXPECT_DOUBLE_EQ(std::get<double>(video->get("Gain")), 6.0);
}

} // namespace
} // namespace qvxtest
