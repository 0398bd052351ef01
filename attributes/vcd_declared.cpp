// The rule for "this element declares this kind", shared by the catalogue and property access.
#include "attributes/vcd_declared.h"

#include <cstdint>

#include "attributes/vcd_walk.h"
#include "grabber/smart_com.h"

namespace qvx {

bool declaresRange(KapriLib::IVCDRangeProperty* range) {
    LONG maximum = 0;
    LONG minimum = 0;
    throwIfFailed(range->get_RangeMax(&maximum));
    throwIfFailed(range->get_RangeMin(&minimum));
    return maximum > minimum;
}

bool declaresAbsoluteValue(KapriLib::IVCDAbsoluteValueProperty* absolute) {
    double minimum = 0.0;
    double maximum = 0.0;
    throwIfFailed(absolute->get_RangeMin(&minimum));
    throwIfFailed(absolute->get_RangeMax(&maximum));
    // Written so that a NaN limit counts as "not greater".
    return maximum > minimum;
}

bool mapStringsDefaultIsListed(LONG defaultValue, LONG minimum, std::size_t count) {
    const std::int64_t position = static_cast<std::int64_t>(defaultValue) - minimum;
    return position >= 0 && static_cast<std::uint64_t>(position) < count;
}

bool declaresMapStrings(KapriLib::IVCDMapStringsProperty* mapStrings) {
    KapriLib::IVCDPropertyStrings* raw = nullptr;
    const HRESULT result = mapStrings->get_Strings(&raw);
    const KapriLib::smart_com<KapriLib::IVCDPropertyStrings> strings(raw);
    throwIfFailed(result);
    LONG count = 0;
    if (strings) throwIfFailed(strings->get_Count(&count));
    LONG defaultValue = 0;
    LONG minimum = 0;
    throwIfFailed(mapStrings->get_Default(&defaultValue));
    throwIfFailed(mapStrings->get_RangeMin(&minimum));
    return mapStringsDefaultIsListed(defaultValue, minimum, count > 0 ? static_cast<std::size_t>(count) : 0);
}

} // namespace qvx
