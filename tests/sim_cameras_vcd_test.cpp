// The camera stand-in's VCD objects: lookup by identifier text and path, live values, faults, COM counts.
#include "grabber/filter.h"
#include "grabber/smart_com.h"
#include "grabber/vcd_ids.h"
#include "platform/testing.h"
#include "tests/sim_cameras_support.h"

namespace simtest {
namespace {

using namespace KapriLib;

constexpr const char* kVcdCamera = R"({"devices":[{"name":"V","sensor":[2048,1536],
  "descriptors":[{"colorformat":"Y800","min":[16,4],"max":[2048,1536],"step":[4,2],"roi":true}],
  "vcd":[
    {"name":"Gain","elements":[
      {"name":"Value","id":"value","range":{"min":0,"max":480,"default":34,"faults":{"get_Value":{"result":-5,"nth":2}}},
                                   "absolute":{"min":0.0,"max":48.0,"default":3.4}},
      {"name":"Auto","id":"auto","switch":{"value":true}}]},
    {"name":"Trigger","elements":[{"name":"Polarity","switch":{"value":false,"raw":1}},
                                  {"name":"Fire","button":{"faults":{"Push":{"result":-7,"from":3}}}}]},
    {"name":"Strobe","elements":[{"name":"Mode","mapStrings":{"min":1,"default":3,"strings":["a","b","c"]}}]},
    {"name":"Partial scan offset","id":"partialScanOffset","elements":[
      {"name":"Auto-center","id":"autoCenter","switch":{"value":true}},
      {"name":"X Offset","id":"offsetX","range":{}},
      {"name":"Y Offset","id":"offsetY","range":{}}]},
    {"name":"Broken","faults":{"get_Name":-2147467259},"elements":[]}
  ]}]})";

class SimCamerasVcd : public SimCameras {
protected:
    void SetUp() override {
        SimCameras::SetUp();
        qvxsim::loadCameras(kVcdCamera);
        ASSERT_TRUE(grabber_.openDev("V"));
        items_ = grabber_.getAvailableVCDProperties();
        ASSERT_TRUE(items_);
    }
    void TearDown() override {
        items_.reset();
        grabber_.closeDev();
        SimCameras::TearDown();
    }

    smart_com<IVCDPropertyElement> element(LONG item, LONG index) {
        IVCDPropertyItem* it = nullptr;
        EXPECT_EQ(items_->get_Item(item, &it), S_OK);
        smart_com<IVCDPropertyItem> owned(it);
        IVCDPropertyElements* els = nullptr;
        EXPECT_EQ(owned->get_Elements(&els), S_OK);
        smart_com<IVCDPropertyElements> elements(els);
        IVCDPropertyElement* el = nullptr;
        EXPECT_EQ(elements->get_Item(index, &el), S_OK);
        return smart_com<IVCDPropertyElement>(el);
    }

    template <class T>
    smart_com<T> byText(IVCDPropertyElement* el, const GUID& iid, HRESULT expected = S_OK) {
        LPOLESTR text = nullptr;
        EXPECT_EQ(StringFromCLSID(iid, &text), S_OK);
        BSTR bstr = SysAllocString(text);
        CoTaskMemFree(text);
        IUnknown* found = nullptr;
        EXPECT_EQ(el->findInterface(bstr, &found), expected);
        SysFreeString(bstr);
        if (found == nullptr) return smart_com<T>();
        void* typed = nullptr;
        EXPECT_EQ(found->QueryInterface(iid, &typed), S_OK);
        found->Release();
        return smart_com<T>(static_cast<T*>(typed));
    }

    template <class T>
    smart_com<T> byPath(const std::string& path, const GUID& iid, HRESULT expected = S_OK) {
        const WideString wide(path.begin(), path.end());
        BSTR bstr = SysAllocString(wide.c_str());
        IUnknown* found = nullptr;
        EXPECT_EQ(items_->findInterface(bstr, &found), expected) << path;
        SysFreeString(bstr);
        if (found == nullptr) return smart_com<T>();
        void* typed = nullptr;
        EXPECT_EQ(found->QueryInterface(iid, &typed), S_OK);
        found->Release();
        return smart_com<T>(static_cast<T*>(typed));
    }

    Grabber grabber_;
    smart_com<IVCDPropertyItems> items_;
};

TEST_F(SimCamerasVcd, WalksItemsAndElementsWithNamesAndIds) {
    LONG count = 0;
    ASSERT_EQ(items_->get_Count(&count), S_OK);
    EXPECT_EQ(count, 5);
    IVCDPropertyItem* raw = nullptr;
    EXPECT_EQ(items_->get_Item(0, &raw), E_INVALIDARG);
    EXPECT_EQ(items_->get_Item(6, &raw), E_INVALIDARG);
    ASSERT_EQ(items_->get_Item(4, &raw), S_OK);
    smart_com<IVCDPropertyItem> offsets(raw);
    BSTR name = nullptr;
    ASSERT_EQ(offsets->get_Name(&name), S_OK);
    EXPECT_EQ(takeBstr(name), "Partial scan offset");
    GUID id{};
    ASSERT_EQ(offsets->get_ItemID(&id), S_OK);
    EXPECT_TRUE(id == kVcdItemPartialScanOffset);

    auto el = element(1, 2);
    ASSERT_EQ(el->get_Name(&name), S_OK);
    EXPECT_EQ(takeBstr(name), "Auto");
    ASSERT_EQ(el->get_ElementID(&id), S_OK);
    EXPECT_TRUE(id == kVcdElementAuto);

    // Failing reads give their code and no text.
    ASSERT_EQ(items_->get_Item(5, &raw), S_OK);
    smart_com<IVCDPropertyItem> broken(raw);
    name = nullptr;
    EXPECT_EQ(broken->get_Name(&name), static_cast<HRESULT>(0x80004005u));
    EXPECT_EQ(name, nullptr);
}

TEST_F(SimCamerasVcd, APlaceholderPositionIsAContractViolation) {
    EXPECT_EQ(items_->slot5(), E_NOTIMPL);
    auto map = byText<IVCDMapStringsProperty>(element(3, 1).get(), kVcdMapStringsInterface);
    EXPECT_EQ(map->slot16(), E_NOTIMPL); // the maximum, which nothing of the adaptor reads
    EXPECT_EQ(qvxsim::counters().contractViolations, 2);
    EXPECT_TRUE(logged("placeholder slot 16 called"));
    qvxsim::reset(); // what this test provoked on purpose is not a breach of the others
}

TEST_F(SimCamerasVcd, FindsInterfacesByIdentifierTextInEitherCase) {
    auto value = element(1, 1);
    auto range = byText<IVCDRangeProperty>(value.get(), kVcdRangeInterface);
    ASSERT_TRUE(range);
    LONG v = 0;
    EXPECT_EQ(range->get_RangeMax(&v), S_OK);
    EXPECT_EQ(v, 480);
    EXPECT_FALSE(byText<IVCDSwitchProperty>(value.get(), kVcdSwitchInterface, E_NOINTERFACE));

    const WideString lower(QVX_WIDE("{99b44940-bfe1-4083-ada1-be703f4b8e08}"));
    BSTR text = SysAllocString(lower.c_str());
    IUnknown* found = nullptr;
    EXPECT_EQ(value->findInterface(text, &found), S_OK);
    SysFreeString(text);
    ASSERT_NE(found, nullptr);
    // Only the interface asked for answers a query.
    void* other = nullptr;
    EXPECT_EQ(found->QueryInterface(kVcdRangeInterface, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    found->Release();

    text = SysAllocString(QVX_WIDE("not an identifier"));
    EXPECT_EQ(value->findInterface(text, &found), E_INVALIDARG);
    SysFreeString(text);
}

TEST_F(SimCamerasVcd, FindsObjectsByPath) {
    const std::string item = "{2CED6FD6-AB4D-4C74-904C-D682E53B9CC5}";
    const std::string x = "{5E59F654-7B47-4458-B4C6-5D4F0D175FC1}";
    const std::string range = "{99B44940-BFE1-4083-ADA1-BE703F4B8E03}";
    auto offsetX = byPath<IVCDRangeProperty>(item + ":" + x + ":" + range, kVcdRangeInterface);
    ASSERT_TRUE(offsetX);
    // The element itself, with two parts.
    const WideString elementPath(
        QVX_WIDE("{2CED6FD6-AB4D-4C74-904C-D682E53B9CC5}:{5E59F654-7B47-4458-B4C6-5D4F0D175FC1}"));
    BSTR bstr = SysAllocString(elementPath.c_str());
    IUnknown* found = nullptr;
    EXPECT_EQ(items_->findInterface(bstr, &found), S_OK);
    SysFreeString(bstr);
    ASSERT_NE(found, nullptr);
    auto* el = static_cast<IVCDPropertyElement*>(found);
    BSTR name = nullptr;
    ASSERT_EQ(el->get_Name(&name), S_OK);
    EXPECT_EQ(takeBstr(name), "X Offset");
    found->Release();

    EXPECT_FALSE(byPath<IVCDRangeProperty>(item + ":" + x + ":{99B44940-BFE1-4083-ADA1-BE703F4B8E04}",
                                           kVcdSwitchInterface, E_NOINTERFACE));
    EXPECT_FALSE(byPath<IVCDRangeProperty>(item, kVcdRangeInterface, E_INVALIDARG));
    EXPECT_FALSE(
        byPath<IVCDRangeProperty>(item + ":" + item + ":" + range, kVcdRangeInterface, E_NOINTERFACE));
    // Malformed paths: too many parts, an empty part, nothing at all.
    for (const std::string& bad :
         {item + ":" + x + ":" + range + ":" + range, item + ":" + x + ":", ":" + item, std::string()})
        EXPECT_FALSE(byPath<IVCDRangeProperty>(bad, kVcdRangeInterface, E_INVALIDARG)) << bad;
    // A wide character whose low byte is a digit is not that digit.
    WideString wide(item.begin(), item.end());
    wide[1] = static_cast<WCHAR>(0x0132); // low byte '2', the first digit of the item
    wide += QVX_WIDE(":");
    wide.append(x.begin(), x.end());
    BSTR bstr2 = SysAllocString(wide.c_str());
    found = nullptr;
    EXPECT_EQ(items_->findInterface(bstr2, &found), E_INVALIDARG);
    EXPECT_EQ(found, nullptr);
    SysFreeString(bstr2);
    EXPECT_EQ(items_->findInterface(nullptr, &found), E_INVALIDARG);
}

TEST_F(SimCamerasVcd, OffsetLimitsFollowSensorMinusFormat) {
    const std::string path = "{2CED6FD6-AB4D-4C74-904C-D682E53B9CC5}:{5E59F654-7B47-4458-B4C6-5D4F0D175FC1}:"
                             "{99B44940-BFE1-4083-ADA1-BE703F4B8E03}";
    auto x = byPath<IVCDRangeProperty>(path, kVcdRangeInterface);
    ASSERT_TRUE(x);
    LONG max = -1;
    ASSERT_EQ(x->get_RangeMax(&max), S_OK);
    EXPECT_EQ(max, 0); // full-size format
    EXPECT_EQ(x->put_Value(4), E_INVALIDARG);
    ASSERT_TRUE(setFormat(grabber_, "Y800 (640x480)"));
    ASSERT_EQ(x->get_RangeMax(&max), S_OK);
    EXPECT_EQ(max, 2048 - 640);
    EXPECT_EQ(x->put_Value(12), S_OK);
    EXPECT_EQ(qvxsim::vcdValue("Partial scan offset", "X Offset", "range"), 12);
    EXPECT_TRUE(logged("put_Value(Partialscanoffset/XOffset,12)"));
}

TEST_F(SimCamerasVcd, ValuesReadWriteAndRefuseOutOfRange) {
    auto value = element(1, 1);
    auto range = byText<IVCDRangeProperty>(value.get(), kVcdRangeInterface);
    auto absolute = byText<IVCDAbsoluteValueProperty>(value.get(), kVcdAbsoluteValueInterface);
    ASSERT_TRUE(range && absolute);
    EXPECT_EQ(range->put_Value(100), S_OK);
    EXPECT_EQ(range->put_Value(481), E_INVALIDARG);
    EXPECT_EQ(range->put_Value(-1), E_INVALIDARG);
    EXPECT_EQ(qvxsim::vcdValue("Gain", "Value", "range"), 100);
    double d = 0;
    EXPECT_EQ(absolute->get_Default(&d), S_OK);
    EXPECT_DOUBLE_EQ(d, 3.4);
    EXPECT_EQ(absolute->put_Value(48.5), E_INVALIDARG);
    EXPECT_EQ(absolute->put_Value(12.5), S_OK);
    EXPECT_DOUBLE_EQ(qvxsim::vcdValue("Gain", "Value", "absolute"), 12.5);

    auto autoSwitch = byText<IVCDSwitchProperty>(element(1, 2).get(), kVcdSwitchInterface);
    VARIANT_BOOL on = 0;
    EXPECT_EQ(autoSwitch->get_Switch(&on), S_OK);
    EXPECT_EQ(on, -1);
    EXPECT_EQ(autoSwitch->put_Switch(0), S_OK);
    EXPECT_EQ(autoSwitch->get_Switch(&on), S_OK);
    EXPECT_EQ(on, 0);
    // A raw value is what the switch reads, whatever is written.
    auto polarity = byText<IVCDSwitchProperty>(element(2, 1).get(), kVcdSwitchInterface);
    EXPECT_EQ(polarity->put_Switch(-1), S_OK);
    EXPECT_EQ(polarity->get_Switch(&on), S_OK);
    EXPECT_EQ(on, 1);

    auto map = byText<IVCDMapStringsProperty>(element(3, 1).get(), kVcdMapStringsInterface);
    LONG v = 0;
    EXPECT_EQ(map->get_Value(&v), S_OK);
    EXPECT_EQ(v, 3);
    EXPECT_EQ(map->put_Value(0), E_INVALIDARG);
    EXPECT_EQ(map->put_Value(1), S_OK);
    IVCDPropertyStrings* s = nullptr;
    ASSERT_EQ(map->get_Strings(&s), S_OK);
    smart_com<IVCDPropertyStrings> strings(s);
    EXPECT_EQ(strings->get_Count(&v), S_OK);
    EXPECT_EQ(v, 3);
    BSTR text = nullptr;
    EXPECT_EQ(strings->get_Item(3, &text), S_OK);
    EXPECT_EQ(takeBstr(text), "c");
    EXPECT_EQ(strings->get_Item(4, &text), E_INVALIDARG);
}

TEST_F(SimCamerasVcd, ValuesLivePerDeviceAcrossGrabbersUntilReload) {
    auto range = byText<IVCDRangeProperty>(element(1, 1).get(), kVcdRangeInterface);
    ASSERT_EQ(range->put_Value(200), S_OK);
    {
        Grabber other;
        ASSERT_TRUE(other.openDev("V"));
        auto items = other.getAvailableVCDProperties();
        IVCDPropertyItem* it = nullptr;
        ASSERT_EQ(items->get_Item(1, &it), S_OK);
        it->Release();
        EXPECT_EQ(qvxsim::vcdValue("Gain", "Value", "range"), 200);
    }
    qvxsim::loadCameras(kVcdCamera);
    EXPECT_EQ(qvxsim::vcdValue("Gain", "Value", "range"), 34);
}

TEST_F(SimCamerasVcd, FaultsOnTheNthCallAndFromTheNth) {
    auto range = byText<IVCDRangeProperty>(element(1, 1).get(), kVcdRangeInterface);
    LONG v = 0;
    EXPECT_EQ(range->get_Value(&v), S_OK);
    EXPECT_EQ(range->get_Value(&v), -5);
    EXPECT_EQ(range->get_Value(&v), S_OK);

    auto fire = byText<IVCDButtonProperty>(element(2, 2).get(), kVcdButtonInterface);
    EXPECT_EQ(fire->Push(), S_OK);
    EXPECT_EQ(fire->Push(), S_OK);
    EXPECT_EQ(fire->Push(), -7);
    EXPECT_EQ(fire->Push(), -7);
    EXPECT_EQ(qvxsim::buttonPushes("Trigger", "Fire"), 2);
    EXPECT_THROW(qvxsim::buttonPushes("Trigger", "Polarity"), std::out_of_range);
    EXPECT_THROW(qvxsim::vcdValue("Nope", "Value", "range"), std::out_of_range);
}

TEST_F(SimCamerasVcd, CollectionFaultsAndMissingCollection) {
    qvxsim::loadCameras(R"({"devices":[{"name":"F","descriptors":[],"vcd":[],
        "vcdFaults":{"get_Count":{"result":-3,"nth":1},"findInterface":1}},
        {"name":"None","descriptors":[]}]})");
    Grabber g;
    ASSERT_TRUE(g.openDev("F"));
    auto items = g.getAvailableVCDProperties();
    ASSERT_TRUE(items);
    LONG count = 9;
    EXPECT_EQ(items->get_Count(&count), -3);
    EXPECT_EQ(items->get_Count(&count), S_OK);
    EXPECT_EQ(count, 0);
    BSTR path = SysAllocString(
        QVX_WIDE("{2CED6FD6-AB4D-4C74-904C-D682E53B9CC5}:{5E59F654-7B47-4458-B4C6-5D4F0D175FC1}"));
    IUnknown* found = nullptr;
    EXPECT_EQ(items->findInterface(path, &found), S_FALSE);
    EXPECT_EQ(found, nullptr);
    SysFreeString(path);
    ASSERT_TRUE(g.openDev("None"));
    EXPECT_FALSE(g.getAvailableVCDProperties());
}

TEST_F(SimCamerasVcd, RotateFlipFilterIsACountedObject) {
    const long before = qvxsim::counters().liveComObjects;
    const long bstrs = qvxplatform::liveBstrs();
    {
        auto filter = FilterLoader::createFilter(DStringArg("Rotate Flip"), DStringArg(""));
        ASSERT_TRUE(filter);
        EXPECT_EQ(qvxsim::counters().liveComObjects, before + 1);
        EXPECT_EQ(qvxsim::filterName(filter.get()), "Rotate Flip");
        EXPECT_FALSE(FilterLoader::createFilter(DStringArg("Sharpen"), DStringArg("")));
    }
    EXPECT_EQ(qvxsim::counters().liveComObjects, before);
    EXPECT_EQ(qvxplatform::liveBstrs(), bstrs);
}

} // namespace
} // namespace simtest
