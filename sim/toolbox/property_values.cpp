// Validation and conversion of property values against their description.
#include "sim/toolbox/property_values.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>

namespace qvxtb::detail {
namespace {

std::string trimmedLower(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) --end;
    std::string result = text.substr(begin, end - begin);
    for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

std::string valueList(const PropertyInfo& info) {
    std::string list;
    for (const EnumValue& value : info.values) list += (list.empty() ? "\"" : ", \"") + value.text + "\"";
    return "{" + list + "}";
}

const EnumValue* findText(const PropertyInfo& info, const std::string& text) {
    for (const EnumValue& value : info.values) {
        if (value.text == text) return &value;
    }
    // As users type them: frame-rate texts carry leading blanks, and case should not matter.
    const std::string wanted = trimmedLower(text);
    for (const EnumValue& value : info.values) {
        if (trimmedLower(value.text) == wanted) return &value;
    }
    return nullptr;
}

double numericValue(const PropertyInfo& info, const PropertyValue& value) {
    if (const auto* integer = std::get_if<std::int64_t>(&value)) return static_cast<double>(*integer);
    if (const auto* real = std::get_if<double>(&value)) return *real;
    throw ToolboxError("Invalid value for " + info.name + ": a number is expected, not the text \"" +
                       std::get<std::string>(value) + "\".");
}

void checkLimits(const PropertyInfo& info, double value) {
    if (std::isnan(value)) throw ToolboxError("Invalid value for " + info.name + ": NaN is not a value.");
    if (info.hasLimits && (value < info.min || value > info.max)) {
        throw ToolboxError("Invalid value for " + info.name + ": " + number(value) + " is outside [" +
                           number(info.min) + " " + number(info.max) + "].");
    }
}

} // namespace

const char* typeName(PropType type) {
    switch (type) {
    case PropType::Double:
        return "double";
    case PropType::Integer:
        return "integer";
    case PropType::Enum:
        return "enumeration";
    case PropType::String:
        return "string";
    }
    return "unknown";
}

ValueBuffer toStored(const PropertyInfo& info, const PropertyValue& value) {
    ValueBuffer stored{};
    switch (info.type) {
    case PropType::Enum: {
        const auto* text = std::get_if<std::string>(&value);
        if (text == nullptr) {
            throw ToolboxError("Invalid value for " + info.name + ": one of " + valueList(info) +
                               " is expected.");
        }
        const EnumValue* found = findText(info, *text);
        if (found == nullptr) {
            throw ToolboxError("Invalid value for " + info.name + ": \"" + *text + "\" is not one of " +
                               valueList(info) + ".");
        }
        stored.integer = found->id;
        return stored;
    }
    case PropType::Integer: {
        const double number = numericValue(info, value);
        if (number != std::floor(number)) {
            throw ToolboxError("Invalid value for " + info.name + ": an integer is expected.");
        }
        if (number < std::numeric_limits<std::int32_t>::min() ||
            number > std::numeric_limits<std::int32_t>::max()) {
            throw ToolboxError("Invalid value for " + info.name +
                               ": an integer from -2147483648 to 2147483647 is expected.");
        }
        checkLimits(info, number);
        stored.integer = static_cast<std::int32_t>(number);
        return stored;
    }
    case PropType::Double: {
        const double number = numericValue(info, value);
        checkLimits(info, number);
        stored.number = number;
        return stored;
    }
    case PropType::String:
        break;
    }
    throw ToolboxError("Property " + info.name + " cannot be set this way.");
}

PropertyValue fromStored(const PropertyInfo& info, const ValueBuffer& value) {
    switch (info.type) {
    case PropType::Enum: {
        for (const EnumValue& candidate : info.values) {
            if (candidate.id == value.integer) return candidate.text;
        }
        throw ToolboxError("The value of " + info.name + " is id " + std::to_string(value.integer) +
                           ", which is none of " + valueList(info) + ".");
    }
    case PropType::Integer:
        return static_cast<std::int64_t>(value.integer);
    case PropType::Double:
        return value.number;
    case PropType::String:
        break;
    }
    return std::string();
}

ValueBuffer defaultStored(const PropertyInfo& info) {
    ValueBuffer stored{};
    if (info.type == PropType::Double) {
        stored.number = info.defaultValue;
    } else {
        stored.integer = static_cast<std::int32_t>(info.defaultValue);
    }
    return stored;
}

} // namespace qvxtb::detail
