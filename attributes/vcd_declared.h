// Whether an element's typed interface declares a host property of its kind: one rule for the catalogue
// and for property access, so that a name is read and written with the kind it was declared with.
#pragma once

#include <cstddef>

#include "grabber/vcd.h"

namespace qvx {

// Maximum above minimum (read in that order); a failing read throws its code as long.
bool declaresRange(KapriLib::IVCDRangeProperty* range);
// Maximum above minimum (minimum read first); a NaN limit declares nothing.
bool declaresAbsoluteValue(KapriLib::IVCDAbsoluteValueProperty* absolute);
// The default's list position (default minus minimum) names one of `count` texts.
bool mapStringsDefaultIsListed(LONG defaultValue, LONG minimum, std::size_t count);
// Reads the text count, the default and the minimum, and applies the rule above.
bool declaresMapStrings(KapriLib::IVCDMapStringsProperty* mapStrings);

} // namespace qvx
