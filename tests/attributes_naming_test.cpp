// Name forming shared by the catalogue and the property lookup, and the ROI test, with the stand-in camera.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "attributes/roi_capable.h"
#include "attributes/vcd_naming.h"
#include "attributes/vcd_walk.h"
#include "grabber/grabber.h"
#include "grabber/vcd_ids.h"
#include "platform/testing.h"
#include "sim/cameras/sim_api.h"

namespace {

TEST(ReplaceAll, ScansLeftToRightAndNeverRescansInsertedText) {
    EXPECT_EQ(qvx::replaceAll("Auto-Gain Limit", " ", ""), "Auto-GainLimit");
    EXPECT_EQ(qvx::replaceAll("a-b--c-", "-", ""), "abc");
    EXPECT_EQ(qvx::replaceAll("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(qvx::replaceAll("x", "x", "xx"), "xx");
    EXPECT_EQ(qvx::replaceAll("", " ", ""), "");
    EXPECT_EQ(qvx::replaceAll("same", "", "z"), "same");
}

// A grabber on one stand-in camera, with the library initialised around it.
class WithCamera : public ::testing::Test {
protected:
    void SetUp() override {
        qvxsim::reset();
        KapriLib::InitLibrary();
    }
    void TearDown() override {
        KapriLib::ExitLibrary();
        qvxplatform::setDebugOutputHook(nullptr);
        qvxsim::reset();
    }
    void open(const std::string& deviceJson) {
        grabber_.reset();
        qvxsim::loadCameras(R"({"devices": [)" + deviceJson + "]}");
        grabber_ = std::make_unique<KapriLib::Grabber>();
        grabber_->openDev("Cam");
    }
    KapriLib::Grabber& grabber() { return *grabber_; }
    void closeGrabber() { grabber_.reset(); }

private:
    std::unique_ptr<KapriLib::Grabber> grabber_;
};

TEST_F(WithCamera, NamesAreTheSameWithAndWithoutDebugOutput) {
    open(R"({"name": "Cam", "descriptors": [], "vcd": [
        {"name": "Auto-Gain Limit", "elements": [{"name": "One Push", "button": {}},
                                                 {"name": "Value", "id": "value", "button": {}},
                                                 {"name": "Auto", "id": "auto", "button": {}},
                                                 {"name": "Red - Level", "id": "selfNamedA", "button": {}}]}]})");
    std::vector<std::string> debug;
    qvxplatform::setDebugOutputHook([&debug](const char* text) { debug.emplace_back(text); });
    {
        const auto collection = grabber().getAvailableVCDProperties();
        const auto items = qvx::readItems(collection.get());
        ASSERT_EQ(items.size(), 1u);
        const std::string itemName = qvx::readItemName(items[0].get());
        EXPECT_EQ(itemName, "Auto-GainLimit");
        const auto elements = qvx::readElements(items[0].get());
        ASSERT_EQ(elements.size(), 4u);
        const char* expected[] = {"AutoGainLimitOnePush", "AutoGainLimit", "AutoGainLimitAuto", "RedLevel"};
        for (std::size_t i = 0; i < elements.size(); ++i) {
            EXPECT_EQ(qvx::makeVCDPropertyName(itemName, elements[i].get(), false), expected[i]);
            EXPECT_TRUE(debug.empty());
            EXPECT_EQ(qvx::makeVCDPropertyName(itemName, elements[i].get()), expected[i]);
            EXPECT_EQ(debug, (std::vector<std::string>{expected[i], "\n"}));
            debug.clear();
        }
        // Each lookup hands back one reference of the typed interface, or none.
        EXPECT_TRUE(qvx::getElementInterface<KapriLib::IVCDButtonProperty>(elements[0].get(),
                                                                           KapriLib::kVcdButtonInterface));
        EXPECT_FALSE(qvx::getElementInterface<KapriLib::IVCDRangeProperty>(elements[0].get(),
                                                                           KapriLib::kVcdRangeInterface));
    }
    EXPECT_EQ(qvxsim::counters().liveComObjects, 0);
    closeGrabber();
}

TEST_F(WithCamera, InterfaceLookupFreesItsTextsWhenMemoryRunsOut) {
    open(
        R"({"name": "Cam", "descriptors": [], "vcd": [{"name": "A", "elements": [{"name": "B", "button": {}}]}]})");
    const long blocks = qvxplatform::liveCoTaskMemBlocks();
    const long bstrs = qvxplatform::liveBstrs();
    {
        const auto collection = grabber().getAvailableVCDProperties();
        const auto items = qvx::readItems(collection.get());
        const auto elements = qvx::readElements(items.at(0).get());
        qvxplatform::failSysAllocStringAfter(0);
        EXPECT_FALSE(qvx::getElementInterface<KapriLib::IVCDButtonProperty>(elements.at(0).get(),
                                                                            KapriLib::kVcdButtonInterface));
        qvxplatform::failCoTaskMemAllocAfter(0);
        EXPECT_FALSE(qvx::getElementInterface<KapriLib::IVCDButtonProperty>(elements.at(0).get(),
                                                                            KapriLib::kVcdButtonInterface));
        qvxplatform::failSysAllocStringAfter(-1);
        qvxplatform::failCoTaskMemAllocAfter(-1);
        EXPECT_TRUE(qvx::getElementInterface<KapriLib::IVCDButtonProperty>(elements.at(0).get(),
                                                                           KapriLib::kVcdButtonInterface));
    }
    EXPECT_EQ(qvxplatform::liveCoTaskMemBlocks(), blocks);
    EXPECT_EQ(qvxplatform::liveBstrs(), bstrs);
    EXPECT_EQ(qvxsim::counters().liveComObjects, 0);
    closeGrabber();
}

TEST_F(WithCamera, OnlyTheFirstDescriptorDecidesRegionOfInterest) {
    open(R"({"name": "Cam", "descriptors": [
        {"colorformat": "Y800", "min": [16, 4], "max": [640, 480], "step": [4, 2], "roi": true},
        {"colorformat": "Y16", "min": [16, 4], "max": [640, 480], "step": [4, 2]}]})");
    EXPECT_TRUE(qvx::isROICapable(grabber()));
    open(R"({"name": "Cam", "descriptors": [
        {"colorformat": "Y16", "min": [16, 4], "max": [640, 480], "step": [4, 2]},
        {"colorformat": "Y800", "min": [16, 4], "max": [640, 480], "step": [4, 2], "roi": true}]})");
    EXPECT_FALSE(qvx::isROICapable(grabber()));
    open(R"({"name": "Cam", "descriptors": [{"null": true},
        {"colorformat": "Y800", "min": [16, 4], "max": [640, 480], "step": [4, 2], "roi": true}]})");
    EXPECT_FALSE(qvx::isROICapable(grabber()));
    open(R"({"name": "Cam", "descriptors": []})");
    EXPECT_FALSE(qvx::isROICapable(grabber()));
    open(R"({"name": "Cam", "descriptors": null})");
    EXPECT_FALSE(qvx::isROICapable(grabber()));
    closeGrabber();
    EXPECT_EQ(qvxsim::counters().liveListHolders, 0);
    EXPECT_EQ(qvxsim::counters().liveDescriptors, 0);
}

} // namespace
