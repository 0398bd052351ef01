// adaptorWarn and getCurrentTime: the kit's functions that are not about memory or objects.
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "host/imaqkit.h"
#include "sim/toolbox/records.h"

namespace imaqkit {

void adaptorWarn(const char* identifier, const char* format, ...) {
    if (format == nullptr) format = "";
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text;
    if (length > 0) {
        std::vector<char> buffer(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(buffer.data(), buffer.size(), format, again);
        text.assign(buffer.data(), static_cast<std::size_t>(length));
    }
    va_end(again);
    qvxtb::detail::recordWarning(identifier, std::move(text));
}

double getCurrentTime() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration<double>(now).count();
}

} // namespace imaqkit
