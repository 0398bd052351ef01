// The five kinds of catalogue property: one host property per typed interface an element offers.
#include <cstdint>
#include <vector>

#include "attributes/vcd_catalogue.h"
#include "attributes/vcd_declared.h"
#include "attributes/vcd_walk.h"
#include "grabber/text.h"
#include "grabber/vcd_ids.h"

namespace qvx {

using imaqkit::IPropFactory;
using imaqkit::PropHandle;
using KapriLib::IVCDPropertyElement;

namespace {

constexpr const char* kNeverReadOnly = "never";

// Ends the work on a property: nothing more is sent with a null handle.
bool publish(IPropFactory* factory, PropHandle property) {
    if (property == nullptr) return false;
    factory->setPropReadOnly(property, kNeverReadOnly);
    factory->addProperty(property);
    return true;
}

struct SwitchTexts {
    const char* first;
    int firstId;
    const char* second;
    int secondId;
};

// Compared whole and case-sensitively: an element named "auto" gets the general texts.
SwitchTexts switchTextsFor(const std::string& elementName) {
    if (elementName == "Auto") return {"On", 1, "Off", 0};
    if (elementName == "Polarity") return {"High", 1, "Low", 0};
    return {"Disable", 0, "Enable", 1};
}

std::vector<std::string> readValueTexts(KapriLib::IVCDMapStringsProperty* mapStrings) {
    KapriLib::IVCDPropertyStrings* raw = nullptr;
    const HRESULT result = mapStrings->get_Strings(&raw);
    const KapriLib::smart_com<KapriLib::IVCDPropertyStrings> strings(raw);
    throwIfFailed(result);

    std::vector<std::string> texts;
    if (!strings) return texts;
    LONG count = 0;
    throwIfFailed(strings->get_Count(&count));
    for (LONG index = 1; index <= count; ++index) {
        BSTR text = nullptr;
        const HRESULT textResult = strings->get_Item(index, &text);
        if (textResult < 0) {
            SysFreeString(text);
            throwIfFailed(textResult);
        }
        texts.push_back(KapriLib::takeBstr(text));
    }
    return texts;
}

} // namespace

bool addRangeProperty(std::string name, IVCDPropertyElement* element, IPropFactory* factory) {
    const auto range =
        getElementInterface<KapriLib::IVCDRangeProperty>(element, KapriLib::kVcdRangeInterface);
    if (!range || !declaresRange(range.get())) return false;
    LONG maximum = 0;
    LONG minimum = 0;
    LONG defaultValue = 0;
    throwIfFailed(range->get_Default(&defaultValue));
    throwIfFailed(range->get_RangeMax(&maximum));
    throwIfFailed(range->get_RangeMin(&minimum));
    return publish(factory, factory->createIntRangeProperty(name.c_str(), minimum, maximum, defaultValue, 1));
}

bool addAbsoluteValueProperty(std::string name, IVCDPropertyElement* element, IPropFactory* factory) {
    const auto absolute = getElementInterface<KapriLib::IVCDAbsoluteValueProperty>(
        element, KapriLib::kVcdAbsoluteValueInterface);
    if (!absolute || !declaresAbsoluteValue(absolute.get())) return false;
    double minimum = 0.0;
    double maximum = 0.0;
    double defaultValue = 0.0;
    throwIfFailed(absolute->get_Default(&defaultValue));
    throwIfFailed(absolute->get_RangeMax(&maximum));
    throwIfFailed(absolute->get_RangeMin(&minimum));
    return publish(factory, factory->createDoubleProperty(name.c_str(), minimum, maximum, defaultValue));
}

bool addButtonProperty(std::string name, IVCDPropertyElement* element, IPropFactory* factory) {
    const auto button =
        getElementInterface<KapriLib::IVCDButtonProperty>(element, KapriLib::kVcdButtonInterface);
    if (!button) return false;
    return publish(factory, factory->createEnumProperty(name.c_str(), "Push", 0));
}

bool addSwitchProperty(std::string name, IVCDPropertyElement* element, IPropFactory* factory) {
    const auto toggle =
        getElementInterface<KapriLib::IVCDSwitchProperty>(element, KapriLib::kVcdSwitchInterface);
    if (!toggle) return false;
    // The values shown depend only on the element's own name, never on the switch's state.
    const std::string elementName = readElementName(element);
    const SwitchTexts texts = switchTextsFor(elementName);
    const PropHandle property = factory->createEnumProperty(name.c_str(), texts.first, texts.firstId);
    if (property == nullptr) return false;
    factory->addEnumValue(property, texts.second, texts.secondId);
    return publish(factory, property);
}

bool addMapStringsProperty(std::string name, IVCDPropertyElement* element, IPropFactory* factory) {
    const auto mapStrings =
        getElementInterface<KapriLib::IVCDMapStringsProperty>(element, KapriLib::kVcdMapStringsInterface);
    if (!mapStrings) return false;
    const std::vector<std::string> texts = readValueTexts(mapStrings.get());
    LONG defaultValue = 0;
    LONG minimum = 0;
    throwIfFailed(mapStrings->get_Default(&defaultValue));
    throwIfFailed(mapStrings->get_RangeMin(&minimum));
    // A default that names no text would leave the property without a valid first value.
    if (!mapStringsDefaultIsListed(defaultValue, minimum, texts.size())) return false;
    const std::int64_t position = static_cast<std::int64_t>(defaultValue) - minimum;

    const auto defaultIndex = static_cast<std::size_t>(position);
    const PropHandle property =
        factory->createEnumProperty(name.c_str(), texts[defaultIndex].c_str(), static_cast<int>(position));
    if (property == nullptr) return false;
    for (std::size_t index = 0; index < texts.size(); ++index)
        factory->addEnumValue(property, texts[index].c_str(), static_cast<int>(index));
    return publish(factory, property);
}

} // namespace qvx
