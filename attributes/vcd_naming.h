// The host names of VCD properties, formed identically by the catalogue and by the property lookup.
#pragma once

#include <string>

#include "grabber/vcd.h"

namespace qvx {

// Every occurrence of `from` replaced by `to`, scanning left to right and never rescanning inserted text.
std::string replaceAll(std::string text, const std::string& from, const std::string& to);

// The property name of one element; `itemName` is already stripped of blanks. With `debugOutput`
// the name and a line end go to the debug output (the catalogue does that, the lookup does not).
std::string makeVCDPropertyName(const std::string& itemName, KapriLib::IVCDPropertyElement* element,
                                bool debugOutput = true);

} // namespace qvx
