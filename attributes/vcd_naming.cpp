// The host names of VCD properties: item name plus element, without blanks and hyphens.
#include "attributes/vcd_naming.h"

#include <utility>

#include "attributes/vcd_walk.h"
#include "grabber/vcd_ids.h"

namespace qvx {

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    if (from.empty()) return text;
    std::string::size_type position = 0;
    while ((position = text.find(from, position)) != std::string::npos) {
        text.replace(position, from.size(), to);
        position += to.size();
    }
    return text;
}

std::string makeVCDPropertyName(const std::string& itemName, KapriLib::IVCDPropertyElement* element,
                                bool debugOutput) {
    // A failed identifier read leaves the all-zero identifier, which takes the general rule.
    GUID id{};
    element->get_ElementID(&id);

    std::string name;
    if (id == KapriLib::kVcdElementValue) {
        name = itemName;
    } else if (id == KapriLib::kVcdElementAuto) {
        name = itemName + "Auto";
    } else if (id == KapriLib::kVcdElementSelfNamedA || id == KapriLib::kVcdElementSelfNamedB ||
               id == KapriLib::kVcdElementSelfNamedC) {
        name = replaceAll(readElementName(element), " ", "");
    } else {
        name = itemName + replaceAll(readElementName(element), " ", "");
    }
    name = replaceAll(std::move(name), "-", "");

    if (debugOutput) {
        OutputDebugStringA(name.c_str());
        OutputDebugStringA("\n");
    }
    return name;
}

} // namespace qvx
