// Parsing and printing property values.
#include "cli/values.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>

#include "cli/exit_codes.h"
#include "cli/numbers.h"

namespace qvxcli {

std::string formatValue(const qvxtb::PropertyValue& value) {
    if (const auto* integer = std::get_if<std::int64_t>(&value)) return std::to_string(*integer);
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    return numberText(std::get<double>(value));
}

std::pair<std::string, std::string> splitAssignment(const std::string& assignment) {
    const std::size_t equals = assignment.find('=');
    if (equals == std::string::npos || equals == 0) {
        throw UsageError("\"" + assignment + "\" is not of the form NAME=VALUE");
    }
    return {assignment.substr(0, equals), assignment.substr(equals + 1)};
}

qvxtb::PropertyValue parseValue(const qvxtb::PropertyInfo& property, const std::string& text) {
    if (property.type == qvxtb::PropType::Enum || property.type == qvxtb::PropType::String) return text;
    // The property's own limits make the range the message names; without limits, what the value can hold.
    if (property.type == qvxtb::PropType::Integer) {
        double low = std::numeric_limits<std::int32_t>::min();
        double high = std::numeric_limits<std::int32_t>::max();
        // Limits are clamped as doubles: a limit beyond 64 bits must not overflow on its way to an integer.
        // Limits that leave no 32-bit value are the toolbox's to refuse.
        const double first = std::ceil(property.min), last = std::floor(property.max);
        if (property.hasLimits && first <= last && last >= low && first <= high) {
            low = std::max(low, first);
            high = std::min(high, last);
        }
        return parseInteger(property.name, text, static_cast<std::int64_t>(low),
                            static_cast<std::int64_t>(high));
    }
    if (property.hasLimits) return parseNumber(property.name, text, property.min, property.max);
    return parseNumber(property.name, text, std::numeric_limits<double>::lowest(),
                       std::numeric_limits<double>::max());
}

const qvxtb::PropertyInfo& findProperty(const qvxtb::DeviceDescription& description,
                                        const std::string& name) {
    for (const qvxtb::PropertyInfo& property : description.properties) {
        if (property.name == name) return property;
    }
    std::string names;
    for (const qvxtb::PropertyInfo& property : description.properties)
        names += (names.empty() ? "" : ", ") + property.name;
    throw UsageError("\"" + name + "\" is not a property of this device (properties: " +
                     (names.empty() ? std::string("none") : names) + ")");
}

void applyAssignments(qvxtb::VideoInput& input, const std::vector<std::string>& assignments) {
    for (const std::string& assignment : assignments) {
        const auto [name, text] = splitAssignment(assignment);
        input.set(name, parseValue(findProperty(input.description(), name), text));
    }
}

} // namespace qvxcli
