// Parsing the region of interest the user asks for.
#include "cli/region_text.h"

#include <limits>

#include "cli/exit_codes.h"
#include "cli/numbers.h"

namespace qvxcli {

std::array<int, 4> parseRegion(const std::string& text) {
    static const char* const kParts[] = {"X", "Y", "W", "H"};
    std::array<int, 4> region{};
    std::size_t begin = 0;
    for (int i = 0; i < 4; ++i) {
        const std::size_t comma = text.find(',', begin);
        if ((i < 3) != (comma != std::string::npos))
            throw UsageError("--roi takes four whole numbers X,Y,W,H, not \"" + text + "\"");
        const std::string part = text.substr(begin, i < 3 ? comma - begin : std::string::npos);
        region[static_cast<std::size_t>(i)] = static_cast<int>(parseInteger(
            std::string("--roi's ") + kParts[i], part, i < 2 ? 0 : 1, std::numeric_limits<int>::max()));
        begin = comma + 1;
    }
    return region;
}

std::string regionText(const std::array<int, 4>& region) {
    return std::to_string(region[0]) + "," + std::to_string(region[1]) + "," + std::to_string(region[2]) +
           "," + std::to_string(region[3]);
}

} // namespace qvxcli
