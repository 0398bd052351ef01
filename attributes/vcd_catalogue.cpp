// The VCD property catalogue: walks a camera's items and elements and offers each one to the host.
#include "attributes/vcd_catalogue.h"

#include "attributes/vcd_naming.h"
#include "attributes/vcd_walk.h"
#include "grabber/vcd_ids.h"

namespace qvx {

namespace {

// The region-of-interest logic drives the partial-scan offsets itself; the other item is of no use to
// MATLAB users.
bool isPassedOver(const GUID& itemId) {
    return itemId == KapriLib::kVcdItemPassedOver || itemId == KapriLib::kVcdItemPartialScanOffset;
}

void addElementProperties(const std::string& itemName, KapriLib::IVCDPropertyElement* element,
                          imaqkit::IPropFactory* factory) {
    const std::string name = makeVCDPropertyName(itemName, element);
    // The property lookup resolves a name in the reverse order, so the last kind offered here wins.
    addRangeProperty(name, element, factory);
    addButtonProperty(name, element, factory);
    addSwitchProperty(name, element, factory);
    addMapStringsProperty(name, element, factory);
    addAbsoluteValueProperty(name, element, factory);
}

} // namespace

void addVCDProperties(KapriLib::Grabber& grabber, imaqkit::IPropFactory* propFactory) {
    const KapriLib::smart_com<KapriLib::IVCDPropertyItems> collection = grabber.getAvailableVCDProperties();
    if (!collection) return;
    const ItemList items = readItems(collection.get());
    for (const auto& item : items) {
        const std::string itemName = readItemName(item.get());
        OutputDebugStringA("Property : ");
        OutputDebugStringA(itemName.c_str());
        OutputDebugStringA("\n");

        GUID itemId{};
        item->get_ItemID(&itemId);
        if (isPassedOver(itemId)) {
            OutputDebugStringA("Skip!\n");
            continue;
        }
        const ElementList elements = readElements(item.get());
        for (const auto& element : elements) addElementProperties(itemName, element.get(), propFactory);
    }
}

} // namespace qvx
