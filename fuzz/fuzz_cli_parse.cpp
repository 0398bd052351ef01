// Fuzz target: the command line's parsers (numbers, regions, assignments, property values) on any text.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "cli/exit_codes.h"
#include "cli/numbers.h"
#include "cli/region_text.h"
#include "cli/values.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

// Only a usage error may come out: anything else would reach the user as a failure of another kind.
template <class Call> bool refused(Call call) {
    try {
        call();
        return false;
    } catch (const qvxcli::UsageError&) {
        return true;
    }
}

// The bounds come from the input too, so that the extremes of 64 bits are reached.
std::int64_t bound(const std::uint8_t* data, std::size_t size, std::size_t at) {
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < 8; ++i) value = value << 8 | (at + i < size ? data[at + i] : 0u);
    return static_cast<std::int64_t>(value);
}

void integers(const std::string& text, std::int64_t a, std::int64_t b) {
    const std::int64_t low = std::min(a, b), high = std::max(a, b);
    std::int64_t value = 0;
    if (refused([&] { value = qvxcli::parseInteger("-n", text, low, high); })) return;
    check(value >= low && value <= high);
    // What was taken reads back as the same number from its own decimal text.
    check(qvxcli::parseInteger("-n", std::to_string(value), low, high) == value);
}

void numbers(const std::string& text, double a, double b) {
    if (std::isnan(a) || std::isnan(b)) return;
    const double low = std::min(a, b), high = std::max(a, b);
    double value = 0;
    if (refused([&] { value = qvxcli::parseNumber("--timeout", text, low, high); })) return;
    check(std::isfinite(value) && value >= low && value <= high);
    check(qvxcli::parseNumber("--timeout", qvxcli::numberText(value), low, high) == value);
}

void regions(const std::string& text) {
    std::array<int, 4> region{};
    if (refused([&] { region = qvxcli::parseRegion(text); })) return;
    check(region[0] >= 0 && region[1] >= 0 && region[2] >= 1 && region[3] >= 1);
    check(qvxcli::parseRegion(qvxcli::regionText(region)) == region);
}

void assignments(const std::string& text, double a, double b) {
    std::pair<std::string, std::string> parts;
    if (refused([&] { parts = qvxcli::splitAssignment(text); })) return;
    check(!parts.first.empty() && parts.first + "=" + parts.second == text);
    qvxtb::PropertyInfo property;
    property.name = parts.first;
    for (const qvxtb::PropType type :
         {qvxtb::PropType::Integer, qvxtb::PropType::Double, qvxtb::PropType::Enum}) {
        for (const bool limited : {true, false}) {
            property.type = type;
            property.hasLimits = limited;
            property.min = std::isnan(a) ? 0 : std::min(a, b);
            property.max = std::isnan(b) ? 0 : std::max(a, b);
            qvxtb::PropertyValue value;
            if (refused([&] { value = qvxcli::parseValue(property, parts.second); })) continue;
            if (const auto* number = std::get_if<double>(&value)) {
                check(std::isfinite(*number));
                if (limited) check(*number >= property.min && *number <= property.max);
            } else if (const auto* integer = std::get_if<std::int64_t>(&value)) {
                check(*integer >= std::numeric_limits<std::int32_t>::min() &&
                      *integer <= std::numeric_limits<std::int32_t>::max());
                // Limits that hold no 32-bit integer are left to the toolbox to refuse.
                const double first = std::ceil(property.min), last = std::floor(property.max);
                const bool holdsOne = first <= last && last >= std::numeric_limits<std::int32_t>::min() &&
                                      first <= std::numeric_limits<std::int32_t>::max();
                if (limited && holdsOne) check(*integer >= property.min && *integer <= property.max);
            } else {
                check(std::get<std::string>(value) == parts.second);
            }
            (void)qvxcli::formatValue(value);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // 16 bytes of bounds, then the text.
    const std::int64_t a = bound(data, size, 0), b = bound(data, size, 8);
    const std::string text =
        size > 16 ? std::string(reinterpret_cast<const char*>(data) + 16, size - 16) : "";
    double da = 0, db = 0;
    std::memcpy(&da, &a, sizeof da);
    std::memcpy(&db, &b, sizeof db);
    integers(text, a, b);
    numbers(text, std::isfinite(da) ? da : 0.001, std::isfinite(db) ? db : 86400);
    regions(text);
    assignments(text, std::isfinite(da) ? da : 0, std::isfinite(db) ? db : 100);
    return 0;
}
