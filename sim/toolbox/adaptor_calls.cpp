// Texts of the errors the adaptor raises.
#include "sim/toolbox/adaptor_calls.h"

#include <cstdint>

namespace qvxtb::detail {

std::string describeErrorCode(long code) {
    // Result codes are 32-bit; show them the way they are documented, e.g. 0x80004005.
    char text[48];
    std::snprintf(text, sizeof text, "0x%08X (%ld)", static_cast<unsigned>(static_cast<std::uint32_t>(code)),
                  code);
    return text;
}

} // namespace qvxtb::detail
