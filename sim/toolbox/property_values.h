// Property values between the user's form (texts, numbers) and the stored form the listeners receive.
#pragma once

#include <cstdint>
#include <string>

#include "sim/toolbox/toolbox.h"

namespace qvxtb::detail {

// The value buffer handed to getters and post-set listeners: int32 for enumeration ids and integers,
// double for doubles, large and aligned enough for either.
union ValueBuffer {
    std::int32_t integer;
    double number;
    unsigned char bytes[8];
};

// Checks `value` against the description and gives its stored form; a ToolboxError says why not.
ValueBuffer toStored(const PropertyInfo& info, const PropertyValue& value);
// The user's form of a stored value; a ToolboxError when an enumeration id is not among the values.
PropertyValue fromStored(const PropertyInfo& info, const ValueBuffer& value);
ValueBuffer defaultStored(const PropertyInfo& info);

const char* typeName(PropType type);

} // namespace qvxtb::detail
