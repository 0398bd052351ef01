// Checked number parsing for the command line.
#include "cli/numbers.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "cli/exit_codes.h"

namespace qvxcli {
namespace {

[[noreturn]] void refuse(const std::string& what, const std::string& text, const std::string& range) {
    throw UsageError(what + " takes " + range + ", not \"" + text + "\"");
}

} // namespace

std::string numberText(double value) {
    char buffer[40];
    for (int digits = 6; digits <= 17; ++digits) {
        std::snprintf(buffer, sizeof buffer, "%.*g", digits, value);
        if (std::strtod(buffer, nullptr) == value) break;
    }
    return buffer;
}

std::int64_t parseInteger(const std::string& what, const std::string& text, std::int64_t min,
                          std::int64_t max) {
    const std::string range = "a whole number from " + std::to_string(min) + " to " + std::to_string(max);
    std::int64_t value = 0;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    // from_chars takes no '+'; a user may well type one.
    if (begin != end && *begin == '+' && end - begin > 1 && begin[1] != '-') ++begin;
    const auto [stop, error] = std::from_chars(begin, end, value, 10);
    if (text.empty() || error != std::errc() || stop != end || value < min || value > max)
        refuse(what, text, range);
    return value;
}

double parseNumber(const std::string& what, const std::string& text, double min, double max) {
    const bool unbounded =
        min == std::numeric_limits<double>::lowest() && max == std::numeric_limits<double>::max();
    const std::string range = unbounded ? std::string("a finite number")
                                        : "a number from " + numberText(min) + " to " + numberText(max);
    // strtod, not from_chars: MinGW's C++ library lacks the floating-point overloads. The checks below
    // keep it from taking leading blanks, hexadecimal or a partial text.
    if (text.empty() || std::isspace(static_cast<unsigned char>(text.front())) != 0)
        refuse(what, text, range);
    for (char c : text) {
        if (c == 'x' || c == 'X') refuse(what, text, range);
    }
    char* stop = nullptr;
    const double value = std::strtod(text.c_str(), &stop);
    if (stop != text.c_str() + text.size() || !std::isfinite(value) || value < min || value > max)
        refuse(what, text, range);
    return value;
}

} // namespace qvxcli
