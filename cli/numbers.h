// Numbers typed on the command line: checked conversions with messages that name the option and its range.
#pragma once

#include <cstdint>
#include <string>

namespace qvxcli {

// The whole text as a decimal integer within [min, max]; throws UsageError naming `what` (e.g. "--frames")
// and the range in words otherwise.
std::int64_t parseInteger(const std::string& what, const std::string& text, std::int64_t min,
                          std::int64_t max);
// The whole text as a finite number within [min, max]; NaN and infinities are refused like any value outside.
double parseNumber(const std::string& what, const std::string& text, double min, double max);
// A number as the messages print it: the shortest text that reads back as the same value.
std::string numberText(double value);

} // namespace qvxcli
