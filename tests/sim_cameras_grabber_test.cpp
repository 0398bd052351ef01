// The camera stand-in's Grabber: devices, norms, formats, descriptors, rates, channels and serial numbers.
#include <algorithm>

#include "grabber/snapshot.h"
#include "tests/sim_cameras_support.h"

namespace simtest {
namespace {

using KapriLib::Grabber;

constexpr const char* kNormCameras = R"({"devices":[
  {"name":"Norms", "serial":"0x26610123", "inputChannels":["Composite","S-Video"],
   "norms":[
     {"name":"PAL_B","formats":[{"colorformat":"RGB24","width":768,"height":576,"fps":[25,12.5]},
                                {"colorformat":"Y800","width":384,"height":288,"text":"Y800 small"}]},
     {"name":"NTSC_M","formats":[{"colorformat":"RGB24","width":640,"height":480,"fps":[30,15],"rates":[7,8]},
                                 {"colorformat":"RGB24","width":320,"height":240,"refuse":true}]},
     {"name":"SECAM","refuse":true,"formats":[{"colorformat":"Y800","width":768,"height":576}]},
     {"name":"EMPTY","formats":[]},
     {"name":"MISSING","formats":null}]},
  {"name":"Norms"},
  {"name":"Closed","opens":false,"descriptors":[]},
  {"name":"Roi","normName":"N/A","fps":null,
   "descriptors":[{"null":true},
                  {"colorformat":"Y800","min":[16,4],"max":[2048,1536],"step":[4,2],"roi":true,"fps":[30,15,7.5]},
                  {"colorformat":"RGB32","max":[640,480]}]},
  {"name":"NoLists","norms":null,"inputChannels":null},
  {"name":"NoDescs","descriptors":null},
  {"name":"NoRateList","frameRateList":false,"descriptors":[{"colorformat":"Y16","max":[64,64]}]}
]})";

class SimCamerasGrabber : public SimCameras {
protected:
    void SetUp() override {
        SimCameras::SetUp();
        qvxsim::loadCameras(kNormCameras);
    }
};

TEST_F(SimCamerasGrabber, OpensTheFirstDeviceOfAName) {
    Grabber g;
    EXPECT_FALSE(g.isDevValid());
    EXPECT_FALSE(g.getDev().c_str()[0] != '\0');
    ASSERT_TRUE(g.openDev("Norms"));
    EXPECT_TRUE(g.isDevValid());
    EXPECT_STREQ(g.getDev().c_str(), "Norms");
    // The first device is the one with norms; the second of that name has none.
    EXPECT_TRUE(g.isVideoNormAvailableWithCurDev());
    EXPECT_EQ(qvxsim::counters().openDevices, before_.openDevices + 1);
    EXPECT_TRUE(g.closeDev());
    EXPECT_FALSE(g.isDevValid());
    EXPECT_EQ(qvxsim::counters().openDevices, before_.openDevices);

    EXPECT_FALSE(g.openDev("Closed"));
    EXPECT_FALSE(g.isDevValid());
    EXPECT_FALSE(g.openDev("Nobody"));
    EXPECT_TRUE(logged("openDev(Closed)"));

    // A null name is the caller's breach, as the library would read through it: refused and counted.
    EXPECT_FALSE(g.openDev(nullptr));
    EXPECT_EQ(qvxsim::counters().contractViolations, 1);
    qvxsim::reset();
}

TEST_F(SimCamerasGrabber, NormsSelectByItemAndByNameAndRefusalsKeepThePrevious) {
    Grabber g;
    ASSERT_TRUE(g.openDev("Norms"));
    EXPECT_STREQ(g.getVideoNorm().c_str(), "PAL_B");
    EXPECT_EQ(formatText(g.getVideoFormat()), "RGB24 (768x576)");

    const auto norms = listOf(g.getAvailableVideoNorms_());
    ASSERT_EQ(norms.size(), 5u);
    EXPECT_TRUE(g.setVideoNorm(norms[1]));
    EXPECT_STREQ(g.getVideoNorm().c_str(), "NTSC_M");
    EXPECT_EQ(formatText(g.getVideoFormat()), "RGB24 (640x480)");

    EXPECT_FALSE(g.setVideoNorm(norms[2])); // refused
    EXPECT_FALSE(setNorm(g, "SECAM"));
    EXPECT_FALSE(setNorm(g, "Unknown"));
    EXPECT_STREQ(g.getVideoNorm().c_str(), "NTSC_M");
    EXPECT_TRUE(setNorm(g, "PAL_B"));
    EXPECT_STREQ(g.getVideoNorm().c_str(), "PAL_B");
    EXPECT_TRUE(logged("setVideoNorm(SECAM)"));

    // A norm without formats leaves no current format.
    EXPECT_TRUE(setNorm(g, "EMPTY"));
    EXPECT_FALSE(g.getVideoFormat().isValid());
}

TEST_F(SimCamerasGrabber, FormatListsFollowTheNormAndTellMissingFromEmpty) {
    Grabber g;
    ASSERT_TRUE(g.openDev("Norms"));
    auto pal = snapshotFormats(g);
    ASSERT_NE(pal.get(), nullptr);
    ASSERT_EQ(pal->size(), 2u);
    EXPECT_EQ(formatText((*pal)[1]), "Y800 small");

    ASSERT_TRUE(setNorm(g, "EMPTY"));
    auto empty = snapshotFormats(g);
    ASSERT_NE(empty.get(), nullptr);
    EXPECT_TRUE(empty->empty());
    ASSERT_TRUE(setNorm(g, "MISSING"));
    EXPECT_EQ(snapshotFormats(g).get(), nullptr);

    // Devices with norms list no descriptors; devices without norms list an empty norm list.
    auto descs = snapshotFormatDescs(g);
    ASSERT_NE(descs.get(), nullptr);
    EXPECT_TRUE(descs->empty());

    ASSERT_TRUE(g.openDev("NoLists"));
    EXPECT_EQ(snapshotNorms(g).get(), nullptr);
    EXPECT_EQ(snapshotInputChannels(g).get(), nullptr);
    ASSERT_TRUE(g.openDev("Roi"));
    auto norms = snapshotNorms(g);
    ASSERT_NE(norms.get(), nullptr);
    EXPECT_TRUE(norms->empty());
}

TEST_F(SimCamerasGrabber, SetVideoFormatByNameForms) {
    Grabber g;
    ASSERT_TRUE(g.openDev("Norms"));
    EXPECT_TRUE(setFormat(g, "Y800 small"));
    EXPECT_EQ(formatText(g.getVideoFormat()), "Y800 small");
    EXPECT_FALSE(setFormat(g, "RGB24 (640x480)")); // a format of another norm
    EXPECT_TRUE(setFormat(g, "NTSC_M:RGB24 (640x480)"));
    EXPECT_STREQ(g.getVideoNorm().c_str(), "NTSC_M");
    EXPECT_EQ(formatText(g.getVideoFormat()), "RGB24 (640x480)");
    EXPECT_FALSE(setFormat(g, "NTSC_M:RGB24 (320x240)")); // refused format
    EXPECT_FALSE(setFormat(g, "SECAM:Y800 (768x576)"));   // refused norm
    EXPECT_STREQ(g.getVideoNorm().c_str(), "NTSC_M");
    EXPECT_FALSE(setFormat(g, ""));
    EXPECT_TRUE(logged("setVideoFormat(NTSC_M:RGB24 (640x480))"));

    ASSERT_TRUE(g.openDev("Roi"));
    EXPECT_STREQ(g.getVideoNorm().c_str(), "N/A");
    // The first format after opening is the first real descriptor at its largest size.
    EXPECT_EQ(formatText(g.getVideoFormat()), "Y800 (2048x1536)");
    EXPECT_TRUE(setFormat(g, "Y800 (640x480)"));
    EXPECT_EQ(g.getVideoFormat().getSize().cx, 640);
    EXPECT_TRUE(setFormat(g, "Y800 (16x4)"));      // the minimum
    EXPECT_FALSE(setFormat(g, "Y800 (642x480)"));  // off the step
    EXPECT_FALSE(setFormat(g, "Y800 (4096x480)")); // beyond the maximum
    EXPECT_FALSE(setFormat(g, "Y800 (0640x480)")); // not the text the descriptor makes
    EXPECT_FALSE(setFormat(g, "Y16 (640x480)"));   // no such descriptor
    EXPECT_TRUE(setFormat(g, "RGB32 (640x480)"));
    EXPECT_FALSE(setFormat(g, "RGB32 (320x240)")); // fixed size
    EXPECT_EQ(KapriLib::takeDstringw(g.getVideoFormat().getColorformatString_()), "RGB32");
}

TEST_F(SimCamerasGrabber, DescriptorsMakeFormatsAndNullEntriesStay) {
    Grabber g;
    ASSERT_TRUE(g.openDev("Roi"));
    auto descs = snapshotFormatDescs(g);
    ASSERT_NE(descs.get(), nullptr);
    ASSERT_EQ(descs->size(), 3u);
    EXPECT_EQ((*descs)[0].get(), nullptr);
    const KapriLib::VideoFormatDesc& d = *(*descs)[1];
    EXPECT_TRUE(d.isROIFormat());
    EXPECT_EQ(d.getMinSize().cx, 16);
    EXPECT_EQ(d.getMaxSize().cy, 1536);
    EXPECT_EQ(d.getStepSize().cy, 2);
    EXPECT_FALSE((*descs)[2]->isROIFormat());

    const KapriLib::VideoFormatItem made = d.createVideoFormat(640, 480);
    EXPECT_EQ(formatText(made), "Y800 (640x480)");
    EXPECT_TRUE(g.setVideoFormat(made));
    EXPECT_TRUE(g.getVideoFormat() == made);
    EXPECT_FALSE(g.setVideoFormat(d.createVideoFormat(4, 480)));
    EXPECT_FALSE(g.setVideoFormat(KapriLib::VideoFormatItem()));
    EXPECT_TRUE(g.getVideoFormat() == made);

    ASSERT_TRUE(g.openDev("NoDescs"));
    EXPECT_EQ(snapshotFormatDescs(g).get(), nullptr);
    EXPECT_FALSE(g.getVideoFormat().isValid());
}

TEST_F(SimCamerasGrabber, FrameRatesPerFormat) {
    Grabber g;
    ASSERT_TRUE(g.openDev("Norms"));
    EXPECT_TRUE(g.isFrameRateListAvailable());
    auto fps = snapshotFPS(g);
    ASSERT_NE(fps.get(), nullptr);
    EXPECT_EQ(*fps, (std::vector<double>{25, 12.5}));
    auto rates = snapshotFrameRates(g);
    ASSERT_NE(rates.get(), nullptr);
    EXPECT_EQ(*rates, (std::vector<std::int32_t>{400000, 800000}));
    EXPECT_DOUBLE_EQ(qvxsim::deviceState("Norms").fps, 25.0);
    EXPECT_EQ(g.getFrameRate(), 400000);

    EXPECT_TRUE(g.setFrameRate(800000));
    EXPECT_DOUBLE_EQ(qvxsim::deviceState("Norms").fps, 12.5);
    EXPECT_FALSE(g.setFrameRate(123));
    EXPECT_TRUE(g.setFPS(25.0));
    EXPECT_EQ(g.getFrameRate(), 400000);
    EXPECT_FALSE(g.setFPS(0.0));
    EXPECT_FALSE(g.setFPS(100.0));
    EXPECT_TRUE(logged("setFPS(25)"));

    // Explicit integer rates are handed out as given.
    ASSERT_TRUE(setFormat(g, "NTSC_M:RGB24 (640x480)"));
    EXPECT_EQ(*snapshotFrameRates(g), (std::vector<std::int32_t>{7, 8}));
    EXPECT_TRUE(g.setFrameRate(8));
    EXPECT_DOUBLE_EQ(qvxsim::deviceState("Norms").fps, 15.0);

    // The device's default list, a descriptor's own list and a missing list.
    ASSERT_TRUE(g.openDev("Norms"));
    ASSERT_TRUE(setFormat(g, "Y800 small"));
    EXPECT_EQ(*snapshotFPS(g), (std::vector<double>{30, 15, 7.5}));
    ASSERT_TRUE(g.openDev("Roi"));
    EXPECT_EQ(*snapshotFPS(g), (std::vector<double>{30, 15, 7.5}));
    ASSERT_TRUE(setFormat(g, "RGB32 (640x480)"));
    EXPECT_EQ(snapshotFPS(g).get(), nullptr);
    EXPECT_EQ(snapshotFrameRates(g).get(), nullptr);
    EXPECT_DOUBLE_EQ(qvxsim::deviceState("Roi").fps, 0.0);

    ASSERT_TRUE(g.openDev("NoRateList"));
    EXPECT_FALSE(g.isFrameRateListAvailable());
}

TEST_F(SimCamerasGrabber, InputChannelsAndSerialNumbers) {
    Grabber g;
    ASSERT_TRUE(g.openDev("Norms"));
    EXPECT_TRUE(g.isInputChannelAvailableWithCurDev());
    const auto channels = listOf(g.getAvailableInputChannels_());
    ASSERT_EQ(channels.size(), 2u);
    EXPECT_STREQ(channels[1].c_str(), "S-Video");
    EXPECT_STREQ(g.getInputChannel().c_str(), channels[0].c_str());
    EXPECT_TRUE(g.setInputChannel(1));
    EXPECT_EQ(qvxsim::deviceState("Norms").inputChannel, 1);
    EXPECT_STREQ(g.getInputChannel().c_str(), "S-Video");
    EXPECT_FALSE(g.setInputChannel(2));
    EXPECT_EQ(qvxsim::deviceState("Norms").inputChannel, 1);

    std::int64_t serial = 0;
    EXPECT_TRUE(g.getDev().getSerialNumber(serial));
    EXPECT_EQ(serial, 0x26610123);

    ASSERT_TRUE(g.openDev("Roi"));
    EXPECT_FALSE(g.isInputChannelAvailableWithCurDev());
    EXPECT_STREQ(g.getInputChannel().c_str(), "");
    serial = 7;
    EXPECT_FALSE(g.getDev().getSerialNumber(serial));
    EXPECT_EQ(serial, 7);
}

TEST_F(SimCamerasGrabber, DeviceFaultsRefuseOnTheNthCall) {
    qvxsim::loadCameras(
        R"({"devices":[{"name":"F","descriptors":[{"colorformat":"Y800","max":[64,64],"min":[8,8]}],
        "faults":{"setVideoFormat":{"nth":2},"openDev":{"from":3},"setInputChannel":true}}]})");
    Grabber g;
    ASSERT_TRUE(g.openDev("F"));
    EXPECT_TRUE(setFormat(g, "Y800 (8x8)"));
    EXPECT_FALSE(setFormat(g, "Y800 (16x16)"));
    EXPECT_TRUE(setFormat(g, "Y800 (16x16)"));
    EXPECT_TRUE(g.openDev("F"));
    EXPECT_FALSE(g.openDev("F"));
    EXPECT_FALSE(g.openDev("F"));
}

TEST_F(SimCamerasGrabber, MissingDeviceListAndCountsBackToZero) {
    qvxsim::loadCameras(R"({"devices":null})");
    {
        Grabber g;
        EXPECT_EQ(snapshotDevices(g).get(), nullptr);
        EXPECT_GT(qvxsim::counters().liveGrabbers, before_.liveGrabbers);
    }
    qvxsim::loadCameras(kNormCameras);
    {
        Grabber g;
        ASSERT_TRUE(g.openDev("Roi"));
        auto descs = snapshotFormatDescs(g);
        auto formats = snapshotFormats(g);
        EXPECT_GT(qvxsim::counters().liveDescriptors, before_.liveDescriptors);
        // Snapshots hold copies; the library's lists are already gone.
        EXPECT_EQ(qvxsim::counters().liveListHolders, before_.liveListHolders);
        auto list = g.getAvailableVideoFormats_(g.getVideoNorm());
        EXPECT_EQ(qvxsim::counters().liveListHolders, before_.liveListHolders + 1);
    }
    // The fixture checks that items, descriptors and holders are all back.
}

} // namespace
} // namespace simtest
