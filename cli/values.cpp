// Parsing and printing property values.
#include "cli/values.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace qvxcli {

std::string formatValue(const qvxtb::PropertyValue& value) {
    if (const auto* integer = std::get_if<std::int64_t>(&value)) return std::to_string(*integer);
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    char buffer[40];
    const double number = std::get<double>(value);
    for (int digits = 6; digits <= 17; ++digits) {
        std::snprintf(buffer, sizeof buffer, "%.*g", digits, number);
        if (std::strtod(buffer, nullptr) == number) break;
    }
    return buffer;
}

std::pair<std::string, std::string> splitAssignment(const std::string& assignment) {
    const std::size_t equals = assignment.find('=');
    if (equals == std::string::npos || equals == 0) {
        throw std::invalid_argument("\"" + assignment + "\" is not of the form NAME=VALUE");
    }
    return {assignment.substr(0, equals), assignment.substr(equals + 1)};
}

qvxtb::PropertyValue parseValue(const qvxtb::PropertyInfo& property, const std::string& text) {
    if (property.type == qvxtb::PropType::Enum || property.type == qvxtb::PropType::String) return text;
    errno = 0;
    char* end = nullptr;
    if (property.type == qvxtb::PropType::Integer) {
        const long long integer = std::strtoll(text.c_str(), &end, 10);
        if (!text.empty() && end != nullptr && *end == '\0' && errno == 0)
            return static_cast<std::int64_t>(integer);
        throw std::invalid_argument(property.name + " takes an integer, not \"" + text + "\"");
    }
    const double number = std::strtod(text.c_str(), &end);
    if (!text.empty() && end != nullptr && *end == '\0' && errno == 0) return number;
    throw std::invalid_argument(property.name + " takes a number, not \"" + text + "\"");
}

const qvxtb::PropertyInfo& findProperty(const qvxtb::DeviceDescription& description,
                                        const std::string& name) {
    for (const qvxtb::PropertyInfo& property : description.properties) {
        if (property.name == name) return property;
    }
    std::string names;
    for (const qvxtb::PropertyInfo& property : description.properties)
        names += (names.empty() ? "" : ", ") + property.name;
    throw std::invalid_argument("\"" + name + "\" is not a property of this device (properties: " +
                                (names.empty() ? std::string("none") : names) + ")");
}

void applyAssignments(qvxtb::VideoInput& input, const std::vector<std::string>& assignments) {
    for (const std::string& assignment : assignments) {
        const auto [name, text] = splitAssignment(assignment);
        input.set(name, parseValue(findProperty(input.description(), name), text));
    }
}

} // namespace qvxcli
